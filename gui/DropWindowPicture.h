#pragma once

// The drop window's face at a display scale: the artwork drawn for that scale, or under a
// high-contrast theme the capsule, its zones and the close mark drawn in the theme's
// colours; and the window's shape at the same scale.

#include "app/ColourScheme.h"
#include "app/DpiScale.h"

#include <windows.h>

namespace dropwindow {

// The picture, as large as the window at scale. The caller deletes it.
HBITMAP MakePicture(const dpi::CDpiScale& scale, const CColourScheme& scheme);

// The window region at scale: the capsule with the close square. The caller owns it (until
// a window takes it).
HRGN MakeRegion(const dpi::CDpiScale& scale);

}  // namespace dropwindow
