#include "ui/support/DialogDriver.h"

#include "app/AppStrings.h"
#include "platform/win32/WideText.h"
#include "ui/ControlText.h"

#include <gtest/gtest.h>

namespace test {

namespace {

CDialogDriver* g_pActiveDriver = nullptr;

constexpr UINT kTickMs = 25;

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM param) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

struct FindState {
    const wchar_t* className;
    HWND except;
    HWND found;
};

BOOL CALLBACK FindProc(HWND window, LPARAM lParam) {
    auto& state = *reinterpret_cast<FindState*>(lParam);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (window != state.except && IsWindowVisible(window) && lstrcmpW(name, state.className) == 0) {
        state.found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStatic(HWND window, LPARAM lParam) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (lstrcmpiW(name, L"Static") == 0) {
        *reinterpret_cast<std::string*>(lParam) += WindowText(window) + "|";
    }
    return TRUE;
}

bool IsDialogWindow(HWND hwnd) {
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    return std::wstring(name) == L"#32770";
}

}  // namespace

CDialogDriver::CDialogDriver(DWORD timeoutMs) : m_nTimeoutMs(timeoutMs) {}

CDialogDriver::~CDialogDriver() {
    if (m_nTimer != 0) {
        KillTimer(nullptr, m_nTimer);
    }
    if (g_pActiveDriver == this) {
        g_pActiveDriver = nullptr;
    }
}

CDialogDriver& CDialogDriver::Then(Step step) {
    m_arrSteps.push_back(std::move(step));
    return *this;
}

void CDialogDriver::Start() {
    g_pActiveDriver = this;
    m_nStarted = GetTickCount();
    m_nTimer = SetTimer(nullptr, 0, kTickMs, &CDialogDriver::OnTimer);
}

void CALLBACK CDialogDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_pActiveDriver != nullptr) {
        g_pActiveDriver->Tick();
    }
}

void CDialogDriver::Tick() {
    if (m_bBusy) {
        return;
    }
    m_bBusy = true;
    if (GetTickCount() - m_nStarted > m_nTimeoutMs) {
        if (!m_bTimedOut) {
            m_bTimedOut = true;
            ADD_FAILURE() << "the dialogs did not reach step " << m_nNext + 1 << " of "
                          << m_arrSteps.size();
        }
        for (const HWND hwnd : ThreadWindows()) {
            if (IsDialogWindow(hwnd)) {
                EndDialog(hwnd, IDCANCEL);
            }
        }
    } else if (m_nNext < m_arrSteps.size() && m_arrSteps[m_nNext]()) {
        ++m_nNext;
    }
    m_bBusy = false;
}

void PumpFor(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (static_cast<LONG>(GetTickCount() - end) < 0);
}

HWND FindThreadWindow(const wchar_t* className, HWND except) {
    FindState state{className, except, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &FindProc, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

std::string WindowText(HWND window) {
    return ui::GetWindowTextSjis(window);
}

std::string AllStaticTexts(HWND dialog) {
    std::string texts;
    EnumChildWindows(dialog, &CollectStatic, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

HWND FindActiveWindow(const std::string& caption) {
    for (const HWND hwnd : ThreadWindows()) {
        if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) && WindowText(hwnd) == caption) {
            return hwnd;
        }
    }
    return nullptr;
}

HWND FindProgramMessage() {
    return FindActiveWindow(app::kAppTitle);
}

std::string MessageText(HWND messageBox) {
    // The longest static text of the box is its message (the icon has no text).
    std::string text;
    for (HWND child = GetWindow(messageBox, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        GetClassNameW(child, name, 16);
        if (_wcsicmp(name, L"Static") == 0) {
            const std::string childText = WindowText(child);
            if (childText.size() > text.size()) {
                text = childText;
            }
        }
    }
    return text;
}

void PostCommand(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

void SetItemText(HWND dialog, int id, const std::string& text) {
    SetWindowTextW(GetDlgItem(dialog, id), platform::win32::ToWide(text).c_str());
}

std::vector<std::string> ListBoxLines(HWND dialog, int id) {
    const HWND list = GetDlgItem(dialog, id);
    std::vector<std::string> lines;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(
            static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0)) +
                1,
            L'\0');
        text.resize(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                                          reinterpret_cast<LPARAM>(text.data()))));
        lines.push_back(platform::win32::FromWide(text));
    }
    return lines;
}

std::vector<std::string> ComboBoxItems(HWND dialog, int id) {
    const HWND box = GetDlgItem(dialog, id);
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(box, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<std::size_t>(
                              SendMessageW(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0)) +
                              1,
                          L'\0');
        text.resize(static_cast<std::size_t>(SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                                          reinterpret_cast<LPARAM>(text.data()))));
        items.push_back(platform::win32::FromWide(text));
    }
    return items;
}

void FocusItem(HWND dialog, int id) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE);
}

}  // namespace test
