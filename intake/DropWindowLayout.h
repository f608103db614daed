#pragma once

// The decisions of the drop window, the small capsule on the desktop that takes dropped
// messages: its three zones, which of them takes a drop, which parts drag the window, what
// a click does, its tooltips and where it is placed. The window itself only asks.

#include "intake/DropZone.h"

#include <string>
#include <vector>

// A rectangle in client pixels; a point is inside when left <= x < right and
// top <= y < bottom.
struct ZoneRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool Contains(DropPoint point) const {
        return left <= point.x && point.x < right && top <= point.y && point.y < bottom;
    }
};

// The work area of the desktop (the screen without the task bar), in screen pixels.
struct WorkArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct ScreenPosition {
    int x = 0;
    int y = 0;
};

struct DropWindowTool {
    unsigned id = 0;
    ZoneRect zone;
    std::string text;  // Shift_JIS
};

class CDropWindowLayout {
public:
    // The picture is 120 by 150 pixels: a capsule with a close square sticking out at the
    // top right.
    static constexpr int kWidth = 120;
    static constexpr int kHeight = 150;
    static constexpr ZoneRect kMainZone{17, 38, 100, 85};
    static constexpr ZoneRect kCloseZone{100, 1, 119, 20};
    static constexpr ZoneRect kUnsentZone{17, 100, 100, 130};

    // What a drop at point asks for. The unsent zone takes drops only while the unsent
    // function is switched on (read by the caller at each test).
    static DropZone TestZone(DropPoint point, bool useUnsentFunction);

    // Whether point is client area for the mouse: the main and close zones are; the rest of
    // the window behaves as a caption, so dragging there moves the window.
    static bool IsClientPoint(DropPoint point);

    enum class ClickAction {
        None,
        OpenList,  // press and release both in the main zone
        Exit,      // press and release both on the close mark
    };
    static ClickAction Click(DropPoint down, DropPoint up);

    // The tooltips, fixed when the window is created: the main zone, the unsent zone when
    // the function is on, and the close mark, with ids from 1 in that order.
    static std::vector<DropWindowTool> Tooltips(bool useUnsentFunction);

    // The window's top-left corner: its right edge 21 pixels left of the work area's right
    // edge, its top a quarter of the work area's height down.
    static ScreenPosition Place(const WorkArea& workArea, int windowWidth);
};
