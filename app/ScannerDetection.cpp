#include "app/ScannerDetection.h"

#include "app/Settings.h"
#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"
#include "platform/SpecialFolders.h"

namespace {

const char* ScannerRelativePath(int productIndex) {
    switch (productIndex) {
        case settings::kNortonAntiVirus:
            return "Norton AntiVirus\\NAVW32.EXE";
        case settings::kVirusChaser:
            return "Virus Chaser\\Scanner.exe";
        default:
            return nullptr;
    }
}

// Whether text ends in a backslash of its own, not the trail byte of a double-byte
// character.
bool EndsWithBackslash(const std::string& text) {
    return !text.empty() && sjis::FindLastOf(text, "\\") == text.size() - 1;
}

// text cut to at most limit bytes without splitting a double-byte character.
std::string CutToCharacters(const std::string& text, std::size_t limit) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + sjis::CharLength(text, end);
        if (next > limit) {
            break;
        }
        end = next;
    }
    return text.substr(0, end);
}

}  // namespace

std::string GetProgramFilesFolder() {
    std::string folder = platform::ProgramFilesFolder();
    if (folder.empty()) {
        return {};
    }
    if (!EndsWithBackslash(folder)) {
        folder += '\\';
    }
    return folder;
}

std::optional<std::string> ExpectedScannerPath(int productIndex,
                                               const std::string& programFilesFolder) {
    const char* relative = ScannerRelativePath(productIndex);
    if (relative == nullptr || programFilesFolder.empty()) {
        return std::nullopt;
    }
    return programFilesFolder + relative;
}

std::string FitBrowseName(const std::string& name) {
    return CutToCharacters(name, kBrowseNameBufferSize - 1);
}

std::string ScannerNotFoundMessage(int productIndex) {
    if (productIndex == settings::kNortonAntiVirus) {
        return "Norton AntiVirus が見つかりません。プログラム名を手動で指定してください。";
    }
    if (productIndex == settings::kVirusChaser) {
        return "Virus Chaserが見つかりません。プログラム名を手動で指定してください。";
    }
    return {};
}

std::string InitialBrowseName(int productIndex, const std::string& expectedPath) {
    if (productIndex != settings::kVirusChaser) {
        return {};
    }
    return FitBrowseName(expectedPath);
}

ScannerDetection DetectScanner(int productIndex, const std::string& programFilesFolder) {
    ScannerDetection detection;
    if (ScannerRelativePath(productIndex) == nullptr) {
        return detection;
    }
    detection.bApplies = true;
    const std::optional<std::string> expected =
        ExpectedScannerPath(productIndex, programFilesFolder);
    detection.strPath = expected.value_or(std::string());
    detection.bFound = expected && platform::QueryAttributes(*expected).has_value();
    if (!detection.bFound) {
        detection.strMessage = ScannerNotFoundMessage(productIndex);
        detection.strBrowseName = InitialBrowseName(productIndex, detection.strPath);
    }
    return detection;
}
