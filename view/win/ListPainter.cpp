#include "view/win/ListPainter.h"

#include "platform/win32/WideText.h"
#include "res/resource.h"
#include "view/ListGeometry.h"
#include "view/RowContent.h"
#include "view/win/ListRect.h"

#include <shellapi.h>

#include <algorithm>

namespace {

COLORREF ColourRef(list::Colour colour) {
    return RGB(colour.r, colour.g, colour.b);
}

HICON LoadProgramIcon(int id) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                         IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
}

// Draws text in the platform's multi-line default mode (left, top, breaks at CR LF, the
// ampersand as mnemonic prefix).
void DrawListText(HDC dc, const std::string& text, RECT& rect, UINT format = 0) {
    const std::wstring wide = platform::win32::ToWide(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &rect, format);
}

void DrawRowFrame(HDC dc, const list::Rect& row) {
    RECT frame = ToRect(row);
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    InflateRect(&frame, -1, -1);
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
}

}  // namespace

void CListPainter::Create(HWND hwnd) {
    int dpi = 96;
    {
        const ui::ScopedWindowDc screen(hwnd);
        if (screen.Get() != nullptr) {
            dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
        }
    }
    const wchar_t* face = L"ＭＳ Ｐゴシック";
    m_fontNormal.Reset(CreateFontW(list::FontHeight(10, dpi), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                   SHIFTJIS_CHARSET, 0, 0, 0, 0, face));
    m_fontBold.Reset(CreateFontW(list::FontHeight(11, dpi), 0, 0, 0, FW_BOLD, 0, 0, 0,
                                 SHIFTJIS_CHARSET, 0, 0, 0, 0, face));
    m_iconRecord.Reset(LoadProgramIcon(IDI_RECORD));
    m_iconAlert.Reset(LoadProgramIcon(IDI_ALERT));
    m_iconDangerous.Reset(LoadProgramIcon(IDI_DANGEROUS));
    m_iconNotAllowed.Reset(LoadProgramIcon(IDI_NOTALLOWED));
}

void CListPainter::Paint(HDC dc, const RECT& clip) const {
    FillRect(dc, &clip, GetSysColorBrush(COLOR_WINDOW));
    const list::Point scroll = m_layout.GetScrollPosition();
    POINT origin;
    OffsetViewportOrgEx(dc, -scroll.x, -scroll.y, &origin);
    const list::Rect logicalClip =
        list::Rect{clip.left, clip.top, clip.right, clip.bottom}.Offset(scroll.x, scroll.y);
    const COLORREF previousBack = GetBkColor(dc);
    for (const list::PaintRow& row : m_layout.PlanPaint(logicalClip)) {
        // The fill also sets the text background, so the row's texts sit on it.
        const RECT fill = ToRect(row.rect.Intersect(logicalClip));
        SetBkColor(dc, ColourRef(list::FillColour(row.fill)));
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &fill, nullptr, 0, nullptr);
        DrawRowFrame(dc, row.rect);
        const list::Rect inner = row.rect.Deflate(list::kRowInset);
        const COLORREF text = ColourRef(list::TextColour(row.fill));
        if (row.bRecord) {
            DrawRecordRow(dc, m_store.m_arrRecords[row.nIndex], inner, text);
        } else {
            DrawAttachmentRow(dc, m_store.m_arrAttachments[row.nIndex], inner, text);
        }
    }
    SetBkColor(dc, previousBack);
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
}

void CListPainter::DrawRecordRow(HDC dc, const std::string& path, const list::Rect& inner,
                                 COLORREF colour) const {
    const list::RecordRowContent content = list::DescribeRecordRow(path);
    if (!content.bDraw) {
        return;
    }
    if (m_iconRecord.Get() != nullptr) {
        DrawIcon(dc, inner.left, inner.top, m_iconRecord.Get());
    }
    RECT text = ToRect(inner);
    text.left += list::kIndent;
    const COLORREF previousColour = SetTextColor(dc, colour);
    OffsetRect(&text, 0, 2);
    const HGDIOBJ previousFont = SelectObject(dc, m_fontBold.Get());
    DrawListText(dc, content.strSubject, text);
    OffsetRect(&text, 0, 16);
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
    if (content.bAlert) {
        if (m_iconAlert.Get() != nullptr) {
            DrawIcon(dc, inner.left, inner.top, m_iconAlert.Get());
        }
    } else {
        // The icon the shell associates with the file, then the verdict's overlay.
        std::wstring buffer = platform::win32::ToWide(path);
        buffer.resize(std::max<std::size_t>(buffer.size() + 1, MAX_PATH), L'\0');
        WORD index = 0;
        const ui::ScopedIcon icon(
            ExtractAssociatedIconW(GetModuleHandleW(nullptr), buffer.data(), &index));
        if (icon) {
            DrawIcon(dc, inner.left, inner.top, icon.Get());
        }
        const HICON overlay =
            content.nOverlay == list::kDangerousOverlay      ? m_iconDangerous.Get()
            : content.nOverlay == list::kNotAllowedOverlay ? m_iconNotAllowed.Get()
                                                             : nullptr;
        if (overlay != nullptr) {
            DrawIcon(dc, inner.left, inner.top, overlay);
        }
    }
    const HGDIOBJ previousFont = SelectObject(dc, m_fontNormal.Get());
    const COLORREF previousColour = SetTextColor(dc, colour);
    RECT text = ToRect(inner);
    text.left += list::kIndent;
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
