// Any bytes as an Outlook item file: the reader gives a message with all its attachments or
// nothing, an attached item it gives reads again, and the extraction writes nothing but the
// record file and plain files of the item's staging folder.

#include "engine/extract/Progress.h"
#include "engine/mime/MailParser.h"
#include "engine/outlook/OutlookItem.h"
#include "fuzz/StagingCheck.h"
#include "platform/posix/NativePath.h"
#include "policy/ExtensionList.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    OutlookItem item;
    if (engine::ReadOutlookItem(bytes, item) == OutlookReadResult::Message) {
        for (const OutlookAttachment& attachment : item.attachments) {
            OutlookItem inner;
            if (attachment.bEmbeddedMessage &&
                engine::ReadOutlookItem(attachment.data, inner) == OutlookReadResult::Unreadable) {
                std::fprintf(stderr, "an attached item that does not read again\n");
                std::abort();
            }
        }
    }

    const std::string native = fuzz::ScratchParent() + "/data";
    mkdir(native.c_str(), 0777);
    if (FILE* file = std::fopen((native + "/B.msg").c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    const std::string dataFolder = platform::posix::ToCorePath(native) + "\\";
    CExtensionList prohibited({"exe", "alert"}, {});
    CNoProgress progress;
    CMailParser(dataFolder).ExtractAttachments(dataFolder + "B.msg", prohibited, progress, 0, 60);
    fuzz::CheckOnlyStagingWritten(native, "B", "B.msg");
    return 0;
}
