#include "app/Velmaron1App.h"

#include "app/FilePath.h"
#include "app/FirstStartFiles.h"
#include "engine/extract/StagingSink.h"
#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"
#include "platform/SpecialFolders.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

bool MakeFolderIfMissing(const std::string& path) {
    return platform::MakeFolder(path) != platform::MakeFolderResult::Failed;
}

}  // namespace

CVelmaron1App::CVelmaron1App(const std::string& programName) {
    m_strDataFolder = MakeDataFolder("morvek");
    CFilePath(programName).GetFolder(m_strProgramFolder);
    PrepareDataFiles();
    // Made here in every process; emptied only by the owner of the program's mutex.
    platform::MakeFolder(GetTemporaryFolder());
}

CVelmaron1App::CVelmaron1App(const std::string& programName, const std::string& dataFolder) {
    const std::string folder = CFilePath(dataFolder).GetPath();
    if (!folder.empty() && MakeFolderIfMissing(folder)) {
        m_strDataFolder = folder;
    }
    CFilePath(programName).GetFolder(m_strProgramFolder);
    PrepareDataFiles();
    // Made here in every process; emptied only by the owner of the program's mutex.
    platform::MakeFolder(GetTemporaryFolder());
}

std::string CVelmaron1App::GetDataFolder() const {
    return m_strDataFolder + "\\";
}

std::string CVelmaron1App::GetScanFolder() const {
    return engine::ScanFolderOf(GetDataFolder());
}

std::string CVelmaron1App::StoreMutexName(const std::string& dataFolder) {
    const auto normal = [](const std::string& given) {
        // The full path (a relative one names the same folder as its full form), without
        // its trailing backslashes (a backslash that is a trail byte stays).
        const std::string folder = given.empty() ? given : platform::FullPath(given);
        std::size_t end = 0;
        for (std::size_t pos = 0; pos < folder.size();) {
            const std::size_t length = sjis::CharLength(folder, pos);
            if (!(length == 1 && folder[pos] == '\\')) {
                end = pos + length;
            }
            pos += length;
        }
        return sjis::ToLowerAscii(std::string_view(folder).substr(0, end));
    };
    const std::string appData = platform::AppDataFolder();
    const std::string folder = normal(dataFolder);
    if (appData.empty() || folder == normal(appData + "\\TevoSoftwareDev\\morvek")) {
        return kMutexName;
    }
    // FNV-1a of the path: mutex names hold no backslash and have a length limit.
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : folder) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return std::string(kMutexName) + "_STORE_" + text;
}

std::string CVelmaron1App::MakeDataFolder(const std::string& name) {
    const std::string appData = platform::AppDataFolder();
    if (appData.empty()) {
        return {};
    }
    const std::string company = appData + "\\TevoSoftwareDev";
    if (!MakeFolderIfMissing(company)) {
        return {};
    }
    const std::string folder = company + "\\" + name;
    if (!MakeFolderIfMissing(folder)) {
        return {};
    }
    return folder;
}

std::string CVelmaron1App::GetTemporaryFolder() {
    return platform::TempPath() + "morvek\\";
}

void CVelmaron1App::PrepareDataFiles() const {
    // Without a data folder the names would resolve against the root of the drive; the
    // program writes nothing there.
    if (m_strDataFolder.empty()) {
        return;
    }
    platform::MakeFolder(GetScanFolder());
    WriteMissingFiles(GetDataFolder(), FirstStartFiles());
}

void CVelmaron1App::ClearTemporaryFolder() {
    const std::string folder = GetTemporaryFolder();
    if (platform::MakeFolder(folder) != platform::MakeFolderResult::AlreadyExists) {
        return;
    }
    std::vector<platform::FoundEntry> entries;
    platform::FindEntries(folder + "*.*", entries);
    for (const platform::FoundEntry& entry : entries) {
        if (!entry.isFolder) {
            platform::RemoveFile(folder + entry.name);
        }
    }
}
