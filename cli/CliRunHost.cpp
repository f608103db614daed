#include "cli/CliRunHost.h"

#include "platform/ShiftJis.h"

using platform::ConsoleStream;

CCliRunHost::CCliRunHost(ICliConsole& console, CRecordStore& store, Answer answer)
    : m_console(console), m_store(store), m_answer(answer), m_progress(console) {}

void CCliRunHost::ShowMessage(const std::string& text) {
    m_progress.Finish();
    m_console.Write(ConsoleStream::Err, text + "\n");
}

void CCliRunHost::ReportFailures(const std::vector<std::string>& lines) {
    m_progress.Finish();
    for (const std::string& line : lines) {
        m_console.Write(ConsoleStream::Err, "morvek-cli: " + line + "\n");
    }
}

void CCliRunHost::HideForScan() {
    m_progress.Finish();
    m_console.Write(ConsoleStream::Err, "ウィルススキャンを実行しています...\n");
}

int CCliRunHost::ConfirmScan() {
    if (m_answer == Answer::Keep) {
        return kScanConfirmContinue;
    }
    if (m_answer == Answer::Discard) {
        return kScanConfirmDiscardAll;
    }
    // The dialog keeps on anything but its discard button; so does the question here.
    m_console.Write(ConsoleStream::Err,
                    "ウィルススキャンが終了しました。抽出したファイルを保存しますか？ "
                    "[k: 継続 / d: すべて破棄] ");
    std::string line;
    if (m_console.ReadLine(line) && sjis::EqualsNoCase(line.substr(0, 1), "d")) {
        return kScanConfirmDiscardAll;
    }
    return kScanConfirmContinue;
}

// The window saves the list at every record, to show it at once; the tool lists the run's
// records at the top and saves once, at the end of the run, so a run of thousands of
// messages does not rewrite a growing list thousands of times. Records the tool never saved
// (a killed run) are on disk, and the next reconciliation adopts them.
void CCliRunHost::AddRecord(const std::string& recordFile) {
    m_arrAdded.push_back(recordFile);
}

// The records just moved into the store are whole; the reconciliation looks at the others.
// No record is opened: the terminal shows none.
void CCliRunHost::RefreshRecords(ExtractionOutcome) {
    std::vector<std::string>& records = m_store.m_arrRecords;
    records.insert(records.begin(), m_arrAdded.rbegin(), m_arrAdded.rend());
    if (!m_store.ReconcileRecords(m_arrAdded)) {
        m_store.SaveRecordList();
    }
}
