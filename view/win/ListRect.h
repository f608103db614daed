#pragma once

// A rectangle of the list's layout as the window system takes it.

#include "view/ListGeometry.h"

#include <windows.h>

inline RECT ToRect(const list::Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}
