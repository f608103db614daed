#include "app/cli/MorvekCli.h"

#include "platform/SpecialFolders.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

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

CliRun RunCli(std::vector<std::string> arguments) {
    RecordingConsole console;
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

}  // namespace
