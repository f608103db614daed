#include "run/AntivirusProgram.h"

#include "platform/ShiftJis.h"

#include <cstdio>
#include <string_view>

namespace {

constexpr char kDefenderFileName[] = "MpCmdRun.exe";

// Defender's exit statuses after a scan.
constexpr std::uint32_t kDefenderClean = 0;
constexpr std::uint32_t kDefenderThreatsFound = 2;

std::string ExitCodeText(std::uint32_t code) {
    char text[16];
    if (code <= 255) {
        std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(code));
    } else {
        std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
    }
    return text;
}

}  // namespace

bool CAntivirusProgram::IsDefender(const std::string& program) {
    const std::size_t backslash = sjis::FindLastOf(program, "\\");
    const std::string_view name = backslash == std::string::npos
                                      ? std::string_view(program)
                                      : std::string_view(program).substr(backslash + 1);
    return sjis::EqualsNoCase(name, kDefenderFileName);
}

std::string CAntivirusProgram::MakeCommandLine(const std::string& program,
                                               const std::string& scanFolder) {
    if (IsDefender(program)) {
        // A custom scan of the folder; Defender quarantines what it finds, as it is set to.
        return "\"" + program + "\" -Scan -ScanType 3 -File \"" + scanFolder + "\"";
    }
    return "\"" + program + "\" \"" + scanFolder + "\"";
}

ScanOutcome CAntivirusProgram::Interpret(const std::string& program,
                                         const platform::ProcessRun& run) {
    ScanOutcome outcome;
    if (!run.bStarted) {
        outcome.end = ScanEnd::NotStarted;
        outcome.strNotice = "ウィルス対策ソフトを起動できませんでした。\n\n" + program + "\n" +
                            run.strFailure +
                            "\n\n抽出した添付ファイルはウィルス検査されていません。";
        return outcome;
    }
    if (!IsDefender(program)) {
        outcome.end = ScanEnd::Ended;
        return outcome;
    }
    if (run.exitCode == kDefenderClean) {
        outcome.end = ScanEnd::Clean;
    } else if (run.exitCode == kDefenderThreatsFound) {
        outcome.end = ScanEnd::ThreatsQuarantined;
        outcome.strNotice =
            "Microsoft Defender が脅威を検出しました。\n\n"
            "検出されたファイルは Microsoft Defender が検疫したため、"
            "抽出した添付ファイルから取り除かれています。";
    } else {
        outcome.end = ScanEnd::NotCompleted;
        outcome.strNotice = "Microsoft Defender のスキャンは完了しませんでした（終了コード " +
                            ExitCodeText(run.exitCode) +
                            "）。\n\n抽出した添付ファイルはウィルス検査が済んでいない可能性があり"
                            "ます。";
    }
    return outcome;
}

ScanOutcome CAntivirusProgram::Run(const std::string& program, const std::string& scanFolder) {
    return Interpret(program, platform::RunAndWait(MakeCommandLine(program, scanFolder)));
}
