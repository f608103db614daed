#include "store/InterruptedRun.h"

#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"
#include "store/RecordStore.h"
#include "store/StorePaths.h"

#include <set>
#include <string_view>
#include <vector>

namespace {

constexpr char kMessageSuffix[] = ".eml";
constexpr char kOutlookItemSuffix[] = ".msg";
constexpr std::size_t kMessageSuffixLength = 4;

// Names as Windows compares them: a message copy "a.eml" and a staging folder "A" of the same
// message count once.
std::string Key(const std::string& name) {
    std::string key = name;
    for (std::size_t pos = 0; pos < key.size(); pos += sjis::CharLength(key, pos)) {
        if (sjis::CharLength(key, pos) == 1 && key[pos] >= 'a' && key[pos] <= 'z') {
            key[pos] = static_cast<char>(key[pos] - 'a' + 'A');
        }
    }
    return key;
}

}  // namespace

int ClearInterruptedRuns(const std::string& dataFolder) {
    // Without a data folder the names would resolve against the root of the drive.
    if (dataFolder.size() <= 1) {
        return 0;
    }
    std::set<std::string> messages;

    const std::string scanFolder = dataFolder + store::kScanFolderName + "\\";
    std::vector<platform::FoundEntry> entries;
    platform::FindEntries(scanFolder + "*.*", entries);
    for (const platform::FoundEntry& entry : entries) {
        // Only folders are staged; anything else in the scan folder is not the program's.
        if (!entry.isFolder) {
            continue;
        }
        CRecordStore::DeleteFolderTree(scanFolder + entry.name);
        const std::string recordFolder = dataFolder + entry.name;
        const auto folder = platform::QueryAttributes(recordFolder);
        if (!folder || !folder->isFolder) {
            const std::string recordFile = recordFolder + store::kRecordSuffix;
            const auto record = platform::QueryAttributes(recordFile);
            if (record && !record->isFolder) {
                platform::RemoveFile(recordFile);
            }
        }
        messages.insert(Key(entry.name));
    }

    // Message copies are ".eml" files, or ".msg" for Outlook items. The pattern also finds
    // longer extensions (".emlx"), which the suffix test drops.
    for (const char* suffix : {kMessageSuffix, kOutlookItemSuffix}) {
        platform::FindEntries(dataFolder + "*" + suffix, entries);
        for (const platform::FoundEntry& entry : entries) {
            const std::string_view name = entry.name;
            if (entry.isFolder || name.size() < kMessageSuffixLength ||
                !sjis::EqualsNoCase(name.substr(name.size() - kMessageSuffixLength), suffix)) {
                continue;
            }
            if (platform::RemoveFile(dataFolder + entry.name)) {
                messages.insert(
                    Key(entry.name.substr(0, entry.name.size() - kMessageSuffixLength)));
            }
        }
    }
    return static_cast<int>(messages.size());
}

std::string InterruptedRunText(int count) {
    return "前回の処理が途中で終了したため、" + std::to_string(count) +
           " 件のメールの添付ファイルは保存されていません。\n"
           "これらのメールをもう一度ドロップしてください。";
}
