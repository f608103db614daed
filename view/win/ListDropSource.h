#pragma once

// The drop source of a drag out of the attachment list. Before the drag begins, BeginDrag
// waits as the platform's drag detection does: the drag starts when the mouse leaves a small
// square around the press point or the button is held past the drag delay, and does not
// start when the button is released, another button is pressed or Esc comes first (that
// release is taken here, so the window never sees it). Copy is the only effect offered.

#include <windows.h>

#include <ole2.h>

// COM interfaces have no virtual destructor; the objects are released, never deleted
// through them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class CListDropSource final : public IDropSource {
public:
    CListDropSource() = default;
    CListDropSource(const CListDropSource&) = delete;
    CListDropSource& operator=(const CListDropSource&) = delete;

    // Waits with the mouse captured by hwnd; screenPoint is the press point. Stores and
    // returns whether the drag started.
    bool BeginDrag(HWND hwnd, POINT screenPoint);

    bool m_bDragStarted = false;

    // IUnknown: the object lives on the stack of the press; references are not counted.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    // IDropSource
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;
};
#pragma GCC diagnostic pop
