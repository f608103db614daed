// The shell path: message files dropped from the shell, copied as they are.

#include "intake/MailIntake.h"
#include "intake/MessageCopyName.h"
#include "platform/DownloadMark.h"
#include "platform/FileSystem.h"

bool CMailIntake::SaveShellFiles(const std::vector<std::string>& paths,
                                 PendingMessageList& pending) {
    // From the last path to the first, each copy put in front: the list keeps the order
    // of the file list.
    for (auto path = paths.rbegin(); path != paths.rend(); ++path) {
        const std::optional<std::string> base = MessageCopyBaseName(*path);
        if (!base) {
            continue;
        }
        const std::optional<std::string> name = FindFreeCopyName(m_strDataFolder, *base);
        if (!name) {
            RemoveCopies(pending);
            return false;
        }
        // The name was free a moment ago; a file that appeared since is not replaced.
        const std::string copyPath = *name + "." + MessageCopyExtension(*path);
        if (platform::CopyFileTo(*path, copyPath, true)) {
            // A message saved from mail or the web keeps its mark in the copy.
            platform::CopyDownloadMark(*path, copyPath);
            pending.insert(pending.begin(), copyPath);
        }
    }
    return true;
}
