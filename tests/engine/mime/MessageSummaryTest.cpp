#include "engine/mime/LocalClock.h"
#include "engine/mime/MailParser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

engine::LocalDateTime FixedNow() {
    return {2026, 3, 4, 5, 6, 7};
}
const char* const kNow = "2026年03月04日 05:06:07";

class MessageSummary : public ::testing::Test {
protected:
    void SetUp() override { m_previous = engine::SetLocalClock(FixedNow); }
    void TearDown() override { engine::SetLocalClock(m_previous); }

    struct Summary {
        bool bComplete = false;
        std::string strFrom;
        std::string strSubject;
        std::string strDate;
        std::string strContentType;
        std::string strNextLine;
    };

    static Summary Read(const std::string& text) {
        CMailParser parser;
        CMessageReader reader;
        reader.OpenText(text);
        Summary summary;
        summary.bComplete = parser.ReadMessageSummary(reader, summary.strFrom, summary.strSubject,
                                                      summary.strDate, summary.strContentType);
        if (!reader.ReadLine(summary.strNextLine)) {
            summary.strNextLine = "<end>";
        }
        return summary;
    }

private:
    engine::LocalClockFunction m_previous = nullptr;
};

TEST_F(MessageSummary, RewritesTheDate) {
    const struct {
        const char* value;
        std::string text;
    } cases[] = {
        {"Mon, 6 Dec 2004 10:20:30 +0900", "2004年12月06日 10:20:30"},
        {"Mon,\t06 dec 2004 10: 20: 30", "2004年12月06日 10:20:30"},
        {"Mon, 6 DEC 2004 10:20:30", "2004年12月06日 10:20:30"},
        {"Mon, 6 December 2004 10:20:30", "2004年01月06日 10:20:30"},    // unknown month: 1
        {"Mon, 6 Dec 4 1:2:3", "0004年12月06日 01:02:03"},               // the year as written
        {"Wednesday,X 6 Dec 2004 10:20:30", "2004年12月06日 10:20:30"},  // 11 bytes fit
        {"6 Dec 2004 10:20:30", kNow},                                   // no weekday
        {"Mon, 6 Dec 2004 10:20", kNow},                                 // no seconds
        {"Mon, 6 Dec 2004 10 :20:30", kNow},         // the colon must follow at once
        {"Wednesday,XY 6 Dec 2004 10:20:30", kNow},  // a 12-byte word does not fit
        {"Mon, 6 Decemberrrrrr 2004 10:20:30", kNow},
        {"Mon, 99999999999 Dec 2004 10:20:30", kNow},  // no int
        {"", kNow},
    };
    CMailParser parser;
    for (const auto& c : cases) {
        EXPECT_EQ(parser.FormatDate(c.value), c.text) << c.value;
    }
}

TEST_F(MessageSummary, TakesTheLastSenderAndSubject) {
    const struct {
        std::string header;
        std::string from;
        std::string subject;
    } cases[] = {
        {"Return-Path: <a@x>\nFrom: B <b@x>\nSubject: hi\n", "B <b@x>", "hi"},
        {"Return-Path: <a@x>\n", "<a@x>", "--件名なし--"},
        {"From: B <b@x>\nReturn-Path: <a@x>\n", "<a@x>", "--件名なし--"},
        {"To: c@x\n", "--不明--", "--件名なし--"},
        {"From:\nSubject:   \n", "--不明--", "--件名なし--"},
        {"Subject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\n", "--不明--", "日本語"},
        {"Subject: =?ISO-2022-JP?B?GyRCRnxLXDhs\n", "--不明--", "=?ISO-2022-JP?B?GyRCRnxLXDhs"},
        // Every charset, split words joined, raw UTF-8 and raw ISO-2022-JP.
        {"From: =?UTF-8?B?5bGx55Sw?= <a@x>\nSubject: =?utf-8?q?=E6=97=A5=E6=9C?=\n"
         " =?utf-8?q?=AC?=\n",
         "山田 <a@x>", "日本"},
        {"From: \xE5\xB1\xB1\xE7\x94\xB0\nSubject: \x1B$BF|K\\\x1B(B\n", "山田", "日本"},
        {"SUBJECT: abc\n def\n\tghi\n", "--不明--", "abcdefghi"},
        {"Subject: one\nSubject: two\n", "--不明--", "two"},
        // Line breaks, decoded or raw, become one space each run; never a new line.
        {"Subject: =?ISO-2022-JP?B?GyRCN29MPhsoQgobJEJGczlUTFwbKEI=?=\n", "--不明--",
         "件名 二行目"},
        {"From: a\r\rb\nSubject: x\ry\n", "a b", "x y"},
        {"Subject: a=?ISO-2022-JP?B?Cg==?=\n", "--不明--", "a "},
        {"Subject: =?ISO-2022-JP?B?Cg==?=\n", "--不明--", "--件名なし--"},  // trimmed away
    };
    for (const auto& c : cases) {
        const Summary summary = Read(c.header + "\nbody\n");
        EXPECT_TRUE(summary.bComplete) << c.header;
        EXPECT_EQ(summary.strFrom, c.from) << c.header;
        EXPECT_EQ(summary.strSubject, c.subject) << c.header;
        EXPECT_EQ(summary.strNextLine, "body") << c.header;
    }
}

TEST_F(MessageSummary, KeepsTheContentTypeRawAndTheDateEmptyWhenMissing) {
    const Summary summary = Read(
        "Content-Type:  multipart/mixed;\r\n"
        "\tboundary=\"=?ISO-2022-JP?B?QQ==?=\"\r\n"
        "\r\n");
    EXPECT_TRUE(summary.bComplete);
    EXPECT_EQ(summary.strDate, "");
    // Taken as written, unfolded: its parameters are decoded one by one.
    EXPECT_EQ(summary.strContentType, "multipart/mixed;\tboundary=\"=?ISO-2022-JP?B?QQ==?=\"");
    EXPECT_EQ(Read("Content-Type: =?ISO-2022-JP?B?QQ==?=\n\n").strContentType,
              "=?ISO-2022-JP?B?QQ==?=");
    // Unfolding drops the folding white space: "Dec" and "2004" run together unless the
    // first line ends in a space.
    EXPECT_EQ(Read("Date: Mon, 6 Dec \n 2004 10:20:30\n\n").strDate, "2004年12月06日 10:20:30");
    EXPECT_EQ(Read("Date: Mon, 6 Dec\n 2004 10:20:30\n\n").strDate, kNow);
}

TEST_F(MessageSummary, GivesNoPlaceholdersWhenTheHeaderHasNoEnd) {
    const Summary summary = Read("From: a@x\nDate: junk\n");
    EXPECT_FALSE(summary.bComplete);
    EXPECT_EQ(summary.strFrom, "a@x");
    EXPECT_EQ(summary.strSubject, "");
    EXPECT_EQ(summary.strDate, kNow);
    EXPECT_FALSE(Read("").bComplete);
}

TEST_F(MessageSummary, CopesWithHugeAndOddHeaders) {
    // A subject line of several megabytes, full of encoded words, is read whole.
    std::string words;
    for (int i = 0; i < 200000; ++i) {
        words += "=?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=";
    }
    const Summary big = Read("Subject: " + words + "\n\n");
    EXPECT_TRUE(big.bComplete);
    EXPECT_EQ(big.strSubject.size(), 200000u * 6);
    // CR-only line ends (old Mac mail) read as CR LF ones.
    const Summary crOnly = Read("From: a\rSubject: b\r\rbody\r");
    EXPECT_TRUE(crOnly.bComplete);
    EXPECT_EQ(crOnly.strFrom, "a");
    EXPECT_EQ(crOnly.strSubject, "b");
    EXPECT_EQ(crOnly.strNextLine, "body");
    // NUL bytes are read past like any other byte, and never shown.
    using namespace std::string_literals;
    const Summary nul = Read("Subject: a\0b\nFrom: \0\n\n"s);
    EXPECT_EQ(nul.strSubject, "ab");
    EXPECT_EQ(nul.strFrom, "--不明--");
}

}  // namespace
