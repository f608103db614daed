#pragma once

// The files a first start writes into the data folder, with their default contents.

#include <string>
#include <vector>

struct FirstStartFile {
    std::string name;
    std::string contents;
};

// In the order they are written.
std::vector<FirstStartFile> FirstStartFiles();

// Writes each file of files that folder (ending with a backslash) lacks; existing files are
// left as they are, whatever they hold. The first file that cannot be created ends the work:
// the files after it are not attempted.
void WriteMissingFiles(const std::string& folder, const std::vector<FirstStartFile>& files);
