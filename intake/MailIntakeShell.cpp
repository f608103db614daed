// The shell path: message files dropped from the shell, copied as they are.

#include "intake/MailIntake.h"
#include "intake/MessageCopyName.h"
#include "platform/DownloadMark.h"
#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"

namespace {

// The shell's copy shows no progress dialog; the copy loop still reports to something.
class CShellCopyProgress final : public IProgressSink {
public:
    void SetStatusText(const std::string&) override {}
    void SetPosition(int) override {}
    void StepIt() override {}
    bool CheckCancel() override { return false; }
};

std::string FileNameOf(const std::string& path) {
    const std::size_t separator = sjis::FindLastOf(path, "\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace

bool CMailIntake::SaveShellFiles(const std::vector<std::string>& paths,
                                 PendingMessageList& pending, std::vector<std::string>* skipped) {
    const auto skip = [&](const std::string& path, const char* reason) {
        if (skipped) {
            skipped->insert(skipped->begin(), path + ": " + reason);
        }
    };
    // From the last path to the first, each copy put in front: the list keeps the order
    // of the file list.
    for (auto path = paths.rbegin(); path != paths.rend(); ++path) {
        const std::optional<std::string> base = MessageCopyBaseName(*path);
        if (!base) {
            skip(*path, "not an .eml or .msg file");
            continue;
        }
        const std::optional<std::string> name = FindFreeCopyName(m_strDataFolder, *base);
        if (!name) {
            RemoveCopies(pending);
            return false;
        }
        // The name was free a moment ago; a file that appeared since is not replaced.
        const std::string copyPath = *name + "." + MessageCopyExtension(*path);
        // Only a plain file is copied: a folder, a device or a pipe (which would never end)
        // is not.
        const auto attributes = platform::QueryAttributes(*path);
        if (!attributes) {
            skip(*path, "no such file");
        } else if (attributes->isFolder) {
            skip(*path, "a folder");
        } else if (platform::CopyFileTo(*path, copyPath, true)) {
            // A message saved from mail or the web keeps its mark in the copy.
            platform::CopyDownloadMark(*path, copyPath);
            pending.insert(pending.begin(), copyPath);
        } else {
            skip(*path, "not a plain file or cannot be read");
        }
    }
    return true;
}

bool CMailIntake::SaveDroppedFiles(IDropHost& host, IDroppedData& data,
                                   const std::vector<std::string>& paths,
                                   PendingMessageList& pending) {
    CShellCopyProgress progress;
    std::vector<char> buffer(kCopyChunkSize);
    std::vector<std::string> unreadable;
    // As SaveShellFiles: from the last path to the first, each copy put in front.
    for (std::size_t index = paths.size(); index-- > 0;) {
        const std::optional<std::string> base = MessageCopyBaseName(paths[index]);
        if (!base) {
            continue;
        }
        const std::optional<std::string> name = FindFreeCopyName(m_strDataFolder, *base);
        if (!name) {
            RemoveCopies(pending);
            return false;
        }
        const std::string copyPath = *name + "." + MessageCopyExtension(paths[index]);
        const std::unique_ptr<IByteSource> contents = data.OpenListedFile(index);
        if (!contents ||
            CopyContents(*contents, copyPath, progress, buffer) != CopyResult::Copied) {
            unreadable.insert(unreadable.begin(), FileNameOf(paths[index]));
            continue;
        }
        // A message saved from mail or the web keeps its mark in the copy.
        platform::CopyDownloadMark(paths[index], copyPath);
        pending.insert(pending.begin(), copyPath);
    }
    if (!unreadable.empty()) {
        std::string text = "次のファイルを読み込めませんでした。\n";
        for (const std::string& file : unreadable) {
            text += "\n" + file;
        }
        host.ShowWarning(text);
    }
    return !pending.empty() || unreadable.empty();
}
