#pragma once

// The display under a window, for the windows' own drawing: the dots per inch of the
// monitor it is on, its pictures at that scale, and the colours of the theme of the moment.

#include "app/ColourScheme.h"
#include "app/DpiScale.h"

#include <windows.h>

#include <optional>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

namespace display {

// The dots per inch of the monitor hwnd is on; where the platform cannot tell per monitor
// (before Windows 10), the screen's. A null hwnd gives the screen's. Tests can set the value
// (a process under Wine has one resolution, fixed at its start).
int GetWindowDpi(HWND hwnd);
void SetDpiForTests(std::optional<int> dpi);
dpi::CDpiScale GetWindowScale(HWND hwnd);

// Bitmap resource baseId (width96 by height96 pixels at 100 %) for scale: the picture drawn
// for the picture scale it picks, shrunk to its size at scale when that is smaller (never
// stretched up), or the one at 100 % when the program carries no other. The caller deletes
// it.
HBITMAP LoadPicture(int baseId, const dpi::CDpiScale& scale, int width96, int height96);

// Icon resource id at size by size pixels, taken from the image of that size in the icon
// (or shrunk from a larger one). The caller destroys it.
HICON LoadIconAt(int id, int size);

// Draws icon at x, y: as it is when size is its own size, otherwise shrunk to size.
void DrawIconAt(HDC dc, int x, int y, HICON icon, int iconSize, int size);

// Whether a high-contrast theme is on. Tests can decide it in place of the system (on real
// Windows they turn the theme on itself; under Wine the setting does not exist).
bool IsHighContrast();
void SetHighContrastForTests(std::optional<bool> on);

// The scheme of the moment: the design's colours, or the system's under high contrast.
CColourScheme CurrentColourScheme();
COLORREF ToColorRef(Rgb colour);

// Moves hwnd to the rectangle the platform suggests with WM_DPICHANGED (lParam).
void MoveToSuggestedRect(HWND hwnd, LPARAM lParam);

}  // namespace display
