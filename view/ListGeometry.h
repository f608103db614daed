#pragma once

// The geometry of the attachment list, in the view's logical units (one unit is one pixel):
// at 96 dots per inch rows of 38, attachment rows indented by 40, every row 2000 wide; on
// other displays the same numbers scaled (Metrics). Also the points, rectangles and sizes
// the list works with.

#include "app/ColourScheme.h"
#include "app/DpiScale.h"

#include <algorithm>
#include <cstdint>

namespace list {

// The numbers below are the list at 96 dots per inch.

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

// The list's geometry on a display: every number at 96 dots per inch scaled. A row is its
// icon with the frame's inset above and below, so the icon fills the row's inner height at
// every scale (38 = 32 + 2 x 3 at 96 dots per inch; 58 = 48 + 2 x 5 at 144).
struct Metrics {
    int nRowWidth = kRowWidth;
    int nRowHeight = kRowHeight;
    int nIndent = kIndent;
    int nRowInset = kRowInset;
    int nFrameStep = 1;  // the second etched frame lies this far inside the first
    int nIconSize = 32;
    int nExtentWidth = kExtentWidth;
    int nLineWidth = kLineWidth;
    int nSubjectTop = 2;    // a record's subject below the inner rectangle's top
    int nDetailsStep = 16;  // its date and sender line below the subject

    static Metrics At(const dpi::CDpiScale& scale) {
        Metrics m;
        m.nRowWidth = scale.Scale(kRowWidth);
        m.nRowInset = scale.Scale(kRowInset);
        m.nFrameStep = scale.Scale(1);
        m.nIconSize = scale.Scale(32);
        m.nRowHeight = m.nIconSize + 2 * m.nRowInset;
        m.nIndent = scale.Scale(kIndent);
        m.nExtentWidth = scale.Scale(kExtentWidth);
        m.nLineWidth = scale.Scale(kLineWidth);
        m.nSubjectTop = scale.Scale(2);
        m.nDetailsStep = scale.Scale(16);
        return m;
    }
    int LineHeight() const { return nRowHeight; }

    // The rectangle of record row r and of an attachment row at row r, in logical units.
    Rect RecordRowRect(int row) const {
        return {0, nRowHeight * row, nRowWidth, nRowHeight * row + nRowHeight};
    }
    Rect AttachmentRowRectAt(int row) const {
        return {nIndent, nRowHeight * row, nIndent + nRowWidth, nRowHeight * row + nRowHeight};
    }

    bool operator==(const Metrics&) const = default;
};

// The same at 96 dots per inch.
inline Rect RecordRowRect(int row) {
    return Metrics{}.RecordRowRect(row);
}
inline Rect AttachmentRowRectAt(int row) {
    return Metrics{}.AttachmentRowRectAt(row);
}

// The height of a font of points at the screen's vertical resolution dpi: negative (the
// character height without internal leading), rounded to the nearest pixel.
inline int FontHeight(int points, int dpi) {
    return -((points * dpi * 2 + 72) / (72 * 2));
}

// The colours of the rows, red, green and blue.
using Colour = Rgb;

inline constexpr Colour kSelectionBlue = CColourScheme::kSelectionBlue;
inline constexpr Colour kOpenGrey = CColourScheme::kOpenGrey;
inline constexpr Colour kWhite = CColourScheme::kWhite;
inline constexpr Colour kBlack = CColourScheme::kBlack;

// How a row is filled: selected (blue, white text), the open record or the attachments of a
// selected record row (grey, black text), or plain (white, black text); under a
// high-contrast theme the scheme's system colours take their places.
enum class RowFill { Selected, Open, Plain };

inline Colour FillColour(RowFill fill, const CColourScheme& scheme = CColourScheme()) {
    return fill == RowFill::Selected ? scheme.SelectedFill()
           : fill == RowFill::Open   ? scheme.OpenFill()
                                     : scheme.PlainFill();
}
inline Colour TextColour(RowFill fill, const CColourScheme& scheme = CColourScheme()) {
    return fill == RowFill::Selected ? scheme.SelectedText()
           : fill == RowFill::Open   ? scheme.OpenText()
                                     : scheme.PlainText();
}

}  // namespace list
