#pragma once

// The application object's folder work, done once when the process starts (also in a
// second instance that then finds the first one running): the data folder and its scan
// folder, the first-start files, the program folder and the temporary folder. Only the
// process that owns the program's mutex (kMutexName) empties the temporary folder, as it
// may hold the drafts a running instance handed to the mail program.

#include <string>

class CVelmaron1App {
public:
    // The program's mutex: held by the running windows program and by a morvek-cli command
    // that changes the store, for as long as they run, so that only one of them works on
    // the store and the temporary folder at a time.
    static constexpr char kMutexName[] = "VELMARON1_MUTEX";

    // programName: the program's name as it was started (the first command-line argument).
    explicit CVelmaron1App(const std::string& programName);
    // The same with a data folder of the caller's choice instead of the one under the
    // application-data folder (the command-line tool's --data-dir); it is created when
    // missing, its parent must exist.
    CVelmaron1App(const std::string& programName, const std::string& dataFolder);
    virtual ~CVelmaron1App() = default;
    CVelmaron1App(const CVelmaron1App&) = delete;
    CVelmaron1App& operator=(const CVelmaron1App&) = delete;

    // The data folder followed by a backslash; every data file name is appended to it.
    std::string GetDataFolder() const;

    // The folder the extraction stages its messages in, without trailing backslash.
    std::string GetScanFolder() const;

    // Creates application-data folder + "\TevoSoftwareDev\" + name (both levels as
    // needed) and returns its path, or an empty string when it cannot be made.
    static std::string MakeDataFolder(const std::string& name);

    // The name of the lock of the store in dataFolder (with or without its trailing
    // backslash): the program's mutex (kMutexName) for the program's own data folder, so
    // that the windows program and the command-line tool exclude each other there; for
    // any other folder a name of that folder's own, made from its full path with letter
    // case aside, so that runs on two folders do not wait for each other.
    static std::string StoreMutexName(const std::string& dataFolder);

    // The folder of the unsent drafts, with trailing backslash.
    static std::string GetTemporaryFolder();

    // Creates the scan folder and each missing first-start file.
    void PrepareDataFiles() const;

    // Creates the temporary folder, or deletes every file in it (subfolders stay). Only the
    // owner of the program's mutex calls it.
    static void ClearTemporaryFolder();

    std::string m_strDataFolder;     // without trailing backslash; empty when not made
    std::string m_strProgramFolder;  // with trailing backslash; empty for a bare name
};
