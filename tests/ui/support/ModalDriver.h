#pragma once

// Drives modal dialogs and message boxes from inside their own modal loop: a thread timer
// runs the test's steps on the window that the loop shows, so a test never blocks.

#include <windows.h>

#include <functional>
#include <string>

namespace test {

// The visible top-level window of this thread with window class className (for example
// "#32770", dialogs and message boxes) other than except; null when there is none.
HWND FindThreadWindow(const wchar_t* className, HWND except = nullptr);

// The text of a window, or of its child control id, as Shift_JIS.
std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int id);

// The texts of every static control of a dialog (a message box's message is one of them).
std::string AllStaticTexts(HWND dialog);

// Calls step every few milliseconds with the top dialog of the thread (or null) until it
// returns true; the timer is gone when run returns. Every call of step happens inside run's
// modal loop. Gives up after timeoutMs.
class CModalDriver {
public:
    using Step = std::function<bool(HWND dialog)>;
    CModalDriver(Step step, UINT timeoutMs = 10000);
    ~CModalDriver();
    CModalDriver(const CModalDriver&) = delete;
    CModalDriver& operator=(const CModalDriver&) = delete;

    bool Finished() const { return m_bFinished; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD);

    Step m_step;
    UINT_PTR m_nTimer = 0;
    DWORD m_nDeadline = 0;
    bool m_bFinished = false;
};

// Lets the thread's waiting messages run for about milliseconds.
void PumpFor(DWORD milliseconds);

}  // namespace test
