#include "platform/Text.h"

#include <gtest/gtest.h>

namespace {

std::string Utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

TEST(Text, ConvertsShiftJisToUtf8AndBack) {
    const std::string sjis = "Morveｋ 表ソ予 ｱｲｳ ①";
    const std::string utf8 = Utf8(u8"Morveｋ 表ソ予 ｱｲｳ ①");
    EXPECT_EQ(platform::ShiftJisToUtf8(sjis), utf8);
    EXPECT_EQ(platform::Utf8ToShiftJis(utf8), sjis);
}

TEST(Text, BytesThatAreNotShiftJisSurviveTheRoundTrip) {
    const std::string raw = "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.exe \x81 \xFF\x85\x40";
    EXPECT_EQ(platform::Utf8ToShiftJis(platform::ShiftJisToUtf8(raw)), raw);
}

// What Shift_JIS cannot hold becomes "?", never a look-alike: "é" is no "e", and "¥" (U+00A5)
// no backslash, which would split a path.
TEST(Text, NoBestFitMapping) {
    // "résumé 価格¥1000.eml" in UTF-8.
    const std::string utf8 = "r\xC3\xA9sum\xC3\xA9 \xE4\xBE\xA1\xE6\xA0\xBC\xC2\xA5" "1000.eml";
    EXPECT_EQ(platform::Utf8ToShiftJis(utf8), "r?sum? 価格?1000.eml");
}

}  // namespace
