#include "ui/DialogBase.h"

namespace ui {

CDialogBase::~CDialogBase() {
    if (m_hWnd != nullptr && !m_bModal) {
        SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
        DestroyWindow(m_hWnd);
    }
}

INT_PTR CDialogBase::DoModal(HWND parent) {
    m_bModal = true;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    if (m_pTemplate != nullptr) {
        return DialogBoxIndirectParamW(instance, m_pTemplate, parent, &DialogProc, self);
    }
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(m_nTemplateId), parent, &DialogProc, self);
}

bool CDialogBase::CreateModeless(HWND parent) {
    m_bModal = false;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    const HWND hwnd =
        m_pTemplate != nullptr
            ? CreateDialogIndirectParamW(instance, m_pTemplate, parent, &DialogProc, self)
            : CreateDialogParamW(instance, MAKEINTRESOURCEW(m_nTemplateId), parent, &DialogProc,
                                 self);
    return hwnd != nullptr;
}

bool CDialogBase::OnCommand(UINT id, UINT) {
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

bool CDialogBase::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) {
    return false;
}

void CDialogBase::EndDialog(INT_PTR result) {
    if (m_hWnd == nullptr) {
        return;
    }
    if (m_bModal) {
        ::EndDialog(m_hWnd, result);
    } else {
        DestroyWindow(m_hWnd);
    }
}

void CDialogBase::DestroyBoundWindow() {
    if (m_hWnd != nullptr && !m_bModal) {
        DestroyWindow(m_hWnd);  // WM_NCDESTROY unbinds it
    }
}

INT_PTR CALLBACK CDialogBase::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialogBase*>(lParam);
        dialog->m_hWnd = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    }
    auto* dialog = reinterpret_cast<CDialogBase*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (dialog == nullptr) {
        return FALSE;
    }
    INT_PTR result = FALSE;
    try {
        result = dialog->Dispatch(message, wParam, lParam);
    } catch (...) {
        result = FALSE;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        dialog->m_hWnd = nullptr;
    }
    return result;
}

INT_PTR CDialogBase::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
        default: {
            INT_PTR result = FALSE;
            return OnMessage(message, wParam, lParam, result) ? result : FALSE;
        }
    }
}

}  // namespace ui
