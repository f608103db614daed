#include "platform/ShiftJis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(ShiftJis, EqualsNoCaseIsEqualityAfterFolding) {
    // Every pair of texts of up to three bytes from letters (which are trail bytes too), lead
    // bytes, a dot and a byte that can only be a trail byte: equal without case exactly when
    // their folded forms are equal.
    const std::string bytes = "Aa\x83\x81.\x80";
    std::vector<std::string> texts{""};
    for (std::size_t begin = 0, length = 1; length <= 3; ++length) {
        const std::size_t end = texts.size();
        for (std::size_t i = begin; i < end; ++i) {
            for (char byte : bytes) {
                texts.push_back(texts[i] + byte);
            }
        }
        begin = end;
    }
    for (const std::string& a : texts) {
        for (const std::string& b : texts) {
            ASSERT_EQ(sjis::EqualsNoCase(a, b), sjis::ToLowerAscii(a) == sjis::ToLowerAscii(b))
                << a << " / " << b;
        }
    }
}

TEST(ShiftJis, SearchesMatchWholeCharactersOnly) {
    EXPECT_TRUE(sjis::StartsWithNoCase("content-TYPE: x", "Content-Type:"));
    EXPECT_FALSE(sjis::StartsWithNoCase("Content-Type : x", "Content-Type:"));
    EXPECT_FALSE(sjis::StartsWithNoCase("Content", "Content-Type:"));
    // 0x83 0x42 is one character: its trail byte is no "B" (a byte search finds it at 1).
    EXPECT_EQ(sjis::FindNoCase("\x83"
                               "BOUNDARY=",
                               "boundary="),
              std::string::npos);
    EXPECT_EQ(sjis::FindNoCase("x; Boundary=", "BOUNDARY="), 3u);
    EXPECT_EQ(sjis::FindNoCase("\x83\x41"
                               "a",
                               "A"),
              2u);  // "ア" holds no "A"
    // A stray lead byte before "?=" leaves it alone; the search goes on from a boundary.
    EXPECT_EQ(sjis::Find("\x88?=", "?="), 1u);
    EXPECT_EQ(sjis::Find("?=a?=", "?=", 2), 3u);
    EXPECT_EQ(sjis::Find("?=", "?=", 2), std::string::npos);
    EXPECT_EQ(sjis::Find("ab", ""), 0u);
    // Double-byte characters of the needle match exactly, not folded.
    EXPECT_EQ(sjis::FindNoCase("x表a", "表A"), 1u);
}

}  // namespace
