#include "policy/ExtensionListFile.h"

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "support/Bytes.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

using test::Bytes;
using test::ScratchFolder;

const CExtensionList kExeList({"exe"}, {"アプリケーション"});

TEST(ExtensionListFile, WorkedExamplesComeOutToTheByte) {
    EXPECT_EQ(EncodeExtensionList(kExeList),
              Bytes({0x01, 0x00, 0x03, 0x65, 0x78, 0x65, 0x01, 0x00, 0x10, 0x83, 0x41, 0x83, 0x76,
                     0x83, 0x8A, 0x83, 0x50, 0x81, 0x5B, 0x83, 0x56, 0x83, 0x87, 0x83, 0x93}));
    EXPECT_EQ(EncodeExtensionList(CExtensionList()), Bytes({0x00, 0x00, 0x00, 0x00}));
    const std::string description(255, 'd');
    EXPECT_EQ(EncodeExtensionList(CExtensionList({"x"}, {description})),
              Bytes({0x01, 0x00, 0x01, 'x', 0x01, 0x00, 0xFF, 0xFF, 0x00}) + description);
}

TEST(ExtensionListFile, SavedListsLoadBackWithOrWithoutDescriptions) {
    ScratchFolder scratch;
    const std::string path = scratch / "allowedext.dat";
    const CExtensionList list(
        {"zip", "表", "txt", "bin"},
        {"ZIP書庫ファイル", "", "テキストドキュメント", std::string(300, 'b')});
    ASSERT_TRUE(SaveExtensionList(path, list));
    EXPECT_EQ(test::ReadFile(path), EncodeExtensionList(list));

    CExtensionList read({"old"}, {"old"});
    EXPECT_EQ(LoadExtensionList(path, read, true), ListLoadResult::Loaded);
    EXPECT_EQ(read, list);
    EXPECT_EQ(LoadExtensionList(path, read, false), ListLoadResult::Loaded);
    EXPECT_EQ(read.GetExtensions(), list.GetExtensions());
    EXPECT_EQ(read.GetDescriptions(), std::vector<std::string>(4));

    // A file with no entries is four bytes and empties the list.
    ASSERT_TRUE(SaveExtensionList(path, CExtensionList()));
    EXPECT_EQ(test::ReadFile(path).size(), 4u);
    EXPECT_EQ(LoadExtensionList(path, read, true), ListLoadResult::Loaded);
    EXPECT_TRUE(read.IsEmpty());
}

TEST(ExtensionListFile, DescriptionArraysOfAnotherLengthAreFittedToTheExtensions) {
    CExtensionList list;
    const std::string shortDescriptions =
        Bytes({0x02, 0x00, 0x01, 'a', 0x01, 'b', 0x01, 0x00, 0x02, 'd', 'a'});
    ASSERT_EQ(DecodeExtensionList(shortDescriptions, list, true), ListLoadResult::Loaded);
    EXPECT_EQ(list, CExtensionList({"a", "b"}, {"da", ""}));

    const std::string longDescriptions =
        Bytes({0x01, 0x00, 0x01, 'a', 0x02, 0x00, 0x02, 'd', 'a', 0x02, 'd', 'b'});
    ASSERT_EQ(DecodeExtensionList(longDescriptions, list, true), ListLoadResult::Loaded);
    EXPECT_EQ(list, CExtensionList({"a"}, {"da"}));
}

TEST(ExtensionListFile, FilesThatCannotBeLoadedLeaveTheListAsItWas) {
    ScratchFolder scratch;
    const std::string valid = *EncodeExtensionList(kExeList);
    test::WriteFile(scratch / "truncated.dat", valid.substr(0, valid.size() - 1));
    test::WriteFile(scratch / "noDescriptions.dat", valid.substr(0, 6));
    test::WriteFile(scratch / "hugeCount.dat", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}));
    test::WriteFile(scratch / "empty.dat", "");
    test::WriteFile(scratch / "held.dat", valid);
    platform::File holder;
    ASSERT_TRUE(holder.Open(scratch / "held.dat", platform::File::Mode::Read));

    const std::pair<std::string, ListLoadResult> cases[] = {
        {"missing.dat", ListLoadResult::Unreadable},
        {"held.dat", ListLoadResult::Unreadable},  // another opener holds it
        {"truncated.dat", ListLoadResult::Damaged},
        {"noDescriptions.dat", ListLoadResult::Damaged},
        {"hugeCount.dat", ListLoadResult::Damaged},
        {"empty.dat", ListLoadResult::Damaged},
    };
    for (const auto& [name, expected] : cases) {
        SCOPED_TRACE(name);
        CExtensionList list({"zip"}, {"ZIP書庫ファイル"});
        EXPECT_EQ(LoadExtensionList(scratch / name, list, true), expected);
        EXPECT_EQ(list, CExtensionList({"zip"}, {"ZIP書庫ファイル"}));
        CExtensionList prohibited({"exe", "alert"}, {});
        EXPECT_EQ(LoadProhibitedList(scratch / name, prohibited), expected);
        EXPECT_EQ(prohibited.GetExtensions(), (std::vector<std::string>{"exe", "alert"}));
    }
}

TEST(ExtensionListFile, TheProhibitedListGainsAlertAfterEveryLoad) {
    ScratchFolder scratch;
    const std::string path = scratch / "prohibitedext.dat";
    ASSERT_TRUE(SaveExtensionList(path, CExtensionList({"exe", "scr"}, {"a", "b"})));
    CExtensionList list;
    ASSERT_EQ(LoadProhibitedList(path, list), ListLoadResult::Loaded);
    ASSERT_EQ(LoadProhibitedList(path, list), ListLoadResult::Loaded);
    EXPECT_EQ(list.GetExtensions(), (std::vector<std::string>{"exe", "scr", "alert"}));
    // "alert" lives only in memory.
    EXPECT_EQ(test::ReadFile(path),
              EncodeExtensionList(CExtensionList({"exe", "scr"}, {"a", "b"})));

    ASSERT_TRUE(SaveExtensionList(path, CExtensionList()));
    ASSERT_EQ(LoadProhibitedList(path, list), ListLoadResult::Loaded);
    EXPECT_EQ(list.GetExtensions(), std::vector<std::string>{"alert"});
}

TEST(ExtensionListFile, AFileThatCannotBeCreatedIsNotWritten) {
    ScratchFolder scratch;
    EXPECT_FALSE(SaveExtensionList(scratch / "no-folder\\allowedext.dat", kExeList));
    EXPECT_FALSE(platform::QueryAttributes(scratch / "no-folder"));

    // A file another opener holds keeps its contents.
    test::WriteFile(scratch / "held.dat", "user's");
    platform::File holder;
    ASSERT_TRUE(holder.Open(scratch / "held.dat", platform::File::Mode::Read));
    EXPECT_FALSE(SaveExtensionList(scratch / "held.dat", kExeList));
    holder.Close();
    EXPECT_EQ(test::ReadFile(scratch / "held.dat"), "user's");
}

}  // namespace
