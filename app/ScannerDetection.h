#pragma once

// Finding the antivirus program of the two known products, and what the browse dialog for
// any other program shows. The product index is the one of the settings dialog's product
// list and of VIRUS_SCAN_APP.

#include <array>
#include <cstddef>
#include <optional>
#include <string>

// The entries of the product list, in index order (the list is not sorted).
inline constexpr std::array<const char*, 2> kScannerProductNames = {
    "ノートンアンチウィルス（Norton AntiVirus)",
    "ウィルスチェーサー(Virus Chaser)",
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

// Where product index expects its program under programFilesFolder (which ends with a
// backslash); nothing for an index that names no product or when the folder is unknown.
std::optional<std::string> ExpectedScannerPath(int productIndex,
                                               const std::string& programFilesFolder);

// name cut to what the name buffer holds, without splitting a double-byte character.
std::string FitBrowseName(const std::string& name);

// The message shown when the program of a known product is not where it is expected.
std::string ScannerNotFoundMessage(int productIndex);

// The file name the browse dialog proposes after a failed detection: nothing for Norton
// AntiVirus, the expected path for Virus Chaser; cut to what the name buffer holds.
std::string InitialBrowseName(int productIndex, const std::string& expectedPath);

struct ScannerDetection {
    bool bApplies = false;      // the index names a known product
    bool bFound = false;        // its program exists: strPath names it
    std::string strPath;        // found: the program; not found: the expected path
    std::string strMessage;     // not found: what to tell the user before browsing
    std::string strBrowseName;  // not found: the browse dialog's initial name
};

// Looks for the program of product index under programFilesFolder.
ScannerDetection DetectScanner(int productIndex, const std::string& programFilesFolder);
