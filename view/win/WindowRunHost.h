#pragma once

// The extraction run's host on windows, for the list view and the drop window alike: the
// progress dialog and the message boxes owned by the run's window, the window hidden while
// the antivirus program runs, the scan-confirm dialog, the records announced to the list
// view, and the window's own refresh after a keep or a discard.

#include "run/ExtractionRunHost.h"

#include <windows.h>

#include <functional>
#include <memory>

class CProgressDialog;

// Asks the user, in a modal dialog owned by owner, whether the attachments the antivirus
// program has seen are kept; returns the answer's id as IExtractionRunHost::ConfirmScan does.
// The program's scan-confirm dialog answers it.
using ScanConfirmFunction = std::function<int(HWND owner)>;

class CWindowRunHost : public IExtractionRunHost {
public:
    // owner: owns the progress dialog, the message boxes and the scan-confirm dialog.
    // scanWindow: hidden while the antivirus program runs, then shown and brought to the
    // foreground. recordsWindow: receives WM_ADD_RECORD for each record kept (the main
    // frame's active view). onRefresh: what RefreshRecords does for the window. confirmScan:
    // the question after the scan.
    CWindowRunHost(HWND owner, HWND scanWindow, HWND recordsWindow,
                   std::function<void(ExtractionOutcome)> onRefresh,
                   ScanConfirmFunction confirmScan);
    ~CWindowRunHost() override;
    CWindowRunHost(const CWindowRunHost&) = delete;
    CWindowRunHost& operator=(const CWindowRunHost&) = delete;

    IProgressSink& BeginProgress() override;
    void EndProgress() override;
    void ShowMessage(const std::string& text) override;
    void ReportFailures(const std::vector<std::string>& lines) override;
    void HideForScan() override;
    void ShowAfterScan() override;
    int ConfirmScan() override;
    void AddRecord(const std::string& recordFile) override;
    void RefreshRecords(ExtractionOutcome outcome) override;

private:
    HWND m_hWndOwner;
    HWND m_hWndScan;
    HWND m_hWndRecords;
    std::function<void(ExtractionOutcome)> m_fnRefresh;
    ScanConfirmFunction m_fnConfirmScan;
    std::unique_ptr<CProgressDialog> m_pProgress;
};
