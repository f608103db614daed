#pragma once

// The base of the program's dialogs: the object is bound to its dialog at WM_INITDIALOG and
// the dialog procedure dispatches to virtual handlers. Callers set the public members of a
// dialog before its modal run and read them after OK. No exception leaves the dialog
// procedure.

#include <windows.h>

namespace ui {

class CDialogBase {
public:
    // templateId: the dialog resource of the program's module.
    explicit CDialogBase(UINT templateId) : m_nTemplateId(templateId) {}
    // An in-memory template (which must outlive the dialog), for dialogs built by code.
    explicit CDialogBase(const DLGTEMPLATE* dialogTemplate) : m_pTemplate(dialogTemplate) {}
    virtual ~CDialogBase();
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;

    // Runs the dialog modally; returns the result given to EndDialog, or -1 when it could
    // not be created.
    INT_PTR DoModal(HWND parent);

    // Creates the dialog modelessly; false when it could not be created.
    bool CreateModeless(HWND parent);

    HWND GetHwnd() const { return m_hWnd; }

protected:
    // Returns what WM_INITDIALOG returns (TRUE: the system sets the focus).
    virtual BOOL OnInitDialog() { return TRUE; }
    // A command from a control or the keyboard; returns false for the default handling of
    // IDOK and IDCANCEL (OnOK, OnCancel).
    virtual bool OnCommand(UINT id, UINT code);
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Any other message; returns false to leave it to the system.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

    // Ends a modal run with result, or destroys a modeless dialog.
    void EndDialog(INT_PTR result);

    // Destroys a modeless dialog while it is still bound, so that its WM_DESTROY handler
    // runs on this object; called first in the destructor of a class whose WM_DESTROY
    // handler releases something, the handler runs whichever ends first.
    void DestroyBoundWindow();

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nTemplateId = 0;
    const DLGTEMPLATE* m_pTemplate = nullptr;
    bool m_bModal = false;
};

}  // namespace ui
