#include "engine/mime/MailParser.h"

#include "platform/SpecialFolders.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(UnsentMail, RewriteRemovesTransportFieldsWithTheirContinuations) {
    struct Case {
        const char* header;
        const char* rewritten;
    };
    const Case cases[] = {
        {"Return-Path: <a@x>\r\nReceived: from a\r\n\tby b\r\nReceived: from c\r\n\tby d\r\n"
         "RECEIVED: from e\r\n\tby f\r\nMessage-Id: <1@x>\r\nFrom: a@x\r\nTo: b@y\r\n"
         "Subject: s\r\nDate: d\r\n\r\n",
         "X-Unsent: 1\r\nFrom: a@x\r\nTo: b@y\r\nSubject: s\r\nDate: d\r\n\r\n"},
        {"X-Unsent: 0\r\nSubject: s\r\n\r\n", "X-Unsent: 1\r\nSubject: s\r\n\r\n"},
        {"Received-SPF: pass\r\nSubject: s\r\n  folded\r\n\r\n",
         "X-Unsent: 1\r\nReceived-SPF: pass\r\nSubject: s\r\n  folded\r\n\r\n"},
        {"\r\n", "X-Unsent: 1\r\n\r\n"},
    };
    CMailParser parser;
    for (const Case& c : cases) {
        std::string header = c.header;
        EXPECT_TRUE(parser.RewriteAsUnsent(header)) << c.header;
        EXPECT_EQ(header, c.rewritten);
    }
    // A removed field that runs to the end of the text has nothing after it.
    std::string unterminated = "Subject: s\r\nReceived: a\r\n b\r\n";
    EXPECT_FALSE(parser.RewriteAsUnsent(unterminated));
}

TEST(UnsentMail, HeaderBlockNeedsABlankLineWithinSixHundredLines) {
    CMailParser parser;
    std::string header;
    CMessageReader reader;
    reader.OpenText("A: 1\nB: 2\r\n\r\nbody\n");
    EXPECT_TRUE(parser.ReadHeaderBlock(reader, header));
    EXPECT_EQ(header, "A: 1\r\nB: 2\r\n\r\n");

    std::string lines;
    for (int i = 0; i < 599; ++i) {
        lines += "X: y\r\n";
    }
    reader.OpenText(lines + "\r\nbody");
    EXPECT_TRUE(parser.ReadHeaderBlock(reader, header));
    reader.OpenText(lines + "X: y\r\n\r\nbody");
    EXPECT_FALSE(parser.ReadHeaderBlock(reader, header));
    EXPECT_EQ(header, "");
    reader.OpenText("A: 1\r\nno blank line");
    EXPECT_FALSE(parser.ReadHeaderBlock(reader, header));
}

TEST(UnsentMail, TheDraftLandsInTheTemporaryFolder) {
    test::ScratchFolder scratch;
    const std::string message = scratch / "表.eml";
    test::WriteFile(message,
                    "Received: x\r\n y\r\nSubject: 予定\r\n\r\nline one\nline two\r\nlast");
    CMailParser parser;
    const std::string draft = parser.WriteUnsentMail(message);
    const std::string folder = platform::TempPath() + "morvek\\";
    ASSERT_EQ(draft.rfind(folder + "EML", 0), 0u) << draft;
    EXPECT_EQ(draft.substr(draft.size() - 8), ".tmp.eml");
    EXPECT_EQ(test::ReadFile(draft),
              "X-Unsent: 1\r\nSubject: 予定\r\n\r\nline one\r\nline two\r\nlast\r\n");
    // The message itself stays as it was.
    EXPECT_EQ(test::ReadFile(message).substr(0, 11), "Received: x");

    test::WriteFile(scratch / "empty-body.eml", "Subject: s\r\n\r\n");
    EXPECT_EQ(test::ReadFile(parser.WriteUnsentMail(scratch / "empty-body.eml")),
              "X-Unsent: 1\r\nSubject: s\r\n\r\n");
    test::WriteFile(scratch / "no-blank.eml", "Subject: s\r\n");
    EXPECT_EQ(parser.WriteUnsentMail(scratch / "no-blank.eml"), "");
    EXPECT_EQ(parser.WriteUnsentMail(scratch / "missing.eml"), "");
}

}  // namespace
