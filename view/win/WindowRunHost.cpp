#include "view/win/WindowRunHost.h"

#include "intake/win/ProgressDialog.h"
#include "ui/AppMessages.h"
#include "ui/Resources.h"
#include "run/WriteFailureText.h"

CWindowRunHost::CWindowRunHost(HWND owner, HWND scanWindow, HWND recordsWindow,
                               std::function<void(ExtractionOutcome)> onRefresh,
                               ScanConfirmFunction confirmScan)
    : m_hWndOwner(owner),
      m_hWndScan(scanWindow),
      m_hWndRecords(recordsWindow),
      m_fnRefresh(std::move(onRefresh)),
      m_fnConfirmScan(std::move(confirmScan)) {}

CWindowRunHost::~CWindowRunHost() = default;

IProgressSink& CWindowRunHost::BeginProgress() {
    // A dialog that could not be created still takes every call.
    m_pProgress = std::make_unique<CProgressDialog>();
    m_pProgress->Create(m_hWndOwner);
    return *m_pProgress;
}

void CWindowRunHost::EndProgress() {
    m_pProgress.reset();
}

void CWindowRunHost::ShowMessage(const std::string& text) {
    ui::ShowMessageBox(m_hWndOwner, text, MB_OK);
}

void CWindowRunHost::ReportFailures(const std::vector<std::string>& lines) {
    ui::ShowMessageBox(m_hWndOwner, ExtractionFailureText(lines), MB_OK | MB_ICONEXCLAMATION);
}

void CWindowRunHost::HideForScan() {
    if (m_hWndScan != nullptr) {
        ShowWindow(m_hWndScan, SW_HIDE);
    }
}

void CWindowRunHost::ShowAfterScan() {
    if (m_hWndScan != nullptr) {
        ShowWindow(m_hWndScan, SW_SHOW);
        SetForegroundWindow(m_hWndScan);
    }
}

int CWindowRunHost::ConfirmScan() {
    return m_fnConfirmScan(m_hWndOwner);
}

void CWindowRunHost::AddRecord(const std::string& recordFile) {
    if (m_hWndRecords != nullptr) {
        SendMessageW(m_hWndRecords, ui::WM_ADD_RECORD, reinterpret_cast<WPARAM>(recordFile.c_str()),
                     0);
    }
}

void CWindowRunHost::RefreshRecords(ExtractionOutcome outcome) {
    if (m_fnRefresh) {
        m_fnRefresh(outcome);
    }
}
