#include "gui/DialogPictures.h"

#include "intake/win/Display.h"

CDialogPictures::~CDialogPictures() {
    if (m_hIcon != nullptr) {
        DestroyIcon(m_hIcon);
    }
}

void CDialogPictures::Apply(HWND dialog, int bitmapId, int width96, int height96, int iconId) {
    const dpi::CDpiScale scale = display::GetWindowScale(dialog);
    if (scale.IsBase()) {
        return;
    }
    m_bitmap.Reset(display::LoadPicture(bitmapId, scale, width96, height96));
    m_hIcon = display::LoadIconAt(iconId, scale.Scale(32));
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR type = GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK;
        if (type == SS_BITMAP && m_bitmap) {
            // The control returns the picture it loaded from the template, now the caller's.
            const auto old = reinterpret_cast<HBITMAP>(SendMessageW(
                child, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_bitmap.Get())));
            if (old != nullptr && old != m_bitmap.Get()) {
                DeleteObject(old);
            }
        } else if (type == SS_ICON && m_hIcon != nullptr) {
            SendMessageW(child, STM_SETICON, reinterpret_cast<WPARAM>(m_hIcon), 0);
        }
    }
}
