#pragma once

// What the attachment list window leaves to the desktop: its message boxes, the shell's
// open, the alert dialog and the drag loop of a drag out. CListDesktop shows and runs them;
// a test puts a desktop of its own in its place (CVelmaron1View::SetDesktop).

#include <windows.h>

#include <ole2.h>

#include <string>

class IListDesktop {
public:
    virtual ~IListDesktop() = default;

    // A message box over owner (Shift_JIS text and caption, MB_ flags); returns the button.
    virtual int AskUser(HWND owner, const std::string& text, const std::string& caption,
                        UINT type) = 0;

    // Opens path with the program the shell associates with it; false when that failed.
    virtual bool OpenWithShell(const std::string& path) = 0;

    // The alert dialog over owner, showing the alert file path.
    virtual void ShowAlertFile(HWND owner, const std::string& path) = 0;

    // The drag loop of a drag out (copy only); returns the effect.
    virtual DWORD RunDrag(IDataObject* data, IDropSource* source) = 0;
};

class CListDesktop : public IListDesktop {
public:
    int AskUser(HWND owner, const std::string& text, const std::string& caption,
                UINT type) override;
    bool OpenWithShell(const std::string& path) override;
    void ShowAlertFile(HWND owner, const std::string& path) override;
    DWORD RunDrag(IDataObject* data, IDropSource* source) override;
};
