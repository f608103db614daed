#pragma once

// Drives modal dialogs from inside their own message loops: a thread timer runs the steps of
// a script one after another while DoModal (or a message box, or the open-file dialog) pumps
// this thread's messages. A step returns false to be tried again at the next tick, so it can
// wait for a window to appear. Steps post the commands that open further modal loops, so
// that no step blocks. After the time limit every dialog of the thread is ended with
// IDCANCEL and the test fails: a test never hangs in a modal loop.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace test {

class CDialogDriver {
public:
    using Step = std::function<bool()>;

    explicit CDialogDriver(DWORD timeoutMs = 20000);
    ~CDialogDriver();
    CDialogDriver(const CDialogDriver&) = delete;
    CDialogDriver& operator=(const CDialogDriver&) = delete;

    CDialogDriver& Then(Step step);

    // Starts the ticks; call it just before the modal run.
    void Start();

    // Whether every step has run.
    bool IsDone() const { return m_nNext == m_arrSteps.size(); }
    std::size_t NextStep() const { return m_nNext; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Tick();

    std::vector<Step> m_arrSteps;
    std::size_t m_nNext = 0;
    DWORD m_nTimeoutMs;
    DWORD m_nStarted = 0;
    UINT_PTR m_nTimer = 0;
    bool m_bBusy = false;
    bool m_bTimedOut = false;
};

// Lets the thread's waiting messages run for about milliseconds.
void PumpFor(DWORD milliseconds);

// The visible top-level window of this thread with window class className (for example
// "#32770", dialogs and message boxes) other than except; null when there is none.
HWND FindThreadWindow(const wchar_t* className, HWND except = nullptr);

// The dialog or message box of this thread that is up, or null.
inline HWND TopDialog() {
    return FindThreadWindow(L"#32770");
}

// The text of a window as Shift_JIS.
std::string WindowText(HWND window);

// The texts of every static control of a dialog, each followed by "|" (a message box's
// message is one of them).
std::string AllStaticTexts(HWND dialog);

// The visible and enabled top-level window of this thread with the given caption (the one
// that takes input while its owners wait), or null.
HWND FindActiveWindow(const std::string& caption);

// The program's message box (the application title as caption) while it takes input, or null.
HWND FindProgramMessage();

// The text of a message box.
std::string MessageText(HWND messageBox);

// Presses a button by posting its command, so that a modal loop it opens does not run
// inside the step.
void PostCommand(HWND dialog, int id);

std::string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::string& text);

// The lines of a list box, in its order.
std::vector<std::string> ListBoxLines(HWND dialog, int id);

// The items of a combo box's list, in its order.
std::vector<std::string> ComboBoxItems(HWND dialog, int id);

// Moves the focus to the control (as Tab or a click would).
void FocusItem(HWND dialog, int id);

}  // namespace test
