#include "support/Corpus.h"

#include "platform/FileSystem.h"

namespace test {

std::string CorpusFolder() {
    std::string folder = "Z:" MORVEK_SHARED_CORPUS;
    for (char& c : folder) {
        if (c == '/') {
            c = '\\';
        }
    }
    return folder;
}

std::vector<std::string> CorpusMessages() {
    std::vector<std::string> messages;
    std::vector<platform::FoundEntry> folders;
    if (!platform::FindEntries(CorpusFolder() + "\\*.*", folders)) {
        return messages;
    }
    for (const platform::FoundEntry& folder : folders) {
        std::vector<platform::FoundEntry> files;
        const std::string path = CorpusFolder() + "\\" + folder.name;
        if (folder.isFolder && platform::FindEntries(path + "\\*.eml", files)) {
            for (const platform::FoundEntry& file : files) {
                messages.push_back(path + "\\" + file.name);
            }
        }
    }
    return messages;
}

}  // namespace test
