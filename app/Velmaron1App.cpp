#include "app/Velmaron1App.h"

#include "app/FilePath.h"
#include "app/FirstStartFiles.h"
#include "engine/extract/StagingSink.h"
#include "platform/FileSystem.h"
#include "platform/SpecialFolders.h"

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
