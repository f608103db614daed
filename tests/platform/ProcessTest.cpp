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
    ASSERT_TRUE(platform::RunAndWait("\"" + RecorderPath() + "\" \"" + folder + "\" ｋ"));
    // The program has ended: its file is complete.
    std::string expected = folder + "\nｋ\n";
    EXPECT_EQ(test::ReadFile(folder + "\\arguments.txt"), expected);
}

TEST(Process, AProgramThatCannotStartIsReported) {
    test::ScratchFolder scratch;
    EXPECT_FALSE(platform::RunAndWait("\"" + (scratch / "missing.exe") + "\" x"));
    EXPECT_FALSE(platform::RunAndWait(""));
}

TEST(Process, ProgramPathNamesThisTest) {
    CFilePath self(platform::ProgramFilePath());
    EXPECT_TRUE(self.Exists());
    EXPECT_FALSE(self.IsFolder());
    ASSERT_FALSE(platform::ProgramArguments().empty());
}

}  // namespace
