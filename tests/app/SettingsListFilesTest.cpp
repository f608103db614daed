#include "app/SettingsListFiles.h"

#include "app/FirstStartFiles.h"
#include "platform/FileSystem.h"
#include "policy/ExtensionListFile.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

class SettingsListFilesTest : public ::testing::Test {
protected:
    std::string Folder() const { return m_scratch.Path() + "\\"; }
    std::string Allowed() const { return Folder() + "allowedext.dat"; }
    std::string Prohibited() const { return Folder() + "prohibitedext.dat"; }

    test::ScratchFolder m_scratch;
    std::vector<std::string> m_arrAllowed;
    std::vector<std::string> m_arrProhibited;
};

TEST_F(SettingsListFilesTest, TheFirstStartListsAreShownAndWrittenBackInTheGivenOrder) {
    WriteMissingFiles(Folder(), FirstStartFiles());
    CSettingsListFiles files(Folder());
    files.Load(m_arrAllowed, m_arrProhibited);
    EXPECT_EQ(files.GetAllowedOpening(), ListFileOpening::Loaded);
    EXPECT_EQ(files.GetProhibitedOpening(), ListFileOpening::Loaded);
    ASSERT_EQ(m_arrAllowed.size(), 22u);
    EXPECT_EQ(m_arrAllowed.front(), "avi\tビデオクリック");
    ASSERT_EQ(m_arrProhibited.size(), 45u);
    EXPECT_EQ(m_arrProhibited.back(), "html\tHTMLファイル");

    const std::vector<std::string> allowed = {"zip\tZIP書庫ファイル", "\tskipped", "eml\t"};
    EXPECT_EQ(files.Save(allowed, {}), "");
    CExtensionList list;
    ASSERT_EQ(LoadExtensionList(Allowed(), list, true), ListLoadResult::Loaded);
    EXPECT_EQ(list.GetExtensions(), (std::vector<std::string>{"zip", "eml"}));
    EXPECT_EQ(list.GetDescriptions(), (std::vector<std::string>{"ZIP書庫ファイル", ""}));
    // An emptied list is two empty arrays.
    EXPECT_EQ(test::ReadFile(Prohibited()), std::string(4, '\0'));
}

TEST_F(SettingsListFilesTest, MissingFilesStartEmptyAndAreCreated) {
    CSettingsListFiles files(Folder());
    files.Load(m_arrAllowed, m_arrProhibited);
    EXPECT_EQ(files.GetAllowedOpening(), ListFileOpening::Missing);
    EXPECT_TRUE(m_arrAllowed.empty());
    EXPECT_EQ(files.Save({"txt\t"}, {"exe\tアプリケーション"}), "");
    CExtensionList list;
    EXPECT_EQ(LoadExtensionList(Prohibited(), list, true), ListLoadResult::Loaded);
    EXPECT_EQ(list.GetExtensions(), std::vector<std::string>{"exe"});
}

TEST_F(SettingsListFilesTest, AFileThatCouldNotBeReadIsLeftAsItIs) {
    WriteMissingFiles(Folder(), FirstStartFiles());
    const std::string damaged(
        "\x05\x00\x03"
        "exe",
        6);
    platform::RemoveFile(Prohibited());
    test::WriteFile(Prohibited(), damaged);

    CSettingsListFiles files(Folder());
    files.Load(m_arrAllowed, m_arrProhibited);
    EXPECT_EQ(files.GetProhibitedOpening(), ListFileOpening::Failed);
    EXPECT_TRUE(m_arrProhibited.empty());
    EXPECT_EQ(files.Save({"zip\t"}, {}),
              "「prohibitedext.dat」を読み込めなかったため、取り出しを禁止する拡張子の一覧は"
              "保存しませんでした。");
    EXPECT_EQ(test::ReadFile(Prohibited()), damaged);
    CExtensionList list;
    ASSERT_EQ(LoadExtensionList(Allowed(), list, true), ListLoadResult::Loaded);
    EXPECT_EQ(list.GetExtensions(), std::vector<std::string>{"zip"});
}

TEST_F(SettingsListFilesTest, BothFilesHeldBackAreNamedInOneMessage) {
    // A folder in the file's place exists but cannot be read; a truncated file is damaged.
    ASSERT_EQ(platform::MakeFolder(Allowed()), platform::MakeFolderResult::Created);
    test::WriteFile(Prohibited(), std::string("\x01", 1));
    CSettingsListFiles files(Folder());
    files.Load(m_arrAllowed, m_arrProhibited);
    EXPECT_EQ(files.GetAllowedOpening(), ListFileOpening::Failed);
    EXPECT_EQ(files.GetProhibitedOpening(), ListFileOpening::Failed);
    EXPECT_EQ(files.Save({}, {}),
              "「allowedext.dat」を読み込めなかったため、開くことを許可する拡張子の一覧は"
              "保存しませんでした。\n"
              "「prohibitedext.dat」を読み込めなかったため、取り出しを禁止する拡張子の一覧は"
              "保存しませんでした。");
    EXPECT_TRUE(platform::QueryAttributes(Allowed())->isFolder);
    EXPECT_EQ(test::ReadFile(Prohibited()), std::string("\x01", 1));
}

}  // namespace
