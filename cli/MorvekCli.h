#pragma once

// morvek-cli: the program's functions for scripts and terminals, on the same data folder
// and settings as the windows program.

#include "cli/CliArguments.h"
#include "cli/CliConsole.h"

#include "policy/ExtensionList.h"

#include <string>
#include <vector>

class CMorvekCli {
public:
    // arguments: the command line without the program's name.
    CMorvekCli(std::string programName, std::vector<std::string> arguments, ICliConsole& console);

    static constexpr int kExitStoreInUse = 3;
    static constexpr int kExitFailed = 4;
    static constexpr int kExitSkipped = 5;

    // Runs the command and returns the exit code: 0 done, 1 nothing done, 2 usage error,
    // kExitStoreInUse when another process works on the store, kExitFailed when a message
    // or a draft could not be written (or a message was extracted in part), kExitSkipped
    // when extract took some of its files in but not all.
    int Run();

    static std::string HelpText();

private:
    int RunExtract(const CliArguments& arguments, const std::string& dataFolder);
    // bReconcile: this process owns the store and brings it in step with the disk.
    int RunList(const std::string& dataFolder, bool bReconcile);
    int RunSummary(const CliArguments& arguments);
    int RunUnsent(const CliArguments& arguments);

    // One record: its date, sender and subject, and its attachments with size text and,
    // with an allowed list, the open verdict.
    void PrintRecord(const std::string& recordFile, const CExtensionList* allowedList);
    void Print(const std::string& text);
    void PrintError(const std::string& text);
    int UsageError(const std::string& reason);

    std::string m_strProgramName;
    std::vector<std::string> m_arrArguments;
    ICliConsole& m_console;
};
