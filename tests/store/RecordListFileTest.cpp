#include "store/RecordListFile.h"

#include "support/Bytes.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

using test::Bytes;
using test::ScratchFolder;

TEST(RecordListFile, ByteLayout) {
    EXPECT_EQ(EncodeRecordList({}), Bytes({0x00, 0x00}));
    EXPECT_EQ(EncodeRecordList({"C:\\x.att"}),
              Bytes({0x01, 0x00, 0x08, 0x43, 0x3A, 0x5C, 0x78, 0x2E, 0x61, 0x74, 0x74}));
}

TEST(RecordListFile, SavedListsLoadBackInOrder) {
    ScratchFolder scratch;
    const std::string path = scratch / "morvek.atd";
    const std::vector<std::string> records = {
        "C:\\Users\\u\\AppData\\Roaming\\TevoSoftwareDev\\morvek\\EML2.att",
        "C:\\データ\\予定表.att",
        "C:\\" + std::string(251, 'p') + ".att",
    };
    ASSERT_TRUE(SaveRecordListFile(path, records));
    std::vector<std::string> read{"stale"};
    EXPECT_EQ(LoadRecordListFile(path, read), ListLoadResult::Loaded);
    EXPECT_EQ(read, records);

    ASSERT_TRUE(SaveRecordListFile(path, {}));
    EXPECT_EQ(test::ReadFile(path), Bytes({0x00, 0x00}));
    EXPECT_EQ(LoadRecordListFile(path, read), ListLoadResult::Loaded);
    EXPECT_TRUE(read.empty());
}

TEST(RecordListFile, ListsOf65535RecordsAndMore) {
    ScratchFolder scratch;
    const std::string path = scratch / "morvek.atd";
    const std::vector<std::string> records(65535, "C:\\x.att");
    ASSERT_TRUE(SaveRecordListFile(path, records));
    EXPECT_EQ(test::ReadFile(path).substr(0, 9),
              Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x08, 'C', ':'}));
    std::vector<std::string> read;
    EXPECT_EQ(LoadRecordListFile(path, read), ListLoadResult::Loaded);
    EXPECT_EQ(read, records);
}

TEST(RecordListFile, DamagedOrMissingFilesLeaveTheListAsItWas) {
    ScratchFolder scratch;
    test::WriteFile(scratch / "truncated.atd",
                    Bytes({0x02, 0x00, 0x08, 'C', ':', '\\', 'x', '.', 'a', 't', 't'}));
    test::WriteFile(scratch / "huge.atd",
                    Bytes({0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}));
    const std::pair<const char*, ListLoadResult> cases[] = {
        {"missing.atd", ListLoadResult::Unreadable},
        {"truncated.atd", ListLoadResult::Damaged},
        {"huge.atd", ListLoadResult::Damaged},
    };
    for (const auto& [name, expected] : cases) {
        SCOPED_TRACE(name);
        std::vector<std::string> records{"C:\\kept.att"};
        EXPECT_EQ(LoadRecordListFile(scratch / name, records), expected);
        EXPECT_EQ(records, std::vector<std::string>{"C:\\kept.att"});
    }
}

}  // namespace
