#include "cli/MorvekCli.h"

#include "app/FilePath.h"
#include "app/Velmaron1App.h"
#include "cli/CliRunHost.h"
#include "engine/extract/AlertText.h"
#include "engine/extract/OutlookExtract.h"
#include "engine/mime/MailParser.h"
#include "intake/MailIntake.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/NamedMutex.h"
#include "platform/Shell.h"
#include "platform/ShiftJis.h"
#include "policy/ExtensionListFile.h"
#include "policy/ExtensionPolicy.h"
#include "run/ExtractionRun.h"
#include "store/InterruptedRun.h"
#include "store/RecordFile.h"
#include "store/RecordStore.h"
#include "run/WriteFailureText.h"

CMorvekCli::CMorvekCli(std::string programName, std::vector<std::string> arguments,
                       ICliConsole& console)
    : m_strProgramName(std::move(programName)),
      m_arrArguments(std::move(arguments)),
      m_console(console) {}

std::string CMorvekCli::HelpText() {
    return "morvek-cli: Morveｋ Attachment Extractor from the command line\n"
           "\n"
           "usage:\n"
           "  morvek-cli extract [--data-dir DIR] [--no-scan | --keep | --discard] [--quiet]\n"
           "                     FILE...\n"
           "      take the messages (.eml files, Outlook .msg items) in as a drop onto the\n"
           "      list window does: copy them into the data folder, extract their\n"
           "      attachments (prohibited ones, archives holding prohibited files or that\n"
           "      cannot be checked, and programs under other names become alert files,\n"
           "      printed with the reason), run the antivirus program when the settings ask for it and then\n"
           "      ask whether to keep or discard (--keep and --discard answer; --no-scan\n"
           "      skips the scan whatever the settings say), and print the new records\n"
           "      (--quiet: print nothing but errors; a script lists them when it needs).\n"
           "      Exit 0 when a record was added, 1 when none.\n"
           "  morvek-cli list [--data-dir DIR]\n"
           "      print every record (date, sender, subject) with its attachments, their\n"
           "      sizes and whether the list window opens them (openable, not allowed,\n"
           "      dangerous, alert). First it reconciles the store as the windows program\n"
           "      does at its start, so it may change files in the data folder: a listed\n"
           "      record whose record file (.att) is gone has its folder deleted with the\n"
           "      attachments in it; a record file without its folder, or with an empty\n"
           "      one, is removed; records found on disk but not listed are added.\n"
           "  morvek-cli summary FILE\n"
           "      print the date, sender and subject of a message (.eml or Outlook .msg),\n"
           "      one a line\n"
           "  morvek-cli unsent [--no-open] FILE\n"
           "      write the message as an unsent draft in the temporary folder, print its\n"
           "      path and open it with the mail program (--no-open: do not open it)\n"
           "  morvek-cli --help\n"
           "\n"
           "DIR is the data folder to use instead of the program's own (the one under the\n"
           "user's application data, which the windows program lists).\n"
           "Like the windows program, the tool first prepares its folders (data folder, scan\n"
           "folder, first-start files). extract and list work on a data folder's store only\n"
           "while no other extract or list runs on that folder (nor, on the program's own\n"
           "data folder, the windows program): they then clear away what an interrupted\n"
           "run left (its messages are named by count, to be extracted again), and on the\n"
           "program's own data folder empty the temporary folder. Runs on different data\n"
           "folders go on side by side. extract waits for nobody: when the store is in use\n"
           "it exits with 3; list then prints the listed records and changes nothing.\n"
           "summary and unsent never touch the store.\n"
           "A message that cannot be extracted (a full disk) leaves nothing behind and is\n"
           "named on the error stream, as is a draft that cannot be written, a FILE that\n"
           "is not taken in (not a plain .eml or .msg file, or unreadable) and a message\n"
           "whose attachments were not all extracted (too many, or nested too deep).\n"
           "Exit codes: 0 done, 1 nothing done, 2 usage error, 3 store in use, 4 a message\n"
           "or draft could not be written or was extracted in part, 5 a FILE was skipped.\n";
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
    if (arguments.strCommand == "extract" || arguments.strCommand == "list") {
        if (app.m_strDataFolder.empty()) {
            PrintError("the data folder cannot be made\n");
            return 1;
        }
        // A store is changed by one process at a time: in the program's own data folder the
        // windows program or one command of this tool, in another folder one command. Without
        // its lock, "list" still lists, changing nothing.
        const std::string lockName = CVelmaron1App::StoreMutexName(app.m_strDataFolder);
        const platform::NamedMutex mutex(lockName);
        const bool bOwner = mutex.IsValid() && !mutex.AlreadyExisted();
        if (!bOwner && arguments.strCommand == "extract") {
            PrintError("the store is in use by the windows program or another morvek-cli "
                       "command; try again when it has ended\n");
            return kExitStoreInUse;
        }
        if (bOwner) {
            // The drafts of the temporary folder belong to the program's own store.
            if (lockName == CVelmaron1App::kMutexName) {
                CVelmaron1App::ClearTemporaryFolder();
            }
            const int interrupted = ClearInterruptedRuns(app.GetDataFolder());
            if (interrupted > 0) {
                PrintError(std::to_string(interrupted) +
                           " message(s) of an interrupted run were not kept; extract them "
                           "again\n");
            }
        }
        return arguments.strCommand == "extract" ? RunExtract(arguments, app.GetDataFolder())
                                                 : RunList(app.GetDataFolder(), bOwner);
    }
    if (arguments.strCommand == "summary") {
        return RunSummary(arguments);
    }
    return RunUnsent(arguments);
}

int CMorvekCli::RunExtract(const CliArguments& arguments, const std::string& dataFolder) {
    CMailIntake intake(dataFolder);
    std::vector<std::string> skipped;
    const std::optional<PendingMessageList> pending =
        intake.IntakeFiles(arguments.arrOperands, &skipped);
    // Every file not taken in is named, whether or not others were.
    for (const std::string& line : skipped) {
        PrintError(line + ": skipped\n");
    }
    if (!pending || pending->empty()) {
        PrintError("no message could be taken in\n");
        return 1;
    }
    CRecordStore store(dataFolder);
    store.LoadRecordList();
    const CCliRunHost::Answer answer = arguments.Has("--keep")      ? CCliRunHost::Answer::Keep
                                       : arguments.Has("--discard") ? CCliRunHost::Answer::Discard
                                                                    : CCliRunHost::Answer::Ask;
    CCliRunHost host(m_console, store, answer);
    CExtractionRun run(dataFolder, host);
    run.SetScanForcedOff(arguments.Has("--no-scan"));
    const ExtractionOutcome outcome = run.Run(*pending, intake.GetProhibitedList());
    if (!arguments.Has("--quiet")) {
        for (const std::string& record : host.GetAddedRecords()) {
            PrintRecord(record, nullptr);
        }
    }
    if (!run.GetFailures().empty() || !run.GetCuts().empty()) {
        return kExitFailed;
    }
    if (!skipped.empty()) {
        return kExitSkipped;
    }
    return outcome == ExtractionOutcome::Kept && !host.GetAddedRecords().empty() ? 0 : 1;
}

int CMorvekCli::RunList(const std::string& dataFolder, bool bReconcile) {
    CRecordStore store(dataFolder);
    store.LoadRecordList();
    if (bReconcile) {
        store.ReconcileRecords();
    } else {
        // The store is another process's: the listed records that are whole, read only.
        std::vector<std::string> whole;
        for (const std::string& record : store.m_arrRecords) {
            const std::string folder = record.substr(0, record.size() - 4);
            if (store.IsStoreRecord(record) && CFilePath(record).Exists() &&
                CFilePath(folder).IsFolder() && CRecordStore::FolderHasFile(folder)) {
                whole.push_back(record);
            }
        }
        store.m_arrRecords = std::move(whole);
    }
    CExtensionList allowed;
    LoadExtensionList(dataFolder + "allowedext.dat", allowed, false);
    for (const std::string& record : store.m_arrRecords) {
        PrintRecord(record, &allowed);
    }
    return 0;
}

void CMorvekCli::PrintRecord(const std::string& recordFile, const CExtensionList* allowedList) {
    RecordFileText text;
    ReadRecordFile(recordFile, text);
    const auto trimmed = [](std::string value) {
        while (!value.empty() && (value.back() == '\r' || value.back() == '\n')) {
            value.pop_back();
        }
        return value;
    };
    // A record's lines go out in one write.
    std::string lines = trimmed(text.dateText) + "  " + trimmed(text.fromText) + "\n  " +
                        trimmed(text.subjectText) + "\n";
    std::vector<std::string> attachments;
    CRecordStore::ListFolder(recordFile.substr(0, recordFile.size() - 4), attachments);
    for (const std::string& attachment : attachments) {
        const CFilePath path(attachment);
        std::string name, extension;
        path.GetFileName(name);
        // One look at the file system for each entry: what it is, and its size.
        const auto attributes = platform::QueryAttributes(attachment);
        if (!attributes || !attributes->isFolder) {
            path.GetExtension(extension);
        }
        std::string sizeText;
        if (attributes && attributes->isLink) {
            sizeText = path.GetSizeText();  // the size of what it points to
        } else if (attributes && !attributes->isFolder) {
            sizeText = CFilePath::FormatSize(attributes->size);
        }
        std::string line = "    " + name + "  " + sizeText;
        const bool bAlert = sjis::EqualsNoCase(extension, kAlertExtension);
        if (allowedList != nullptr) {
            const char* verdict = "";
            if (bAlert) {
                verdict = "alert";
            } else {
                switch (CheckOpen(extension, *allowedList)) {
                    case OpenVerdict::Openable:
                        verdict = "openable";
                        break;
                    case OpenVerdict::Dangerous:
                        verdict = "dangerous";
                        break;
                    case OpenVerdict::NotAllowed:
                        verdict = "not allowed";
                        break;
                }
            }
            line += std::string("  ") + verdict;
        }
        // An attachment held for what it holds: its alert file says why.
        std::string alertText;
        if (bAlert && attributes && !attributes->isFolder && attributes->size < 64 * 1024 &&
            platform::ReadWholeFile(attachment, alertText)) {
            if (const std::string reason = engine::AlertReason(alertText); !reason.empty()) {
                line += "  (" + reason + ")";
            }
        }
        lines += line + "\n";
    }
    Print(lines);
}

int CMorvekCli::RunSummary(const CliArguments& arguments) {
    const std::string& path = arguments.arrOperands[0];
    if (engine::IsCompoundFilePath(path)) {
        std::string fromText, subjectText, dateText;
        switch (engine::ReadOutlookSummary(path, fromText, subjectText, dateText)) {
            case OutlookSummaryResult::Message:
                Print(dateText + "\n" + fromText + "\n" + subjectText + "\n");
                return 0;
            case OutlookSummaryResult::NotMessage:
                PrintError(path + ": an Outlook item that is not a message (contact, "
                                  "sticky note...)\n");
                return 1;
            case OutlookSummaryResult::Unreadable:
                PrintError(path + ": not a readable Outlook item\n");
                return 1;
            case OutlookSummaryResult::CannotOpen:
                break;
        }
        PrintError("cannot open " + path + "\n");
        return 1;
    }
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
    if (engine::IsCompoundFilePath(path)) {
        PrintError(path + ": an Outlook item cannot become an unsent draft\n");
        return 1;
    }
    CMailParser parser;
    const std::string draft = parser.WriteUnsentMail(path);
    if (parser.GetWriteFailure().kind != CMailParser::WriteFailureKind::None) {
        PrintError(path + ": no draft written: " +
                   WriteFailureReason(parser.GetWriteFailure()) + "\n");
        return kExitFailed;
    }
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
