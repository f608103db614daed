#include "engine/Base64Decoder.h"

#include <gtest/gtest.h>

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

}  // namespace
