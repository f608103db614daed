#include "run/ExtractionRun.h"

#include "app/AppStrings.h"
#include "app/FilePath.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "policy/ExtensionList.h"
#include "support/ScratchFolder.h"
#include "support/SmimeSamples.h"
#include "run/AntivirusProgram.h"
#include "store/InterruptedRun.h"
#include "store/RecordStore.h"
#include "store/StoreFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <utility>

namespace {

using test::Exists;

constexpr char kNoOutputMessage[] =
    "message: 添付ファイルは抽出されませんでした。\n"
    "添付ファイルが含まれていないまたは、抽出に失敗しました。";

std::string ScannerPath() {
    std::string folder;
    CFilePath(platform::ProgramFilePath()).GetFolder(folder);
    return folder + MORVEK_SCANNER_NAME;
}

// A message with one text part and one 7bit attachment per entry (name, contents).
std::string Message(const std::vector<std::pair<std::string, std::string>>& attachments) {
    std::string text =
        "From: a@example.jp\r\n"
        "Subject: report\r\n"
        "Date: Mon, 6 Dec 2004 10:20:30 +0900\r\n"
        "Content-Type: multipart/mixed; boundary=\"B\"\r\n"
        "\r\n"
        "--B\r\n"
        "Content-Type: text/plain\r\n"
        "\r\n"
        "hello\r\n";
    for (const auto& [name, contents] : attachments) {
        text += "--B\r\nContent-Type: text/plain\r\nContent-Disposition: attachment; filename=\"" +
                name + "\"\r\n\r\n" + contents + "\r\n";
    }
    return text + "--B--\r\n";
}

// The progress dialog of the tests: records what it is told, and answers a cancel once after
// PressCancel, as the dialog does. onPosition runs at every SetPosition, where the dialog
// lets window messages run.
class TestProgress : public IProgressSink {
public:
    void SetStatusText(const std::string& text) override { m_strStatus = text; }
    void StepIt() override {}
    void SetPosition(int position) override {
        m_arrPositions.push_back(position);
        if (onPosition) {
            onPosition(position);
        }
    }
    bool CheckCancel() override { return std::exchange(m_bCancel, false); }
    void PressCancel() { m_bCancel = true; }

    std::function<void(int)> onPosition;
    std::string m_strStatus;
    std::vector<int> m_arrPositions;

private:
    bool m_bCancel = false;
};

// The window of the tests: records every call in order and keeps a record store, as the list
// view does.
class TestHost : public IExtractionRunHost {
public:
    explicit TestHost(CRecordStore& store) : m_store(store) {}

    IProgressSink& BeginProgress() override {
        m_arrEvents.push_back("begin progress");
        return m_progress;
    }
    void EndProgress() override {
        m_arrEvents.push_back("end progress");
        if (onEndProgress) {
            onEndProgress();
        }
    }
    void ShowMessage(const std::string& text) override {
        m_arrEvents.push_back("message: " + text);
    }
    void ReportFailures(const std::vector<std::string>& lines) override {
        for (const std::string& line : lines) {
            m_arrEvents.push_back("failed: " + line);
        }
    }
    void HideForScan() override { m_arrEvents.push_back("hide"); }
    void ShowAfterScan() override { m_arrEvents.push_back("show"); }
    int ConfirmScan() override {
        m_arrEvents.push_back("confirm");
        return m_nAnswer;
    }
    void AddRecord(const std::string& recordFile) override {
        m_arrEvents.push_back("add " + recordFile.substr(m_store.GetDataFolder().size()));
        m_store.AddRecord(recordFile);
    }
    void RefreshRecords(ExtractionOutcome outcome) override {
        m_arrEvents.push_back(outcome == ExtractionOutcome::Kept ? "refresh kept"
                                                                 : "refresh discarded");
        m_store.RefreshRecords();
    }

    TestProgress m_progress;
    std::function<void()> onEndProgress;
    std::vector<std::string> m_arrEvents;
    int m_nAnswer = kScanConfirmContinue;

private:
    CRecordStore& m_store;
};

class ExtractionRunTest : public ::testing::Test {
protected:
    ExtractionRunTest()
        : m_strData(m_scratch / "data"),
          m_settings(platform::Profile(app::kRegistryRoot, UniqueApplication())) {
        platform::MakeFolder(m_strData);
        platform::MakeFolder(m_strData + "\\scanvirus");
    }

    static std::string UniqueApplication() {
        static int count = 0;
        return std::string(app::kAppTitle) + " run " + std::to_string(++count);
    }

    std::string D() const { return m_strData + "\\"; }
    std::string Att(const std::string& name) const { return D() + name + ".att"; }

    // Saves a message copy in the data folder and adds it to the pending list.
    void Drop(const std::string& name,
              const std::vector<std::pair<std::string, std::string>>& attachments) {
        test::WriteFile(D() + name + ".eml", Message(attachments));
        m_arrPending.push_back(D() + name + ".eml");
    }

    void SetScanner(bool bScan, const std::string& program) {
        SettingsValues values = m_settings.Read();
        values.scanVirus = bScan;
        values.virusScanExeName = program;
        m_settings.Write(values);
    }

    ExtractionOutcome Run() {
        CExtractionRun run(D(), m_host, m_settings);
        run.SetScanForcedOff(m_bNoScan);
        return run.Run(m_arrPending, m_prohibited);
    }

    test::ScratchFolder m_scratch;
    std::string m_strData;
    CSettings m_settings;
    CRecordStore m_store{m_strData + "\\"};
    TestHost m_host{m_store};
    PendingMessageList m_arrPending;
    CExtensionList m_prohibited{{"exe", "alert"}, {}};
    bool m_bNoScan = false;
};

TEST_F(ExtractionRunTest, WithoutScanTheRecordsAreKeptTheLastMessageOnTop) {
    Drop("a", {{"1.txt", "one"}, {"setup.exe", "MZ"}});
    Drop("b", {});
    Drop("c", {{"3.txt", "three"}});
    EXPECT_EQ(Run(), ExtractionOutcome::Kept);
    EXPECT_EQ(CExtractionRun::ResultOf(ExtractionOutcome::Kept), 1);

    EXPECT_EQ(m_host.m_arrEvents,
              (std::vector<std::string>{"begin progress", "end progress", "add a.att", "add c.att",
                                        "refresh kept"}));
    EXPECT_EQ(m_host.m_progress.m_strStatus,
              "メールから添付ファイルを抽出しています。\nしばらくお待ちください。");
    // Before message i of 3: i × 100 / 3, each followed by the message's own steps.
    const std::vector<int>& positions = m_host.m_progress.m_arrPositions;
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(positions.front(), 0);
    EXPECT_NE(std::find(positions.begin(), positions.end(), 33), positions.end());
    EXPECT_NE(std::find(positions.begin(), positions.end(), 66), positions.end());
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));

    EXPECT_EQ(m_store.m_arrRecords, (std::vector<std::string>{Att("c"), Att("a")}));
    EXPECT_EQ(m_store.m_strOpenRecord, Att("c"));
    EXPECT_TRUE(m_store.m_bRecordRowSelected);
    EXPECT_EQ(test::ListFileOf(D()), m_store.m_arrRecords);
    EXPECT_EQ(test::Tree(D()),
              (std::set<std::string>{"morvek.atd", "a.att", "a/", "a/1.txt", "a/setup.exe.alert",
                                     "c.att", "c/", "c/3.txt", "scanvirus/"}));
}

TEST_F(ExtractionRunTest, MessagesWithoutAttachmentsGiveTheNoOutputMessage) {
    Drop("a", {});
    Drop("b", {});
    EXPECT_EQ(Run(), ExtractionOutcome::NoOutput);
    EXPECT_EQ(CExtractionRun::ResultOf(ExtractionOutcome::NoOutput), 0);
    EXPECT_EQ(m_host.m_arrEvents,
              (std::vector<std::string>{"begin progress", "end progress", kNoOutputMessage}));
    // An empty pending list ends the same way.
    m_arrPending.clear();
    m_host.m_arrEvents.clear();
    EXPECT_EQ(Run(), ExtractionOutcome::NoOutput);
    EXPECT_EQ(m_host.m_arrEvents.back(), kNoOutputMessage);
}

// Encrypted mail keeps its smime.p7m; the run says once, however many there were, that
// their attachments could not be read.
TEST_F(ExtractionRunTest, EncryptedMailIsToldOncePerRun) {
    for (const char* name : {"a", "b"}) {
        test::WriteFile(D() + name + ".eml", test::kSmimeEncrypted);
        m_arrPending.push_back(D() + name + ".eml");
    }
    Drop("c", {{"3.txt", "three"}});
    EXPECT_EQ(Run(), ExtractionOutcome::Kept);
    EXPECT_EQ(m_host.m_arrEvents,
              (std::vector<std::string>{
                  "begin progress", "end progress",
                  "message: 暗号化されたメールがありました。暗号化されたメールの添付ファイルは"
                  "取り出せないため、smime.p7m のまま保存しました。",
                  "add a.att", "add b.att", "add c.att", "refresh kept"}));
    EXPECT_TRUE(Exists(D() + "a\\smime.p7m"));
}

TEST_F(ExtractionRunTest, WithoutADataFolderNothingIsExtracted) {
    Drop("a", {{"1.txt", "one"}});
    const std::string copy = test::ReadFile(D() + "a.eml");
    CExtractionRun run("\\", m_host, m_settings);
    EXPECT_EQ(run.Run(m_arrPending, m_prohibited), ExtractionOutcome::NoOutput);
    EXPECT_EQ(m_host.m_arrEvents.back(), kNoOutputMessage);
    EXPECT_EQ(test::ReadFile(D() + "a.eml"), copy);
}

TEST_F(ExtractionRunTest, NoScanUnlessSwitchedOnWithAnExistingProgram) {
    struct Case {
        const char* what;
        bool bScan;
        std::string program;
        bool bForcedOff;
    };
    const Case cases[] = {
        {"program missing", true, m_scratch / "missing.exe", false},
        {"no program", true, "", false},
        {"scan switched off", false, ScannerPath(), false},
        {"forced off", true, ScannerPath(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetScanner(c.bScan, c.program);
        m_bNoScan = c.bForcedOff;
        m_arrPending.clear();
        m_host.m_arrEvents.clear();
        const std::string name = std::string("m") + std::to_string(&c - cases);
        Drop(name, {{"1.txt", "one"}});
        EXPECT_EQ(Run(), ExtractionOutcome::Kept);
        EXPECT_EQ(m_host.m_arrEvents,
                  (std::vector<std::string>{"begin progress", "end progress",
                                            "add " + name + ".att", "refresh kept"}));
        EXPECT_FALSE(Exists(D() + "scanvirus\\scan.log"));
    }
    // The settings are read at each run: switched on now, the next run scans.
    SetScanner(true, ScannerPath());
    m_bNoScan = false;
    EXPECT_EQ(CExtractionRun(D(), m_host, m_settings).GetScannerToRun(), ScannerPath());
}

TEST(AntivirusProgram, CommandLineHasTwoQuotedItems) {
    EXPECT_EQ(CAntivirusProgram::MakeCommandLine("C:\\Program Files\\AV\\scan.exe",
                                                 "C:\\データ\\morvek\\scanvirus"),
              "\"C:\\Program Files\\AV\\scan.exe\" \"C:\\データ\\morvek\\scanvirus\"");
}

TEST_F(ExtractionRunTest, TheScannerRunsOnTheScanFolderAndTheUserKeeps) {
    SetScanner(true, ScannerPath());
    Drop("a", {{"1.txt", "one"}});
    Drop("b", {{"2.txt", "two"}});
    EXPECT_EQ(Run(), ExtractionOutcome::Kept);
    EXPECT_EQ(m_host.m_arrEvents,
              (std::vector<std::string>{"begin progress", "end progress", "hide", "show", "confirm",
                                        "add a.att", "add b.att", "refresh kept"}));
    // Two items: the program and the scan folder without trailing backslash. The scanner saw
    // both staging folders before anything was moved.
    std::istringstream log(test::ReadFile(D() + "scanvirus\\scan.log"));
    std::string line;
    ASSERT_TRUE(std::getline(log, line));
    EXPECT_EQ(line, "argument: " + D() + "scanvirus");
    std::set<std::string> found;
    while (std::getline(log, line)) {
        found.insert(line);
    }
    EXPECT_EQ(found, (std::set<std::string>{"found: a/1.txt", "found: b/2.txt"}));
    EXPECT_EQ(m_store.m_arrRecords, (std::vector<std::string>{Att("b"), Att("a")}));
    EXPECT_EQ(test::Tree(D() + "b\\"), std::set<std::string>{"2.txt"});
}

TEST_F(ExtractionRunTest, OnlyDiscardAllDiscards) {
    SetScanner(true, ScannerPath());
    // A record of an earlier run, listed and open.
    test::MakeRecord(D(), "old", {"o.txt"});
    m_store.AddRecord(Att("old"));
    struct Case {
        int nAnswer;
        ExtractionOutcome outcome;
    };
    const Case cases[] = {
        {kScanConfirmContinue, ExtractionOutcome::Kept},
        {2, ExtractionOutcome::Kept},  // Esc or the close box
        {kScanConfirmDiscardAll, ExtractionOutcome::Discarded},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nAnswer);
        const std::string name = "n" + std::to_string(c.nAnswer);
        m_arrPending.clear();
        m_host.m_arrEvents.clear();
        m_host.m_nAnswer = c.nAnswer;
        Drop(name, {{"1.txt", "one"}});
        Drop(name + "x", {{"2.txt", "two"}});
        EXPECT_EQ(Run(), c.outcome);
        const bool bKept = c.outcome == ExtractionOutcome::Kept;
        EXPECT_EQ(m_host.m_arrEvents.back(), bKept ? "refresh kept" : "refresh discarded");
        for (const std::string& record : {name, name + "x"}) {
            EXPECT_EQ(Exists(Att(record)), bKept) << record;
            EXPECT_EQ(Exists(D() + record), bKept) << record;
            EXPECT_FALSE(Exists(D() + "scanvirus\\" + record)) << record;
            EXPECT_FALSE(Exists(D() + record + ".eml")) << record;
        }
    }
    // The discard touched only its own run; the list is refreshed all the same.
    EXPECT_EQ(m_store.m_arrRecords, (std::vector<std::string>{Att("n2x"), Att("n2"), Att("n1014x"),
                                                              Att("n1014"), Att("old")}));
    EXPECT_EQ(m_store.m_strOpenRecord, Att("n2x"));
    EXPECT_EQ(CExtractionRun::ResultOf(ExtractionOutcome::Discarded), 1);
}

TEST_F(ExtractionRunTest, WhatTheScannerDeletesIsMissingFromTheRecords) {
    SetScanner(true, ScannerPath());
    Drop("a", {{"clean.txt", "fine"}, {"bad.txt", "x MORVEK-TEST-INFECTED x"}});
    Drop("b", {{"bad.txt", "MORVEK-TEST-INFECTED"}});
    EXPECT_EQ(Run(), ExtractionOutcome::Kept);
    EXPECT_NE(test::ReadFile(D() + "scanvirus\\scan.log").find("deleted: a/bad.txt\n"),
              std::string::npos);
    EXPECT_EQ(test::Tree(D() + "a\\"), std::set<std::string>{"clean.txt"});
    // b was moved and listed, then lost its only file: the refresh cleared it away.
    EXPECT_NE(std::find(m_host.m_arrEvents.begin(), m_host.m_arrEvents.end(), "add b.att"),
              m_host.m_arrEvents.end());
    EXPECT_EQ(m_store.m_arrRecords, std::vector<std::string>{Att("a")});
    EXPECT_FALSE(Exists(Att("b")));
    EXPECT_FALSE(Exists(D() + "b"));
}

TEST_F(ExtractionRunTest, AScannerThatCannotStartIsReportedBeforeTheQuestion) {
    const std::string program = m_scratch / "not-a-program.exe";
    test::WriteFile(program, "text");
    SetScanner(true, program);
    Drop("a", {{"1.txt", "one"}});
    EXPECT_EQ(Run(), ExtractionOutcome::Kept);
    ASSERT_EQ(m_host.m_arrEvents.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(m_host.m_arrEvents.begin(), m_host.m_arrEvents.begin() + 4),
              (std::vector<std::string>{"begin progress", "end progress", "hide", "show"}));
    // The path and the system's reason, then the question as always.
    const std::string& message = m_host.m_arrEvents[4];
    const std::string opening = "message: ウィルス対策ソフトを起動できませんでした。\n\n" + program + "\n";
    EXPECT_EQ(message.substr(0, opening.size()), opening) << message;
    EXPECT_GT(message.size(), opening.size() + 1) << "no reason given";
    EXPECT_EQ(std::vector<std::string>(m_host.m_arrEvents.begin() + 5, m_host.m_arrEvents.end()),
              (std::vector<std::string>{"confirm", "add a.att", "refresh kept"}));
}

TEST(AntivirusProgram, DefenderGetsItsScanArgumentsAndItsExitStatusIsRead) {
    const std::string defender =
        "C:\\ProgramData\\Microsoft\\Windows Defender\\Platform\\4.18.24090.11-0\\MpCmdRun.exe";
    EXPECT_TRUE(CAntivirusProgram::IsDefender(defender));
    EXPECT_TRUE(CAntivirusProgram::IsDefender("C:\\x\\mpcmdrun.EXE"));
    EXPECT_FALSE(CAntivirusProgram::IsDefender("C:\\x\\MpCmdRun.exe.bak"));
    EXPECT_FALSE(CAntivirusProgram::IsDefender("C:\\MpCmdRun.exe\\scan.exe"));
    EXPECT_EQ(CAntivirusProgram::MakeCommandLine(defender, "C:\\データ\\scanvirus"),
              "\"" + defender + "\" -Scan -ScanType 3 -File \"C:\\データ\\scanvirus\"");

    const struct {
        const char* program;
        std::uint32_t exitCode;
        ScanEnd end;
        const char* notice;  // the start of it
    } cases[] = {
        {"C:\\av\\MpCmdRun.exe", 0, ScanEnd::Clean, ""},
        {"C:\\av\\MpCmdRun.exe", 2, ScanEnd::ThreatsQuarantined,
         "Microsoft Defender が脅威を検出しました。"},
        {"C:\\av\\MpCmdRun.exe", 1, ScanEnd::NotCompleted,
         "Microsoft Defender のスキャンは完了しませんでした（終了コード 1）。"},
        {"C:\\av\\MpCmdRun.exe", 0x80508023, ScanEnd::NotCompleted,
         "Microsoft Defender のスキャンは完了しませんでした（終了コード 0x80508023）。"},
        // Any other program's status is not read.
        {"C:\\av\\scan.exe", 2, ScanEnd::Ended, ""},
        {"C:\\av\\scan.exe", 0xFFFFFFFF, ScanEnd::Ended, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exitCode);
        platform::ProcessRun run;
        run.bStarted = true;
        run.exitCode = c.exitCode;
        const ScanOutcome outcome = CAntivirusProgram::Interpret(c.program, run);
        EXPECT_EQ(outcome.end, c.end);
        EXPECT_EQ(outcome.strNotice.substr(0, std::string(c.notice).size()), c.notice);
        EXPECT_EQ(outcome.strNotice.empty(), std::string(c.notice).empty());
    }
    // Quarantined files are gone from the scan folder: the notice says so.
    platform::ProcessRun found;
    found.bStarted = true;
    found.exitCode = 2;
    EXPECT_NE(CAntivirusProgram::Interpret("MpCmdRun.exe", found).strNotice.find("検疫"),
              std::string::npos);
}

TEST_F(ExtractionRunTest, DefenderScansTheFolderAndWhatItQuarantinedIsReported) {
    std::string folder;
    CFilePath(platform::ProgramFilePath()).GetFolder(folder);
    SetScanner(true, folder + "defender\\MpCmdRun.exe");
    const struct {
        const char* contents;
        const char* notice;  // after "message: ", empty for none
    } cases[] = {
        {"fine", ""},
        {"x MORVEK-TEST-INFECTED x", "Microsoft Defender が脅威を検出しました。"},
        {"MORVEK-TEST-SCAN-FAILS", "Microsoft Defender のスキャンは完了しませんでした（終了コード 5）。"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.contents);
        const std::string name = "m" + std::to_string(++n);
        m_arrPending.clear();
        m_host.m_arrEvents.clear();
        Drop(name, {{"clean.txt", "fine"}, {"2.txt", c.contents}});
        EXPECT_EQ(Run(), ExtractionOutcome::Kept);
        const std::vector<std::string>& events = m_host.m_arrEvents;
        ASSERT_GE(events.size(), 6u);
        EXPECT_EQ(events[3], "show");
        if (*c.notice == '\0') {
            EXPECT_EQ(events[4], "confirm");
        } else {
            const std::string expected = std::string("message: ") + c.notice;
            EXPECT_EQ(events[4].substr(0, expected.size()), expected);
            EXPECT_EQ(events[5], "confirm");
        }
        // Defender's arguments, with the folder last.
        const std::string log = test::ReadFile(D() + "scanvirus\\scan.log");
        EXPECT_EQ(log.substr(0, log.find("found")),
                  "argument: -Scan\nargument: -ScanType\nargument: 3\nargument: -File\n"
                  "argument: " + D() + "scanvirus\n");
    }
    EXPECT_EQ(test::Tree(D() + "m2\\"), std::set<std::string>{"clean.txt"});
}

TEST_F(ExtractionRunTest, AScanFolderThatCannotBeMadeIsReported) {
    SetScanner(true, ScannerPath());
    Drop("a", {{"1.txt", "one"}});
    // The data folder goes away between the extraction and the scan.
    const std::string moved = m_scratch / "moved";
    m_host.onEndProgress = [&] { ASSERT_TRUE(platform::MovePath(m_strData, moved)); };
    EXPECT_EQ(Run(), ExtractionOutcome::ScanFolderFailed);
    EXPECT_EQ(CExtractionRun::ResultOf(ExtractionOutcome::ScanFolderFailed), 0);
    EXPECT_EQ(m_host.m_arrEvents,
              (std::vector<std::string>{
                  "begin progress", "end progress",
                  "failed: ウィルススキャン用のフォルダ「" + D() +
                      "scanvirus」を作成できませんでした。抽出した 1 件のメールの添付ファイル"
                      "は保存されていません。"}));
    // What could not be deleted in the folder's absence is cleared at the next start, and
    // the message counted to be dropped again.
    ASSERT_TRUE(platform::MovePath(moved, m_strData));
    EXPECT_EQ(test::Tree(D()),
              (std::set<std::string>{"a.att", "scanvirus/", "scanvirus/a/", "scanvirus/a/1.txt"}));
    EXPECT_EQ(ClearInterruptedRuns(D()), 1);
    EXPECT_EQ(test::Tree(D()), std::set<std::string>{"scanvirus/"});
}

// A message whose attachment cannot be written (here: a file stands where its staging folder
// would be) is named, and leaves nothing behind; the other messages of the run are kept.
TEST_F(ExtractionRunTest, AMessageThatCannotBeWrittenIsNamedAndLeavesNothing) {
    Drop("a", {{"1.txt", "one"}});
    Drop("b", {{"2.txt", "two"}});
    Drop("c", {{"3.txt", "three"}});
    test::WriteFile(D() + "scanvirus\\b", "in the way");
    EXPECT_EQ(Run(), ExtractionOutcome::Kept);
    EXPECT_EQ(m_host.m_arrEvents,
              (std::vector<std::string>{
                  "begin progress", "end progress",
                  "failed: メール「b.eml」の添付ファイルを抽出できませんでした: ファイル「" + D() +
                      "scanvirus\\b\\2.txt」を書き込めませんでした（ディスクの空き容量が足りない"
                      "か、書き込みが許可されていません）。",
                  "add a.att", "add c.att", "refresh kept"}));
    EXPECT_EQ(test::Tree(D()),
              (std::set<std::string>{"morvek.atd", "a.att", "a/", "a/1.txt", "c.att", "c/",
                                     "c/3.txt", "scanvirus/", "scanvirus/b"}));

    // Only that message failing: the no-output message would be wrong, the failure is all.
    m_host.m_arrEvents.clear();
    m_arrPending.clear();
    Drop("b", {{"2.txt", "two"}});
    EXPECT_EQ(Run(), ExtractionOutcome::NoOutput);
    ASSERT_EQ(m_host.m_arrEvents.size(), 3u);
    EXPECT_EQ(m_host.m_arrEvents[2].rfind("failed: メール「b.eml」", 0), 0u);
}

TEST_F(ExtractionRunTest, AMoveThatFailsLeavesTheStagingFolderAndAnUnlistedRecordFile) {
    ASSERT_EQ(platform::MakeFolder(D() + "a"), platform::MakeFolderResult::Created);
    Drop("a", {{"1.txt", "one"}});
    Drop("b", {{"2.txt", "two"}});
    EXPECT_EQ(Run(), ExtractionOutcome::Kept);
    EXPECT_EQ(m_host.m_arrEvents, (std::vector<std::string>{"begin progress", "end progress",
                                                            "add b.att", "refresh kept"}));
    EXPECT_EQ(m_store.m_arrRecords, std::vector<std::string>{Att("b")});
    EXPECT_TRUE(Exists(Att("a")));
    EXPECT_EQ(test::Tree(D() + "scanvirus\\"), (std::set<std::string>{"a/", "a/1.txt"}));
}

// Five messages of a text part and two attachments each. Message 3 extracts within 40..60:
// the run sets 40, the extraction 43 before the text part, 46 before the first attachment
// and 50 before the second, and the run sets 60 before message 4.
TEST_F(ExtractionRunTest, CancelDuringAMessageCutsOnlyThatMessage) {
    for (const char* name : {"m1", "m2", "m3", "m4", "m5"}) {
        Drop(name, {{"x.txt", "x"}, {"y.txt", "y"}});
    }
    m_host.m_progress.onPosition = [&](int position) {
        if (position == 50) {
            m_host.m_progress.PressCancel();
        }
    };
    EXPECT_EQ(Run(), ExtractionOutcome::Kept);
    EXPECT_EQ(m_store.m_arrRecords,
              (std::vector<std::string>{Att("m5"), Att("m4"), Att("m3"), Att("m2"), Att("m1")}));
    EXPECT_EQ(test::Tree(D() + "m3\\"), std::set<std::string>{"x.txt"});
    EXPECT_EQ(test::Tree(D() + "m4\\"), (std::set<std::string>{"x.txt", "y.txt"}));
    EXPECT_FALSE(Exists(D() + "m5.eml"));
}

TEST_F(ExtractionRunTest, CancelBetweenMessagesLeavesTheRestOfTheCopies) {
    for (const char* name : {"m1", "m2", "m3", "m4", "m5"}) {
        Drop(name, {{"x.txt", "x"}, {"y.txt", "y"}});
    }
    const std::string copy4 = test::ReadFile(D() + "m4.eml");
    m_host.m_progress.onPosition = [&](int position) {
        if (position == 60) {
            m_host.m_progress.PressCancel();
        }
    };
    EXPECT_EQ(Run(), ExtractionOutcome::Kept);
    EXPECT_EQ(m_store.m_arrRecords, (std::vector<std::string>{Att("m3"), Att("m2"), Att("m1")}));
    EXPECT_EQ(test::Tree(D() + "m3\\"), (std::set<std::string>{"x.txt", "y.txt"}));
    EXPECT_EQ(test::ReadFile(D() + "m4.eml"), copy4);
    EXPECT_TRUE(Exists(D() + "m5.eml"));
    EXPECT_FALSE(Exists(Att("m4")));
}

TEST_F(ExtractionRunTest, ACancelBeforeTheFirstMessageEndsWithTheNoOutputMessage) {
    Drop("a", {{"x.txt", "x"}});
    m_host.m_progress.PressCancel();
    EXPECT_EQ(Run(), ExtractionOutcome::NoOutput);
    EXPECT_EQ(m_host.m_arrEvents.back(), kNoOutputMessage);
    EXPECT_TRUE(Exists(D() + "a.eml"));
}

// A drop while the progress dialog lets messages run refills the pending list and reloads
// the prohibited list; the run goes on with the list as it is now.
TEST_F(ExtractionRunTest, ADropDuringTheRunChangesWhatIsLeft) {
    Drop("a", {{"x.txt", "x"}});
    Drop("b", {{"x.txt", "x"}});
    Drop("c", {{"x.txt", "x"}});
    test::WriteFile(D() + "d.eml", Message({{"x.txt", "x"}}));
    m_host.m_progress.onPosition = [&](int position) {
        if (position == 33) {
            m_arrPending = {D() + "d.eml"};
            m_arrPending.shrink_to_fit();
            m_prohibited = CExtensionList({"txt"}, {});
        }
    };
    EXPECT_EQ(Run(), ExtractionOutcome::Kept);
    EXPECT_EQ(m_store.m_arrRecords, std::vector<std::string>{Att("a")});
    // The new drop's copy waits for the run it posted.
    EXPECT_TRUE(Exists(D() + "d.eml"));
    EXPECT_TRUE(Exists(D() + "b.eml"));
}

}  // namespace
