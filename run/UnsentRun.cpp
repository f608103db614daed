#include "run/UnsentRun.h"

#include "platform/FileSystem.h"

void RunUnsentConversion(PendingMessageList& pending, IProgressSink& progress,
                         const std::function<void(const std::string&)>& convert) {
    progress.SetStatusText("メールを未送信状態に戻します。\nしばらくお待ちください。");
    // The count is read again at each step: the progress dialog lets window messages run.
    for (std::size_t i = 0; i < pending.size(); ++i) {
        progress.SetPosition(static_cast<int>(i * 100 / pending.size()));
        if (progress.CheckCancel()) {
            break;
        }
        const std::string copy = pending[i];
        convert(copy);
        platform::RemoveFile(copy);
    }
    pending.clear();
}
