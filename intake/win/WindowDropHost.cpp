#include "intake/win/WindowDropHost.h"

#include "intake/win/ProgressDialog.h"
#include "res/resource.h"
#include "ui/AppMessages.h"
#include "ui/Resources.h"

bool CWindowDropHost::HasPendingList() {
    if (m_pPending == nullptr) {
        m_pPending = reinterpret_cast<PendingMessageList*>(
            SendMessageW(m_hWnd, ui::WM_GET_PENDING_LIST, 0, 0));
    }
    return m_pPending != nullptr;
}

PendingMessageList& CWindowDropHost::GetPendingList() {
    return HasPendingList() ? *m_pPending : m_arrUnused;
}

DropZone CWindowDropHost::TestDropZone(DropPoint point) {
    const LRESULT answer =
        SendMessageW(m_hWnd, ui::WM_DROP_ZONE_TEST, ui::MakeZoneTestArgument(point.x, point.y), 0);
    if (answer == 0) {
        return DropZone::None;
    }
    return answer == 1 ? DropZone::Extraction : DropZone::Unsent;
}

void CWindowDropHost::PostExtraction() {
    PostMessageW(m_hWnd, ui::WM_EXTRACT_PENDING, 0, 0);
}

void CWindowDropHost::PostUnsentConversion() {
    PostMessageW(m_hWnd, ui::WM_UNSENT_PENDING, 0, 0);
}

std::unique_ptr<IProgressSink> CWindowDropHost::CreateProgress() {
    auto dialog = std::make_unique<CProgressDialog>(IDS_PROGRESS_CAPTION);
    dialog->Create(m_hWnd);
    return dialog;
}

void CWindowDropHost::ShowWarning(const std::string& text) {
    ui::ShowMessageBox(m_hWnd, text, MB_OK | MB_ICONEXCLAMATION);
}
