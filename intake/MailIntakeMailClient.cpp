// The mail-client path: virtual message files, read by the file-group descriptor and the
// contents of each item.

#include "intake/FileGroupDescriptor.h"
#include "intake/MailIntake.h"
#include "intake/MessageCopyName.h"
#include "platform/DownloadMark.h"
#include "platform/File.h"
#include "platform/FileSystem.h"

namespace {

constexpr char kReadingMessagesText[] = "メールを読み込んでいます。\nしばらくお待ちください。";

}  // namespace

bool CMailIntake::SaveMailClientMessages(IDropHost& host, IDroppedData& data,
                                         PendingMessageList& pending) {
    std::vector<std::string> names;
    if (!ReadDroppedNames(data, names)) {
        return false;
    }
    const std::unique_ptr<IProgressSink> progress = host.CreateProgress();
    progress->SetStatusText(kReadingMessagesText);
    progress->StepIt();
    if (progress->CheckCancel()) {
        return false;
    }
    std::vector<char> buffer(kCopyChunkSize);
    for (std::size_t index = 0; index < names.size(); ++index) {
        const std::optional<std::string> base = MessageCopyBaseName(names[index]);
        if (!base) {
            continue;
        }
        const std::optional<std::string> name = FindFreeCopyName(m_strDataFolder, *base);
        if (!name) {
            RemoveCopies(pending);
            return false;
        }
        const std::unique_ptr<IByteSource> contents = data.OpenFileContents(index);
        if (!contents) {
            RemoveCopies(pending);
            return false;
        }
        const std::string copyPath = *name + "." + MessageCopyExtension(names[index]);
        switch (CopyContents(*contents, copyPath, *progress, buffer)) {
            case CopyResult::Copied:
                // A message from the mail program came from outside, as a saved one would say.
                platform::MarkAsDownloaded(copyPath);
                pending.insert(pending.begin(), copyPath);
                break;
            case CopyResult::Cancelled:
                return true;
            case CopyResult::Failed:
                RemoveCopies(pending);
                return false;
        }
    }
    return true;
}

CMailIntake::CopyResult CMailIntake::CopyContents(IByteSource& contents,
                                                  const std::string& copyPath,
                                                  IProgressSink& progress,
                                                  std::vector<char>& buffer) {
    platform::File copy;
    if (!copy.Open(copyPath, platform::File::Mode::Write)) {
        return CopyResult::Failed;
    }
    CopyResult result = CopyResult::Copied;
    for (;;) {
        progress.StepIt();
        if (progress.CheckCancel()) {
            result = CopyResult::Cancelled;
            break;
        }
        const std::optional<std::size_t> count = contents.Read(buffer.data(), buffer.size());
        if (!count || *count > buffer.size()) {
            result = CopyResult::Failed;
            break;
        }
        if (*count == 0) {
            break;
        }
        if (!copy.Write(buffer.data(), *count)) {
            result = CopyResult::Failed;
            break;
        }
    }
    copy.Close();
    // Half a message would be extracted as if it were whole.
    if (result != CopyResult::Copied) {
        platform::RemoveFile(copyPath);
        return result;
    }
    return result;
}
