#include "platform/ShiftJis.h"

#include <gtest/gtest.h>

namespace {

TEST(ShiftJis, TrailByte5CIsNeverABackslash) {
    const std::string path = "C:\\表\\ソ予";              // 表, ソ and 予 all end in 0x5C
    EXPECT_EQ(path.find_last_of('\\'), path.size() - 1);  // what a byte search gets wrong
    EXPECT_EQ(sjis::FindLastOf(path, "\\"), 5u);
}

TEST(ShiftJis, StrayLeadByteDoesNotSwallowTheNextCharacter) {
    // Raw UTF-8 "テスト.exe": E3 83 86 E3 82 B9 E3 83 88 2E ... The 0x88 is a lead byte,
    // but the dot after it is no trail byte, so the dot stands alone.
    const std::string name = "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.exe";
    EXPECT_EQ(sjis::FindLastOf(name, "."), 9u);
    // A lead byte before a closing quote leaves the quote alone too.
    EXPECT_EQ(sjis::FindFirstOf("\"\x88\"", "\"", 1), 2u);
    // A lead byte at the very end is one byte.
    EXPECT_EQ(sjis::CharLength("a\x81", 1), 1u);
}

TEST(ShiftJis, CaseFoldingLeavesDoubleByteCharactersAlone) {
    // "ａ" is 82 81, "Ａ" is 82 60; 0x41-0x5A trail bytes must not be folded.
    EXPECT_EQ(sjis::ToLowerAscii("EXE\x83\x41"), "exe\x83\x41");
    EXPECT_TRUE(sjis::EqualsNoCase("Setup.EXE", "setup.exe"));
    EXPECT_FALSE(sjis::EqualsNoCase("\x83\x41", "\x83\x61"));
}

}  // namespace
