#include "support/ScratchFolder.h"

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/SpecialFolders.h"

#include <gtest/gtest.h>

#include <vector>

namespace test {

std::string MakeUniqueFolder(const std::string& parent, const std::string& prefix) {
    // The unique file name, less its ".tmp", becomes the folder's name; the file stays as
    // a marker until the folder is made, so that no other caller can take the name.
    const std::string marker = platform::MakeUniqueTempFile(parent, prefix);
    if (marker.empty()) {
        return {};
    }
    const std::string folder = marker.substr(0, marker.size() - 4);
    const bool made = platform::MakeFolder(folder) == platform::MakeFolderResult::Created;
    platform::RemoveFile(marker);
    return made ? folder : std::string();
}

void DeleteTree(const std::string& folder) {
    std::vector<platform::FoundEntry> entries;
    platform::FindEntries(folder + "\\*.*", entries);
    for (const platform::FoundEntry& entry : entries) {
        const std::string path = folder + "\\" + entry.name;
        if (entry.isLink) {
            platform::RemoveLink(path);  // never what a test's link points to
        } else if (entry.isFolder) {
            DeleteTree(path);
        } else {
            platform::RemoveFile(path);
        }
    }
    platform::RemoveEmptyFolder(folder);
}

void WriteFile(const std::string& path, const std::string& data) {
    ASSERT_TRUE(platform::WriteWholeFile(path, data)) << "cannot write " << path;
}

std::string ReadFile(const std::string& path) {
    std::string data;
    return platform::ReadWholeFile(path, data) ? data : "<unreadable>";
}

ScratchFolder::ScratchFolder() : m_strPath(MakeUniqueFolder(platform::TempPath(), "tst")) {
    EXPECT_FALSE(m_strPath.empty()) << "cannot create a scratch folder";
}

ScratchFolder::~ScratchFolder() {
    if (!m_strPath.empty()) {
        DeleteTree(m_strPath);
    }
}

}  // namespace test
