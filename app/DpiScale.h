#pragma once

// Geometry for any display: the program's windows are laid out in pixels at 96 dots per
// inch, and every such number is scaled to the dots per inch of the monitor a window is on.
// Pictures are carried at 100, 125, 150, 200 and 250 %; a window takes the one at or just
// above its scale and shrinks it when it must, but never stretches a picture upward.

namespace dpi {

inline constexpr int kBaseDpi = 96;

// The scales the pictures are drawn at, in percent, smallest first.
inline constexpr int kPictureScales[] = {100, 125, 150, 200, 250};
inline constexpr int kLargestPictureScale = 250;

// The resource id of the picture drawn at percent of the one with id base at 100 %:
// base itself at 100 %, otherwise 20000 + 10 x base + (1 for 125 %, 2 for 150 %, 3 for
// 200 %, 4 for 250 %). 0 for a scale the program carries no picture at.
int PictureResourceId(int base, int percent);

class CDpiScale {
public:
    // dpi below 1 (a failed query) counts as 96.
    explicit CDpiScale(int dpi = kBaseDpi);

    int GetDpi() const { return m_nDpi; }
    bool IsBase() const { return m_nDpi == kBaseDpi; }

    // A length at 96 dots per inch at this scale, rounded to the nearest pixel (halves away
    // from zero, as the platform's MulDiv does): 120 is 180 at 144, 15 is 23.
    int Scale(int value) const;
    // The other way: a length at this scale in pixels at 96 dots per inch, rounded.
    int Unscale(int value) const;

    // The picture scale to draw with: the smallest one at or above this scale, or the largest
    // one when the scale is above it (percent).
    int GetPictureScale() const;

    // The size a picture of size96 (at 100 %) is shown at: its size at this scale, but not
    // larger than the chosen picture itself, so that a picture is only ever shrunk. Above
    // 250 % it stays at its 250 % size.
    int PictureExtent(int size96) const;

    // The scale of geometry that must match a picture pixel for pixel (the drop window's
    // zones over its picture): this one, or 250 % above that.
    CDpiScale ForPictures() const;

    bool operator==(const CDpiScale&) const = default;

private:
    int m_nDpi;
};

// A length of a picture at percent: 16 at 150 % is 24, 15 is 23 (rounded as Scale).
int ScaleToPercent(int value, int percent);

}  // namespace dpi
