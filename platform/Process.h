#pragma once

// Other programs, and this program's own command line.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct ProcessRun {
    bool bStarted = false;
    std::uint32_t exitCode = 0;  // started: the program's exit status
    std::string strFailure;      // not started: the system's reason, as the system words it
};

// Starts a program from a Windows command line ("\"C:\\x\\scan.exe\" \"C:\\data\"") and
// waits, without a time limit, until it ends.
ProcessRun RunAndWait(const std::string& commandLine);

// Splits a Windows command line into its arguments by the rules of the Windows C runtime
// (quotes group, backslashes escape only a quote), stepping over double-byte characters.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// This program's arguments, the first being the program's name as it was started. Paths
// are given as Windows paths.
std::vector<std::string> ProgramArguments();

// The path of this program's own file; empty when it cannot be found.
std::string ProgramFilePath();

}  // namespace platform
