#include "app/Velmaron1App.h"

#include "app/FirstStartFiles.h"
#include "store/RecordListFile.h"
#include "platform/FileSystem.h"
#include "platform/SpecialFolders.h"
#include "policy/DefaultExtensionLists.h"
#include "policy/ExtensionListFile.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

std::string CompanyFolder() {
    return platform::AppDataFolder() + "\\TevoSoftwareDev";
}

// What the settings dialog writes when it saves list unchanged.
std::string SavedList(const CExtensionList& list) {
    test::ScratchFolder scratch;
    EXPECT_TRUE(SaveExtensionList(scratch / "list.dat", list));
    return test::ReadFile(scratch / "list.dat");
}

bool IsFolder(const std::string& path) {
    const auto attributes = platform::QueryAttributes(path);
    return attributes && attributes->isFolder;
}

// Each test starts as on a machine where the program never ran.
class Velmaron1AppTest : public ::testing::Test {
protected:
    void SetUp() override { test::DeleteTree(CompanyFolder()); }
    void TearDown() override { test::DeleteTree(CompanyFolder()); }
};

TEST_F(Velmaron1AppTest, FirstStartMakesTheFoldersAndFiles) {
    const CVelmaron1App app("C:\\Program Files\\Morvek\\morvek.exe");
    EXPECT_EQ(app.m_strDataFolder, CompanyFolder() + "\\morvek");
    EXPECT_EQ(app.GetDataFolder(), app.m_strDataFolder + "\\");
    EXPECT_EQ(app.m_strProgramFolder, "C:\\Program Files\\Morvek\\");
    EXPECT_TRUE(IsFolder(app.m_strDataFolder));
    EXPECT_TRUE(IsFolder(app.GetScanFolder()));
    EXPECT_EQ(app.GetScanFolder(), app.m_strDataFolder + "\\scanvirus");
    EXPECT_EQ(test::ReadFile(app.GetDataFolder() + "morvek.atd"), std::string(2, '\0'));
    EXPECT_EQ(test::ReadFile(app.GetDataFolder() + "allowedext.dat"),
              SavedList(DefaultAllowedList()));
    EXPECT_EQ(test::ReadFile(app.GetDataFolder() + "prohibitedext.dat"),
              SavedList(DefaultProhibitedList()));
    EXPECT_TRUE(IsFolder(CVelmaron1App::GetTemporaryFolder()));

    // What was written loads back as the defaults.
    CExtensionList list;
    ASSERT_EQ(LoadExtensionList(app.GetDataFolder() + "prohibitedext.dat", list, true),
              ListLoadResult::Loaded);
    EXPECT_EQ(list, DefaultProhibitedList());
    std::vector<std::string> records{"stale"};
    ASSERT_EQ(LoadRecordListFile(app.GetDataFolder() + "morvek.atd", records),
              ListLoadResult::Loaded);
    EXPECT_TRUE(records.empty());
}

TEST_F(Velmaron1AppTest, OnlyTheMissingListFileIsWritten) {
    const CExtensionList users({"eml", "zip"}, {"mine", ""});
    std::string folder;
    {
        const CVelmaron1App first("C:\\morvek.exe");
        folder = first.GetDataFolder();
    }
    ASSERT_TRUE(SaveExtensionList(folder + "allowedext.dat", users));
    ASSERT_TRUE(platform::RemoveFile(folder + "prohibitedext.dat"));

    const CVelmaron1App second("C:\\morvek.exe");
    EXPECT_EQ(test::ReadFile(folder + "allowedext.dat"), SavedList(users));
    EXPECT_EQ(test::ReadFile(folder + "prohibitedext.dat"), SavedList(DefaultProhibitedList()));
}

TEST_F(Velmaron1AppTest, ExistingFilesAreLeftAsTheyAre) {
    ASSERT_FALSE(CVelmaron1App::MakeDataFolder("morvek").empty());
    const std::string list = CompanyFolder() + "\\morvek\\morvek.atd";
    test::WriteFile(list, "damaged");
    const CVelmaron1App app("morvek.exe");
    EXPECT_EQ(test::ReadFile(list), "damaged");
    EXPECT_EQ(app.m_strProgramFolder, "");  // a bare program name has no folder
}

TEST_F(Velmaron1AppTest, MissingFilesAreWrittenInOrderUntilOneFails) {
    test::ScratchFolder scratch;
    const std::string folder = scratch.Path() + "\\";
    test::WriteFile(folder + "second", "user's own");
    WriteMissingFiles(folder, {{"first", "1"}, {"second", "2"}, {"third", "3"}});
    EXPECT_EQ(test::ReadFile(folder + "first"), "1");
    EXPECT_EQ(test::ReadFile(folder + "second"), "user's own");
    EXPECT_EQ(test::ReadFile(folder + "third"), "3");

    // A file that cannot be created stops the run: the later ones are not attempted.
    WriteMissingFiles(folder, {{"no-folder\\a", "a"}, {"fourth", "4"}});
    EXPECT_FALSE(platform::QueryAttributes(folder + "fourth"));
}

TEST_F(Velmaron1AppTest, WithoutApplicationDataNothingIsMade) {
    const std::string appData = platform::AppDataFolder();
    ASSERT_TRUE(platform::RemoveEmptyFolder(appData));
    const CVelmaron1App app("C:\\morvek.exe");
    EXPECT_EQ(app.m_strDataFolder, "");
    EXPECT_EQ(app.GetDataFolder(), "\\");
    EXPECT_FALSE(platform::QueryAttributes(appData));
    ASSERT_EQ(platform::MakeFolder(appData), platform::MakeFolderResult::Created);
}

TEST_F(Velmaron1AppTest, StartEmptiesTheTemporaryFolderOfFilesOnly) {
    const std::string temporary = CVelmaron1App::GetTemporaryFolder();
    platform::MakeFolder(temporary);
    test::WriteFile(temporary + "EML1.eml", "a");
    test::WriteFile(temporary + "表.eml", "b");
    ASSERT_NE(platform::MakeFolder(temporary + "sub"), platform::MakeFolderResult::Failed);
    test::WriteFile(temporary + "sub\\kept.txt", "c");

    // A process that may not own the program's mutex leaves another instance's drafts.
    const CVelmaron1App second("C:\\morvek.exe");
    EXPECT_EQ(test::ReadFile(temporary + "EML1.eml"), "a");

    CVelmaron1App::ClearTemporaryFolder();

    std::vector<platform::FoundEntry> entries;
    ASSERT_TRUE(platform::FindEntries(temporary + "*.*", entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "sub");
    EXPECT_EQ(test::ReadFile(temporary + "sub\\kept.txt"), "c");
    test::DeleteTree(temporary + "sub");
}

}  // namespace

namespace {

TEST(Velmaron1AppDataFolder, ACallersFolderIsUsedAndPrepared) {
    test::ScratchFolder scratch;
    const CVelmaron1App app("morvek-cli", scratch / "store\\");
    EXPECT_EQ(app.m_strDataFolder, scratch / "store");
    EXPECT_EQ(test::ReadFile(app.GetDataFolder() + "morvek.atd"), std::string(2, '\0'));
    EXPECT_TRUE(platform::QueryAttributes(app.GetScanFolder()));
    EXPECT_EQ(CVelmaron1App("morvek-cli", scratch / "missing\\store").m_strDataFolder, "");
}

}  // namespace
