#include "view/win/ListPainter.h"

#include "intake/win/Display.h"
#include "platform/win32/WideText.h"
#include "res/resource.h"
#include "view/ListGeometry.h"
#include "view/RowContent.h"
#include "view/win/ListRect.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>

namespace {

COLORREF ColourRef(list::Colour colour) {
    return RGB(colour.r, colour.g, colour.b);
}

// The icon the shell associates with the file at path, size pixels square: at 32 the
// system's own (as ever), otherwise taken from the icon's file at that size.
HICON ShellIcon(const std::string& path, int size) {
    std::wstring buffer = platform::win32::ToWide(path);
    if (size != 32) {
        SHFILEINFOW info{};
        HICON icon = nullptr;
        if (SHGetFileInfoW(buffer.c_str(), 0, &info, sizeof info, SHGFI_ICONLOCATION) != 0 &&
            info.szDisplayName[0] != L'\0' &&
            SHDefExtractIconW(info.szDisplayName, info.iIcon, 0, &icon, nullptr,
                              MAKELONG(size, 16)) == S_OK &&
            icon != nullptr) {
            return icon;
        }
    }
    buffer.resize(std::max<std::size_t>(buffer.size() + 1, MAX_PATH), L'\0');
    WORD index = 0;
    return ExtractAssociatedIconW(GetModuleHandleW(nullptr), buffer.data(), &index);
}

// Draws text in the platform's multi-line default mode (left, top, breaks at CR LF, the
// ampersand as mnemonic prefix).
void DrawListText(HDC dc, const std::string& text, RECT& rect, UINT format = 0) {
    const std::wstring wide = platform::win32::ToWide(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &rect, format);
}

// The double etched frame: the second one step inside the first (a pixel at 96 dots per
// inch).
void DrawRowFrame(HDC dc, const list::Rect& row, int step) {
    RECT frame = ToRect(row);
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    InflateRect(&frame, -step, -step);
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
}

}  // namespace

void CListPainter::Create(HWND hwnd) {
    const dpi::CDpiScale scale = display::GetWindowScale(hwnd);
    const int dpi = scale.GetDpi();
    const wchar_t* face = L"ＭＳ Ｐゴシック";
    m_fontNormal.Reset(CreateFontW(list::FontHeight(10, dpi), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                   SHIFTJIS_CHARSET, 0, 0, 0, 0, face));
    m_fontBold.Reset(CreateFontW(list::FontHeight(11, dpi), 0, 0, 0, FW_BOLD, 0, 0, 0,
                                 SHIFTJIS_CHARSET, 0, 0, 0, 0, face));
    // The icons as drawn for the picture scale at or above the display's, shrunk when drawn
    // (32 pixels at 96 dots per inch, 48 at 144).
    m_nIconPicture = dpi::ScaleToPercent(32, scale.GetPictureScale());
    m_iconRecord.Reset(display::LoadIconAt(IDI_RECORD, m_nIconPicture));
    m_iconAlert.Reset(display::LoadIconAt(IDI_ALERT, m_nIconPicture));
    m_iconDangerous.Reset(display::LoadIconAt(IDI_DANGEROUS, m_nIconPicture));
    m_iconNotAllowed.Reset(display::LoadIconAt(IDI_NOTALLOWED, m_nIconPicture));
}

void CListPainter::Paint(HDC dc, const RECT& clip) const {
    FillRect(dc, &clip, GetSysColorBrush(COLOR_WINDOW));
    const list::Point scroll = m_layout.GetScrollPosition();
    POINT origin;
    OffsetViewportOrgEx(dc, -scroll.x, -scroll.y, &origin);
    const list::Rect logicalClip =
        list::Rect{clip.left, clip.top, clip.right, clip.bottom}.Offset(scroll.x, scroll.y);
    const COLORREF previousBack = GetBkColor(dc);
    const list::Metrics& metrics = m_layout.GetMetrics();
    for (const list::PaintRow& row : m_layout.PlanPaint(logicalClip)) {
        // The fill also sets the text background, so the row's texts sit on it.
        const RECT fill = ToRect(row.rect.Intersect(logicalClip));
        SetBkColor(dc, ColourRef(list::FillColour(row.fill, m_scheme)));
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &fill, nullptr, 0, nullptr);
        DrawRowFrame(dc, row.rect, metrics.nFrameStep);
        const list::Rect inner = row.rect.Deflate(metrics.nRowInset);
        const COLORREF text = ColourRef(list::TextColour(row.fill, m_scheme));
        if (row.bRecord) {
            DrawRecordRow(dc, m_store.m_arrRecords[row.nIndex], inner, text);
        } else {
            DrawAttachmentRow(dc, m_store.m_arrAttachments[row.nIndex], inner, text);
        }
    }
    SetBkColor(dc, previousBack);
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
}

int CListPainter::ProgramIconSize() const {
    // The icon cell, but no larger than the icons were drawn (above 250 % they stay at their
    // 250 % size rather than being stretched).
    return std::min(m_layout.GetMetrics().nIconSize, m_nIconPicture);
}

void CListPainter::DrawRecordRow(HDC dc, const std::string& path, const list::Rect& inner,
                                 COLORREF colour) const {
    const list::RecordRowContent content = list::DescribeRecordRow(path);
    if (!content.bDraw) {
        return;
    }
    const list::Metrics& metrics = m_layout.GetMetrics();
    display::DrawIconAt(dc, inner.left, inner.top, m_iconRecord.Get(), m_nIconPicture,
                        ProgramIconSize());
    RECT text = ToRect(inner);
    text.left += metrics.nIndent;
    const COLORREF previousColour = SetTextColor(dc, colour);
    OffsetRect(&text, 0, metrics.nSubjectTop);
    const HGDIOBJ previousFont = SelectObject(dc, m_fontBold.Get());
    DrawListText(dc, content.strSubject, text);
    OffsetRect(&text, 0, metrics.nDetailsStep);
    SelectObject(dc, m_fontNormal.Get());
    DrawListText(dc, content.strDetails, text);
    SelectObject(dc, previousFont);
    SetTextColor(dc, previousColour);
}

void CListPainter::DrawAttachmentRow(HDC dc, const std::string& path, const list::Rect& inner,
                                     COLORREF colour) const {
    const list::AttachmentRowContent content = list::DescribeAttachmentRow(path, m_allowed);
    if (!content.bDraw) {
        return;
    }
    const list::Metrics& metrics = m_layout.GetMetrics();
    const int size = metrics.nIconSize;
    if (content.bAlert) {
        display::DrawIconAt(dc, inner.left, inner.top, m_iconAlert.Get(), m_nIconPicture,
                            ProgramIconSize());
    } else {
        // The icon the shell associates with the file, then the verdict's overlay.
        const ui::ScopedIcon icon(ShellIcon(path, size));
        if (icon) {
            display::DrawIconAt(dc, inner.left, inner.top, icon.Get(), size, size);
        }
        const HICON overlay = content.nOverlay == list::kDangerousOverlay ? m_iconDangerous.Get()
                              : content.nOverlay == list::kNotAllowedOverlay
                                  ? m_iconNotAllowed.Get()
                                  : nullptr;
        display::DrawIconAt(dc, inner.left, inner.top, overlay, m_nIconPicture, ProgramIconSize());
    }
    const HGDIOBJ previousFont = SelectObject(dc, m_fontNormal.Get());
    const COLORREF previousColour = SetTextColor(dc, colour);
    RECT text = ToRect(inner);
    text.left += metrics.nIndent;
    // Measured first, then centred vertically as a block.
    DrawListText(dc, content.strText, text, DT_CALCRECT);
    OffsetRect(&text, 0, (inner.Height() - (text.bottom - text.top)) / 2);
    DrawListText(dc, content.strText, text);
    SelectObject(dc, previousFont);
    SetTextColor(dc, previousColour);
}

void CListPainter::PaintWindow(HWND hwnd) const {
    const ui::ScopedPaint paint(hwnd);
    const HDC dc = paint.Get();
    const RECT area = paint.Area();
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (dc == nullptr || width <= 0 || height <= 0) {
        return;
    }
    // Drawn into a buffer and copied at once, so that scrolling does not flicker.
    const ui::ScopedMemoryDc buffer(CreateCompatibleDC(dc));
    const ui::ScopedBitmap bitmap(CreateCompatibleBitmap(dc, width, height));
    if (!buffer || !bitmap) {
        Paint(dc, area);
        return;
    }
    const ui::ScopedSelect selectBitmap(buffer.Get(), bitmap.Get());
    SetViewportOrgEx(buffer.Get(), -area.left, -area.top, nullptr);
    Paint(buffer.Get(), area);
    SetViewportOrgEx(buffer.Get(), 0, 0, nullptr);
    BitBlt(dc, area.left, area.top, width, height, buffer.Get(), 0, 0, SRCCOPY);
}
