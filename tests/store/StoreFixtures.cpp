#include "store/StoreFixtures.h"

#include "store/RecordListFile.h"
#include "platform/FileSystem.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace test {

void MakeRecord(const std::string& dataFolder, const std::string& name,
                const std::vector<std::string>& files, bool bMakeFolder) {
    WriteFile(dataFolder + name + ".att", "2004年12月06日 10:20:30\r\r\nfrom\r\r\nsubject\r\r\n");
    if (!bMakeFolder && files.empty()) {
        return;
    }
    ASSERT_NE(platform::MakeFolder(dataFolder + name), platform::MakeFolderResult::Failed);
    for (const std::string& file : files) {
        WriteFile(dataFolder + name + "\\" + file, "data of " + file);
    }
}

std::set<std::string> Tree(const std::string& folder) {
    std::set<std::string> names;
    std::vector<platform::FoundEntry> entries;
    platform::FindEntries(folder + "*.*", entries);
    for (const platform::FoundEntry& entry : entries) {
        if (entry.isFolder) {
            names.insert(entry.name + "/");
            for (const std::string& inner : Tree(folder + entry.name + "\\")) {
                names.insert(entry.name + "/" + inner);
            }
        } else {
            names.insert(entry.name);
        }
    }
    return names;
}

bool Exists(const std::string& path) {
    return platform::QueryAttributes(path).has_value();
}

std::vector<std::string> ListFileOf(const std::string& dataFolder) {
    std::vector<std::string> records;
    if (LoadRecordListFile(dataFolder + kRecordListFileName, records) != ListLoadResult::Loaded) {
        return {"<unreadable>"};
    }
    return records;
}

}  // namespace test
