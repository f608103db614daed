#include "engine/extract/AlertText.h"
#include "engine/extract/Progress.h"
#include "engine/extract/StagingSink.h"
#include "engine/mime/MailParser.h"

#include "platform/FileSystem.h"
#include "policy/ExtensionList.h"
#include "support/ArchiveBuilders.h"
#include "support/Base64Encode.h"
#include "support/RecordingDownloadMarker.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

namespace {

// Records the positions it is given; asks to cancel at the given check.
class RecordingProgress : public IProgress {
public:
    explicit RecordingProgress(int cancelAtCheck = 0) : m_nCancelAt(cancelAtCheck) {}
    void SetPosition(int position) override { m_arrPositions.push_back(position); }
    bool CheckCancel() override { return ++m_nChecks == m_nCancelAt; }

    std::vector<int> m_arrPositions;
    int m_nChecks = 0;
    int m_nCancelAt;
};

std::string Part(const std::string& headers, const std::string& body) {
    return "--BOUNDARY\r\n" + headers + "\r\n" + body + "\r\n";
}

std::string Attachment(const std::string& name, const std::string& base64) {
    return Part(
        "Content-Type: application/octet-stream\r\n"
        "Content-Transfer-Encoding: base64\r\n"
        "Content-Disposition: attachment; filename=\"" +
            name + "\"\r\n",
        base64);
}

std::string Message(const std::string& parts,
                    const std::string& type = "multipart/mixed; boundary=\"BOUNDARY\"") {
    return "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <a@example.jp>\r\n"
           "Subject: report\r\n"
           "Date: Mon, 6 Dec 2004 10:20:30 +0900\r\n"
           "MIME-Version: 1.0\r\n"
           "Content-Type: " +
           type +
           "\r\n"
           "\r\n"
           "preamble\r\n" +
           parts + "--BOUNDARY--\r\n";
}

const std::string kTextPart = Part("Content-Type: text/plain\r\n", "hello");

class ExtractAttachmentsTest : public ::testing::Test {
protected:
    std::string DataFolder() const { return m_scratch.Path() + "\\"; }
    std::string Staging() const { return DataFolder() + "scanvirus\\B"; }
    std::string MessagePath() const { return DataFolder() + "B.eml"; }

    std::string Extract(const std::string& message, RecordingProgress& progress,
                        const CExtensionList& prohibited) {
        test::WriteFile(MessagePath(), message);
        CMailParser parser(DataFolder());
        return parser.ExtractAttachments(MessagePath(), prohibited, progress, 20, 40);
    }
    std::string Extract(const std::string& message) {
        RecordingProgress progress;
        return Extract(message, progress, m_prohibited);
    }

    // Every file below a folder of the data folder ("" or "scanvirus\\B\\"), as relative
    // paths joined with "/", folders ending in "/" ("\\" could be the trail byte of a name's
    // last character).
    std::set<std::string> Tree(const std::string& folder = {},
                               const std::string& shown = {}) const {
        std::set<std::string> names;
        std::vector<platform::FoundEntry> entries;
        platform::FindEntries(DataFolder() + folder + "*.*", entries);
        for (const platform::FoundEntry& entry : entries) {
            if (entry.isFolder) {
                names.insert(shown + entry.name + "/");
                for (const std::string& inner :
                     Tree(folder + entry.name + "\\", shown + entry.name + "/")) {
                    names.insert(inner);
                }
            } else {
                names.insert(shown + entry.name);
            }
        }
        return names;
    }

    test::ScratchFolder m_scratch;
    CExtensionList m_prohibited{{"exe", "com", "alert"}, {}};
};

TEST_F(ExtractAttachmentsTest, WritesEachAttachmentAndTheRecordFile) {
    const std::string result = Extract(
        Message(kTextPart + Attachment("a.txt", "QUJD") + Attachment("写真.jpg", "/9j/4AAQ")));
    EXPECT_EQ(result, Staging());
    EXPECT_EQ(Tree(), (std::set<std::string>{"B.att", "scanvirus/", "scanvirus/B/",
                                             "scanvirus/B/a.txt", "scanvirus/B/写真.jpg"}));
    EXPECT_EQ(test::ReadFile(Staging() + "\\a.txt"), "ABC");
    EXPECT_EQ(test::ReadFile(Staging() + "\\写真.jpg"), std::string("\xFF\xD8\xFF\xE0\x00\x10", 6));
    EXPECT_EQ(test::ReadFile(DataFolder() + "B.att"),
              "2004年12月06日 10:20:30\r\r\n山田 <a@example.jp>\r\r\nreport\r\r\n");
}

TEST_F(ExtractAttachmentsTest, AlertFilesReplaceProhibitedAttachments) {
    const std::string result = Extract(Message(Attachment("Setup.EXE", "TVqQAAMAAAAEAAAA")));
    EXPECT_EQ(result, Staging());
    EXPECT_EQ(Tree("scanvirus\\B\\"), std::set<std::string>{"Setup.EXE.alert"});
    const std::string alert = test::ReadFile(Staging() + "\\Setup.EXE.alert");
    EXPECT_EQ(alert, engine::MakeAlertText("Setup.EXE"));
    EXPECT_NE(alert.find("\r\n　添付ファイル名：Setup.EXE\r\n"), std::string::npos);
    EXPECT_EQ(alert.find("MZ"), std::string::npos);
}

TEST_F(ExtractAttachmentsTest, AttachmentsHeldForWhatTheyHoldBecomeAlertFilesSayingWhy) {
    const CExtensionList prohibited({"exe", "lnk", "alert"}, {});
    std::string program(0x100, '\0');
    program.replace(0, 2, "MZ");
    program[0x3C] = 0x40;
    program.replace(0x40, 4, std::string("PE\0\0", 4));
    program[0x58] = 0x0B;
    program[0x59] = 0x01;
    const std::string shortcutZip = test::Zip({{"請求書.pdf.lnk", "L"}});
    const std::string lockedZip = test::Zip({{"report.pdf", "x", false, 0x0001}});
    const std::string message =
        Message(kTextPart + Attachment("請求書.zip", test::Base64Encode(shortcutZip)) +
                Attachment("invoice.pdf", test::Base64Encode(program)) +
                Attachment("locked.zip", test::Base64Encode(lockedZip)) +
                Attachment("photos.zip", test::Base64Encode(test::Zip({{"a.jpg", "x"}}))));
    for (const bool keep : {false, true}) {
        SCOPED_TRACE(keep ? "kept" : "held");
        test::WriteFile(MessagePath(), message);
        CMailParser parser(DataFolder());
        parser.SetKeepUncheckableArchives(keep);
        RecordingProgress progress;
        EXPECT_EQ(parser.ExtractAttachments(MessagePath(), prohibited, progress, 0, 100), Staging());
        const std::set<std::string> expected =
            keep ? std::set<std::string>{"請求書.zip.alert", "invoice.pdf.alert", "locked.zip", "photos.zip"}
                 : std::set<std::string>{"請求書.zip.alert", "invoice.pdf.alert", "locked.zip.alert",
                                         "photos.zip"};
        EXPECT_EQ(Tree("scanvirus\\B\\"), expected);
        EXPECT_EQ(test::ReadFile(Staging() + "\\請求書.zip.alert"),
                  engine::MakeAlertText("請求書.zip",
                                "圧縮ファイルの中に取り出し禁止のファイルがあります: 請求書.pdf.lnk"));
        EXPECT_EQ(engine::AlertReason(test::ReadFile(Staging() + "\\invoice.pdf.alert")), "中身はプログラム (exe) です");
        if (!keep) {
            EXPECT_EQ(engine::AlertReason(test::ReadFile(Staging() + "\\locked.zip.alert")),
                      "パスワード付きのため検査できません");
        }
        test::DeleteTree(DataFolder() + "scanvirus");
        platform::RemoveFile(DataFolder() + "B.att");
    }
}

TEST_F(ExtractAttachmentsTest, PartsHandedOverInMemoryAreLookedIntoBeforeTheyAreWritten) {
    const CExtensionList prohibited({"js", "alert"}, {});
    platform::MakeFolder(DataFolder() + "scanvirus");
    CStagingSink sink(DataFolder(), "B", prohibited);
    sink.AddPart("docs.zip", {}, test::Zip({{"a\\run.js", "x"}}));
    sink.AddPart("ok.zip", {}, test::Zip({{"run.txt", "x"}}));
    EXPECT_EQ(sink.Finish(true, {}), Staging());
    EXPECT_EQ(Tree("scanvirus\\B\\"), (std::set<std::string>{"docs.zip.alert", "ok.zip"}));
    EXPECT_EQ(engine::AlertReason(test::ReadFile(Staging() + "\\docs.zip.alert")),
              "圧縮ファイルの中に取り出し禁止のファイルがあります: a\\run.js");
}

TEST_F(ExtractAttachmentsTest, TheAlertTextHasItsTenLines) {
    const std::string text = engine::MakeAlertText("a.exe");
    std::vector<std::string> lines;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t end = text.find("\r\n", pos);
        ASSERT_NE(end, std::string::npos);
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    ASSERT_EQ(lines.size(), 10u);
    for (int i : {0, 1, 2, 3, 4, 9}) {
        EXPECT_EQ(lines[static_cast<std::size_t>(i)].size(), 63u) << i;
    }
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[6], "　添付ファイル名：a.exe");
}

TEST_F(ExtractAttachmentsTest, WhichPartsAreTaken) {
    const std::string parts =
        Part("Content-Type: text/plain\r\nContent-Disposition: inline; filename=\"in.txt\"\r\n",
             "inline text") +
        Part(
            "Content-Type: application/pdf; name=\"only-type.pdf\"\r\n"
            "Content-Transfer-Encoding: base64\r\n",
            "QUJD") +
        Part("Content-Type: message/rfc822\r\n", "Subject: first\r\n\r\nbody one") +
        Part("Content-Type: message/rfc822\r\n", "Subject: second\r\n\r\nbody two") +
        Part("Content-Type: text/plain\r\nContent-Disposition: attachment\r\n", "no name");
    EXPECT_EQ(Extract(Message(parts)), Staging());
    EXPECT_EQ(Tree("scanvirus\\B\\"),
              (std::set<std::string>{"in.txt", "only-type.pdf", "message.eml", "message(1).eml",
                                     "attachment.txt"}));
    EXPECT_EQ(test::ReadFile(Staging() + "\\in.txt"), "inline text");
    EXPECT_EQ(test::ReadFile(Staging() + "\\only-type.pdf"), "ABC");
    EXPECT_EQ(test::ReadFile(Staging() + "\\attachment.txt"), "no name");
    EXPECT_EQ(test::ReadFile(Staging() + "\\message.eml"), "Subject: first\r\n\r\nbody one");
    EXPECT_EQ(test::ReadFile(Staging() + "\\message(1).eml"), "Subject: second\r\n\r\nbody two");
}

TEST_F(ExtractAttachmentsTest, MessagesWithNothingToExtract) {
    struct Case {
        const char* what;
        std::string message;
    };
    const Case cases[] = {
        {"single part", "Subject: x\r\nContent-Type: application/pdf\r\n\r\nQUJD\r\n"},
        {"no blank line", "Subject: x\r\nContent-Type: multipart/mixed; boundary=\"B\""},
        {"only bodies",
         Message(kTextPart + Part("Content-Type: text/html\r\nContent-Disposition: inline\r\n",
                                  "<p>"),
                 "multipart/alternative; boundary=BOUNDARY")},
        {"no boundary", Message(Attachment("a.txt", "QUJD"), "multipart/mixed")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Extract(c.message), "");
        // The message is consumed; no staging folder and no record file remain.
        EXPECT_EQ(Tree(), std::set<std::string>{"scanvirus/"});
    }
}

// Every structure real mail uses: nested multiparts of any subtype, bare and padded
// boundaries, digests, a single-part attachment, a message inside a message.
TEST_F(ExtractAttachmentsTest, FindsAttachmentsInEveryStructure) {
    const auto nested = [](const std::string& type, const std::string& inner) {
        return Part("Content-Type: " + type + "; boundary=\"inner\"\r\n", inner + "--inner--");
    };
    const auto innerPart = [](const std::string& headers, const std::string& body) {
        return "--inner \t\r\n" + headers + "\r\n" + body + "\r\n";
    };
    const struct {
        const char* what;
        std::string message;
        std::set<std::string> files;
    } cases[] = {
        {"unquoted boundary", Message(Attachment("a.txt", "QUJD"), "multipart/mixed; boundary=BOUNDARY"),
         {"a.txt"}},
        {"attachment in alternative",
         Message(Attachment("a.txt", "QUJD"), "multipart/alternative; boundary=\"BOUNDARY\""),
         {"a.txt"}},
        {"mixed in mixed, related in alternative",
         Message(kTextPart +
                 nested("multipart/mixed",
                        innerPart("Content-Type: text/plain\r\n", "body") +
                            innerPart("Content-Type: image/png; name=\"in.png\"\r\n"
                                      "Content-Transfer-Encoding: base64\r\n",
                                      "QUJD")) +
                 Attachment("after.txt", "QUJD")),
         {"in.png", "after.txt"}},
        {"signed", Message(Part("Content-Type: application/pkcs7-signature\r\n"
                                "Content-Disposition: attachment\r\n"
                                "Content-Transfer-Encoding: base64\r\n",
                                "QUJD"),
                           "multipart/signed; boundary=BOUNDARY"),
         {"attachment.p7s"}},
        {"digest", Message(Part("", "Subject: one\r\n\r\nbody"),
                           "multipart/digest; boundary=BOUNDARY"),
         {"message.eml"}},
        {"single part",
         "Subject: x\r\nContent-Type: application/pdf; name=\"one.pdf\"\r\n"
         "Content-Transfer-Encoding: base64\r\n\r\nQUJD\r\n",
         {"one.pdf"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Extract(c.message), Staging());
        const std::set<std::string>& expected = c.files;
        EXPECT_EQ(Tree("scanvirus\\B\\"), expected);
        for (const std::string& name : expected) {
            if (name != "message.eml") {
                EXPECT_EQ(test::ReadFile(Staging() + "\\" + name), "ABC") << name;
            }
        }
        test::DeleteTree(Staging());
        platform::RemoveFile(DataFolder() + "B.att");
    }
}

// Depth and part limits: a hostile message ends the walk, never the program.
TEST_F(ExtractAttachmentsTest, StopsAtTheDepthAndAttachmentLimitsAndSaysSo) {
    const auto name = [](int level) {
        return level == 0 ? std::string("BOUNDARY") : "b" + std::to_string(level);
    };
    const auto attachmentAt = [&](int level) {
        return "--" + name(level) +
               "\r\nContent-Disposition: attachment; filename=\"d" + std::to_string(level) +
               ".txt\"\r\n\r\nABC\r\n";
    };
    std::string deep;
    for (int level = 200; level >= 0; --level) {
        deep = "--" + name(level) + "\r\nContent-Type: multipart/mixed; boundary=" +
               name(level + 1) + "\r\n\r\n" + attachmentAt(level + 1) + deep;
    }
    RecordingProgress progress;
    test::WriteFile(MessagePath(), Message(deep));
    CMailParser parser(DataFolder());
    EXPECT_EQ(parser.ExtractAttachments(MessagePath(), m_prohibited, progress, 0, 1), Staging());
    // Multiparts are descended to depth 31 (the message is depth 0); deeper ones are parts
    // without a name, and the message is said to be cut.
    EXPECT_EQ(Tree("scanvirus\\B\\").size(), 31u);
    EXPECT_TRUE(platform::QueryAttributes(Staging() + "\\d31.txt"));
    EXPECT_EQ(parser.GetCut(), ExtractionCut::TooDeep);
    test::DeleteTree(Staging());

    // Attachments count, other parts do not: one after 1,500 text parts is extracted.
    std::string texts;
    for (int i = 0; i < 1500; ++i) {
        texts += kTextPart;
    }
    test::WriteFile(MessagePath(), Message(texts + Attachment("last.txt", "QUJD")));
    EXPECT_EQ(parser.ExtractAttachments(MessagePath(), m_prohibited, progress, 0, 1), Staging());
    EXPECT_EQ(Tree("scanvirus\\B\\"), (std::set<std::string>{"last.txt"}));
    EXPECT_EQ(parser.GetCut(), ExtractionCut::None);
    test::DeleteTree(Staging());

    // The attachment after the last allowed one cuts the message.
    std::string many;
    for (int i = 0; i <= CMailParser::kMaxAttachments; ++i) {
        many += Attachment("a.txt", "QUJD");
    }
    test::WriteFile(MessagePath(), Message(many));
    EXPECT_EQ(parser.ExtractAttachments(MessagePath(), m_prohibited, progress, 0, 1), Staging());
    EXPECT_EQ(Tree("scanvirus\\B\\").size(), std::size_t{CMailParser::kMaxAttachments});
    EXPECT_EQ(parser.GetCut(), ExtractionCut::TooManyAttachments);
}

TEST_F(ExtractAttachmentsTest, AMessageThatCannotBeReadIsKept) {
    RecordingProgress progress;
    CMailParser parser(DataFolder());
    EXPECT_EQ(
        parser.ExtractAttachments(DataFolder() + "missing.eml", m_prohibited, progress, 0, 100),
        "");
    test::WriteFile(DataFolder() + "noextension", Message(Attachment("a.txt", "QUJD")));
    EXPECT_EQ(
        parser.ExtractAttachments(DataFolder() + "noextension", m_prohibited, progress, 0, 100),
        "");
    // A name without "." cannot be extracted: it is consumed.
    EXPECT_EQ(Tree(), std::set<std::string>{"scanvirus/"});
}

TEST_F(ExtractAttachmentsTest, ProgressMovesInSixthsAndCancelStopsBeforeTheNextPart) {
    std::string parts;
    for (int i = 0; i < 8; ++i) {
        parts += Attachment("f" + std::to_string(i) + ".txt", "QUJD");
    }
    RecordingProgress progress;
    EXPECT_EQ(Extract(Message(parts), progress, m_prohibited), Staging());
    EXPECT_EQ(progress.m_arrPositions, (std::vector<int>{23, 26, 30, 33, 36, 40}));
    EXPECT_EQ(Tree("scanvirus\\B\\").size(), 8u);

    test::DeleteTree(Staging());
    RecordingProgress cancelling(4);
    EXPECT_EQ(Extract(Message(parts), cancelling, m_prohibited), Staging());
    EXPECT_EQ(Tree("scanvirus\\B\\").size(), 3u);
    EXPECT_EQ(cancelling.m_nChecks, 4);
    EXPECT_TRUE(platform::QueryAttributes(DataFolder() + "B.att"));
    EXPECT_FALSE(platform::QueryAttributes(MessagePath()));
}

TEST_F(ExtractAttachmentsTest, HostileNamesStayInsideTheStagingFolder) {
    const char* const names[] = {
        "..\\..\\x.exe",
        "C:\\Windows\\win.ini",
        "a/b/../c.txt",
        "x.exe.",
        "y.exe ",
        "CON.txt",
        "nul",
        "a<b>|c?.txt",
        "予定表.txt",
        "ソ\\表",
        "..",
        "x.exe",
        "x.exe.alert",
        "A.TXT",
        "a.txt",
    };
    std::string parts;
    for (const char* name : names) {
        parts += Attachment(name, "QUJD");
    }
    EXPECT_EQ(Extract(Message(parts)), Staging());
    const std::string s = "scanvirus/B/";
    EXPECT_EQ(Tree(), (std::set<std::string>{
                          "B.att", "scanvirus/", s, s + "x.exe.alert", s + "win.ini", s + "c.txt",
                          s + "x(1).exe.alert", s + "y.exe.alert", s + "_CON.txt", s + "_nul",
                          s + "a_b__c_.txt", s + "予定表.txt", s + "表", s + "x(2).exe.alert",
                          s + "x.exe(1).alert.alert", s + "A.TXT", s + "a(1).txt",
                          s + "attachment.bin"}));  // ".." leaves nothing of its name
    // The alert file names the attachment as the message gave it.
    EXPECT_EQ(test::ReadFile(Staging() + "\\x.exe.alert"), engine::MakeAlertText("..\\..\\x.exe"));
    EXPECT_EQ(test::ReadFile(Staging() + "\\x(1).exe.alert"), engine::MakeAlertText("x.exe."));
}

TEST_F(ExtractAttachmentsTest, NamesEqualBeyondAsciiCaseAreEightFiles) {
    // Each pair is one name on a Windows file system; each file keeps its own contents.
    const char* const names[] = {"資料Ⅰ.txt", "資料ⅰ.txt", "ＡＢＣ", "ａｂｃ", "Σ", "σ", "Д", "д"};
    std::string parts;
    for (std::size_t i = 0; i < std::size(names); ++i) {
        parts += Part("Content-Disposition: attachment; filename=\"" + std::string(names[i]) +
                          "\"\r\n",
                      std::to_string(i));
    }
    EXPECT_EQ(Extract(Message(parts)), Staging());
    const std::string s = "scanvirus/B/";
    EXPECT_EQ(Tree(), (std::set<std::string>{"B.att", "scanvirus/", s, s + "資料Ⅰ.txt",
                                             s + "資料ⅰ(1).txt", s + "ＡＢＣ", s + "ａｂｃ(1)",
                                             s + "Σ", s + "σ(1)", s + "Д", s + "д(1)"}));
    EXPECT_EQ(test::ReadFile(Staging() + "\\資料ⅰ(1).txt"), "1");
    EXPECT_EQ(test::ReadFile(Staging() + "\\д(1)"), "7");
}

TEST_F(ExtractAttachmentsTest, AFileAlreadyThereIsNeverOpened) {
    // Something in the staging folder's place before the message (a leftover): the new
    // file takes the next number instead of overwriting it.
    ASSERT_NE(platform::MakeFolder(DataFolder() + "scanvirus"), platform::MakeFolderResult::Failed);
    ASSERT_NE(platform::MakeFolder(Staging()), platform::MakeFolderResult::Failed);
    test::WriteFile(Staging() + "\\a.txt", "kept");
    EXPECT_EQ(Extract(Message(Attachment("a.txt", "QUJD"))), Staging());
    EXPECT_EQ(test::ReadFile(Staging() + "\\a.txt"), "kept");
    EXPECT_EQ(test::ReadFile(Staging() + "\\a(1).txt"), "ABC");
}

TEST_F(ExtractAttachmentsTest, ANameTooLongForTheFileSystemIsShortened) {
    // (Mostly ASCII: under Wine the Linux file system below takes 255 bytes of UTF-8, fewer
    // than the 255 characters Windows takes; the namer's own test splits no character.)
    const std::string longName = "報告" + std::string(300, 'x');
    const std::string parts = Attachment(longName + ".pdf", "QUJD") + Attachment("good.pdf", "QUJD");
    EXPECT_EQ(Extract(Message(parts)), Staging());
    std::vector<platform::FoundEntry> entries;
    ASSERT_TRUE(platform::FindEntries(Staging() + "\\*.*", entries));
    ASSERT_EQ(entries.size(), 2u);
    const std::string& shortened = entries[0].name == "good.pdf" ? entries[1].name : entries[0].name;
    EXPECT_EQ(shortened.substr(shortened.size() - 4), ".pdf");
    EXPECT_EQ(shortened.substr(0, 20), longName.substr(0, 20));
    EXPECT_LT(shortened.size(), longName.size());
    EXPECT_TRUE(platform::NameFits(Staging(), shortened + ".alert"));
    EXPECT_EQ(test::ReadFile(Staging() + "\\" + shortened), "ABC");
}

TEST_F(ExtractAttachmentsTest, AnEmptyProhibitedListProhibitsNothing) {
    RecordingProgress progress;
    EXPECT_EQ(Extract(Message(Attachment("run.exe", "QUJD")), progress, CExtensionList()),
              Staging());
    EXPECT_EQ(test::ReadFile(Staging() + "\\run.exe"), "ABC");
}

TEST_F(ExtractAttachmentsTest, EveryFileFromTheMessageIsMarkedOnceItIsWhole) {
    const std::string parts =
        kTextPart + Attachment("a.txt", "QUJD") + Attachment("Setup.exe", "TVqQ") +
        Part("Content-Type: message/rfc822\r\n", "Subject: inner\r\n\r\nbody") +
        Part("Content-Type: text/plain\r\nContent-Transfer-Encoding: quoted-printable\r\n"
             "Content-Disposition: attachment; filename=\"q.txt\"\r\n",
             "caf=C3=A9");
    test::RecordingDownloadMarker marker;
    EXPECT_EQ(Extract(Message(parts)), Staging());
    // Not the alert file, not the record file; each file closed and complete when marked.
    EXPECT_EQ(marker.m_arrMarked,
              (std::vector<std::string>{Staging() + "\\a.txt", Staging() + "\\message.eml",
                                        Staging() + "\\q.txt"}));
    EXPECT_EQ(marker.m_arrContents,
              (std::vector<std::string>{"ABC", "Subject: inner\r\n\r\nbody", "caf\xC3\xA9"}));
    EXPECT_TRUE(marker.m_arrCopied.empty());
}

TEST_F(ExtractAttachmentsTest, AMarkThatCannotBeWrittenChangesNothing) {
    const std::string message = Message(kTextPart + Attachment("a.txt", "QUJD") +
                                        Attachment("x.exe", "QUJD") + Attachment("b.txt", "RA=="));
    const auto run = [&](bool failingMarks) {
        test::RecordingDownloadMarker marker(failingMarks);
        std::string outcome = Extract(message);
        for (const std::string& name : Tree()) {
            outcome += "|" + name;
        }
        for (const char* name : {"scanvirus\\B\\a.txt", "scanvirus\\B\\b.txt", "B.att"}) {
            outcome += "|" + test::ReadFile(DataFolder() + name);
        }
        EXPECT_EQ(marker.m_arrMarked.size(), 2u);
        test::DeleteTree(Staging());
        platform::RemoveFile(DataFolder() + "B.att");
        return outcome;
    };
    const std::string marked = run(false);
    EXPECT_NE(marked.find("|scanvirus/B/b.txt|"), std::string::npos);
    EXPECT_EQ(run(true), marked);
}

}  // namespace
