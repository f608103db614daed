// Any bytes as a TNEF stream: the reader stays inside them, and a MIME message carrying them
// as "winmail.dat" writes nothing but the record file and plain files of its staging folder.

#include "engine/extract/Progress.h"
#include "engine/mime/MailParser.h"
#include "engine/outlook/Tnef.h"
#include "fuzz/StagingCheck.h"
#include "platform/posix/NativePath.h"
#include "policy/ExtensionList.h"
#include "support/Base64Encode.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<TnefAttachment> attachments;
    std::size_t total = 0;
    if (engine::ReadTnef(bytes, attachments)) {
        for (const TnefAttachment& attachment : attachments) {
            total += attachment.data.size();
        }
        if (total > size) {
            std::fprintf(stderr, "more bytes out than in\n");
            std::abort();
        }
    }

    const std::string native = fuzz::ScratchParent() + "/data";
    mkdir(native.c_str(), 0777);
    const std::string message =
        "Subject: t\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\n"
        "Content-Type: application/ms-tnef\r\nContent-Transfer-Encoding: base64\r\n"
        "Content-Disposition: attachment; filename=\"winmail.dat\"\r\n\r\n" +
        test::Base64Encode(bytes) + "\r\n--b--\r\n";
    if (FILE* file = std::fopen((native + "/B.eml").c_str(), "wb")) {
        std::fwrite(message.data(), 1, message.size(), file);
        std::fclose(file);
    }
    const std::string dataFolder = platform::posix::ToCorePath(native) + "\\";
    CExtensionList prohibited({"exe", "alert"}, {});
    CNoProgress progress;
    CMailParser(dataFolder).ExtractAttachments(dataFolder + "B.eml", prohibited, progress, 0, 60);
    fuzz::CheckOnlyStagingWritten(native, "B", "B.eml");
    return 0;
}
