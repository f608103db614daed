#include "app/FirstStartFiles.h"

#include "platform/File.h"
#include "platform/FileSystem.h"

std::vector<FirstStartFile> FirstStartFiles() {
    return {
        // An empty record list: a count of zero.
        {"morvek.atd", std::string(2, '\0')},
    };
}

void WriteMissingFiles(const std::string& folder, const std::vector<FirstStartFile>& files) {
    for (const FirstStartFile& file : files) {
        const std::string path = folder + file.name;
        if (platform::QueryAttributes(path)) {
            continue;
        }
        platform::File output;
        if (!output.Open(path, platform::File::Mode::Write)) {
            return;
        }
        output.Write(file.contents);
    }
}
