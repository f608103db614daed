#pragma once

// The user's antivirus program, run over the scan folder after an extraction. It is started
// with two quoted items, its own path and the scan folder's, and must end when its scan is
// done. Nothing it returns is read: the user decides afterwards whether to keep the result.

#include <string>

class CAntivirusProgram {
public:
    // "\"" program "\" \"" scanFolder "\"": no switches, and the folder exactly as given
    // (the scan folder has no trailing backslash).
    static std::string MakeCommandLine(const std::string& program, const std::string& scanFolder);

    // Starts the program on scanFolder and waits, without a time limit, until it ends. A
    // program that cannot be started counts as one that ended at once; the result only
    // tells whether it started, for callers that report it.
    static bool Run(const std::string& program, const std::string& scanFolder);
};
