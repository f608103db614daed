#pragma once

// The pictures of a dialog drawn for the monitor's scale: a dialog from a template grows
// with its font, but its bitmap and icon controls show their pictures at the size they were
// drawn. At 96 dots per inch the template's own pictures stay.

#include "ui/ScopedGdi.h"

#include <windows.h>

class CDialogPictures {
public:
    CDialogPictures() = default;
    ~CDialogPictures();
    CDialogPictures(const CDialogPictures&) = delete;
    CDialogPictures& operator=(const CDialogPictures&) = delete;

    // Gives the bitmap controls of dialog bitmap bitmapId (width96 by height96 at 100 %) and
    // its icon controls icon iconId, both for the dialog's scale. The pictures live as long
    // as this object, which must outlive the dialog's window.
    void Apply(HWND dialog, int bitmapId, int width96, int height96, int iconId);

private:
    ui::ScopedBitmap m_bitmap;
    HICON m_hIcon = nullptr;
};
