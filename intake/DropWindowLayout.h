#pragma once

// The decisions of the drop window, the small capsule on the desktop that takes dropped
// messages: its size and shape, its three zones, which of them takes a drop, which parts
// drag the window, what a click does, its tooltips and where it is placed. The window itself
// only asks.
//
// The numbers are those of the picture at 96 dots per inch; every call takes the scale of
// the monitor the window is on (96 dots per inch when left out). The window matches its
// picture pixel for pixel, so above 250 % it stays at its 250 % size.

#include "app/DpiScale.h"
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

struct WindowSize {
    int cx = 0;
    int cy = 0;
};

// A part of the window's shape: a rectangle with rounded corners whose ellipse is
// nEllipse pixels across (as the platform's rounded-rectangle region takes it).
struct RegionPart {
    ZoneRect rect;
    int nEllipse = 0;
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

    using Scale = dpi::CDpiScale;

    // The window's size: 120 by 150 at 96 dots per inch, 180 by 225 at 144.
    static WindowSize Size(const Scale& scale = Scale());
    // The zones at a scale.
    static ZoneRect MainZone(const Scale& scale = Scale());
    static ZoneRect CloseZone(const Scale& scale = Scale());
    static ZoneRect UnsentZone(const Scale& scale = Scale());

    // The window's shape: the capsule (a rounded rectangle over the whole window whose
    // corner ellipse is as wide as the window) and the close square sticking out of it.
    static std::vector<RegionPart> Shape(const Scale& scale = Scale());

    // What a drop at point asks for. The unsent zone takes drops only while the unsent
    // function is switched on (read by the caller at each test).
    static DropZone TestZone(DropPoint point, bool useUnsentFunction, const Scale& scale = Scale());

    // Whether point is client area for the mouse: the main and close zones are; the rest of
    // the window behaves as a caption, so dragging there moves the window.
    static bool IsClientPoint(DropPoint point, const Scale& scale = Scale());

    enum class ClickAction {
        None,
        OpenList,  // press and release both in the main zone
        Exit,      // press and release both on the close mark
    };
    static ClickAction Click(DropPoint down, DropPoint up, const Scale& scale = Scale());

    // The tooltips, fixed when the window is created: the main zone, the unsent zone when
    // the function is on, and the close mark, with ids from 1 in that order.
    static std::vector<DropWindowTool> Tooltips(bool useUnsentFunction,
                                                const Scale& scale = Scale());

    // The window's top-left corner: its right edge 21 pixels (at 96 dots per inch) left of
    // the work area's right edge, its top a quarter of the work area's height down.
    static ScreenPosition Place(const WorkArea& workArea, int windowWidth,
                                const Scale& scale = Scale());

    // Where the window goes when it moves to a monitor of another scale: it keeps its
    // distance (scaled) from the nearer side edge of the work area it was in, on the new
    // work area, and the top the platform suggests, kept within the new work area.
    static ScreenPosition Follow(const WorkArea& before, const ZoneRect& window,
                                 const Scale& scaleBefore, const WorkArea& after,
                                 const Scale& scaleAfter, int suggestedTop);
};
