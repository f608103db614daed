#include "engine/Base64Decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

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

TEST(Base64Decoder, ConvertsJisToShiftJis) {
    CBase64Decoder decoder;
    const DecodeCase cases[] = {
        {"\x1B$BF|K\\8l\x1B(B", "日本語"},
        {"\x1B$BF|K\\8l\x1B(J", "日本語"},  // back to one byte with ESC ( J
        {"a\x1B$BF|K\\8l", "a日本語"},      // ends in two-byte mode
        {"\x1B$BF|\x1B(Bx", "日x"},
        {"\x1B$BF| K\\", "日 本"},     // a space does not end two-byte mode
        {"a\nb\r\nc", "a\r\nb\r\nc"},  // LF alone becomes CR LF
        {"\n", "\r\n"},
        {"a\x1B$BF\nb", "a"},                  // an invalid second byte ends the text
        {"\x1B$@F|\x1B(I", "\x1B$@F|\x1B(I"},  // other escapes are ordinary bytes
        {"ab\0cd"s, "ab"},                     // NUL ends the text
        {"\x1B$", "\x1B$"},
    };
    for (const DecodeCase& c : cases) {
        EXPECT_EQ(decoder.JisToSjis(c.text), c.expected) << c.text;
    }
}

// Every JIS X 0208 code maps onto a Shift_JIS pair that maps back by the inverse rule; a
// slip in the arithmetic shows up as a pair that is no valid character or a wrong row.
TEST(Base64Decoder, JisArithmeticCoversTheWholeTable) {
    CBase64Decoder decoder;
    for (int j1 = 0x21; j1 <= 0x7E; ++j1) {
        for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
            const std::string jis =
                std::string("\x1B$B") + static_cast<char>(j1) + static_cast<char>(j2);
            const std::string sjis = decoder.JisToSjis(jis);
            ASSERT_EQ(sjis.size(), 2u);
            const int lead = static_cast<unsigned char>(sjis[0]);
            const int trail = static_cast<unsigned char>(sjis[1]);
            ASSERT_TRUE((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEF));
            ASSERT_TRUE(trail >= 0x40 && trail <= 0xFC && trail != 0x7F);
            const int row = (lead <= 0x9F ? lead - 0x81 : lead - 0xC1) * 2 + (trail >= 0x9F);
            const int cell = trail >= 0x9F ? trail - 0x9F : trail - 0x40 - (trail > 0x7F);
            ASSERT_EQ(row + 0x21, j1);
            ASSERT_EQ(cell + 0x21, j2);
        }
    }
}

}  // namespace
