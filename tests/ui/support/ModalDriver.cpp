#include "ui/support/ModalDriver.h"

#include "ui/ControlText.h"

#include <map>

namespace test {

namespace {

std::map<UINT_PTR, CModalDriver*>& Drivers() {
    static std::map<UINT_PTR, CModalDriver*> drivers;
    return drivers;
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

}  // namespace

HWND FindThreadWindow(const wchar_t* className, HWND except) {
    FindState state{className, except, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &FindProc, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

std::string WindowText(HWND window) {
    return ui::GetWindowTextSjis(window);
}

std::string ControlText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

std::string AllStaticTexts(HWND dialog) {
    std::string texts;
    EnumChildWindows(dialog, &CollectStatic, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

CModalDriver::CModalDriver(Step step, UINT timeoutMs)
    : m_step(std::move(step)), m_nDeadline(GetTickCount() + timeoutMs) {
    m_nTimer = SetTimer(nullptr, 0, 20, &OnTimer);
    Drivers()[m_nTimer] = this;
}

CModalDriver::~CModalDriver() {
    KillTimer(nullptr, m_nTimer);
    Drivers().erase(m_nTimer);
}

void CALLBACK CModalDriver::OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    const auto it = Drivers().find(id);
    if (it == Drivers().end() || it->second->m_bFinished) {
        return;
    }
    CModalDriver& driver = *it->second;
    const bool timedOut = static_cast<LONG>(GetTickCount() - driver.m_nDeadline) > 0;
    if (timedOut || driver.m_step(FindThreadWindow(L"#32770"))) {
        driver.m_bFinished = !timedOut;
        KillTimer(nullptr, id);
        if (timedOut) {
            // Close whatever is up so the test fails instead of hanging.
            if (HWND dialog = FindThreadWindow(L"#32770")) {
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            }
        }
    }
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

}  // namespace test
