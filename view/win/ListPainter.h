#pragma once

// The drawing of the attachment list: each row a clip meets, filled in its colour inside its
// double etched frame; a record row with the record icon, its subject in bold and its date
// and sender; an attachment row with the shell's icon for the file (or the alert icon), the
// verdict's overlay and its text centred in the row. It owns the list's fonts and icons.

#include "app/ColourScheme.h"
#include "policy/ExtensionList.h"
#include "store/RecordStore.h"
#include "ui/ScopedGdi.h"
#include "view/ListLayout.h"

#include <windows.h>

#include <string>

class CListPainter {
public:
    // The painter draws what store, layout and the allowed list hold when it paints.
    CListPainter(const CRecordStore& store, const CListLayout& layout,
                 const CExtensionList& allowed)
        : m_store(store), m_layout(layout), m_allowed(allowed) {}

    // The fonts for the resolution of the monitor hwnd is on, and the program's icons drawn
    // for it (again after a move to a monitor of another scale).
    void Create(HWND hwnd);

    // The colours of the rows: the design's, or the system's under high contrast.
    void SetColourScheme(const CColourScheme& scheme) { m_scheme = scheme; }
    const CColourScheme& GetColourScheme() const { return m_scheme; }

    // Paints the client area within clip (client coordinates) into dc as the window shows it.
    void Paint(HDC dc, const RECT& clip) const;

    // WM_PAINT of hwnd: the update area is drawn into a buffer and copied at once, so that
    // scrolling does not flicker (directly when no buffer could be had).
    void PaintWindow(HWND hwnd) const;

private:
    // The size the program's icons are drawn at in a row.
    int ProgramIconSize() const;
    void DrawRecordRow(HDC dc, const std::string& path, const list::Rect& inner,
                       COLORREF colour) const;
    void DrawAttachmentRow(HDC dc, const std::string& path, const list::Rect& inner,
                           COLORREF colour) const;

    const CRecordStore& m_store;
    const CListLayout& m_layout;
    const CExtensionList& m_allowed;
    ui::ScopedFont m_fontNormal;
    ui::ScopedFont m_fontBold;
    ui::ScopedIcon m_iconRecord;
    ui::ScopedIcon m_iconAlert;
    ui::ScopedIcon m_iconDangerous;
    ui::ScopedIcon m_iconNotAllowed;
    int m_nIconPicture = 32;  // the size the program's icons were loaded at
    CColourScheme m_scheme;
};
