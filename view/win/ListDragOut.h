#pragma once

// A drag out of the attachment list: after the platform's drag detection, the selected
// files go as a shell file list, with the program's private marker beside them (a drop of
// them back onto the program is then taken and ignored).

#include "view/win/ListDesktop.h"

#include <windows.h>

#include <string>

struct DragOutResult {
    bool bStarted = false;  // the detection saw a drag (else it took the button's release)
    DWORD effect = DROPEFFECT_NONE;
};

// hwnd: the list window, which captures the mouse for the detection. screenPoint: the press.
// fileList: the CF_HDROP block of the selection. Nothing is dragged when memory for the
// data could not be had.
DragOutResult DragOutFiles(HWND hwnd, POINT screenPoint, const std::string& fileList,
                           IListDesktop& desktop);
