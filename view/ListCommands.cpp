#include "view/ListCommands.h"

#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"
#include "policy/ExtensionPolicy.h"
#include "view/ListLayout.h"
#include "view/ListSelection.h"
#include "store/RecordStore.h"
#include "view/RowContent.h"
#include "store/StorePaths.h"

#include <string_view>
#include <vector>

using list::OpenAction;

namespace {

constexpr char kAlertExtension[] = "alert";
constexpr char kMessageSuffix[] = ".eml";

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           sjis::EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace

CListCommands::CListCommands(CRecordStore& store, CListLayout& layout, CListSelection& selection)
    : m_store(store), m_layout(layout), m_selection(selection) {}

OpenAction CListCommands::DecideOpen(const std::string& ext, const CExtensionList& allowedList) {
    switch (CheckOpen(ext, allowedList)) {
        case OpenVerdict::NotAllowed:
            return OpenAction::NotAllowed;
        case OpenVerdict::Dangerous:
            return OpenAction::Dangerous;
        case OpenVerdict::Openable:
            break;
    }
    return OpenAction::ShellOpen;
}

OpenAction CListCommands::OnDoubleClick(list::Point point, const CExtensionList& allowedList,
                                        std::string& path, bool& bPassOn) const {
    path.clear();
    bPassOn = false;
    if (m_selection.IsPressOffAttachment()) {
        return OpenAction::None;
    }
    bool isRecord = false;
    bool isAttachment = false;
    const int index = m_layout.HitTest(point, isRecord, isAttachment);
    if (index < 0 || !isAttachment) {
        bPassOn = true;
        return OpenAction::None;
    }
    path = m_store.m_arrAttachments[static_cast<std::size_t>(index)];
    const std::string ext = list::AttachmentExtension(path);
    if (ext == kAlertExtension) {
        return OpenAction::ShowAlert;
    }
    return DecideOpen(ext, allowedList);
}

OpenAction CListCommands::OnOpenSelected(const CExtensionList& allowedList,
                                         std::string& path) const {
    path.clear();
    if (m_selection.HasMultipleSelection()) {
        return OpenAction::None;
    }
    path = m_selection.GetSingleSelection();
    if (path.empty()) {
        return OpenAction::None;
    }
    return DecideOpen(list::AttachmentExtension(path), allowedList);
}

bool CListCommands::IsDeleteEnabled() const {
    return m_selection.HasSelection();
}

bool CListCommands::IsMakeUnsentEnabled(bool bUseUnsendMailFunc) const {
    return bUseUnsendMailFunc && !GetUnsentTarget().empty();
}

std::string CListCommands::GetUnsentTarget() const {
    std::string path = m_selection.GetSingleSelection();
    if (!EndsWithNoCase(path, kMessageSuffix)) {
        path.clear();
    }
    return path;
}

void CListCommands::DeleteSelection() {
    // Runs only while enabled: with nothing selected, an open record without attachments
    // would otherwise go.
    if (!m_selection.HasSelection()) {
        return;
    }
    if (m_store.m_bRecordRowSelected) {
        DeleteOpenRecord();
    } else {
        // A file that cannot be deleted still leaves the lists; it comes back the next time
        // its record is opened.
        for (std::size_t k = 0; k < m_store.m_arrAttachments.size();) {
            if (k < m_store.m_arrSelected.size() && m_store.m_arrSelected[k] != 0) {
                platform::RemoveFile(m_store.m_arrAttachments[k]);
                m_store.m_arrAttachments.erase(m_store.m_arrAttachments.begin() +
                                               static_cast<std::ptrdiff_t>(k));
                m_store.m_arrSelected.erase(m_store.m_arrSelected.begin() +
                                            static_cast<std::ptrdiff_t>(k));
            } else {
                ++k;
            }
        }
        if (!m_store.m_arrAttachments.empty()) {
            m_store.ReconcileRecords();
            m_layout.InvalidateAll();
        } else {
            // The emptied record leaves the list.
            DeleteOpenRecord();
        }
    }
    m_layout.SetScrollExtent();
}

void CListCommands::DeleteOpenRecord() {
    int index = m_store.FindOpenRecord();
    // Only a record of the store is ever deleted; the list never names anything else.
    if (m_store.IsStoreRecord(m_store.m_strOpenRecord)) {
        platform::RemoveFile(m_store.m_strOpenRecord);
    }
    m_store.m_bRecordRowSelected = false;
    m_store.m_strOpenRecord.clear();
    m_store.m_arrAttachments.clear();
    m_store.m_arrSelected.clear();
    // The record file is gone, so the reconciliation deletes the folder and drops the entry.
    // A record file that could not be deleted keeps its record listed, closed.
    if (m_store.ReconcileRecords() && !m_store.m_arrRecords.empty()) {
        const int count = static_cast<int>(m_store.m_arrRecords.size());
        // An open record that was not listed opens the top record.
        index = index < 0 ? 0 : (index >= count ? count - 1 : index);
        m_store.m_bRecordRowSelected = true;
        m_store.OpenRecordAt(static_cast<std::size_t>(index));
    }
    m_layout.InvalidateAll();
}

void CListCommands::DeleteAll() {
    const std::string& dataFolder = m_store.GetDataFolder();
    // Without a data folder the pattern would name the root of the drive.
    if (dataFolder.size() > 1) {
        std::vector<platform::FoundEntry> entries;
        platform::FindEntries(dataFolder + "*" + store::kRecordSuffix, entries);
        for (const platform::FoundEntry& entry : entries) {
            // The pattern also matches longer extensions (".attx"), which are no records.
            if (!entry.isFolder && EndsWithNoCase(entry.name, store::kRecordSuffix)) {
                platform::RemoveFile(dataFolder + entry.name);
            }
        }
    }
    if (m_store.ReconcileRecords()) {
        m_layout.InvalidateAll();
    }
    m_store.m_bRecordRowSelected = false;
    m_store.m_strOpenRecord.clear();
    m_store.m_arrAttachments.clear();
    m_store.m_arrSelected.clear();
    m_layout.SetScrollExtent();
}
