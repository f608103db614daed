#pragma once

// The list window's scroll bars and pixels kept in step with the list's layout: the bars'
// ranges, pages and thumbs, a scroll as a bar asks for it, and each change of the layout
// applied to the window (a pure scroll moves the pixels and paints what comes into view;
// anything else repaints what changed).

#include "view/ListLayout.h"

#include <windows.h>

class CListScrollBars {
public:
    explicit CListScrollBars(CListLayout& layout) : m_layout(layout) {}

    // WM_SIZE of hwnd: the layout's client size, then the bars.
    void OnSize(HWND hwnd);

    // WM_VSCROLL (SB_VERT) and WM_HSCROLL (SB_HORZ) with their request code.
    void OnScroll(HWND hwnd, int bar, int code);

    // Repaints and scrolls hwnd as the last changes of the layout ask; with no window yet,
    // only takes the changes.
    void ApplyUpdate(HWND hwnd);

private:
    void UpdateBars(HWND hwnd);

    CListLayout& m_layout;
    list::Point m_ptShown;  // the scroll position the window's pixels show
    bool m_bUpdatingBars = false;
};
