// Extracts every message of a folder tree with an empty prohibited list, so that every
// attachment is written as it decodes, and prints one line per message:
//   <message path> TAB <staging folder, empty when nothing was extracted>
// Usage: morvek_corpus_extract <corpus folder> <empty output folder>
// The corpus check script compares the written files with an independent decoder.

#include "engine/extract/Progress.h"
#include "engine/mime/MailParser.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "policy/ExtensionList.h"

#include <cstdio>
#include <string>
#include <vector>

int main() {
    const std::vector<std::string> arguments = platform::ProgramArguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: morvek_corpus_extract <corpus folder> <output folder>\n");
        return 2;
    }
    const std::string& corpus = arguments[1];
    const std::string output = arguments[2] + "\\";
    std::vector<platform::FoundEntry> folders;
    if (!platform::FindEntries(corpus + "\\*.*", folders)) {
        return 1;
    }
    CNoProgress progress;
    int number = 0;
    for (const platform::FoundEntry& folder : folders) {
        std::vector<platform::FoundEntry> files;
        if (!folder.isFolder ||
            !platform::FindEntries(corpus + "\\" + folder.name + "\\*.eml", files)) {
            continue;
        }
        for (const platform::FoundEntry& file : files) {
            const std::string message = corpus + "\\" + folder.name + "\\" + file.name;
            const std::string copy = output + "M" + std::to_string(++number) + ".eml";
            if (!platform::CopyFileTo(message, copy, true)) {
                return 1;
            }
            CMailParser parser(output);
            const std::string staging =
                parser.ExtractAttachments(copy, CExtensionList(), progress, 0, 100);
            std::printf("%s\t%s\n", message.c_str(), staging.c_str());
        }
    }
    return 0;
}
