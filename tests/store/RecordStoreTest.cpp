#include "store/RecordStore.h"

#include "store/RecordListFile.h"
#include "platform/FileSystem.h"
#include "support/ScratchFolder.h"
#include "store/StoreFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using test::Exists;
using test::MakeRecord;

class RecordStoreTest : public ::testing::Test {
protected:
    std::string D() const { return m_scratch.Path() + "\\"; }
    std::string Att(const std::string& name) const { return D() + name + ".att"; }

    // A list file with bytes after the array, which a reader ignores and a rewrite drops:
    // they tell whether the file was written again.
    void WriteMarkedList(const std::vector<std::string>& records) {
        test::WriteFile(D() + kRecordListFileName, *EncodeRecordList(records) + "MARK");
    }
    bool ListFileRewritten() const {
        const std::string data = test::ReadFile(D() + kRecordListFileName);
        return data.size() < 4 || data.substr(data.size() - 4) != "MARK";
    }

    // The names the file system lists for pattern, in its order.
    std::vector<std::string> Enumerated(const std::string& pattern) const {
        std::vector<platform::FoundEntry> entries;
        platform::FindEntries(D() + pattern, entries);
        std::vector<std::string> names;
        for (const platform::FoundEntry& entry : entries) {
            names.push_back(entry.name);
        }
        return names;
    }

    test::ScratchFolder m_scratch;
    CRecordStore m_store{D()};
};

TEST_F(RecordStoreTest, ListFileLoadsAndSaves) {
    EXPECT_EQ(m_store.m_strListFile, D() + "morvek.atd");
    // No file: the list stays as it was.
    m_store.m_arrRecords = {"kept"};
    EXPECT_EQ(m_store.LoadRecordList(), ListLoadResult::Unreadable);
    EXPECT_EQ(m_store.m_arrRecords, std::vector<std::string>{"kept"});

    m_store.m_arrRecords = {Att("b"), Att("表")};
    ASSERT_TRUE(m_store.SaveRecordList());
    CRecordStore other(D());
    EXPECT_EQ(other.LoadRecordList(), ListLoadResult::Loaded);
    EXPECT_EQ(other.m_arrRecords, m_store.m_arrRecords);
}

TEST_F(RecordStoreTest, AddedRecordsGoToTheTopAndAreSaved) {
    m_store.AddRecord(Att("a"));
    m_store.AddRecord(Att("b"));
    m_store.AddRecord(Att("a"));  // no duplicate check
    const std::vector<std::string> expected = {Att("a"), Att("b"), Att("a")};
    EXPECT_EQ(m_store.m_arrRecords, expected);
    EXPECT_EQ(test::ListFileOf(D()), expected);
}

TEST_F(RecordStoreTest, ADamagedListFileLoadsEmptyAndStaysUntilTheListChanges) {
    // A count of five followed by one string cut short.
    const std::string damaged(
        "\x05\x00\x08"
        "C:\\x",
        7);
    for (const std::string& bytes : {damaged, std::string("\xFF\xFF\xFF\xFF\xFF\x7F", 6)}) {
        test::WriteFile(D() + kRecordListFileName, bytes);
        CRecordStore store(D());
        store.m_arrRecords = {"stale"};
        EXPECT_EQ(store.LoadRecordList(), ListLoadResult::Damaged);
        EXPECT_TRUE(store.m_arrRecords.empty());
        // Nothing on disk to list: the reconciliation changes nothing and writes nothing.
        EXPECT_FALSE(store.ReconcileRecords());
        EXPECT_EQ(test::ReadFile(D() + kRecordListFileName), bytes);
    }
    // A record on disk is listed again, and only now is the file replaced.
    MakeRecord(D(), "x", {"a.txt"});
    CRecordStore store(D());
    EXPECT_EQ(store.LoadRecordList(), ListLoadResult::Damaged);
    EXPECT_TRUE(store.ReconcileRecords());
    EXPECT_EQ(test::ListFileOf(D()), std::vector<std::string>{Att("x")});
}

TEST_F(RecordStoreTest, TheFirstPassDropsBrokenRecordsAndClearsTheirRemains) {
    MakeRecord(D(), "whole", {"a.txt"});
    MakeRecord(D(), "empty", {});            // folder without a file
    MakeRecord(D(), "nofolder", {}, false);  // record file only
    MakeRecord(D(), "gone", {"a.txt"});      // record file deleted by the user
    ASSERT_EQ(platform::MakeFolder(D() + "gone\\sub"), platform::MakeFolderResult::Created);
    test::WriteFile(D() + "gone\\sub\\b.txt", "b");
    platform::RemoveFile(Att("gone"));
    MakeRecord(D(), "subonly", {});  // only a sub-folder, with a file
    ASSERT_EQ(platform::MakeFolder(D() + "subonly\\sub"), platform::MakeFolderResult::Created);
    test::WriteFile(D() + "subonly\\sub\\c.txt", "c");
    m_store.m_arrRecords = {Att("empty"), Att("nofolder"), Att("whole"),
                            Att("gone"),  Att("subonly"),  Att("missing")};

    EXPECT_TRUE(m_store.ReconcileRecords());
    EXPECT_EQ(m_store.m_arrRecords, std::vector<std::string>{Att("whole")});
    EXPECT_EQ(test::ListFileOf(D()), std::vector<std::string>{Att("whole")});
    // The sub-folder keeps its folder: a single removal cannot take it.
    EXPECT_EQ(test::Tree(D()),
              (std::set<std::string>{"morvek.atd", "whole.att", "whole/", "whole/a.txt", "subonly/",
                                     "subonly/sub/", "subonly/sub/c.txt"}));
}

TEST_F(RecordStoreTest, TheSecondPassAdoptsWholeRecordsInTheOrderFound) {
    MakeRecord(D(), "listed", {"a.txt"});
    MakeRecord(D(), "x", {"a.txt"});
    MakeRecord(D(), "表", {"a.txt"});  // a name that ends in the trail byte 0x5C
    test::WriteFile(D() + "X2.ATT", "upper-case extension");
    ASSERT_EQ(platform::MakeFolder(D() + "X2"), platform::MakeFolderResult::Created);
    test::WriteFile(D() + "X2\\a.txt", "a");
    MakeRecord(D(), "y", {}, false);  // no folder: stays, unlisted
    MakeRecord(D(), "empty", {});     // no file in the folder: stays, unlisted
    test::WriteFile(D() + "z.attx", "longer extension");
    MakeRecord(D(), "z", {"a.txt"});
    platform::RemoveFile(Att("z"));
    m_store.m_arrRecords = {Att("listed")};

    EXPECT_TRUE(m_store.ReconcileRecords());
    // Each adopted record went to the top: the last one found is first.
    std::vector<std::string> expected;
    for (const std::string& name : Enumerated("*.att")) {
        if (name == "x.att" || name == "X2.ATT" || name == "表.att") {
            expected.insert(expected.begin(), D() + name);
        }
    }
    ASSERT_EQ(expected.size(), 3u);
    expected.push_back(Att("listed"));
    EXPECT_EQ(m_store.m_arrRecords, expected);
    EXPECT_EQ(test::ListFileOf(D()), expected);
    for (const char* left : {"y.att", "empty.att", "empty", "z.attx"}) {
        EXPECT_TRUE(Exists(D() + left)) << left;
    }
}

TEST_F(RecordStoreTest, NothingToChangeWritesNothing) {
    MakeRecord(D(), "a", {"1.txt"});
    MakeRecord(D(), "b", {"2.txt"});
    WriteMarkedList({Att("b"), Att("a")});
    ASSERT_EQ(m_store.LoadRecordList(), ListLoadResult::Loaded);
    EXPECT_FALSE(m_store.ReconcileRecords());
    EXPECT_EQ(m_store.m_arrRecords, (std::vector<std::string>{Att("b"), Att("a")}));
    EXPECT_FALSE(ListFileRewritten());
    // A change rewrites it.
    MakeRecord(D(), "c", {"3.txt"});
    EXPECT_TRUE(m_store.ReconcileRecords());
    EXPECT_TRUE(ListFileRewritten());
}

// The store deletes only records of its own data folder: what a damaged or foreign list
// names elsewhere is dropped from the list and left on disk, and names that would resolve to
// the data folder or the scan folder are never records.
TEST_F(RecordStoreTest, EntriesThatAreNoRecordsOfTheStoreAreDroppedWithoutDeleting) {
    test::ScratchFolder outside;
    ASSERT_EQ(platform::MakeFolder(outside / "o"), platform::MakeFolderResult::Created);
    test::WriteFile(outside / "o\\file.txt", "user data");
    test::WriteFile(D() + "loose.txt", "in the data folder");
    ASSERT_EQ(platform::MakeFolder(D() + "scanvirus"), platform::MakeFolderResult::Created);
    MakeRecord(D(), "scanvirus\\s", {"staged.txt"});
    ASSERT_EQ(platform::MakeFolder(D() + "sub"), platform::MakeFolderResult::Created);
    MakeRecord(D(), "sub\\x", {"f.txt"});
    platform::RemoveFile(Att("sub\\x"));
    // On disk too: record files with no name of their own.
    test::WriteFile(D() + ".att", "");
    test::WriteFile(D() + "..att", "");
    test::WriteFile(D() + "scanvirus.att", "");
    m_store.m_arrRecords = {outside / "o.att",
                            D() + ".att",
                            D() + "..att",
                            D() + ". .att",
                            D() + "scanvirus.att",
                            D() + "SCANVIRUS.att",
                            Att("sub\\x"),
                            "",
                            "x"};

    EXPECT_TRUE(m_store.ReconcileRecords());
    EXPECT_TRUE(m_store.m_arrRecords.empty());
    EXPECT_EQ(test::Tree(outside.Path() + "\\"), (std::set<std::string>{"o/", "o/file.txt"}));
    for (const char* left : {"loose.txt", "scanvirus\\s\\staged.txt", "scanvirus\\s.att",
                             "sub\\x\\f.txt", ".att", "..att", "scanvirus.att"}) {
        EXPECT_TRUE(Exists(D() + left)) << left;
    }
    for (const char* path : {".att", "..att", "scanvirus.att", "sub\\x.att"}) {
        EXPECT_FALSE(m_store.IsStoreRecord(D() + path)) << path;
    }
    EXPECT_TRUE(m_store.IsStoreRecord(D() + "a..att"));
    EXPECT_TRUE(m_store.IsStoreRecord(D() + "表.ATT"));
}

TEST_F(RecordStoreTest, FolderWalks) {
    // "表" ends in the trail byte 0x5C, which is no backslash.
    const std::string folder = D() + "表";
    EXPECT_FALSE(CRecordStore::FolderHasFile(folder));
    ASSERT_EQ(platform::MakeFolder(folder), platform::MakeFolderResult::Created);
    EXPECT_FALSE(CRecordStore::FolderHasFile(folder));
    ASSERT_EQ(platform::MakeFolder(folder + "\\d"), platform::MakeFolderResult::Created);
    test::WriteFile(folder + "\\d\\deep.txt", "deep");
    EXPECT_FALSE(CRecordStore::FolderHasFile(folder));
    test::WriteFile(folder + "\\b.txt", "b");
    test::WriteFile(folder + "\\c.txt", "c");
    EXPECT_TRUE(CRecordStore::FolderHasFile(folder));
    EXPECT_TRUE(CRecordStore::FolderHasFile(folder + "\\"));

    // The reverse of the file system's order: b.txt before c.txt lists c.txt above b.txt.
    std::vector<std::string> expected;
    for (const std::string& name : Enumerated("表\\*.*")) {
        expected.insert(expected.begin(), folder + "\\" + name);
    }
    ASSERT_EQ(expected.size(), 3u);
    std::vector<std::string> list{"stale"};
    CRecordStore::ListFolder(folder, list);
    EXPECT_EQ(list, expected);
    CRecordStore::ListFolder(folder + "\\", list);
    EXPECT_EQ(list, expected);
    CRecordStore::ListFolder(D() + "missing", list);
    EXPECT_TRUE(list.empty());

    CRecordStore::DeleteFolderTree(folder + "\\");
    EXPECT_FALSE(Exists(folder));
    EXPECT_TRUE(Exists(D()));
}

TEST_F(RecordStoreTest, NamesWithAColonAreNeverAttachments) {
    // Where a volume keeps no named streams (Wine's drives), a stream written beside an
    // attachment becomes a file of its own, "name:Zone.Identifier".
    const std::string folder = D() + "表";
    ASSERT_EQ(platform::MakeFolder(folder), platform::MakeFolderResult::Created);
    test::WriteFile(folder + "\\a.docx:Zone.Identifier", "[ZoneTransfer]\r\nZoneId=3\r\n");
    ASSERT_EQ(Enumerated("表\\*.*"), std::vector<std::string>{"a.docx:Zone.Identifier"});
    EXPECT_FALSE(CRecordStore::FolderHasFile(folder));
    test::WriteFile(folder + "\\a.docx", "PK");
    EXPECT_TRUE(CRecordStore::FolderHasFile(folder));
    std::vector<std::string> list;
    CRecordStore::ListFolder(folder, list);
    EXPECT_EQ(list, std::vector<std::string>{folder + "\\a.docx"});
    // Deleting the record's folder takes it along.
    CRecordStore::DeleteFolderTree(folder);
    EXPECT_FALSE(Exists(folder));
}

// Links inside the store, and a record folder that is itself a link, go as links: the files
// they point to outside the data folder stay. The reconciliation deletes the tree of a record
// whose record file is gone, as the report had it with "morvek-cli list".
TEST_F(RecordStoreTest, DeletesNeverFollowLinks) {
    test::ScratchFolder outside;
    test::WriteFile(outside / "precious.txt", "mine");
    ASSERT_EQ(platform::MakeFolder(outside / "sub"), platform::MakeFolderResult::Created);
    test::WriteFile(outside / "sub\\deep.txt", "mine too");

    MakeRecord(D(), "linked", {"a.txt"});
    if (!platform::MakeSymbolicLink(D() + "linked\\folder", outside.Path(), true)) {
        GTEST_SKIP() << "this system makes no symbolic links for this user";
    }
    ASSERT_TRUE(platform::MakeSymbolicLink(D() + "linked\\file.txt", outside / "precious.txt",
                                           false));
    ASSERT_TRUE(platform::MakeSymbolicLink(D() + "whole", outside / "sub", true));
    MakeRecord(D(), "whole", {}, false);

    const auto link = platform::QueryAttributes(D() + "whole");
    if (!link || !link->isLink) {
        // Wine 8 makes the link but does not show it as a reparse point.
        GTEST_SKIP() << "this system does not show the links it makes as links";
    }
    EXPECT_TRUE(link->isLink);
    EXPECT_TRUE(link->isFolder);
    std::vector<platform::FoundEntry> entries;
    ASSERT_TRUE(platform::FindEntries(D() + "linked\\*.*", entries));
    ASSERT_EQ(entries.size(), 3u);
    for (const platform::FoundEntry& entry : entries) {
        EXPECT_EQ(entry.isLink, entry.name != "a.txt") << entry.name;
        EXPECT_EQ(entry.isFolder, entry.name == "folder") << entry.name;
    }

    // Both record files deleted (as the delete command does): the next reconciliation
    // clears their folders away.
    m_store.m_arrRecords = {Att("linked"), Att("whole")};
    ASSERT_TRUE(platform::RemoveFile(Att("linked")));
    ASSERT_TRUE(platform::RemoveFile(Att("whole")));
    EXPECT_TRUE(m_store.ReconcileRecords());
    EXPECT_TRUE(m_store.m_arrRecords.empty());
    EXPECT_FALSE(Exists(D() + "linked"));
    EXPECT_FALSE(Exists(D() + "whole"));
    EXPECT_EQ(test::ReadFile(outside / "precious.txt"), "mine");
    EXPECT_EQ(test::ReadFile(outside / "sub\\deep.txt"), "mine too");

    // A link whose target is gone is removed all the same.
    ASSERT_EQ(platform::MakeFolder(D() + "dangling"), platform::MakeFolderResult::Created);
    ASSERT_TRUE(platform::MakeSymbolicLink(D() + "dangling\\gone", outside / "gone", true));
    CRecordStore::DeleteFolderTree(D() + "dangling");
    EXPECT_FALSE(Exists(D() + "dangling"));
}

TEST_F(RecordStoreTest, OpeningRecords) {
    MakeRecord(D(), "a", {"b.txt", "c.txt"});
    MakeRecord(D(), "b", {"x.txt"});
    m_store.m_arrRecords = {Att("a"), Att("b")};

    ASSERT_TRUE(m_store.OpenFirstRecord());
    EXPECT_EQ(m_store.m_strOpenRecord, Att("a"));
    EXPECT_TRUE(m_store.m_bRecordRowSelected);
    std::vector<std::string> expected;
    CRecordStore::ListFolder(D() + "a", expected);
    EXPECT_EQ(m_store.m_arrAttachments, expected);
    EXPECT_EQ(m_store.m_arrSelected, (std::vector<std::uint16_t>{0, 0}));
    EXPECT_EQ(m_store.FindOpenRecord(), 0);

    m_store.m_arrSelected[1] = 1;
    m_store.m_bRecordRowSelected = false;
    ASSERT_TRUE(m_store.OpenRecordAt(1));
    EXPECT_EQ(m_store.m_strOpenRecord, Att("b"));
    EXPECT_EQ(m_store.m_arrAttachments, std::vector<std::string>{D() + "b\\x.txt"});
    EXPECT_EQ(m_store.m_arrSelected, std::vector<std::uint16_t>{0});
    EXPECT_FALSE(m_store.m_bRecordRowSelected);  // the caller's to set
    EXPECT_EQ(m_store.FindOpenRecord(), 1);
    EXPECT_FALSE(m_store.OpenRecordAt(2));
    EXPECT_EQ(m_store.m_strOpenRecord, Att("b"));

    // Lookups compare byte for byte.
    m_store.m_strOpenRecord = D() + "B.att";
    EXPECT_EQ(m_store.FindOpenRecord(), -1);

    // An empty list opens nothing and leaves the open record as it was.
    m_store.m_strOpenRecord = Att("b");
    m_store.m_arrRecords.clear();
    EXPECT_FALSE(m_store.OpenFirstRecord());
    EXPECT_EQ(m_store.m_strOpenRecord, Att("b"));
    EXPECT_EQ(m_store.m_arrAttachments.size(), 1u);
    EXPECT_FALSE(m_store.m_bRecordRowSelected);
}

TEST(RecordStore, WithoutADataFolderNothingIsReadWrittenOrDeleted) {
    CRecordStore store("\\");
    store.m_arrRecords = {"\\x.att"};
    EXPECT_EQ(store.LoadRecordList(), ListLoadResult::Unreadable);
    EXPECT_FALSE(store.SaveRecordList());
    EXPECT_FALSE(store.ReconcileRecords());
    EXPECT_EQ(store.m_arrRecords, std::vector<std::string>{"\\x.att"});
    EXPECT_FALSE(store.IsStoreRecord("\\x.att"));
}

}  // namespace
