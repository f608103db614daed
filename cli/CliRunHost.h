#pragma once

// The extraction run's host on a terminal: the progress bar, messages on the error stream,
// the keep-or-discard question answered by an option or asked on the terminal, and the
// records the run adds, kept in the store and remembered for the report.

#include "cli/CliConsole.h"
#include "cli/TerminalProgress.h"
#include "run/ExtractionRunHost.h"
#include "store/RecordStore.h"

#include <string>
#include <vector>

class CCliRunHost : public IExtractionRunHost {
public:
    enum class Answer { Ask, Keep, Discard };

    CCliRunHost(ICliConsole& console, CRecordStore& store, Answer answer);

    IProgressSink& BeginProgress() override { return m_progress; }
    void EndProgress() override { m_progress.Finish(); }
    void ShowMessage(const std::string& text) override;
    void ReportFailures(const std::vector<std::string>& lines) override;
    void HideForScan() override;
    void ShowAfterScan() override {}
    int ConfirmScan() override;
    void AddRecord(const std::string& recordFile) override;
    void RefreshRecords(ExtractionOutcome outcome) override;

    // The record files this run added, in the order added.
    const std::vector<std::string>& GetAddedRecords() const { return m_arrAdded; }

private:
    ICliConsole& m_console;
    CRecordStore& m_store;
    Answer m_answer;
    CTerminalProgress m_progress;
    std::vector<std::string> m_arrAdded;
};
