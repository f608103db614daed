#include "app/FramePlacement.h"

FrameBounds PlaceMainFrame(int left, int top, int right, int bottom) {
    FrameBounds rect;
    rect.width = (right - left) / 2;
    rect.height = (bottom - top) / 2;
    rect.x = left + ((right - left) - rect.width) / 2;
    rect.y = top + ((bottom - top) - rect.height) / 2;
    return rect;
}
