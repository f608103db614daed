#pragma once

// The program's own window messages: the runs and the drop window reach the list view and
// the main frame through them. All are sent on the user-interface thread.

#include <windows.h>

namespace ui {

// To the main frame: exit the application; returns 1 (tests/helpers/WindowControl.cpp posts
// it by its number).
inline constexpr UINT WM_EXIT_APPLICATION = WM_APP + 3;
// To the list view: wParam = const char* record-file path (Shift_JIS, NUL-terminated);
// inserts the record at the top and saves the list; returns 1.
inline constexpr UINT WM_ADD_RECORD = WM_APP + 6;
// To the list view: reconcile, open the first record, repaint.
inline constexpr UINT WM_REFRESH_RECORDS = WM_APP + 7;
// To the list view: re-read the allowed list and repaint.
inline constexpr UINT WM_RELOAD_ALLOWED = WM_APP + 8;

}  // namespace ui
