#include "intake/win/ProgressDialog.h"

#include "platform/win32/WideText.h"
#include "res/resource.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

// The nearest window at or above hwnd that is not a child window: the one the user could
// start another command in while the dialog is up.
HWND FindOwner(HWND hwnd) {
    while (hwnd != nullptr && (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) != 0) {
        hwnd = GetParent(hwnd);
    }
    return hwnd;
}

std::wstring LoadResourceString(UINT id) {
    const wchar_t* text = nullptr;
    const int length =
        LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length))
                                         : std::wstring();
}

}  // namespace

CProgressDialog::CProgressDialog(UINT captionId)
    : ui::CDialogBase(IDD_PROGRESS),
      m_nCaptionId(captionId != 0 ? captionId : IDS_PROGRESS_CAPTION) {}

CProgressDialog::~CProgressDialog() {
    // The owner comes back first, so that it is the window activated when the dialog goes.
    ReenableOwner();
    if (m_hWnd != nullptr) {
        DestroyWindow(m_hWnd);
    }
}

bool CProgressDialog::Create(HWND parent) {
    if (m_hWnd != nullptr) {
        return true;
    }
    // The bar's window class must be registered before the template is read.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    const HWND owner = FindOwner(parent);
    if (owner != nullptr && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        m_hWndOwner = owner;
        m_bOwnerDisabled = true;
    }
    if (!CreateModeless(parent)) {
        ReenableOwner();
        return false;
    }
    return true;
}

void CProgressDialog::ReenableOwner() {
    if (m_bOwnerDisabled && m_hWndOwner != nullptr && IsWindow(m_hWndOwner)) {
        EnableWindow(m_hWndOwner, TRUE);
    }
    m_bOwnerDisabled = false;
    m_hWndOwner = nullptr;
}

BOOL CProgressDialog::OnInitDialog() {
    SendDlgItemMessageW(m_hWnd, IDC_PROGRESS_BAR, PBM_SETRANGE32, static_cast<WPARAM>(m_nLower),
                        static_cast<LPARAM>(m_nUpper));
    SendDlgItemMessageW(m_hWnd, IDC_PROGRESS_BAR, PBM_SETSTEP, static_cast<WPARAM>(m_nStep), 0);
    SendDlgItemMessageW(m_hWnd, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(m_nLower), 0);
    SetWindowTextW(m_hWnd, LoadResourceString(m_nCaptionId).c_str());
    return TRUE;
}

void CProgressDialog::SetStatusText(const std::string& text) {
    if (m_hWnd != nullptr) {
        SetDlgItemTextW(m_hWnd, IDC_PROGRESS_MESSAGE, platform::win32::ToWide(text).c_str());
    }
}

void CProgressDialog::SetPosition(int position) {
    PumpMessages();
    if (m_hWnd == nullptr) {
        return;
    }
    m_nPreviousPosition = static_cast<int>(SendDlgItemMessageW(m_hWnd, IDC_PROGRESS_BAR, PBM_SETPOS,
                                                               static_cast<WPARAM>(position), 0));
    UpdatePercent(position);
}

void CProgressDialog::StepIt() {
    PumpMessages();
    if (m_hWnd == nullptr) {
        return;
    }
    // The bar wraps past its upper bound by itself; the text follows from where it was.
    m_nPreviousPosition =
        static_cast<int>(SendDlgItemMessageW(m_hWnd, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0));
    UpdatePercent(m_nPreviousPosition + m_nStep);
}

bool CProgressDialog::CheckCancel() {
    PumpMessages();
    const bool bCancelled = m_bCancelRequested;
    m_bCancelRequested = false;
    return bCancelled;
}

void CProgressDialog::PumpMessages() {
    // Without a dialog nothing disables the owner, so nothing may run in the caller's loop.
    if (m_hWnd == nullptr) {
        return;
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The loop that asked to end is the application's, not this one.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (m_hWnd != nullptr && IsDialogMessageW(m_hWnd, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void CProgressDialog::UpdatePercent(int position) {
    int percent = (position - m_nLower) * 100 / (m_nUpper - m_nLower);
    // A wrapped bar shows small numbers again, but a full bar reads 100.
    if (percent != 100) {
        percent %= 100;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%d%c", percent, '%');
    const std::wstring wanted = platform::win32::ToWide(text);
    wchar_t current[16] = {};
    GetDlgItemTextW(m_hWnd, IDC_PROGRESS_PERCENT, current, 16);
    // Setting the same text again would make the control flicker.
    if (wanted != current) {
        SetDlgItemTextW(m_hWnd, IDC_PROGRESS_PERCENT, wanted.c_str());
    }
}
