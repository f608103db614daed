#include "intake/MailIntake.h"

#include "app/FilePath.h"
#include "intake/DropFormats.h"
#include "intake/FileGroupDescriptor.h"
#include "intake/MessageCopyName.h"
#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"
#include "policy/DefaultExtensionLists.h"
#include "policy/ExtensionListFile.h"

#include <algorithm>
#include <utility>

namespace {

CExtensionList InitialProhibitedList() {
    const CExtensionList defaults = DefaultProhibitedList();
    CExtensionList list;
    for (const std::string& extension : defaults.GetExtensions()) {
        list.Add(extension);
    }
    list.Add(kAlertExtension);
    return list;
}

bool OffersMailClientFormat(IDroppedData& data) {
    for (const std::string& name : data.GetFormatNames()) {
        if (sjis::EqualsNoCase(name, kMailClientFormatName)) {
            return true;
        }
    }
    return false;
}

// Whether the drag's virtual files include messages (".eml" or ".msg"), as today's mail
// programs offer them without the mail client's own format.
bool OffersVirtualMessages(IDroppedData& data) {
    std::vector<std::string> names;
    if (!ReadDroppedNames(data, names)) {
        return false;
    }
    return std::any_of(names.begin(), names.end(), [](const std::string& name) {
        return MessageCopyBaseName(name).has_value();
    });
}

// Whether a drop holds an Outlook item, which cannot become an unsent draft.
bool HoldsOutlookItem(IDroppedData& data, bool mailClient) {
    std::vector<std::string> names;
    if (mailClient) {
        ReadDroppedNames(data, names);
    } else if (auto files = data.GetFileList()) {
        names = std::move(*files);
    }
    return std::any_of(names.begin(), names.end(), [](const std::string& name) {
        return IsOutlookItemName(name);
    });
}

}  // namespace

CMailIntake::CMailIntake(std::string dataFolder)
    : m_strDataFolder(std::move(dataFolder)), m_arrProhibited(InitialProhibitedList()) {}

bool CMailIntake::AcceptsDropAt(IDropHost& host, DropPoint point) {
    return host.TestDropZone(point) != DropZone::None;
}

bool CMailIntake::OnDrop(IDropHost& host, IDroppedData& data, DropPoint point) {
    // The zone found here decides the processing: the window may answer otherwise once the
    // progress dialog has let other messages run, and a drop it took must not be lost.
    const DropZone zone = host.TestDropZone(point);
    if (zone == DropZone::None) {
        return false;
    }
    LoadProhibitedList();
    PendingMessageList& pending = host.GetPendingList();
    pending.clear();
    const bool mailClientFormat = OffersMailClientFormat(data);

    if (data.OffersPrivateFormat()) {
        return data.FetchPrivateFormat();
    }
    if (!HasDataFolder()) {
        return false;
    }
    // The mail client's format takes its virtual files; without it a drag's file list comes
    // first, then virtual files that are messages.
    const bool mailClient =
        mailClientFormat || (!data.GetFileList() && OffersVirtualMessages(data));
    if (zone == DropZone::Unsent && HoldsOutlookItem(data, mailClient)) {
        return false;
    }
    bool saved = false;
    if (mailClient) {
        saved = SaveMailClientMessages(host, data, pending);
    } else if (const auto files = data.GetFileList()) {
        saved = SaveDroppedFiles(host, data, *files, pending);
    }
    if (!saved) {
        return false;
    }
    if (!pending.empty()) {
        if (zone == DropZone::Extraction) {
            host.PostExtraction();
        } else {
            host.PostUnsentConversion();
        }
    }
    return true;
}

std::optional<PendingMessageList> CMailIntake::IntakeFiles(const std::vector<std::string>& paths,
                                                         std::vector<std::string>* skipped) {
    LoadProhibitedList();
    PendingMessageList pending;
    if (!HasDataFolder() || !SaveShellFiles(paths, pending, skipped)) {
        return std::nullopt;
    }
    return pending;
}

void CMailIntake::LoadProhibitedList() {
    // Without a data folder the list file's name would resolve against the drive's root.
    if (HasDataFolder()) {
        ::LoadProhibitedList(m_strDataFolder + kProhibitedListFileName, m_arrProhibited);
    }
}

bool CMailIntake::HasDataFolder() const {
    // GetDataFolder gives a lone backslash when the folder could not be made.
    return m_strDataFolder.size() > 1 && CFilePath(m_strDataFolder).IsFolder();
}

void CMailIntake::RemoveCopies(PendingMessageList& pending) {
    for (const std::string& copy : pending) {
        platform::RemoveFile(copy);
    }
    pending.clear();
}
