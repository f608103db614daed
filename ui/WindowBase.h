#pragma once

// The base of the program's windows: the object is bound to its window when the window is
// created (WM_NCCREATE) and unbound when it is gone (WM_NCDESTROY); each class handles its
// messages in one OnMessage that dispatches to typed On... handlers. No exception leaves the
// window procedure: one that reaches it ends the message with the default result.

#include <windows.h>

namespace ui {

class CWindowBase {
public:
    CWindowBase() = default;
    virtual ~CWindowBase();
    CWindowBase(const CWindowBase&) = delete;
    CWindowBase& operator=(const CWindowBase&) = delete;

    // Registers the class (once per name, with the given class style, cursor and
    // background) and creates the window. False when the window could not be created.
    bool Create(const wchar_t* className, DWORD exStyle, DWORD style, const wchar_t* title,
                const RECT& rect, HWND parent, HMENU menu = nullptr, UINT classStyle = 0);

    HWND GetHwnd() const { return m_hWnd; }

    // The object bound to a window of this kit, or null.
    static CWindowBase* FromHandle(HWND hwnd);

protected:
    // Handles one message; returns false to pass it to the default procedure.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

    // The window is gone; the object may delete itself here.
    virtual void OnFinalMessage() {}

    // Destroys the window while it is still bound, so that its WM_DESTROY handler runs on
    // this object. A class whose WM_DESTROY handler releases something calls it first in its
    // destructor: the handler then runs whichever ends first, the window or the object.
    // (Without it the base's destructor unbinds the window before destroying it.)
    void DestroyBoundWindow();

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace ui
