#include "platform/SpecialFolders.h"

#include "platform/FileSystem.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(SpecialFolders, PointIntoTheSandboxDuringTests) {
    for (const std::string& folder :
         {platform::AppDataFolder(), platform::ProgramFilesFolder(),
          platform::ProgramFilesX86Folder(), platform::CommonAppDataFolder(), platform::TempPath()}) {
        auto attributes = platform::QueryAttributes(folder);
        ASSERT_TRUE(attributes) << folder;
        EXPECT_TRUE(attributes->isFolder) << folder;
    }
    EXPECT_EQ(platform::TempPath().back(), '\\');
    EXPECT_NE(platform::AppDataFolder().back(), '\\');
}

TEST(SpecialFolders, UniqueTempFilesAreCreatedAndDistinct) {
    test::ScratchFolder scratch;
    std::set<std::string> names;
    for (int i = 0; i < 20; ++i) {
        const std::string path = platform::MakeUniqueTempFile(scratch.Path(), "EMLX");
        ASSERT_FALSE(path.empty());
        EXPECT_EQ(path.rfind(scratch.Path() + "\\EML", 0), 0u) << path;
        EXPECT_EQ(path.substr(path.size() - 4), ".tmp");
        EXPECT_TRUE(platform::QueryAttributes(path));
        names.insert(path);
    }
    EXPECT_EQ(names.size(), 20u);
    EXPECT_TRUE(platform::MakeUniqueTempFile(scratch / "missing", "EML").empty());
}

}  // namespace
