#pragma once

// Finding the antivirus program of the three known products, and what the browse dialog for
// any other program shows. The product index is the one of the settings dialog's product
// list and of VIRUS_SCAN_APP.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The entries of the product list, in index order (the list is not sorted).
inline constexpr std::array<const char*, 3> kScannerProductNames = {
    "ノートンアンチウィルス（Norton AntiVirus)",
    "ウィルスチェーサー(Virus Chaser)",
    "Microsoft Defender ウイルス対策",
};

// The browse dialog for the antivirus program.
inline constexpr char kBrowseScannerTitle[] = "ウィルス対策ソフトの指定";
inline constexpr char kBrowseScannerFilterName[] = "ウィルス対策ソフト(*.exe)";
inline constexpr char kBrowseScannerFilterPattern[] = "*.exe";
// The file-name buffer of the browse dialog holds this many bytes with its terminator.
inline constexpr std::size_t kBrowseNameBufferSize = 260;

// The folder programs are installed in, followed by a backslash; empty when it cannot be
// found.
std::string GetProgramFilesFolder();

// The folders the known products are looked for in, each followed by a backslash, or empty
// when the system has no such folder.
struct ScannerFolders {
    std::string strProgramFiles;     // "C:\Program Files\"
    std::string strProgramFilesX86;  // "C:\Program Files (x86)\", 64-bit Windows only
    std::string strCommonAppData;    // "C:\ProgramData\"
};

// The folders of this system.
ScannerFolders GetScannerFolders();

// Where product index may have its program, in the order they are looked at: Norton
// AntiVirus and Virus Chaser, 32-bit programs, under "Program Files (x86)", then under
// "Program Files"; Microsoft Defender in its platform folder of the newest version that holds
// the program, then under "Program Files". Empty for an index that names no product.
std::vector<std::string> ScannerCandidates(int productIndex, const ScannerFolders& folders);

// Of Defender's platform version folders ("4.18.24090.11-0"), whether a names an older
// version than b: numbers compare as numbers, part by part.
bool IsOlderPlatformVersion(const std::string& a, const std::string& b);

// name cut to what the name buffer holds, without splitting a double-byte character.
std::string FitBrowseName(const std::string& name);

// The message shown when the program of a known product is not where it is expected.
std::string ScannerNotFoundMessage(int productIndex);

// The file name the browse dialog proposes after a failed detection: nothing for Norton
// AntiVirus, the expected path for Virus Chaser and Microsoft Defender; cut to what the name
// buffer holds.
std::string InitialBrowseName(int productIndex, const std::string& expectedPath);

struct ScannerDetection {
    bool bApplies = false;      // the index names a known product
    bool bFound = false;        // its program exists: strPath names it
    std::string strPath;        // found: the program; not found: the expected path
    std::string strMessage;     // not found: what to tell the user before browsing
    std::string strBrowseName;  // not found: the browse dialog's initial name
};

// Looks for the program of product index in folders.
ScannerDetection DetectScanner(int productIndex, const ScannerFolders& folders);
