#pragma once

// Where the list window opens: half the work area's width and height (each rounded down),
// centred in the work area (the desktop without the task bar).

struct FrameBounds {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The work area's edges in screen pixels.
FrameBounds PlaceMainFrame(int left, int top, int right, int bottom);
