#include "app/cli/MorvekCli.h"

#include "app/Velmaron1App.h"
#include "engine/MailParser.h"
#include "platform/Shell.h"

CMorvekCli::CMorvekCli(std::string programName, std::vector<std::string> arguments,
                       ICliConsole& console)
    : m_strProgramName(std::move(programName)),
      m_arrArguments(std::move(arguments)),
      m_console(console) {}

std::string CMorvekCli::HelpText() {
    return "morvek-cli: Morveｋ Attachment Extractor from the command line\n"
           "\n"
           "usage:\n"
           "  morvek-cli summary FILE\n"
           "      print the date, sender and subject of a message, one a line\n"
           "  morvek-cli unsent [--no-open] FILE\n"
           "      write the message as an unsent draft in the temporary folder, print its\n"
           "      path and open it with the mail program (--no-open: do not open it)\n"
           "  morvek-cli --help\n"
           "\n"
           "Like the windows program, the tool first prepares its folders (data folder, scan\n"
           "folder, first-start files) and empties its temporary folder.\n"
           "Exit codes: 0 done, 1 nothing done, 2 usage error.\n";
}

int CMorvekCli::Run() {
    CliArguments arguments;
    const std::string reason = ParseCliArguments(m_arrArguments, arguments);
    if (!reason.empty()) {
        return UsageError(reason);
    }
    if (arguments.strCommand == "help") {
        Print(HelpText());
        return 0;
    }
    // The folder work of every start of the program.
    const auto dataDir = arguments.arrValues.find("--data-dir");
    const CVelmaron1App app = dataDir == arguments.arrValues.end()
                                  ? CVelmaron1App(m_strProgramName)
                                  : CVelmaron1App(m_strProgramName, dataDir->second);
    if (arguments.strCommand == "summary") {
        return RunSummary(arguments);
    }
    return RunUnsent(arguments);
}

int CMorvekCli::RunSummary(const CliArguments& arguments) {
    const std::string& path = arguments.arrOperands[0];
    CMessageReader reader;
    if (!reader.Open(path)) {
        PrintError("cannot open " + path + "\n");
        return 1;
    }
    CMailParser parser;
    std::string fromText, subjectText, dateText, contentType;
    const bool bComplete =
        parser.ReadMessageSummary(reader, fromText, subjectText, dateText, contentType);
    if (!bComplete) {
        PrintError(path + ": the header has no end (no blank line)\n");
        return 1;
    }
    Print(dateText + "\n" + fromText + "\n" + subjectText + "\n");
    return 0;
}

int CMorvekCli::RunUnsent(const CliArguments& arguments) {
    const std::string& path = arguments.arrOperands[0];
    CMailParser parser;
    const std::string draft = parser.WriteUnsentMail(path);
    if (draft.empty()) {
        PrintError("no draft written: " + path +
                   " cannot be read or has no blank line within its first 600 lines\n");
        return 1;
    }
    Print(draft + "\n");
    if (!arguments.Has("--no-open") && !platform::ShellOpen(draft)) {
        PrintError("the draft could not be opened\n");
    }
    return 0;
}

void CMorvekCli::Print(const std::string& text) {
    m_console.Write(platform::ConsoleStream::Out, text);
}

void CMorvekCli::PrintError(const std::string& text) {
    m_console.Write(platform::ConsoleStream::Err, "morvek-cli: " + text);
}

int CMorvekCli::UsageError(const std::string& reason) {
    PrintError(reason + " (see morvek-cli --help)\n");
    return 2;
}
