#include "gui/DropWindowPicture.h"

#include "intake/DropWindowLayout.h"
#include "intake/win/Display.h"
#include "res/resource.h"
#include "ui/ScopedGdi.h"

namespace dropwindow {

namespace {

using Layout = CDropWindowLayout;

// An envelope of the given box: its outline and the flap's two lines.
void Envelope(HDC dc, const RECT& box) {
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
    const int middleX = (box.left + box.right) / 2;
    const int flapY = box.top + (box.bottom - box.top) * 3 / 5;
    const POINT flap[] = {{box.left, box.top}, {middleX, flapY}, {box.right - 1, box.top}};
    Polyline(dc, flap, 3);
}

// The capsule, zones and marks in the scheme's colours, for users who need strong contrast:
// no gradients or pictures, lines at least two pixels wide at 100 %.
void DrawHighContrast(HDC dc, const dpi::CDpiScale& scale, const CColourScheme& scheme) {
    const WindowSize size = Layout::Size(scale);
    const dpi::CDpiScale s = scale.ForPictures();
    const int line = s.Scale(2);
    const RECT all{0, 0, size.cx, size.cy};
    const ui::ScopedBrush face(CreateSolidBrush(display::ToColorRef(scheme.Face())));
    FillRect(dc, &all, face.Get());

    const ui::ScopedPen ink(CreatePen(PS_INSIDEFRAME, line, display::ToColorRef(scheme.Ink())));
    const ui::ScopedSelect selectPen(dc, ink.Get());
    const ui::ScopedSelect selectBrush(dc, GetStockObject(NULL_BRUSH));
    // The capsule's outline just inside the region's edge (the region leaves out the last
    // pixel line on the right and at the bottom).
    RoundRect(dc, 0, 0, size.cx - 1, size.cy - 1, size.cx, size.cx);

    // The main zone: a frame with an envelope in it.
    const ZoneRect main = Layout::MainZone(scale);
    RoundRect(dc, main.left, main.top, main.right, main.bottom, s.Scale(14), s.Scale(14));
    const int ex = s.Scale(24);
    const int ey = s.Scale(12);
    Envelope(dc, {(main.left + main.right) / 2 - ex, (main.top + main.bottom) / 2 - ey,
                  (main.left + main.right) / 2 + ex, (main.top + main.bottom) / 2 + ey});

    // The unsent zone: a small envelope with an arrow back to the left.
    const ZoneRect unsent = Layout::UnsentZone(scale);
    const int cx = (unsent.left + unsent.right) / 2;
    const int cy = (unsent.top + unsent.bottom) / 2;
    Envelope(dc, {cx - s.Scale(6), cy - s.Scale(6), cx + s.Scale(14), cy + s.Scale(7)});
    const POINT shaft[] = {{cx - s.Scale(4), cy - s.Scale(9)}, {cx - s.Scale(20), cy - s.Scale(9)}};
    Polyline(dc, shaft, 2);
    const POINT head[] = {{cx - s.Scale(14), cy - s.Scale(14)},
                          {cx - s.Scale(20), cy - s.Scale(9)},
                          {cx - s.Scale(14), cy - s.Scale(4)}};
    Polyline(dc, head, 3);

    // The close mark: a cross on the accent colour.
    const ZoneRect close = Layout::CloseZone(scale);
    const RECT square{close.left, close.top, close.right, close.bottom};
    const ui::ScopedBrush accent(CreateSolidBrush(display::ToColorRef(scheme.Accent())));
    FillRect(dc, &square, accent.Get());
    const ui::ScopedPen cross(CreatePen(PS_SOLID, line, display::ToColorRef(scheme.AccentText())));
    SelectObject(dc, cross.Get());
    const int inset = s.Scale(5);
    MoveToEx(dc, close.left + inset, close.top + inset, nullptr);
    LineTo(dc, close.right - inset, close.bottom - inset);
    MoveToEx(dc, close.right - inset, close.top + inset, nullptr);
    LineTo(dc, close.left + inset, close.bottom - inset);
    SelectObject(dc, ink.Get());
}

}  // namespace

HBITMAP MakePicture(const dpi::CDpiScale& scale, const CColourScheme& scheme) {
    if (!scheme.IsHighContrast()) {
        return display::LoadPicture(IDB_DROPWINDOW, scale.ForPictures(), Layout::kWidth,
                                    Layout::kHeight);
    }
    const WindowSize size = Layout::Size(scale);
    const HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(screen, size.cx, size.cy);
    const HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (picture != nullptr && dc != nullptr) {
        const ui::ScopedSelect select(dc, picture);
        DrawHighContrast(dc, scale, scheme);
    }
    if (dc != nullptr) {
        DeleteDC(dc);
    }
    return picture;
}

HRGN MakeRegion(const dpi::CDpiScale& scale) {
    HRGN region = nullptr;
    for (const RegionPart& part : Layout::Shape(scale)) {
        const HRGN piece = CreateRoundRectRgn(part.rect.left, part.rect.top, part.rect.right,
                                              part.rect.bottom, part.nEllipse, part.nEllipse);
        if (region == nullptr) {
            region = piece;
        } else if (piece != nullptr) {
            CombineRgn(region, region, piece, RGN_OR);
            DeleteObject(piece);
        }
    }
    return region;
}

}  // namespace dropwindow
