#include "store/RecordFile.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordFile, ReadsThreeLinesAsATextModeStreamDoes) {
    struct Case {
        const char* what;
        std::string bytes;
        RecordFileText expected;
    };
    const Case cases[] = {
        // As the extraction writes it: each value arrives with one CR, which the date and the
        // sender lose and the subject keeps.
        {"written",
         "2004年12月06日 10:20:30\r\r\n山田 <a@example.jp>\r\r\n件名\r\r\n",
         {"2004年12月06日 10:20:30", "山田 <a@example.jp>", "件名\r"}},
        {"plain line ends", "d\nf\ns\n", {"d", "f", "s"}},
        {"CR LF line ends", "d\r\nf\r\ns\r\n", {"d", "f", "s"}},
        {"missing lines", "d\r\r\n", {"d", "", ""}},
        {"no line end", "d", {"d", "", ""}},
        {"empty", "", {"", "", ""}},
        {"a lone CR stays inside", "a\rb\r\r\nf\r\nx\ry\r\n", {"a\rb", "f", "x\ry"}},
        {"more lines", "d\nf\ns\nextra\n", {"d", "f", "s"}},
        {"trail bytes", "表\r\r\n能\r\r\n\x81\r\r\n", {"表", "能", "\x81\r"}},
    };
    test::ScratchFolder scratch;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = scratch / "r.att";
        test::WriteFile(path, c.bytes);
        RecordFileText text;
        ASSERT_TRUE(ReadRecordFile(path, text));
        EXPECT_EQ(text.dateText, c.expected.dateText);
        EXPECT_EQ(text.fromText, c.expected.fromText);
        EXPECT_EQ(text.subjectText, c.expected.subjectText);
    }
    RecordFileText text{"x", "y", "z"};
    EXPECT_FALSE(ReadRecordFile(scratch / "missing.att", text));
    EXPECT_EQ(text.dateText + text.fromText + text.subjectText, "");
}

TEST(RecordFile, LongLines) {
    test::ScratchFolder scratch;
    const std::string subject(10000, 's');
    test::WriteFile(scratch / "r.att",
                    "d\r\r\n" + std::string(5000, 'f') + "\r\r\n" + subject + "\r\r\n");
    RecordFileText text;
    ASSERT_TRUE(ReadRecordFile(scratch / "r.att", text));
    EXPECT_EQ(text.fromText, std::string(5000, 'f'));
    EXPECT_EQ(text.subjectText, subject + "\r");
}

}  // namespace
