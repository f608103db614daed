#pragma once

// The drop source of a drag out of the attachment list. Before the drag begins, BeginDrag
// waits as the platform's drag detection does: the drag starts when the mouse leaves a small
// square around the press point or the button is held past the drag delay, and does not
// start when the button is released, another button is pressed or Esc comes first (that
// release is taken here, so the window never sees it). Copy is the only effect offered.

#include "ui/ComObject.h"
#include "ui/ScopedGdi.h"

#include <windows.h>

#include <ole2.h>

class CListDropSource final : public ui::CComObject<IDropSource> {
public:
    static ui::ComPtr<CListDropSource> Create();

    // Waits with the mouse captured by hwnd; screenPoint is the press point. Stores and
    // returns whether the drag started.
    bool BeginDrag(HWND hwnd, POINT screenPoint);
    bool HasDragStarted() const { return m_bDragStarted; }

    // IDropSource
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

private:
    CListDropSource() = default;
    ~CListDropSource() override = default;

    bool m_bDragStarted = false;
};
