#pragma once

// The extraction run: the processing of the message copies of one drop. Each copy's
// attachments are extracted into its staging folder under the scan folder, with the progress
// dialog on screen; the user's antivirus program may then scan that folder, after which the
// user keeps or discards everything; what is kept is moved into the store as records and the
// list is refreshed.
//
// The run holds no window: everything it shows or asks goes through its host (see
// ExtractionRunHost.h), so the list view, the drop window and a command-line tool share it
// and differ only in their hosts.
//
// Nothing is reported done that was not: a message whose attachments cannot all be written
// (a full disk) leaves nothing behind and is named to the user, who drops it again; a scan
// folder that cannot be made before the scan is reported, and what the run extracted is
// deleted unscanned. A cancelled run leaves the copies it did not reach, which the next
// start clears away (see InterruptedRun.h); only the user's discard deletes what was
// extracted. A failed move leaves the staging folder and its record file where they are,
// unlisted; the store's reconciliation keeps its list consistent with them.

#include "app/Settings.h"
#include "run/PendingMessageList.h"
#include "run/ExtractionRunHost.h"

#include <string>
#include <vector>

class CExtensionList;

class CExtractionRun {
public:
    // dataFolder: the data folder followed by a backslash. host: must outlive the run.
    // settings: the profile whose SCAN_VIRUS and VIRUS_SCAN_EXE_NAME each run reads at its
    // start.
    CExtractionRun(std::string dataFolder, IExtractionRunHost& host,
                   CSettings settings = CSettings());
    virtual ~CExtractionRun() = default;
    CExtractionRun(const CExtractionRun&) = delete;
    CExtractionRun& operator=(const CExtractionRun&) = delete;

    // Never scan, whatever the settings say.
    void SetScanForcedOff(bool bForcedOff) { m_bScanForcedOff = bForcedOff; }

    // The antivirus program a run started now would use: VIRUS_SCAN_EXE_NAME when SCAN_VIRUS
    // is nonzero, the name is set and the file exists, and scanning is not forced off;
    // otherwise empty (no scan).
    std::string GetScannerToRun() const;

    // Runs over the copies of pending with prohibitedList. Both are the window's own and may
    // change while the progress dialog lets window messages run (a new drop): the count of
    // pending is read again before each message, and each message works on copies. When
    // messages held encrypted content (kept as "smime.p7m"), the user is told once.
    ExtractionOutcome Run(const PendingMessageList& pending, const CExtensionList& prohibitedList);

    // The result of the window message that started the run: 1 when the run kept or
    // discarded output, 0 otherwise.
    static int ResultOf(ExtractionOutcome outcome);

    // The scan folder: the data folder + "scanvirus", without trailing backslash.
    std::string GetScanFolder() const;

    // The failure lines the last Run reported (empty when nothing failed).
    const std::vector<std::string>& GetFailures() const { return m_arrFailures; }

private:
    std::vector<std::string> ExtractAll(const PendingMessageList& pending,
                                        const CExtensionList& prohibitedList);
    bool ScanAndAsk(const std::string& scanner);
    void Keep(const std::vector<std::string>& staged);
    void Discard(const std::vector<std::string>& staged);
    std::string RecordNameOf(const std::string& stagingFolder) const;

    std::string m_strDataFolder;
    IExtractionRunHost& m_host;
    CSettings m_settings;
    bool m_bScanForcedOff = false;
    std::vector<std::string> m_arrFailures;
    int m_nEncrypted = 0;  // messages of the run with encrypted content
};
