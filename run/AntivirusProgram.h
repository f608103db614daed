#pragma once

// The user's antivirus program, run over the scan folder after an extraction. Any program is
// started with two quoted items, its own path and the scan folder's, and must end when its
// scan is done; what it returns is not read, and the user decides afterwards whether to keep
// the result. Microsoft Defender's command-line scanner (a program file named MpCmdRun.exe)
// needs its scan arguments instead and reports through its exit status, which is read.

#include "platform/Process.h"

#include <string>

enum class ScanEnd {
    NotStarted,          // the program could not be started
    Ended,               // a program whose result is not read ended
    Clean,               // Defender found nothing
    ThreatsQuarantined,  // Defender found threats and took the files away
    NotCompleted,        // Defender ended without completing the scan
};

struct ScanOutcome {
    ScanEnd end = ScanEnd::Ended;
    // What to tell the user before the keep-or-discard question; empty when there is
    // nothing to tell.
    std::string strNotice;
};

class CAntivirusProgram {
public:
    // Whether program is Microsoft Defender's command-line scanner, by its file name.
    static bool IsDefender(const std::string& program);

    // "\"" program "\" \"" scanFolder "\"": no switches, and the folder exactly as given (the
    // scan folder has no trailing backslash). For Defender:
    // "\"" program "\" -Scan -ScanType 3 -File \"" scanFolder "\"".
    static std::string MakeCommandLine(const std::string& program, const std::string& scanFolder);

    // What the run of program means for the user.
    static ScanOutcome Interpret(const std::string& program, const platform::ProcessRun& run);

    // Starts the program on scanFolder, waits without a time limit until it ends, and
    // interprets its end.
    static ScanOutcome Run(const std::string& program, const std::string& scanFolder);
};
