#pragma once

// Where a dialog appears.

#include <windows.h>

namespace ui {

// Centres dialog over its owner, or over the work area when it has none, and keeps it
// inside the work area of the owner's monitor.
void CenterOverOwner(HWND dialog);

}  // namespace ui
