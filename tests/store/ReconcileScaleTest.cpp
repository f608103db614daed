// The reconciliation of a large store gives the list that the plain procedure gives: entries
// removed one by one from the list, each "is it listed" answered by a walk over the whole
// list, each adopted record inserted at the top. The store answers with a set lookup and
// builds its list in one go; this test holds the two to the same result.

#include "platform/FileSystem.h"
#include "support/ScratchFolder.h"
#include "store/RecordStore.h"
#include "store/StoreFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

struct RecordState {
    bool bFile = false;
    bool bFolder = false;
    bool bHasFile = false;
};

// The procedure as written, over a model of the disk.
std::vector<std::string> PlainReconcile(std::vector<std::string> list,
                                        std::map<std::string, RecordState> disk,
                                        const std::vector<std::string>& enumerated) {
    for (std::size_t i = 0; i < list.size();) {
        RecordState& state = disk[list[i]];
        if (state.bFile && state.bFolder && state.bHasFile) {
            ++i;
            continue;
        }
        state = {};  // every other case clears the record away
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    }
    for (const std::string& path : enumerated) {
        const RecordState& state = disk[path];
        if (!state.bFile || std::find(list.begin(), list.end(), path) != list.end()) {
            continue;
        }
        if (state.bFolder && state.bHasFile) {
            list.insert(list.begin(), path);
        }
    }
    return list;
}

TEST(ReconcileScale, ALargeStoreReconcilesAsThePlainProcedureDoes) {
    constexpr int kCount = 300;
    test::ScratchFolder scratch;
    const std::string D = scratch.Path() + "\\";
    std::map<std::string, RecordState> disk;
    std::vector<std::string> listed;
    for (int i = 0; i < kCount; ++i) {
        const std::string name = "r" + std::to_string(i);
        const std::string path = D + name + ".att";
        switch (i % 6) {
            case 0:  // whole and listed
            case 1:  // whole, not listed: adopted
            case 5:  // whole and listed twice
                test::MakeRecord(D, name, {"a.txt"});
                disk[path] = {true, true, true};
                break;
            case 2:  // listed, its folder empty
                test::MakeRecord(D, name, {});
                disk[path] = {true, true, false};
                break;
            case 3:  // listed, its record file deleted
                test::MakeRecord(D, name, {"a.txt"});
                platform::RemoveFile(path);
                disk[path] = {false, true, true};
                break;
            case 4:  // no folder, not listed: stays unlisted
                test::MakeRecord(D, name, {}, false);
                disk[path] = {true, false, false};
                break;
        }
        if (i % 6 != 1 && i % 6 != 4) {
            listed.push_back(path);
        }
        if (i % 6 == 5) {
            listed.push_back(path);
        }
    }
    // A list order unlike the file system's.
    std::vector<std::string> shuffled;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        shuffled.push_back(listed[(i * 7919) % listed.size()]);
    }
    ASSERT_EQ(std::set<std::string>(shuffled.begin(), shuffled.end()).size(),
              std::set<std::string>(listed.begin(), listed.end()).size());

    std::vector<platform::FoundEntry> entries;
    ASSERT_TRUE(platform::FindEntries(D + "*.att", entries));
    std::vector<std::string> enumerated;
    for (const platform::FoundEntry& entry : entries) {
        enumerated.push_back(D + entry.name);
    }
    const std::vector<std::string> expected = PlainReconcile(shuffled, disk, enumerated);

    CRecordStore store(D);
    store.m_arrRecords = shuffled;
    EXPECT_TRUE(store.ReconcileRecords());
    EXPECT_EQ(store.m_arrRecords, expected);
    EXPECT_EQ(expected.size(), static_cast<std::size_t>(kCount / 6 * 4));
    // Once in step, a second reconciliation changes nothing.
    EXPECT_FALSE(store.ReconcileRecords());
    EXPECT_EQ(store.m_arrRecords, expected);
}

}  // namespace
