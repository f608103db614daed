#include "app/SettingsListFiles.h"

#include "app/FirstStartFiles.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "policy/DefaultExtensionLists.h"
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
    ASSERT_EQ(m_arrProhibited.size(), 89u);
    EXPECT_EQ(m_arrProhibited[44], "html\tHTMLファイル");
    EXPECT_EQ(m_arrProhibited.back(), "themepack\tWindows テーマ パック");

    const std::vector<std::string> allowed = {"zip\tZIP書庫ファイル", "\tskipped", "eml\t"};
    EXPECT_EQ(files.Save(allowed, {}, false), "");
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
    EXPECT_EQ(files.Save({"txt\t"}, {"exe\tアプリケーション"}, false), "");
    CExtensionList list;
    EXPECT_EQ(LoadExtensionList(Prohibited(), list, true), ListLoadResult::Loaded);
    EXPECT_EQ(list.GetExtensions(), std::vector<std::string>{"exe"});
}

TEST_F(SettingsListFilesTest, AFileThatCannotBeOpenedIsLeftAsItIs) {
    // A folder in the file's place, and a file another program holds open.
    ASSERT_EQ(platform::MakeFolder(Allowed()), platform::MakeFolderResult::Created);
    const std::string prohibited = EncodeExtensionList(DefaultProhibitedList()).value();
    test::WriteFile(Prohibited(), prohibited);
    platform::File holder;
    ASSERT_TRUE(holder.Open(Prohibited(), platform::File::Mode::Read));

    CSettingsListFiles files(Folder());
    files.Load(m_arrAllowed, m_arrProhibited);
    EXPECT_EQ(files.GetAllowedOpening(), ListFileOpening::Failed);
    EXPECT_EQ(files.GetProhibitedOpening(), ListFileOpening::Failed);
    EXPECT_TRUE(m_arrProhibited.empty());
    EXPECT_EQ(files.DamagedNotice(), "");
    EXPECT_EQ(files.ReplaceQuestion(), "");
    holder.Close();
    EXPECT_EQ(files.Save({}, {}, true),
              "「allowedext.dat」を読み込めなかったため、開くことを許可する拡張子の一覧は"
              "保存しませんでした。\n"
              "「prohibitedext.dat」を読み込めなかったため、取り出しを禁止する拡張子の一覧は"
              "保存しませんでした。");
    EXPECT_TRUE(platform::QueryAttributes(Allowed())->isFolder);
    EXPECT_EQ(test::ReadFile(Prohibited()), prohibited);
}

TEST_F(SettingsListFilesTest, ADamagedProhibitedFileShowsTheDefaultListAndIsReplacedWhenAgreed) {
    WriteMissingFiles(Folder(), FirstStartFiles());
    const std::string damaged("\x05\x00\x03" "exe", 6);
    platform::RemoveFile(Prohibited());
    test::WriteFile(Prohibited(), damaged);

    CSettingsListFiles files(Folder());
    files.Load(m_arrAllowed, m_arrProhibited);
    EXPECT_EQ(files.GetAllowedOpening(), ListFileOpening::Loaded);
    EXPECT_EQ(files.GetProhibitedOpening(), ListFileOpening::Damaged);
    // The list drops use while the file is damaged: the default one.
    ASSERT_EQ(m_arrProhibited.size(), 89u);
    EXPECT_EQ(m_arrProhibited.front(), "ade\tMicrosoft Access プロジェクト");
    EXPECT_EQ(m_arrProhibited[45], "iso\tディスクイメージファイル");
    EXPECT_EQ(files.DamagedNotice(),
              "「prohibitedext.dat」が壊れているため読み込めませんでした。\n"
              "取り出しを禁止する拡張子には、いま使われている既定の一覧を表示しています。\n"
              "\n［OK］を押すと、表示している一覧で壊れたファイルを置き換えるかどうかを確認します。"
              "壊れたファイルは名前の後ろに「.damaged」を付けて残します。");
    EXPECT_EQ(files.ReplaceQuestion(),
              "次の一覧ファイルは壊れています。表示している一覧で置き換えますか？\n"
              "\n「prohibitedext.dat」（取り出しを禁止する拡張子）\n"
              "壊れたファイルは「prohibitedext.dat.damaged」として残します。\n"
              "\n［いいえ］を選ぶと、壊れたファイルはそのままにして、ほかの設定を保存します。");

    // Not agreed: the damaged file stays as it is, and nothing is said about it again.
    EXPECT_EQ(files.Save(m_arrAllowed, {"exe\t"}, false), "");
    EXPECT_EQ(test::ReadFile(Prohibited()), damaged);
    EXPECT_FALSE(platform::QueryAttributes(Prohibited() + ".damaged"));

    // Agreed: kept aside, then written; a damaged file kept earlier is replaced.
    test::WriteFile(Prohibited() + ".damaged", "older");
    EXPECT_EQ(files.Save(m_arrAllowed, {"exe\tアプリケーション", "iso\t"}, true), "");
    EXPECT_EQ(test::ReadFile(Prohibited() + ".damaged"), damaged);
    CExtensionList list;
    ASSERT_EQ(LoadExtensionList(Prohibited(), list, true), ListLoadResult::Loaded);
    EXPECT_EQ(list.GetExtensions(), (std::vector<std::string>{"exe", "iso"}));
    ASSERT_EQ(LoadExtensionList(Allowed(), list, true), ListLoadResult::Loaded);
    EXPECT_EQ(list.GetCount(), 22u);
}

TEST_F(SettingsListFilesTest, ADamagedAllowedFileShowsNothingAllowedAndBothAreNamedOnce) {
    const std::string damaged("\x01", 1);
    test::WriteFile(Allowed(), damaged);
    test::WriteFile(Prohibited(), damaged);
    CSettingsListFiles files(Folder());
    files.Load(m_arrAllowed, m_arrProhibited);
    EXPECT_EQ(files.GetAllowedOpening(), ListFileOpening::Damaged);
    EXPECT_TRUE(m_arrAllowed.empty());
    EXPECT_EQ(m_arrProhibited.size(), 89u);
    const std::string notice = files.DamagedNotice();
    for (const char* text : {"「allowedext.dat」が壊れている", "「prohibitedext.dat」が壊れている",
                             "どれも開くことが許可されていない", "［OK］を押すと"}) {
        const std::size_t at = notice.find(text);
        EXPECT_NE(at, std::string::npos) << text;
        EXPECT_EQ(notice.find(text, at + 1), std::string::npos) << text;
    }
    const std::string question = files.ReplaceQuestion();
    EXPECT_NE(question.find("「allowedext.dat.damaged」"), std::string::npos);
    EXPECT_NE(question.find("「prohibitedext.dat.damaged」"), std::string::npos);

    // A folder where the damaged file would be kept: that file is not replaced, and the user
    // is told; the other one is.
    ASSERT_EQ(platform::MakeFolder(Allowed() + ".damaged"), platform::MakeFolderResult::Created);
    EXPECT_EQ(files.Save({"zip\t"}, {"exe\t"}, true),
              "「allowedext.dat」を「allowedext.dat.damaged」として残せなかったため、"
              "開くことを許可する拡張子の一覧は保存しませんでした。");
    EXPECT_EQ(test::ReadFile(Allowed()), damaged);
    EXPECT_EQ(test::ReadFile(Prohibited() + ".damaged"), damaged);
    CExtensionList list;
    ASSERT_EQ(LoadExtensionList(Prohibited(), list, true), ListLoadResult::Loaded);
    EXPECT_EQ(list.GetExtensions(), std::vector<std::string>{"exe"});
}

}  // namespace
