#pragma once

// The program's own window messages. The drop target talks to the window it is registered
// on through WM_GET_PENDING_LIST, WM_DROP_ZONE_TEST, WM_EXTRACT_PENDING and
// WM_UNSENT_PENDING; the runs and the drop window reach the list view and the main frame
// through the others. All are sent on the user-interface thread.

#include <windows.h>

namespace ui {

// Process the pending list by extraction (posted, both arguments 0).
inline constexpr UINT WM_EXTRACT_PENDING = WM_APP + 1;
// Returns a pointer to the window's PendingMessageList.
inline constexpr UINT WM_GET_PENDING_LIST = WM_APP + 2;
// To the main frame: exit the application; returns 1.
inline constexpr UINT WM_EXIT_APPLICATION = WM_APP + 3;
// Drop-zone test: wParam = client x in the low 16 bits, y in the high 16 bits; returns
// 0 (no drop here), 1 (extraction) or another value (unsent conversion). A window whose run
// is still in progress answers 0: a drop then would refill the list the run walks.
inline constexpr UINT WM_DROP_ZONE_TEST = WM_APP + 4;
// Process the pending list by unsent conversion (posted, both arguments 0).
inline constexpr UINT WM_UNSENT_PENDING = WM_APP + 5;
// To the list view: wParam = const char* record-file path (Shift_JIS, NUL-terminated);
// inserts the record at the top and saves the list; returns 1.
inline constexpr UINT WM_ADD_RECORD = WM_APP + 6;
// To the list view: reconcile, open the first record, repaint.
inline constexpr UINT WM_REFRESH_RECORDS = WM_APP + 7;
// To the list view: re-read the allowed list and repaint.
inline constexpr UINT WM_RELOAD_ALLOWED = WM_APP + 8;

inline WPARAM MakeZoneTestArgument(int x, int y) {
    return static_cast<WPARAM>((static_cast<DWORD>(y & 0xFFFF) << 16) |
                               static_cast<DWORD>(x & 0xFFFF));
}

}  // namespace ui
