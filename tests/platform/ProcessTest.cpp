#include "platform/Process.h"

#include "app/FilePath.h"
#include "platform/FileSystem.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

std::string RecorderPath() {
    std::string folder;
    CFilePath(platform::ProgramFilePath()).GetFolder(folder);
    return folder + MORVEK_RECORDER_NAME;
}

TEST(Process, RunsAProgramWithQuotedArgumentsAndWaitsForIt) {
    test::ScratchFolder scratch;
    // A folder whose name ends in a trail byte 0x5C, right before the closing quote.
    const std::string folder = scratch / "scan 表";
    ASSERT_EQ(platform::MakeFolder(folder), platform::MakeFolderResult::Created);
    const platform::ProcessRun run =
        platform::RunAndWait("\"" + RecorderPath() + "\" \"" + folder + "\" ｋ");
    ASSERT_TRUE(run.bStarted);
    EXPECT_EQ(run.exitCode, 0u);
    // The program has ended: its file is complete.
    std::string expected = folder + "\nｋ\n";
    EXPECT_EQ(test::ReadFile(folder + "\\arguments.txt"), expected);
    // Without a folder the recorder ends with 2, which is handed back.
    const platform::ProcessRun bare = platform::RunAndWait("\"" + RecorderPath() + "\"");
    EXPECT_TRUE(bare.bStarted);
    EXPECT_EQ(bare.exitCode, 2u);
}

TEST(Process, AProgramThatCannotStartIsReportedWithTheSystemsReason) {
    test::ScratchFolder scratch;
    test::WriteFile(scratch / "text.exe", "not a program");
    for (const std::string& command :
         {"\"" + (scratch / "missing.exe") + "\" x", "\"" + (scratch / "text.exe") + "\" x",
          std::string()}) {
        SCOPED_TRACE(command);
        const platform::ProcessRun run = platform::RunAndWait(command);
        EXPECT_FALSE(run.bStarted);
        EXPECT_FALSE(run.strFailure.empty());
    }
}

TEST(Process, ProgramPathNamesThisTest) {
    CFilePath self(platform::ProgramFilePath());
    EXPECT_TRUE(self.Exists());
    EXPECT_FALSE(self.IsFolder());
    ASSERT_FALSE(platform::ProgramArguments().empty());
}

}  // namespace
