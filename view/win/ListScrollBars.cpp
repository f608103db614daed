#include "view/win/ListScrollBars.h"

#include "view/win/ListRect.h"

#include <algorithm>

void CListScrollBars::OnSize(HWND hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    m_layout.SetClientSize({client.right - client.left, client.bottom - client.top});
    if (!m_bUpdatingBars) {
        UpdateBars(hwnd);
        ApplyUpdate(hwnd);
    }
}

void CListScrollBars::UpdateBars(HWND hwnd) {
    // Showing or hiding a bar resizes the client area, which changes the bars again; a few
    // rounds settle it.
    m_bUpdatingBars = true;
    for (int round = 0; round < 3; ++round) {
        const list::Size total = m_layout.GetTotalSize();
        const list::Size client = m_layout.GetClientSize();
        const list::Point position = m_layout.GetScrollPosition();
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMax = std::max(0, total.cy - 1);
        info.nPage = static_cast<UINT>(std::max(0, client.cy));
        info.nPos = position.y;
        SetScrollInfo(hwnd, SB_VERT, &info, TRUE);
        info.nMax = std::max(0, total.cx - 1);
        info.nPage = static_cast<UINT>(std::max(0, client.cx));
        info.nPos = position.x;
        SetScrollInfo(hwnd, SB_HORZ, &info, TRUE);
        RECT rect;
        GetClientRect(hwnd, &rect);
        const list::Size now{rect.right - rect.left, rect.bottom - rect.top};
        if (now == client) {
            break;
        }
        m_layout.SetClientSize(now);
    }
    m_bUpdatingBars = false;
}

void CListScrollBars::OnScroll(HWND hwnd, int bar, int code) {
    const bool bVertical = bar == SB_VERT;
    const list::Point position = m_layout.GetScrollPosition();
    const list::Point limit = m_layout.GetScrollLimit();
    const int line = bVertical ? m_layout.GetLineSize().cy : m_layout.GetLineSize().cx;
    const int page = bVertical ? m_layout.GetPageSize().cy : m_layout.GetPageSize().cx;
    int value = bVertical ? position.y : position.x;
    switch (code) {
        case SB_LINEUP:
            value -= line;
            break;
        case SB_LINEDOWN:
            value += line;
            break;
        case SB_PAGEUP:
            value -= page;
            break;
        case SB_PAGEDOWN:
            value += page;
            break;
        case SB_TOP:
            value = 0;
            break;
        case SB_BOTTOM:
            value = bVertical ? limit.y : limit.x;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_TRACKPOS;
            GetScrollInfo(hwnd, bar, &info);
            value = info.nTrackPos;
            break;
        }
        default:
            return;
    }
    m_layout.ScrollToPosition(bVertical ? list::Point{position.x, value}
                                        : list::Point{value, position.y});
    ApplyUpdate(hwnd);
}

void CListScrollBars::ApplyUpdate(HWND hwnd) {
    const list::Update update = m_layout.TakeUpdate();
    if (hwnd == nullptr) {
        return;
    }
    list::Point position = m_layout.GetScrollPosition();
    bool bInvalidateAll = update.bInvalidateAll;
    if (update.bExtentChanged) {
        // A bar that comes or goes resizes the client area and may move the position.
        UpdateBars(hwnd);
        if (!m_layout.TakeUpdate().IsEmpty() || position != m_layout.GetScrollPosition()) {
            position = m_layout.GetScrollPosition();
            bInvalidateAll = true;
        }
    } else if (update.bScrolled) {
        // The ranges stand; only the thumbs move.
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_POS;
        info.nPos = position.y;
        SetScrollInfo(hwnd, SB_VERT, &info, TRUE);
        info.nPos = position.x;
        SetScrollInfo(hwnd, SB_HORZ, &info, TRUE);
    }
    if (bInvalidateAll || (update.bScrolled && !update.arrInvalid.empty())) {
        InvalidateRect(hwnd, nullptr, TRUE);
    } else {
        if (position != m_ptShown) {
            // Only a scroll: the pixels move, and what comes into view is painted.
            ScrollWindowEx(hwnd, m_ptShown.x - position.x, m_ptShown.y - position.y, nullptr,
                           nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
        }
        for (const list::Rect& rect : update.arrInvalid) {
            const RECT r = ToRect(rect);
            InvalidateRect(hwnd, &r, TRUE);
        }
    }
    m_ptShown = position;
}
