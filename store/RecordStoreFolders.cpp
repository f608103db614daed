// The folder walks of the store: is there a file, what is in a folder, delete a tree.

#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"
#include "store/RecordStore.h"
#include "store/StorePaths.h"

#include <algorithm>

namespace {

// No Windows file name holds a colon. Where a volume keeps no named streams, a write to the
// stream "name:Zone.Identifier" (as another program may try) can leave a separate file of
// that name beside the attachment; it is none of the message's files.
bool IsAttachmentEntry(const platform::FoundEntry& entry) {
    return sjis::FindFirstOf(entry.name, ":") == std::string::npos;
}

}  // namespace

bool CRecordStore::FolderHasFile(const std::string& folder) {
    std::vector<platform::FoundEntry> entries;
    platform::FindEntries(store::WithBackslash(folder) + "*.*", entries);
    return std::any_of(entries.begin(), entries.end(),
                       [](const platform::FoundEntry& entry) {
                           return !entry.isFolder && IsAttachmentEntry(entry);
                       });
}

void CRecordStore::ListFolder(const std::string& folder, std::vector<std::string>& list) {
    list.clear();
    const std::string prefix = store::WithBackslash(folder);
    std::vector<platform::FoundEntry> entries;
    platform::FindEntries(prefix + "*.*", entries);
    // Each entry goes to the top of the list, so the list ends up in reverse order.
    list.reserve(entries.size());
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        if (IsAttachmentEntry(*entry)) {
            list.push_back(prefix + entry->name);
        }
    }
}

void CRecordStore::DeleteFolderTree(const std::string& path) {
    const std::string prefix = store::WithBackslash(path);
    // No path, a lone backslash or a drive root names no folder of the store.
    if (prefix.size() < 2 || prefix[prefix.size() - 2] == ':') {
        return;
    }
    // A link goes as a link: what it points to lies outside the store.
    const std::string folder = prefix.substr(0, prefix.size() - 1);
    const auto attributes = platform::QueryAttributes(folder);
    if (attributes && attributes->isLink) {
        platform::RemoveLink(folder);
        return;
    }
    std::vector<platform::FoundEntry> entries;
    platform::FindEntries(prefix + "*.*", entries);
    for (const platform::FoundEntry& entry : entries) {
        const std::string entryPath = prefix + entry.name;
        if (entry.isLink) {
            platform::RemoveLink(entryPath);
        } else if (entry.isFolder) {
            DeleteFolderTree(entryPath);
        } else {
            platform::RemoveFile(entryPath);
        }
    }
    platform::RemoveEmptyFolder(folder);
}
