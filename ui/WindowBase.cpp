#include "ui/WindowBase.h"

namespace ui {

CWindowBase::~CWindowBase() {
    if (m_hWnd != nullptr) {
        // The object goes first: the window must not reach it any more.
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hWnd);
    }
}

bool CWindowBase::Create(const wchar_t* className, DWORD exStyle, DWORD style, const wchar_t* title,
                         const RECT& rect, HWND parent, HMENU menu, UINT classStyle) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass = {};
    if (!GetClassInfoExW(instance, className, &windowClass)) {
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = classStyle;
        windowClass.lpfnWndProc = &CWindowBase::WindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = className;
        if (RegisterClassExW(&windowClass) == 0) {
            return false;
        }
    }
    return CreateWindowExW(exStyle, className, title, style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, parent, menu, instance,
                           this) != nullptr;
}

void CWindowBase::DestroyBoundWindow() {
    if (m_hWnd != nullptr) {
        DestroyWindow(m_hWnd);  // WM_NCDESTROY unbinds it
    }
}

CWindowBase* CWindowBase::FromHandle(HWND hwnd) {
    return reinterpret_cast<CWindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK CWindowBase::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* window = static_cast<CWindowBase*>(create->lpCreateParams);
        window->m_hWnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    CWindowBase* window = FromHandle(hwnd);
    if (window == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    bool bHandled = false;
    try {
        bHandled = window->OnMessage(message, wParam, lParam, result);
    } catch (...) {
        bHandled = false;
    }
    if (!bHandled) {
        result = DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window->m_hWnd = nullptr;
        window->OnFinalMessage();
    }
    return result;
}

}  // namespace ui
