// A start-up smoke run: does what the program does when its process starts (data folder,
// scan folder, first-start files, temporary folder) and reports the folders, the files and
// the five settings as the program would read them now. Output is UTF-8.

#include "app/Settings.h"
#include "app/Velmaron1App.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/Text.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

void Print(const std::string& label, const std::string& sjis) {
    std::printf("%-22s%s\n", label.c_str(), platform::ShiftJisToUtf8(sjis).c_str());
}

}  // namespace

int main() {
    const std::vector<std::string> arguments = platform::ProgramArguments();
    const CVelmaron1App app(arguments.empty() ? std::string() : arguments[0]);

    Print("program folder", app.m_strProgramFolder);
    Print("data folder", app.m_strDataFolder);
    Print("scan folder", app.GetScanFolder());
    Print("temporary folder", CVelmaron1App::GetTemporaryFolder());
    std::vector<platform::FoundEntry> entries;
    if (platform::FindEntries(app.GetDataFolder() + "*.*", entries)) {
        for (const platform::FoundEntry& entry : entries) {
            Print("  data entry", entry.name + (entry.isFolder ? "\\" : ""));
        }
    }

    const CSettings settings;
    const SettingsValues values = settings.Read();
    Print("EXIT_ON_CLOSE_LIST", std::to_string(values.exitOnCloseList));
    Print("SCAN_VIRUS", std::to_string(values.scanVirus));
    Print("VIRUS_SCAN_EXE_NAME", values.virusScanExeName);
    Print("VIRUS_SCAN_APP", std::to_string(values.virusScanApp));
    Print("USE_UNSENDMAIL_FUNC", std::to_string(values.useUnsendMailFunc));
    Print("scanner to run", settings.GetScannerToRun());
    return app.m_strDataFolder.empty() ? 1 : 0;
}
