#include "view/win/ListDropSource.h"

namespace {

// The platform's default drag delay, in milliseconds.
constexpr DWORD kDragDelay = 200;

bool EndsTheWait(const MSG& msg) {
    switch (msg.message) {
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            return true;
        case WM_KEYDOWN:
            return msg.wParam == VK_ESCAPE;
        default:
            return false;
    }
}

}  // namespace

ui::ComPtr<CListDropSource> CListDropSource::Create() {
    return ui::ComPtr<CListDropSource>::Adopt(new CListDropSource());
}

bool CListDropSource::BeginDrag(HWND hwnd, POINT screenPoint) {
    m_bDragStarted = false;
    const int cx = GetSystemMetrics(SM_CXDRAG);
    const int cy = GetSystemMetrics(SM_CYDRAG);
    const RECT square{screenPoint.x - cx, screenPoint.y - cy, screenPoint.x + cx + 1,
                      screenPoint.y + cy + 1};
    const DWORD start = GetTickCount();
    SetCapture(hwnd);
    for (;;) {
        // Another window took the mouse: no drag.
        if (GetCapture() != hwnd) {
            break;
        }
        MSG msg;
        if (PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE) ||
            PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
            if (EndsTheWait(msg)) {
                break;
            }
            if (msg.message == WM_MOUSEMOVE && !PtInRect(&square, msg.pt)) {
                m_bDragStarted = true;
                break;
            }
            continue;
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= kDragDelay) {
            m_bDragStarted = true;
            break;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kDragDelay - elapsed, QS_MOUSE | QS_KEY);
    }
    if (GetCapture() == hwnd) {
        ReleaseCapture();
    }
    return m_bDragStarted;
}

HRESULT CListDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    // Esc or the other button cancels; letting go of the left button drops.
    if (escapePressed || (keyState & MK_RBUTTON) != 0) {
        return DRAGDROP_S_CANCEL;
    }
    if ((keyState & MK_LBUTTON) == 0) {
        return DRAGDROP_S_DROP;
    }
    return S_OK;
}

HRESULT CListDropSource::GiveFeedback(DWORD) {
    return DRAGDROP_S_USEDEFAULTCURSORS;
}
