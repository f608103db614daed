#include "app/ScannerDetection.h"

#include "app/Settings.h"
#include "platform/FileSystem.h"
#include "platform/SpecialFolders.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(ScannerDetection, TheProgramFilesFolderEndsWithABackslash) {
    EXPECT_EQ(GetProgramFilesFolder(), platform::ProgramFilesFolder() + "\\");
}

// Folders of a scratch "system": Program Files, Program Files (x86) and ProgramData.
struct ScratchSystem {
    ScratchSystem() {
        for (const char* name : {"pf", "pf86", "pd"}) {
            platform::MakeFolder(scratch / name);
        }
        folders = {scratch / "pf" + "\\", scratch / "pf86" + "\\", scratch / "pd" + "\\"};
    }
    // Creates the file at path (relative to the scratch folder) with its folders.
    std::string Install(const std::string& relative) const {
        std::string path = scratch.Path();
        std::size_t start = 0;
        for (std::size_t slash = relative.find('\\'); slash != std::string::npos;
             slash = relative.find('\\', start)) {
            path += "\\" + relative.substr(start, slash - start);
            platform::MakeFolder(path);
            start = slash + 1;
        }
        path += "\\" + relative.substr(start);
        test::WriteFile(path, "MZ");
        return path;
    }

    test::ScratchFolder scratch;
    ScannerFolders folders;
};

TEST(ScannerDetection, EachKnownProductHasItsPlacesInOrder) {
    const ScannerFolders folders{"C:\\Program Files\\", "C:\\Program Files (x86)\\",
                                 "C:\\ProgramData\\"};
    EXPECT_EQ(ScannerCandidates(settings::kNortonAntiVirus, folders),
              (std::vector<std::string>{"C:\\Program Files (x86)\\Norton AntiVirus\\NAVW32.EXE",
                                        "C:\\Program Files\\Norton AntiVirus\\NAVW32.EXE"}));
    EXPECT_EQ(ScannerCandidates(settings::kVirusChaser, folders),
              (std::vector<std::string>{"C:\\Program Files (x86)\\Virus Chaser\\Scanner.exe",
                                        "C:\\Program Files\\Virus Chaser\\Scanner.exe"}));
    // No platform folder here: Defender is looked for under Program Files only.
    EXPECT_EQ(ScannerCandidates(settings::kMicrosoftDefender, folders),
              std::vector<std::string>{"C:\\Program Files\\Windows Defender\\MpCmdRun.exe"});
    EXPECT_TRUE(ScannerCandidates(settings::kNoScanApp, folders).empty());
    EXPECT_TRUE(ScannerCandidates(3, folders).empty());
    // 32-bit Windows: one Program Files folder, looked at once.
    const ScannerFolders single{"C:\\Program Files\\", "C:\\Program Files\\", ""};
    EXPECT_EQ(ScannerCandidates(settings::kVirusChaser, single),
              std::vector<std::string>{"C:\\Program Files\\Virus Chaser\\Scanner.exe"});
    EXPECT_TRUE(ScannerCandidates(settings::kVirusChaser, ScannerFolders{}).empty());
    EXPECT_EQ(std::string(kScannerProductNames[settings::kMicrosoftDefender]),
              "Microsoft Defender ウイルス対策");
}

TEST(ScannerDetection, TheOlderProductsAreFoundUnderEitherProgramFilesFolder) {
    ScratchSystem system;
    const std::string norton = system.Install("pf86\\Norton AntiVirus\\NAVW32.EXE");
    const std::string chaser = system.Install("pf\\Virus Chaser\\Scanner.exe");
    for (const auto& [index, path] : {std::pair{settings::kNortonAntiVirus, norton},
                                      std::pair{settings::kVirusChaser, chaser}}) {
        const ScannerDetection found = DetectScanner(index, system.folders);
        EXPECT_TRUE(found.bApplies);
        EXPECT_TRUE(found.bFound);
        EXPECT_EQ(found.strPath, path);
        EXPECT_EQ(found.strMessage, "");
    }
    // Installed in both: the 32-bit folder is looked at first.
    const std::string chaser86 = system.Install("pf86\\Virus Chaser\\Scanner.exe");
    EXPECT_EQ(DetectScanner(settings::kVirusChaser, system.folders).strPath, chaser86);
}

TEST(ScannerDetection, DefenderIsFoundInItsNewestPlatformFolder) {
    ScratchSystem system;
    const std::string fallback = system.Install("pf\\Windows Defender\\MpCmdRun.exe");
    EXPECT_EQ(DetectScanner(settings::kMicrosoftDefender, system.folders).strPath, fallback);

    const std::string platformFolder = "pd\\Microsoft\\Windows Defender\\Platform\\";
    system.Install(platformFolder + "4.18.2205.7-0\\MpCmdRun.exe");
    const std::string newest = system.Install(platformFolder + "4.18.24090.11-0\\MpCmdRun.exe");
    system.Install(platformFolder + "4.18.23110.3-0\\MpCmdRun.exe");
    // A newer folder without the program (an update half done) is passed over.
    platform::MakeFolder(system.scratch / (platformFolder + "4.18.25010.9-0"));
    const ScannerDetection defender = DetectScanner(settings::kMicrosoftDefender, system.folders);
    EXPECT_TRUE(defender.bFound);
    EXPECT_EQ(defender.strPath, newest);
}

TEST(ScannerDetection, PlatformVersionsCompareByNumber) {
    const struct {
        const char* older;
        const char* newer;
    } cases[] = {
        {"4.18.2205.7-0", "4.18.24090.11-0"},
        {"4.18.24090.9-0", "4.18.24090.11-0"},
        {"4.18.24090.11-0", "4.18.24090.11-1"},
        {"4.18.24090.11", "4.18.24090.11-0"},
        {"4.9", "4.18"},
        {"4.18", "5.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.older);
        EXPECT_TRUE(IsOlderPlatformVersion(c.older, c.newer));
        EXPECT_FALSE(IsOlderPlatformVersion(c.newer, c.older));
    }
    EXPECT_FALSE(IsOlderPlatformVersion("4.18.1-0", "4.18.1-0"));
    EXPECT_FALSE(IsOlderPlatformVersion("4.018", "4.18"));
}

TEST(ScannerDetection, AMissingProductIsReportedAndBrowsedForFromItsDefaultPlace) {
    ScratchSystem system;
    const ScannerDetection norton = DetectScanner(settings::kNortonAntiVirus, system.folders);
    EXPECT_TRUE(norton.bApplies);
    EXPECT_FALSE(norton.bFound);
    EXPECT_EQ(norton.strMessage,
              "Norton AntiVirus が見つかりません。プログラム名を手動で指定してください。");
    EXPECT_EQ(norton.strBrowseName, "");

    const ScannerDetection chaser = DetectScanner(settings::kVirusChaser, system.folders);
    EXPECT_EQ(chaser.strMessage,
              "Virus Chaserが見つかりません。プログラム名を手動で指定してください。");
    // A 32-bit program: proposed under the 32-bit Program Files folder.
    EXPECT_EQ(chaser.strBrowseName, system.folders.strProgramFilesX86 + "Virus Chaser\\Scanner.exe");

    const ScannerDetection defender = DetectScanner(settings::kMicrosoftDefender, system.folders);
    EXPECT_EQ(defender.strMessage,
              "Microsoft Defender が見つかりません。プログラム名を手動で指定してください。");
    EXPECT_EQ(defender.strBrowseName,
              system.folders.strProgramFiles + "Windows Defender\\MpCmdRun.exe");

    EXPECT_FALSE(DetectScanner(settings::kNoScanApp, system.folders).bApplies);
}

TEST(ScannerDetection, TheSystemsFoldersEndWithABackslash) {
    const ScannerFolders folders = GetScannerFolders();
    EXPECT_EQ(folders.strProgramFiles, platform::ProgramFilesFolder() + "\\");
    EXPECT_EQ(folders.strProgramFilesX86, platform::ProgramFilesX86Folder() + "\\");
    EXPECT_EQ(folders.strCommonAppData, platform::CommonAppDataFolder() + "\\");
}

TEST(ScannerDetection, TheInitialNameFitsTheBufferWithoutSplittingACharacter) {
    // 258 single bytes, then "表" (two bytes) would end at byte 260: it is left out.
    const std::string path = std::string(258, 'a') + "表";
    EXPECT_EQ(InitialBrowseName(settings::kVirusChaser, path), std::string(258, 'a'));
    const std::string fits = std::string(257, 'a') + "表";
    EXPECT_EQ(InitialBrowseName(settings::kVirusChaser, fits), fits);
    EXPECT_EQ(InitialBrowseName(settings::kMicrosoftDefender, fits), fits);
    EXPECT_EQ(InitialBrowseName(settings::kNortonAntiVirus, fits), "");
}

}  // namespace
