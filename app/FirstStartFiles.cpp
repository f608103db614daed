#include "app/FirstStartFiles.h"

#include "store/RecordListFile.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "policy/DefaultExtensionLists.h"
#include "policy/ExtensionListFile.h"

std::vector<FirstStartFile> FirstStartFiles() {
    // The default lists always fit the archive, so the encodings cannot fail.
    return {
        {kRecordListFileName, EncodeRecordList({}).value()},
        {kAllowedListFileName, EncodeExtensionList(DefaultAllowedList()).value()},
        {kProhibitedListFileName, EncodeExtensionList(DefaultProhibitedList()).value()},
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
