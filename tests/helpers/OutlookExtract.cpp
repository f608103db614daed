// Extracts the Outlook samples with an empty prohibited list, so that every attachment is
// written as it reads, and prints one line per sample:
//   <sample path> TAB <staging folder, empty when nothing was extracted> TAB <record file or empty>
// Outlook items (msg\*.msg) are extracted as they are; each TNEF stream (tnef\*.dat) is
// sent as the "winmail.dat" attachment of a small MIME message, as Outlook sends it.
// Usage: morvek_outlook_extract <samples folder> <empty output folder>
// The check script compares the written files with independent readers.

#include "engine/extract/Progress.h"
#include "engine/mime/MailParser.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "policy/ExtensionList.h"
#include "support/Base64Encode.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string TnefMessage(const std::string& tnef) {
    std::string body = test::Base64Encode(tnef);
    std::string lines;
    for (std::size_t i = 0; i < body.size(); i += 76) {
        lines += body.substr(i, 76) + "\r\n";
    }
    return "From: Sender <sender@example.com>\r\n"
           "Subject: TNEF\r\n"
           "Date: Mon, 6 Dec 2004 10:20:30 +0900\r\n"
           "Content-Type: multipart/mixed; boundary=\"b1\"\r\n"
           "\r\n"
           "--b1\r\n"
           "Content-Type: text/plain\r\n"
           "\r\n"
           "body\r\n"
           "--b1\r\n"
           "Content-Type: application/ms-tnef; name=\"winmail.dat\"\r\n"
           "Content-Transfer-Encoding: base64\r\n"
           "Content-Disposition: attachment; filename=\"winmail.dat\"\r\n"
           "\r\n" +
           lines + "--b1--\r\n";
}

}  // namespace

int main() {
    const std::vector<std::string> arguments = platform::ProgramArguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: morvek_outlook_extract <samples folder> <output folder>\n");
        return 2;
    }
    const std::string& samples = arguments[1];
    const std::string output = arguments[2] + "\\";
    CNoProgress progress;
    int number = 0;
    for (const char* kind : {"msg", "tnef"}) {
        std::vector<platform::FoundEntry> files;
        const std::string folder = samples + "\\" + kind;
        if (!platform::FindEntries(folder + (kind[0] == 'm' ? "\\*.msg" : "\\*.dat"), files)) {
            return 1;
        }
        for (const platform::FoundEntry& file : files) {
            const std::string sample = folder + "\\" + file.name;
            const std::string base = "M" + std::to_string(++number);
            std::string copy = output + base + ".msg";
            if (kind[0] == 'm') {
                if (!platform::CopyFileTo(sample, copy, true)) {
                    return 1;
                }
            } else {
                std::string tnef;
                copy = output + base + ".eml";
                if (!platform::ReadWholeFile(sample, tnef) ||
                    !platform::WriteWholeFile(copy, TnefMessage(tnef))) {
                    return 1;
                }
            }
            const std::string staging =
                CMailParser(output).ExtractAttachments(copy, CExtensionList(), progress, 0, 100);
            const std::string record = output + base + ".att";
            std::printf("%s\t%s\t%s\n", sample.c_str(), staging.c_str(),
                        platform::QueryAttributes(record) ? record.c_str() : "");
        }
    }
    return 0;
}
