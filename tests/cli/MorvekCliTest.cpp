#include "cli/MorvekCli.h"

#include "app/FilePath.h"
#include "app/Settings.h"
#include "app/Velmaron1App.h"
#include "platform/FileSystem.h"
#include "platform/NamedMutex.h"
#include "platform/Process.h"
#include "platform/ShiftJis.h"
#include "platform/SpecialFolders.h"
#include "support/OutlookItemBuilder.h"
#include "support/ScratchFolder.h"
#include "support/SmimeSamples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

class RecordingConsole : public ICliConsole {
public:
    void Write(platform::ConsoleStream stream, const std::string& text) override {
        (stream == platform::ConsoleStream::Out ? m_strOut : m_strErr) += text;
    }
    bool ReadLine(std::string& line) override {
        if (m_arrInput.empty()) {
            return false;
        }
        line = m_arrInput.front();
        m_arrInput.erase(m_arrInput.begin());
        return true;
    }
    bool IsTerminal(platform::ConsoleStream) const override { return false; }

    std::string m_strOut;
    std::string m_strErr;
    std::vector<std::string> m_arrInput;
};

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

CliRun RunCli(std::vector<std::string> arguments, std::vector<std::string> input = {}) {
    RecordingConsole console;
    console.m_arrInput = std::move(input);
    const int code = CMorvekCli("morvek-cli", std::move(arguments), console).Run();
    return {code, console.m_strOut, console.m_strErr};
}

TEST(MorvekCli, UsageErrorsExitWithTwoAndOneLine) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"summary"},
        {"summary", "a.eml", "b.eml"},
        {"summary", "--bogus", "a.eml"},
        {"unsent", "--data-dir"},
    };
    for (const auto& arguments : cases) {
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.code, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    const CliRun help = RunCli({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("morvek-cli summary FILE"), std::string::npos);
    // list reconciles the store, and the help of list says that it may delete.
    const CliRun listHelp = RunCli({"list", "--help"});
    EXPECT_EQ(listHelp.code, 0);
    const std::size_t list = listHelp.out.find("morvek-cli list");
    ASSERT_NE(list, std::string::npos);
    const std::string listText = listHelp.out.substr(list, listHelp.out.find("morvek-cli summary") - list);
    EXPECT_NE(listText.find("reconciles the store"), std::string::npos) << listText;
    EXPECT_NE(listText.find("folder deleted"), std::string::npos) << listText;
}

TEST(MorvekCli, SummaryPrintsDateSenderAndSubject) {
    test::ScratchFolder scratch;
    test::WriteFile(scratch / "m.eml",
                    "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <a@example.jp>\r\n"
                    "Date: Mon, 6 Dec 2004 10:20:30 +0900\r\n\r\nbody\r\n");
    const CliRun run = RunCli({"summary", scratch / "m.eml"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "2004年12月06日 10:20:30\n山田 <a@example.jp>\n--件名なし--\n");

    EXPECT_EQ(RunCli({"summary", scratch / "missing.eml"}).code, 1);
}

TEST(MorvekCli, UnsentWritesTheDraftAndPrintsItsPath) {
    test::ScratchFolder scratch;
    test::WriteFile(scratch / "m.eml", "Received: x\r\nSubject: s\r\n\r\nbody\r\n");
    const CliRun run = RunCli({"unsent", "--no-open", scratch / "m.eml"});
    EXPECT_EQ(run.code, 0);
    ASSERT_EQ(run.out.rfind(platform::TempPath() + "morvek\\EML", 0), 0u) << run.out;
    EXPECT_EQ(test::ReadFile(run.out.substr(0, run.out.size() - 1)),
              "X-Unsent: 1\r\nSubject: s\r\n\r\nbody\r\n");
    EXPECT_EQ(RunCli({"unsent", "--no-open", scratch / "missing.eml"}).code, 1);
}

const char kMessageWithAttachments[] =
    "From: a@example.jp\r\nSubject: report\r\nDate: Mon, 6 Dec 2004 10:20:30 +0900\r\n"
    "Content-Type: multipart/mixed; boundary=\"B\"\r\n\r\n"
    "--B\r\nContent-Disposition: attachment; filename=\"a.txt\"\r\n"
    "Content-Transfer-Encoding: base64\r\n\r\nQUJD\r\n"
    "--B\r\nContent-Disposition: attachment; filename=\"run.exe\"\r\n\r\nMZ\r\n--B--\r\n";

TEST(MorvekCli, ExtractAddsRecordsThatListShows) {
    test::ScratchFolder scratch;
    test::WriteFile(scratch / "m.eml", kMessageWithAttachments);
    test::WriteFile(scratch / "plain.eml", "Subject: nothing\r\n\r\nbody\r\n");
    const std::string data = scratch / "data";

    const CliRun extract = RunCli({"extract", "--no-scan", "--data-dir", data, scratch / "m.eml"});
    EXPECT_EQ(extract.code, 0) << extract.err;
    EXPECT_EQ(extract.out,
              "2004年12月06日 10:20:30  a@example.jp\n  report\n"
              "    run.exe.alert  551 bytes\n    a.txt  3 bytes\n");
    // The user's file is never consumed: the run works on its copy.
    EXPECT_EQ(test::ReadFile(scratch / "m.eml"), kMessageWithAttachments);

    const CliRun none = RunCli({"extract", "--no-scan", "--data-dir", data, scratch / "plain.eml"});
    EXPECT_EQ(none.code, 1);
    EXPECT_NE(none.err.find("添付ファイルは抽出されませんでした。"), std::string::npos);

    // Quiet, the run prints nothing and adds its record all the same.
    test::WriteFile(scratch / "second.eml", kMessageWithAttachments);
    const CliRun quiet =
        RunCli({"extract", "--no-scan", "--quiet", "--data-dir", data, scratch / "second.eml"});
    EXPECT_EQ(quiet.code, 0) << quiet.err;
    EXPECT_EQ(quiet.out, "");

    const CliRun list = RunCli({"list", "--data-dir", data});
    EXPECT_EQ(list.code, 0);
    const std::string record =
        "2004年12月06日 10:20:30  a@example.jp\n  report\n"
        "    run.exe.alert  551 bytes  alert\n    a.txt  3 bytes  openable\n";
    EXPECT_EQ(list.out, record + record);
}

TEST(MorvekCli, ExtractPrintsWhyAnAttachmentWasHeld) {
    // A shortcut named .jpg (its first bytes in base64: 4C 00 00 00 01 14 02 00).
    test::ScratchFolder scratch;
    test::WriteFile(scratch / "m.eml",
                    "Subject: photo\r\nContent-Type: multipart/mixed; boundary=\"B\"\r\n\r\n"
                    "--B\r\nContent-Disposition: attachment; filename=\"photo.jpg\"\r\n"
                    "Content-Transfer-Encoding: base64\r\n\r\nTAAAAAEUAgA=\r\n--B--\r\n");
    const std::string data = scratch / "data";
    const CliRun extract = RunCli({"extract", "--no-scan", "--data-dir", data, scratch / "m.eml"});
    EXPECT_EQ(extract.code, 0) << extract.err;
    EXPECT_NE(extract.out.find("    photo.jpg.alert  "), std::string::npos) << extract.out;
    EXPECT_NE(extract.out.find(" bytes  (中身はショートカット (lnk) です)\n"), std::string::npos) << extract.out;
    const CliRun list = RunCli({"list", "--data-dir", data});
    EXPECT_NE(list.out.find(" bytes  alert  (中身はショートカット (lnk) です)\n"), std::string::npos) << list.out;
}

// Signed mail gives the files inside it; encrypted mail keeps its smime.p7m and says so in
// one line on the error stream.
TEST(MorvekCli, SignedMailGivesItsFilesEncryptedMailIsToldInOneLine) {
    test::ScratchFolder scratch;
    test::WriteFile(scratch / "signed.eml", test::kSmimeOpaqueSigned);
    test::WriteFile(scratch / "secret.eml", test::kSmimeEncrypted);
    const std::string data = scratch / "data";
    const CliRun run = RunCli({"extract", "--no-scan", "--data-dir", data, scratch / "signed.eml",
                               scratch / "secret.eml"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("報告.txt  18 bytes"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("smime.p7m"), std::string::npos) << run.out;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find("暗号化"), std::string::npos) << run.err;
}

TEST(MorvekCli, OutlookItemsAreExtractedAndSummarised) {
    test::ScratchFolder scratch;
    test::MsgObject message;
    message.Text(0x001A, u"IPM.Note").Text(0x0037, u"見積もり").Text(0x0C1A, u"山田");
    message.attachments.emplace_back();
    message.attachments.back().Binary(0x3701, "abc").Text(0x3707, u"見積書.txt");
    test::WriteFile(scratch / "item.MSG", test::BuildItem(message));

    const CliRun summary = RunCli({"summary", scratch / "item.MSG"});
    EXPECT_EQ(summary.code, 0) << summary.err;
    EXPECT_EQ(summary.out, "\n山田\n見積もり\n");

    const CliRun extract =
        RunCli({"extract", "--no-scan", "--data-dir", scratch / "data", scratch / "item.MSG"});
    EXPECT_EQ(extract.code, 0) << extract.err;
    EXPECT_EQ(extract.out, "  山田\n  見積もり\n    見積書.txt  3 bytes\n");

    // Not a message, not readable, not a draft: each says so.
    test::MsgObject contact;
    contact.Text(0x001A, u"IPM.Contact");
    test::WriteFile(scratch / "contact.msg", test::BuildItem(contact));
    test::WriteFile(scratch / "damaged.msg", test::BuildItem(message).substr(0, 1024));
    EXPECT_NE(RunCli({"summary", scratch / "contact.msg"}).err.find("not a message"), std::string::npos);
    EXPECT_NE(RunCli({"summary", scratch / "damaged.msg"}).err.find("not a readable Outlook item"),
              std::string::npos);
    const CliRun unsent = RunCli({"unsent", "--no-open", scratch / "item.MSG"});
    EXPECT_EQ(unsent.code, 1);
    EXPECT_NE(unsent.err.find("cannot become an unsent draft"), std::string::npos);
}

TEST(MorvekCli, TheScanQuestionIsAnsweredByOptionOrOnTheTerminal) {
    test::ScratchFolder scratch;
    std::string folder;
    CFilePath(platform::ProgramFilePath()).GetFolder(folder);
    CSettings settings;
    SettingsValues values;
    values.virusScanExeName = folder + MORVEK_SCANNER_NAME;
    settings.Write(values);
    test::WriteFile(scratch / "m.eml", kMessageWithAttachments);
    const std::string data = scratch / "data";

    EXPECT_EQ(RunCli({"extract", "--discard", "--data-dir", data, scratch / "m.eml"}).code, 1);
    EXPECT_EQ(RunCli({"extract", "--data-dir", data, scratch / "m.eml"}, {"d"}).code, 1);
    EXPECT_EQ(RunCli({"list", "--data-dir", data}).out, "");
    const CliRun kept = RunCli({"extract", "--data-dir", data, scratch / "m.eml"}, {"k"});
    EXPECT_EQ(kept.code, 0) << kept.err;
    EXPECT_NE(kept.out.find("a.txt"), std::string::npos);

    settings.Write(SettingsValues());
}

// While another command (or, in the program's own data folder, the windows program) holds
// the store's lock, extract refuses in one line with 3, list lists without changing
// anything; once the lock is free, list reconciles. Only runs on the program's own data
// folder empty the temporary folder, whose drafts belong to that store.
TEST(MorvekCli, TheStoreIsChangedOnlyByTheOwnerOfItsLock) {
    test::ScratchFolder scratch;
    test::WriteFile(scratch / "m.eml", kMessageWithAttachments);
    const std::string data = scratch / "data";
    ASSERT_EQ(RunCli({"extract", "--no-scan", "--data-dir", data, scratch / "m.eml"}).code, 0);
    const std::string listed = RunCli({"list", "--data-dir", data}).out;
    ASSERT_NE(listed, "");
    const std::string draft = CVelmaron1App::GetTemporaryFolder() + "EML1.eml";
    test::WriteFile(draft, "X-Unsent: 1\r\n\r\n");
    {
        const platform::NamedMutex running(CVelmaron1App::StoreMutexName(data + "\\"));
        ASSERT_FALSE(running.AlreadyExisted());

        const CliRun extract =
            RunCli({"extract", "--no-scan", "--data-dir", data, scratch / "m.eml"});
        EXPECT_EQ(extract.code, 3);
        EXPECT_EQ(extract.out, "");
        EXPECT_EQ(std::count(extract.err.begin(), extract.err.end(), '\n'), 1) << extract.err;
        EXPECT_FALSE(platform::QueryAttributes(data + "\\m(1).eml").has_value());

        const CliRun list = RunCli({"list", "--data-dir", data});
        EXPECT_EQ(list.code, 0);
        EXPECT_EQ(list.out, listed);
        // The record deleted (as the list window does): the owner clears its folder away,
        // a list without the lock only leaves it out.
        ASSERT_TRUE(platform::RemoveFile(data + "\\m.att"));
        EXPECT_EQ(RunCli({"list", "--data-dir", data}).out, "");
        EXPECT_TRUE(platform::QueryAttributes(data + "\\m").has_value());
        EXPECT_EQ(RunCli({"summary", scratch / "m.eml"}).code, 0);
    }
    EXPECT_EQ(RunCli({"list", "--data-dir", data}).out, "");
    EXPECT_FALSE(platform::QueryAttributes(data + "\\m").has_value());
    EXPECT_EQ(test::ReadFile(draft), "X-Unsent: 1\r\n\r\n") << "the program's own store's draft";

    // The program's own data folder, however it is spelled, is locked by the program's mutex,
    // which the windows program holds while it runs.
    const std::string own = CVelmaron1App::MakeDataFolder("morvek");
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(CVelmaron1App::StoreMutexName(own), CVelmaron1App::kMutexName);
    EXPECT_EQ(CVelmaron1App::StoreMutexName(sjis::ToLowerAscii(own) + "\\"),
              CVelmaron1App::kMutexName);
    EXPECT_NE(CVelmaron1App::StoreMutexName(data), CVelmaron1App::kMutexName);
    EXPECT_NE(CVelmaron1App::StoreMutexName(data), CVelmaron1App::StoreMutexName(data + "2"));
    // One folder however it is written: another spelling never takes a second lock.
    EXPECT_EQ(CVelmaron1App::StoreMutexName(data + "\\sub\\..\\."),
              CVelmaron1App::StoreMutexName(data));
    {
        const platform::NamedMutex running(CVelmaron1App::kMutexName);
        ASSERT_FALSE(running.AlreadyExisted());
        EXPECT_EQ(RunCli({"extract", "--no-scan", "--data-dir", own, scratch / "m.eml"}).code, 3);
        EXPECT_EQ(test::ReadFile(draft), "X-Unsent: 1\r\n\r\n") << "a running program's draft";
        EXPECT_EQ(RunCli({"extract", "--no-scan", "--data-dir", data, scratch / "m.eml"}).code, 0);
    }
    EXPECT_EQ(RunCli({"list", "--data-dir", own}).code, 0);
    EXPECT_FALSE(platform::QueryAttributes(draft).has_value());
}

// Two extract runs at once: while one waits for its keep-or-discard answer (holding its
// store), a second on another data folder runs to its end, one on the same folder exits 3.
TEST(MorvekCli, RunsOnTwoDataFoldersGoOnSideBySide) {
    test::ScratchFolder scratch;
    std::string folder;
    CFilePath(platform::ProgramFilePath()).GetFolder(folder);
    CSettings settings;
    SettingsValues values;
    values.virusScanExeName = folder + MORVEK_SCANNER_NAME;
    settings.Write(values);
    test::WriteFile(scratch / "m.eml", kMessageWithAttachments);
    const std::string first = scratch / "first";
    const std::string second = scratch / "second";

    class AnsweringConsole : public RecordingConsole {
    public:
        bool ReadLine(std::string& line) override {
            if (!m_fnWhileAsked) {
                return false;
            }
            const auto whileAsked = std::move(m_fnWhileAsked);
            m_fnWhileAsked = nullptr;
            whileAsked();
            line = "k";
            return true;
        }
        std::function<void()> m_fnWhileAsked;
    };
    CliRun other{-1, {}, {}};
    CliRun same{-1, {}, {}};
    AnsweringConsole console;
    console.m_fnWhileAsked = [&] {
        other = RunCli({"extract", "--keep", "--data-dir", second, scratch / "m.eml"});
        same = RunCli({"extract", "--keep", "--data-dir", first, scratch / "m.eml"});
    };
    const int code =
        CMorvekCli("morvek-cli", {"extract", "--data-dir", first, scratch / "m.eml"}, console)
            .Run();
    settings.Write(SettingsValues());
    EXPECT_EQ(code, 0) << console.m_strErr;
    EXPECT_EQ(other.code, 0) << other.err;
    EXPECT_EQ(same.code, 3);
    EXPECT_NE(RunCli({"list", "--data-dir", first}).out.find("a.txt"), std::string::npos);
    EXPECT_NE(RunCli({"list", "--data-dir", second}).out.find("a.txt"), std::string::npos);
}

// A run killed part-way: its staged messages and copies are cleared by the next command that
// owns the store, which says once how many messages to extract again; a record that reached
// the data folder is kept and listed.
TEST(MorvekCli, WhatAnInterruptedRunLeftIsClearedAndCounted) {
    test::ScratchFolder scratch;
    const std::string data = scratch / "data";
    ASSERT_EQ(RunCli({"list", "--data-dir", data}).code, 0);
    const std::string D = data + "\\";
    // Extracted, never scanned or kept: a staging folder and its record file.
    ASSERT_EQ(platform::MakeFolder(D + "scanvirus\\x"), platform::MakeFolderResult::Created);
    test::WriteFile(D + "scanvirus\\x\\1.txt", "1");
    test::WriteFile(D + "x.att", "record");
    // Cut short while extracting: a staging folder without record, and its copy.
    ASSERT_EQ(platform::MakeFolder(D + "scanvirus\\y"), platform::MakeFolderResult::Created);
    test::WriteFile(D + "scanvirus\\y\\2.txt", "2");
    test::WriteFile(D + "y.eml", kMessageWithAttachments);
    // Never reached.
    test::WriteFile(D + "z.eml", kMessageWithAttachments);
    // Moved into the data folder before the kill: a record, unlisted.
    ASSERT_EQ(platform::MakeFolder(D + "r"), platform::MakeFolderResult::Created);
    test::WriteFile(D + "r\\a.txt", "kept");
    test::WriteFile(D + "r.att", "2004年12月06日 10:20:30\r\r\nme\r\r\nkept\r\r\n");
    test::WriteFile(D + "notes.emlx", "not a copy");

    const CliRun first = RunCli({"list", "--data-dir", data});
    EXPECT_EQ(first.code, 0);
    EXPECT_EQ(first.err,
              "morvek-cli: 3 message(s) of an interrupted run were not kept; extract them again\n");
    EXPECT_EQ(first.out, "2004年12月06日 10:20:30  me\n  kept\n    a.txt  4 bytes  openable\n");
    for (const char* gone : {"scanvirus\\x", "x.att", "scanvirus\\y", "y.eml", "z.eml"}) {
        EXPECT_FALSE(platform::QueryAttributes(D + gone).has_value()) << gone;
    }
    EXPECT_TRUE(platform::QueryAttributes(D + "notes.emlx").has_value());
    EXPECT_TRUE(platform::QueryAttributes(D + "scanvirus").has_value());

    const CliRun second = RunCli({"list", "--data-dir", data});
    EXPECT_EQ(second.err, "") << "told once";
    EXPECT_EQ(second.out, first.out);
}

// A message whose attachment cannot be written is named on the error stream with exit 4;
// the others are kept, and nothing of it stays.
TEST(MorvekCli, EveryFileNotTakenInIsNamedAndTheExitSaysSo) {
    test::ScratchFolder scratch;
    test::WriteFile(scratch / "m.eml", kMessageWithAttachments);
    test::WriteFile(scratch / "notes.txt", kMessageWithAttachments);
    ASSERT_EQ(platform::MakeFolder(scratch / "folder.eml"), platform::MakeFolderResult::Created);
    const std::string data = scratch / "data";

    const CliRun run = RunCli({"extract", "--no-scan", "--quiet", "--data-dir", data,
                               scratch / "m.eml", scratch / "missing.eml", scratch / "folder.eml",
                               scratch / "notes.txt"});
    EXPECT_EQ(run.code, CMorvekCli::kExitSkipped);
    EXPECT_EQ(run.err, "morvek-cli: " + (scratch / "missing.eml") + ": no such file: skipped\n" +
                           "morvek-cli: " + (scratch / "folder.eml") + ": a folder: skipped\n" +
                           "morvek-cli: " + (scratch / "notes.txt") +
                           ": not an .eml or .msg file: skipped\n");
    EXPECT_NE(RunCli({"list", "--data-dir", data}).out.find("a.txt"), std::string::npos)
        << "the good file is extracted all the same";

    // Nothing taken in: every file named, and nothing done.
    const CliRun none = RunCli({"extract", "--no-scan", "--data-dir", data, scratch / "folder.eml"});
    EXPECT_EQ(none.code, 1);
    EXPECT_EQ(none.err, "morvek-cli: " + (scratch / "folder.eml") + ": a folder: skipped\n" +
                            "morvek-cli: no message could be taken in\n");
}

TEST(MorvekCli, AMessageThatCannotBeWrittenExitsWithFour) {
    test::ScratchFolder scratch;
    test::WriteFile(scratch / "m.eml", kMessageWithAttachments);
    test::WriteFile(scratch / "ok.eml", kMessageWithAttachments);
    const std::string data = scratch / "data";
    ASSERT_EQ(RunCli({"list", "--data-dir", data}).code, 0);
    test::WriteFile(data + "\\scanvirus\\m", "a file where the staging folder goes");

    const CliRun run =
        RunCli({"extract", "--no-scan", "--data-dir", data, scratch / "m.eml", scratch / "ok.eml"});
    EXPECT_EQ(run.code, 4);
    EXPECT_EQ(run.err.rfind("morvek-cli: メール「m.eml」の添付ファイルを抽出できませんでした: ", 0),
              0u)
        << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.out.find("a.txt"), std::string::npos) << "ok.eml is kept";
    for (const char* gone : {"m.att", "m", "m.eml"}) {
        EXPECT_FALSE(platform::QueryAttributes(data + "\\" + gone).has_value()) << gone;
    }
}

}  // namespace
