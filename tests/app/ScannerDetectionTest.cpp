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

TEST(ScannerDetection, EachKnownProductHasItsPlace) {
    const std::string folder = "C:\\Program Files\\";
    EXPECT_EQ(ExpectedScannerPath(settings::kNortonAntiVirus, folder),
              std::optional<std::string>("C:\\Program Files\\Norton AntiVirus\\NAVW32.EXE"));
    EXPECT_EQ(ExpectedScannerPath(settings::kVirusChaser, folder),
              std::optional<std::string>("C:\\Program Files\\Virus Chaser\\Scanner.exe"));
    EXPECT_EQ(ExpectedScannerPath(settings::kNoScanApp, folder), std::nullopt);
    EXPECT_EQ(ExpectedScannerPath(2, folder), std::nullopt);
    EXPECT_EQ(ExpectedScannerPath(settings::kVirusChaser, ""), std::nullopt);
}

TEST(ScannerDetection, AProgramInItsPlaceIsFoundWithoutAMessage) {
    test::ScratchFolder scratch;
    const std::string folder = scratch.Path() + "\\";
    ASSERT_EQ(platform::MakeFolder(folder + "Norton AntiVirus"),
              platform::MakeFolderResult::Created);
    test::WriteFile(folder + "Norton AntiVirus\\NAVW32.EXE", "");

    const ScannerDetection norton = DetectScanner(settings::kNortonAntiVirus, folder);
    EXPECT_TRUE(norton.bApplies);
    EXPECT_TRUE(norton.bFound);
    EXPECT_EQ(norton.strPath, folder + "Norton AntiVirus\\NAVW32.EXE");
    EXPECT_EQ(norton.strMessage, "");

    const ScannerDetection chaser = DetectScanner(settings::kVirusChaser, folder);
    EXPECT_TRUE(chaser.bApplies);
    EXPECT_FALSE(chaser.bFound);
    EXPECT_EQ(chaser.strMessage,
              "Virus Chaserが見つかりません。プログラム名を手動で指定してください。");
    // Virus Chaser's browse dialog proposes where the program was looked for.
    EXPECT_EQ(chaser.strBrowseName, folder + "Virus Chaser\\Scanner.exe");
}

TEST(ScannerDetection, AMissingNortonAntiVirusIsBrowsedForWithoutAName) {
    test::ScratchFolder scratch;
    const ScannerDetection norton =
        DetectScanner(settings::kNortonAntiVirus, scratch.Path() + "\\");
    EXPECT_FALSE(norton.bFound);
    EXPECT_EQ(norton.strMessage,
              "Norton AntiVirus が見つかりません。プログラム名を手動で指定してください。");
    EXPECT_EQ(norton.strBrowseName, "");

    EXPECT_FALSE(DetectScanner(settings::kNoScanApp, scratch.Path() + "\\").bApplies);
}

TEST(ScannerDetection, TheInitialNameFitsTheBufferWithoutSplittingACharacter) {
    // 258 single bytes, then "表" (two bytes) would end at byte 260: it is left out.
    const std::string path = std::string(258, 'a') + "表";
    EXPECT_EQ(InitialBrowseName(settings::kVirusChaser, path), std::string(258, 'a'));
    const std::string fits = std::string(257, 'a') + "表";
    EXPECT_EQ(InitialBrowseName(settings::kVirusChaser, fits), fits);
    EXPECT_EQ(InitialBrowseName(settings::kNortonAntiVirus, fits), "");
}

}  // namespace
