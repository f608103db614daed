#pragma once

// The geometry of the attachment list, in the view's logical units (one unit is one pixel):
// rows of 38, attachment rows indented by 40, every row 2000 wide, and the points,
// rectangles and sizes the list works with.

#include <algorithm>
#include <cstdint>

namespace list {

inline constexpr int kRowWidth = 2000;
inline constexpr int kRowHeight = 38;
inline constexpr int kIndent = 40;   // also the width of the icon column inside a row
inline constexpr int kRowInset = 3;  // the double etched frame; drawing starts inside it

// The scroll extent is 600 wide, whatever the rows' width, and scrolls by lines of 40 by 38.
inline constexpr int kExtentWidth = 600;
inline constexpr int kLineWidth = 40;
inline constexpr int kLineHeight = 38;

// Icons of the program's resources drawn in the rows.
inline constexpr int kRecordIcon = 130;
inline constexpr int kDangerousOverlay = 153;
inline constexpr int kNotAllowedOverlay = 154;
inline constexpr int kAlertIcon = 155;

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const Rect&) const = default;
    bool IsEmpty() const { return right <= left || bottom <= top; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }

    Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    Rect Deflate(int d) const { return {left + d, top + d, right - d, bottom - d}; }

    // The common part of two rectangles; all zero when they do not meet, as the platform
    // gives it.
    Rect Intersect(const Rect& other) const {
        const Rect common{std::max(left, other.left), std::max(top, other.top),
                          std::min(right, other.right), std::min(bottom, other.bottom)};
        return common.IsEmpty() ? Rect{} : common;
    }
    bool Intersects(const Rect& other) const { return !Intersect(other).IsEmpty(); }
};

// The rectangle of record row r and of an attachment row at row r, in logical units.
inline Rect RecordRowRect(int row) {
    return {0, kRowHeight * row, kRowWidth, kRowHeight * row + kRowHeight};
}
inline Rect AttachmentRowRectAt(int row) {
    return {kIndent, kRowHeight * row, kIndent + kRowWidth, kRowHeight * row + kRowHeight};
}

// The height of a font of points at the screen's vertical resolution dpi: negative (the
// character height without internal leading), rounded to the nearest pixel.
inline int FontHeight(int points, int dpi) {
    return -((points * dpi * 2 + 72) / (72 * 2));
}

// The colours of the rows, red, green and blue.
struct Colour {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Colour&) const = default;
};

inline constexpr Colour kSelectionBlue{49, 106, 197};
inline constexpr Colour kOpenGrey{210, 210, 210};
inline constexpr Colour kWhite{255, 255, 255};
inline constexpr Colour kBlack{0, 0, 0};

// How a row is filled: selected (blue, white text), the open record or the attachments of a
// selected record row (grey, black text), or plain (white, black text).
enum class RowFill { Selected, Open, Plain };

inline Colour FillColour(RowFill fill) {
    return fill == RowFill::Selected ? kSelectionBlue : fill == RowFill::Open ? kOpenGrey : kWhite;
}
inline Colour TextColour(RowFill fill) {
    return fill == RowFill::Selected ? kWhite : kBlack;
}

}  // namespace list
