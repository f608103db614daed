#include "store/RecordStore.h"

#include "store/RecordListFile.h"
#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"
#include "store/StorePaths.h"

#include <string_view>
#include <unordered_set>
#include <utility>

namespace {

bool Exists(const std::string& path) {
    return platform::QueryAttributes(path).has_value();
}

}  // namespace

CRecordStore::CRecordStore(std::string dataFolder)
    : m_strListFile(dataFolder + kRecordListFileName), m_strDataFolder(std::move(dataFolder)) {}

ListLoadResult CRecordStore::LoadRecordList() {
    if (!IsUsable() || !Exists(m_strListFile)) {
        return ListLoadResult::Unreadable;
    }
    const ListLoadResult result = LoadRecordListFile(m_strListFile, m_arrRecords);
    if (result == ListLoadResult::Damaged) {
        // The records themselves are on disk; the reconciliation lists them again. The file
        // is rewritten only when that changes the list.
        m_arrRecords.clear();
    }
    return result;
}

bool CRecordStore::SaveRecordList() {
    return IsUsable() && SaveRecordListFile(m_strListFile, m_arrRecords);
}

void CRecordStore::AddRecord(const std::string& recordFile) {
    m_arrRecords.insert(m_arrRecords.begin(), recordFile);
    SaveRecordList();
}

bool CRecordStore::IsStoreRecord(const std::string& path) const {
    if (!IsUsable() || !sjis::StartsWithNoCase(path, m_strDataFolder)) {
        return false;
    }
    const std::string_view fileName = std::string_view(path).substr(m_strDataFolder.size());
    if (fileName.size() <= store::kRecordSuffixLength ||
        !sjis::EqualsNoCase(fileName.substr(fileName.size() - store::kRecordSuffixLength),
                            store::kRecordSuffix)) {
        return false;
    }
    std::string_view name = fileName.substr(0, fileName.size() - store::kRecordSuffixLength);
    if (sjis::FindFirstOf(name, "\\/:*?\"<>|") != std::string_view::npos) {
        return false;
    }
    // Windows drops trailing dots and spaces: "..att" would name the data folder itself.
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
        name.remove_suffix(1);
    }
    return !name.empty() && !sjis::EqualsNoCase(name, store::kScanFolderName);
}

bool CRecordStore::KeepListedRecord(const std::string& path) {
    if (!IsStoreRecord(path)) {
        return false;
    }
    const std::string folder = store::RecordFolderOf(path);
    const bool bFolderExists = Exists(folder);
    if (!Exists(path)) {
        // The record was deleted; its attachments go with it.
        if (bFolderExists) {
            DeleteFolderTree(folder);
        }
        return false;
    }
    if (!bFolderExists) {
        platform::RemoveFile(path);
        return false;
    }
    if (FolderHasFile(folder)) {
        return true;
    }
    // A single removal: a folder that still holds sub-folders stays.
    platform::RemoveEmptyFolder(folder);
    platform::RemoveFile(path);
    return false;
}

bool CRecordStore::ReconcileRecords(const std::vector<std::string>& knownWhole) {
    if (!IsUsable()) {
        return false;
    }
    bool bChanged = false;

    // First pass: keep what is still whole, in order.
    const std::unordered_set<std::string_view> whole(knownWhole.begin(), knownWhole.end());
    std::vector<std::string> kept;
    kept.reserve(m_arrRecords.size());
    for (std::string& path : m_arrRecords) {
        if (whole.count(path) != 0 || KeepListedRecord(path)) {
            kept.push_back(std::move(path));
        } else {
            bChanged = true;
        }
    }
    m_arrRecords = std::move(kept);

    // Second pass: adopt whole records that are on disk but not listed. The pattern match
    // also returns longer extensions (".attx"), which the suffix test drops. Each adopted
    // record goes to the top, so the last one found ends up first.
    std::vector<platform::FoundEntry> entries;
    platform::FindEntries(m_strDataFolder + "*" + store::kRecordSuffix, entries);
    std::vector<std::string> adopted;
    adopted.reserve(entries.size());  // the set below points into these strings
    std::unordered_set<std::string_view> listed(m_arrRecords.begin(), m_arrRecords.end());
    for (const platform::FoundEntry& entry : entries) {
        if (entry.isFolder) {
            continue;
        }
        std::string path = m_strDataFolder + entry.name;
        if (!IsStoreRecord(path) || listed.count(path) != 0) {
            continue;
        }
        const std::string folder = store::RecordFolderOf(path);
        if (Exists(folder) && FolderHasFile(folder)) {
            adopted.push_back(std::move(path));
            listed.insert(adopted.back());
        }
    }
    if (!adopted.empty()) {
        bChanged = true;
        m_arrRecords.insert(m_arrRecords.begin(), std::make_move_iterator(adopted.rbegin()),
                            std::make_move_iterator(adopted.rend()));
    }

    if (bChanged) {
        SaveRecordList();
    }
    return bChanged;
}

int CRecordStore::FindOpenRecord() const {
    for (std::size_t i = 0; i < m_arrRecords.size(); ++i) {
        if (m_arrRecords[i] == m_strOpenRecord) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool CRecordStore::OpenRecordAt(std::size_t index) {
    if (index >= m_arrRecords.size()) {
        return false;
    }
    m_strOpenRecord = m_arrRecords[index];
    ListFolder(store::RecordFolderOf(m_strOpenRecord), m_arrAttachments);
    m_arrSelected.assign(m_arrAttachments.size(), 0);
    return true;
}

bool CRecordStore::OpenFirstRecord() {
    if (m_arrRecords.empty()) {
        return false;
    }
    m_bRecordRowSelected = true;
    return OpenRecordAt(0);
}

void CRecordStore::RefreshRecords() {
    ReconcileRecords();
    OpenFirstRecord();
}
