#include "app/ScannerDetection.h"

#include "app/Settings.h"
#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"
#include "platform/SpecialFolders.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr char kDefenderProgram[] = "MpCmdRun.exe";
constexpr char kDefenderPlatformFolder[] = "Microsoft\\Windows Defender\\Platform\\";
constexpr char kDefenderProgramFilesPath[] = "Windows Defender\\MpCmdRun.exe";

const char* ScannerRelativePath(int productIndex) {
    switch (productIndex) {
        case settings::kNortonAntiVirus:
            return "Norton AntiVirus\\NAVW32.EXE";
        case settings::kVirusChaser:
            return "Virus Chaser\\Scanner.exe";
        case settings::kMicrosoftDefender:
            return kDefenderProgramFilesPath;
        default:
            return nullptr;
    }
}

// Whether text ends in a backslash of its own, not the trail byte of a double-byte
// character.
bool EndsWithBackslash(const std::string& text) {
    return !text.empty() && sjis::FindLastOf(text, "\\") == text.size() - 1;
}

std::string WithBackslash(std::string folder) {
    if (!folder.empty() && !EndsWithBackslash(folder)) {
        folder += '\\';
    }
    return folder;
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

// The parts of a version text: runs of digits and runs of anything else.
std::vector<std::string> VersionParts(const std::string& version) {
    std::vector<std::string> parts;
    for (std::size_t i = 0; i < version.size();) {
        const bool digits = std::isdigit(static_cast<unsigned char>(version[i])) != 0;
        std::size_t end = i;
        while (end < version.size() &&
               (std::isdigit(static_cast<unsigned char>(version[end])) != 0) == digits) {
            ++end;
        }
        parts.push_back(version.substr(i, end - i));
        i = end;
    }
    return parts;
}

// Compares two parts: numbers by value (any length), other text byte by byte, and a number
// before other text.
int ComparePart(const std::string& a, const std::string& b) {
    const bool aDigits = std::isdigit(static_cast<unsigned char>(a[0])) != 0;
    const bool bDigits = std::isdigit(static_cast<unsigned char>(b[0])) != 0;
    if (aDigits != bDigits) {
        return aDigits ? -1 : 1;
    }
    if (!aDigits) {
        return a.compare(b);
    }
    const std::string aValue = a.substr(std::min(a.find_first_not_of('0'), a.size()));
    const std::string bValue = b.substr(std::min(b.find_first_not_of('0'), b.size()));
    if (aValue.size() != bValue.size()) {
        return aValue.size() < bValue.size() ? -1 : 1;
    }
    return aValue.compare(bValue);
}

// Defender's platform folders under commonAppData, newest first.
std::vector<std::string> DefenderPlatformVersions(const std::string& commonAppData) {
    std::vector<std::string> versions;
    if (commonAppData.empty()) {
        return versions;
    }
    std::vector<platform::FoundEntry> entries;
    platform::FindEntries(commonAppData + kDefenderPlatformFolder + "*", entries);
    for (const platform::FoundEntry& entry : entries) {
        if (entry.isFolder) {
            versions.push_back(entry.name);
        }
    }
    std::sort(versions.begin(), versions.end(), [](const std::string& a, const std::string& b) {
        return IsOlderPlatformVersion(b, a);
    });
    return versions;
}

// Where the product installs by default: the place the user is pointed to when it is not
// found.
std::string DefaultPlace(int productIndex, const ScannerFolders& folders) {
    const char* relative = ScannerRelativePath(productIndex);
    if (relative == nullptr) {
        return {};
    }
    if (productIndex == settings::kMicrosoftDefender || folders.strProgramFilesX86.empty()) {
        return folders.strProgramFiles.empty() ? std::string() : folders.strProgramFiles + relative;
    }
    return folders.strProgramFilesX86 + relative;
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

ScannerFolders GetScannerFolders() {
    ScannerFolders folders;
    folders.strProgramFiles = GetProgramFilesFolder();
    folders.strProgramFilesX86 = WithBackslash(platform::ProgramFilesX86Folder());
    folders.strCommonAppData = WithBackslash(platform::CommonAppDataFolder());
    return folders;
}

std::vector<std::string> ScannerCandidates(int productIndex, const ScannerFolders& folders) {
    std::vector<std::string> candidates;
    const char* relative = ScannerRelativePath(productIndex);
    if (relative == nullptr) {
        return candidates;
    }
    std::vector<std::string> roots;
    if (productIndex == settings::kMicrosoftDefender) {
        for (const std::string& version : DefenderPlatformVersions(folders.strCommonAppData)) {
            candidates.push_back(folders.strCommonAppData + kDefenderPlatformFolder + version +
                                 "\\" + kDefenderProgram);
        }
    } else {
        roots.push_back(folders.strProgramFilesX86);
    }
    roots.push_back(folders.strProgramFiles);
    for (const std::string& root : roots) {
        // On 32-bit Windows both Program Files folders are the same one.
        if (!root.empty() &&
            std::find(candidates.begin(), candidates.end(), root + relative) == candidates.end()) {
            candidates.push_back(root + relative);
        }
    }
    return candidates;
}

bool IsOlderPlatformVersion(const std::string& a, const std::string& b) {
    const std::vector<std::string> aParts = VersionParts(a);
    const std::vector<std::string> bParts = VersionParts(b);
    for (std::size_t i = 0; i < aParts.size() && i < bParts.size(); ++i) {
        const int order = ComparePart(aParts[i], bParts[i]);
        if (order != 0) {
            return order < 0;
        }
    }
    return aParts.size() < bParts.size();
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
    if (productIndex == settings::kMicrosoftDefender) {
        return "Microsoft Defender が見つかりません。プログラム名を手動で指定してください。";
    }
    return {};
}

std::string InitialBrowseName(int productIndex, const std::string& expectedPath) {
    if (productIndex != settings::kVirusChaser && productIndex != settings::kMicrosoftDefender) {
        return {};
    }
    return FitBrowseName(expectedPath);
}

ScannerDetection DetectScanner(int productIndex, const ScannerFolders& folders) {
    ScannerDetection detection;
    if (ScannerRelativePath(productIndex) == nullptr) {
        return detection;
    }
    detection.bApplies = true;
    for (const std::string& candidate : ScannerCandidates(productIndex, folders)) {
        const auto attributes = platform::QueryAttributes(candidate);
        if (attributes && !attributes->isFolder) {
            detection.bFound = true;
            detection.strPath = candidate;
            return detection;
        }
    }
    detection.strPath = DefaultPlace(productIndex, folders);
    detection.strMessage = ScannerNotFoundMessage(productIndex);
    detection.strBrowseName = InitialBrowseName(productIndex, detection.strPath);
    return detection;
}
