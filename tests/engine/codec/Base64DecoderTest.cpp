#include "engine/codec/Base64Decoder.h"
#include "engine/codec/vector/Base64Blocks.h"
#include "support/Base64Encode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

// Decodes into a buffer of exactly the promised bound, so that the sanitizer build catches
// any byte written beyond it.
std::string Decode(const std::string& text) {
    CBase64Decoder decoder;
    std::vector<unsigned char> out(CBase64Decoder::GetDecodedBound(text.size()));
    const std::size_t count = decoder.Decode(text.data(), text.size(), out.data());
    EXPECT_LE(count, out.size());
    return std::string(reinterpret_cast<const char*>(out.data()), count);
}

struct DecodeCase {
    std::string text;
    std::string expected;
};

TEST(Base64Decoder, DecodesByItsGroupRules) {
    const DecodeCase cases[] = {
        {"QUJD", "ABC"},
        {"QUJDRA==", "ABCD"},
        {"QUJDREU=", "ABCDE"},
        {"QU JD\r\n", "ABC"},  // bytes outside the alphabet are skipped
        {"Q*U*J*D", "ABC"},    // ... also between every character
        {"QUJDRA", "ABCD"},    // a last group without padding gives its bytes
        {"QUJDREU", "ABCDE"},
        {"QQ", "A"},
        {"QUJDR", "ABC"},     // a lone last character gives nothing
        {"QQ==QkM=", "ABC"},  // "=" ends a group; decoding goes on after it
        {"QQ==QUJD", "AABC"},
        {"QUJD=QUJD", "ABCABC"},  // "=" between groups is ignored
        {"QQ=QQ=", "AA"},
        {"====", ""},
        {"", ""},
        {"Q", ""},
        {"QUJD=", "ABC"},
    };
    for (const DecodeCase& c : cases) {
        EXPECT_EQ(Decode(c.text), c.expected) << c.text;
    }
}

// Text fed to the stream in two pieces, cut anywhere (inside a group, between a group's
// characters and its "=", between CR and LF), decodes to what the whole text decodes to,
// within the room the stream asks for.
TEST(Base64Decoder, StreamDecodesPiecesAsOneText) {
    const std::string texts[] = {
        "QQ==QkM=QUJD\r\nQUJDRA", "QUJD=QUJD\r\nQQ=QQ=",
        "Q*U*J*D\r\nQUJDREU",     "QUJDQUJDQUJDQUJDQUJDQUJDQUJD\r\nQUJDQUJD=",
        "  QU\nJD\n-QUJDQUJDQ",
    };
    for (const std::string& text : texts) {
        for (std::size_t cut = 0; cut <= text.size(); ++cut) {
            CBase64Stream stream;
            std::string decoded;
            for (const std::string& piece : {text.substr(0, cut), text.substr(cut)}) {
                std::vector<unsigned char> out(CBase64Stream::GetOutputSize(piece.size()));
                std::size_t count = 0;
                EXPECT_EQ(stream.Decode(piece.data(), piece.size(), out.data(), count),
                          piece.size());
                EXPECT_LT(count, out.size());
                decoded.append(reinterpret_cast<const char*>(out.data()), count);
            }
            unsigned char last[3] = {};
            decoded.append(reinterpret_cast<const char*>(last), stream.Finish(last));
            EXPECT_EQ(decoded, Decode(text)) << text << " / " << cut;
        }
    }
    // Asked to, the stream stops after a line end followed by the given byte.
    CBase64Stream stream;
    const std::string text = "QUJD\r\n-QUJD\n";
    unsigned char out[16] = {};
    std::size_t count = 0;
    EXPECT_EQ(stream.Decode(text.data(), text.size(), out, count, '-'), 6u);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(stream.Decode(text.data() + 6, text.size() - 6, out, count, '-'), 6u);
    EXPECT_EQ(count, 3u);
}

TEST(Base64Decoder, EstimatesBoundsAndWholeGroups) {
    CBase64Decoder decoder;
    const std::string withBreak = "QUJD\r\nQUJD";
    EXPECT_EQ(decoder.GetDecodedSize(withBreak.data(), withBreak.size()), 6u);
    EXPECT_EQ(decoder.GetDecodedSize("QQ", 2), 0u);
    EXPECT_EQ(CBase64Decoder::GetDecodedBound(2), 3u);

    const struct {
        std::string text;
        std::size_t whole;
    } cases[] = {
        {"QUJD", 4},  {"QUJDRA", 4},  {"QUJDQQ==", 8}, {"QUJDQQ=", 7}, {"QUJ=", 4},
        {"QU JD", 5}, {"QU JD  ", 7}, {"Q", 0},        {"  ", 2},      {"", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decoder.GetWholeGroupLength(c.text.data(), c.text.size()), c.whole) << c.text;
        // Decoding the whole groups, then the rest, gives what decoding all at once gives.
        const std::size_t whole = decoder.GetWholeGroupLength(c.text.data(), c.text.size());
        EXPECT_EQ(Decode(c.text.substr(0, whole)) + Decode(c.text.substr(whole)), Decode(c.text))
            << c.text;
    }
}

const std::string kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr unsigned char kUntouched = 0xA5;

// The vector decoder against the table decoder (CBase64Decoder::DecodeWholeGroups, which
// never uses it): it decodes exactly the whole groups before the first byte outside the
// alphabet, up to the last block of 16 that fits, to the same bytes, and writes nothing
// beyond the room it is given (length / 4 * 3 bytes).
TEST(Base64Decoder, VectorBlocksDecodeUpToTheFirstOtherByte) {
    std::mt19937 random(17);
    std::string alphabetText = kAlphabet;
    for (int i = 0; i < 64; ++i) {
        alphabetText += kAlphabet[random() % 64];
    }
    const auto check = [](const std::string& text, std::size_t expected) {
        const std::size_t room = text.size() / 4 * 3;
        std::vector<unsigned char> out(room + 16, kUntouched);
        const std::size_t decoded = engine::DecodeBase64Blocks(
            reinterpret_cast<const unsigned char*>(text.data()), text.size(), out.data());
        EXPECT_EQ(decoded, engine::HasBase64Blocks() ? expected : 0u) << text;
        std::vector<unsigned char> table(room + 3);
        std::size_t count = 0;
        CBase64Decoder().DecodeWholeGroups(text.data(), decoded, table.data(), count);
        EXPECT_EQ(count, decoded / 4 * 3);
        EXPECT_TRUE(std::equal(table.begin(), table.begin() + count, out.begin())) << text;
        EXPECT_TRUE(std::all_of(out.begin() + room, out.end(),
                                [](unsigned char byte) { return byte == kUntouched; }))
            << text;
    };
    // Every length around the block ends, each block stored whole or in part (up to 128
    // characters: blocks of 32 where the processor has them, and of 16 for the rest).
    for (std::size_t length = 0; length <= alphabetText.size(); ++length) {
        check(alphabetText.substr(0, length), length / 16 * 16);
    }
    // One byte outside the alphabet anywhere in three blocks: line ends, padding, controls,
    // the bytes next to the alphabet's ranges, bytes above 0x7F.
    for (int bad = 0; bad < 256; ++bad) {
        if (kAlphabet.find(static_cast<char>(bad)) != std::string::npos) {
            continue;
        }
        for (std::size_t at = 0; at < 48; ++at) {
            std::string text = alphabetText.substr(at % 3 * 16, 56);
            text[at] = static_cast<char>(bad);
            check(text, at / 4 * 4);
        }
    }
}

// Long texts as mail has them, lines of 76 characters or of any length, CR LF or LF, here
// and there padding inside the text or a stray byte, fed to the stream in pieces cut at
// random places: the stream gives exactly the bytes that were encoded, and writes nothing
// beyond the room it asks for.
TEST(Base64Decoder, StreamDecodesMailTextInRandomPieces) {
    std::mt19937 random(4);
    const auto below = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    for (int round = 0; round < 60; ++round) {
        std::string bytes(below(4000), '\0');
        for (char& byte : bytes) {
            byte = static_cast<char>(random());
        }
        // Encoded whole, or in parts that each end with their own padding.
        std::string encoded;
        for (std::size_t pos = 0; pos < bytes.size();) {
            const std::size_t part = round % 4 == 3 ? 1 + below(200) : bytes.size();
            encoded += test::Base64Encode(bytes.substr(pos, part));
            pos += part;
        }
        std::string text;
        const std::size_t lineLength = round % 2 ? 76 : 1 + below(120);
        for (std::size_t pos = 0; pos < encoded.size(); pos += lineLength) {
            std::string line = encoded.substr(pos, lineLength);
            if (round % 5 == 4) {
                line.insert(below(line.size() + 1), 1, " *\t\x80\xFF\x01"[below(6)]);
            }
            text += line + (round % 3 ? "\r\n" : "\n");
        }
        CBase64Stream stream;
        std::string decoded;
        for (std::size_t pos = 0; pos < text.size();) {
            const std::string piece = text.substr(pos, 1 + below(round % 2 ? 300 : 40));
            const std::size_t room = CBase64Stream::GetOutputSize(piece.size());
            std::vector<unsigned char> out(room + 16, kUntouched);
            std::size_t count = 0;
            EXPECT_EQ(stream.Decode(piece.data(), piece.size(), out.data(), count), piece.size());
            EXPECT_LT(count, room);
            EXPECT_TRUE(std::all_of(out.begin() + room, out.end(),
                                    [](unsigned char byte) { return byte == kUntouched; }));
            decoded.append(reinterpret_cast<const char*>(out.data()), count);
            pos += piece.size();
        }
        unsigned char last[3] = {};
        decoded.append(reinterpret_cast<const char*>(last), stream.Finish(last));
        EXPECT_EQ(decoded, bytes) << "round " << round;
    }
}

}  // namespace
