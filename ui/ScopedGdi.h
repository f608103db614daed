#pragma once

// Owners for GDI objects, icons, menus, device contexts, global memory and COM interface
// pointers of the user interface.

#include "platform/win32/ScopedHandle.h"

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <utility>

namespace ui {

// Traits of the owners below, for the backend's ScopedHandle: handles that are null when
// there is none, closed by CloseFunction.
template <typename T, auto CloseFunction>
struct NullHandleTraits {
    using Type = T;
    static Type Invalid() { return nullptr; }
    static void Close(Type handle) { CloseFunction(handle); }
};

// A font, brush, pen, bitmap or region, deleted with its owner.
template <typename T>
using ScopedGdiObject = platform::win32::ScopedHandle<NullHandleTraits<T, &DeleteObject>>;
using ScopedFont = ScopedGdiObject<HFONT>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;
using ScopedPen = ScopedGdiObject<HPEN>;
using ScopedBitmap = ScopedGdiObject<HBITMAP>;
using ScopedRegion = ScopedGdiObject<HRGN>;
// An icon the program loaded or extracted (not a shared one), destroyed with its owner.
using ScopedIcon = platform::win32::ScopedHandle<NullHandleTraits<HICON, &DestroyIcon>>;
// A menu loaded from the resources, destroyed with its owner.
using ScopedMenu = platform::win32::ScopedHandle<NullHandleTraits<HMENU, &DestroyMenu>>;
// A memory device context (CreateCompatibleDC), deleted with its owner.
using ScopedMemoryDc = platform::win32::ScopedHandle<NullHandleTraits<HDC, &DeleteDC>>;
// A global memory block, freed with its owner unless it was handed on (Detach).
using ScopedGlobal = platform::win32::ScopedHandle<NullHandleTraits<HGLOBAL, &GlobalFree>>;

// A movable global memory block holding a copy of size bytes at data; empty when the
// memory could not be had.
inline ScopedGlobal CopyToGlobal(const void* data, std::size_t size) {
    ScopedGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    if (!block) {
        return block;
    }
    void* target = GlobalLock(block.Get());
    if (target == nullptr) {
        return ScopedGlobal();
    }
    std::memcpy(target, data, size);
    GlobalUnlock(block.Get());
    return block;
}

// The device context of a window's client area (GetDC), released with its owner.
class ScopedWindowDc {
public:
    explicit ScopedWindowDc(HWND hwnd) : m_hWnd(hwnd), m_dc(GetDC(hwnd)) {}
    ~ScopedWindowDc() {
        if (m_dc != nullptr) {
            ReleaseDC(m_hWnd, m_dc);
        }
    }
    ScopedWindowDc(const ScopedWindowDc&) = delete;
    ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;

    HDC Get() const { return m_dc; }

private:
    HWND m_hWnd;
    HDC m_dc;
};

// BeginPaint at construction, EndPaint with the owner.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND hwnd) : m_hWnd(hwnd), m_dc(BeginPaint(hwnd, &m_paint)) {}
    ~ScopedPaint() { EndPaint(m_hWnd, &m_paint); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;

    HDC Get() const { return m_dc; }
    const RECT& Area() const { return m_paint.rcPaint; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// Selects an object into a device context and puts the previous one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~ScopedSelect() { SelectObject(m_dc, m_previous); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// A COM interface pointer that holds one reference.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr& other) : m_p(other.m_p) {
        if (m_p != nullptr) {
            m_p->AddRef();
        }
    }
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(m_p, other.m_p);
        return *this;
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // Takes over the one reference of an object just made (CComObject's new).
    static ComPtr Adopt(T* object) {
        ComPtr owner;
        owner.m_p = object;
        return owner;
    }

    // Takes a reference of its own to an object that lives on.
    static ComPtr Share(T* object) {
        ComPtr owner;
        owner.m_p = object;
        if (object != nullptr) {
            object->AddRef();
        }
        return owner;
    }

    // For functions that hand out a new reference.
    T** Receive() {
        Reset();
        return &m_p;
    }
    void Reset() {
        if (m_p != nullptr) {
            std::exchange(m_p, nullptr)->Release();
        }
    }

private:
    T* m_p = nullptr;
};

}  // namespace ui
