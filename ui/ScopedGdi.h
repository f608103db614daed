#pragma once

// Owners for GDI objects and COM interface pointers of the user interface.

#include <windows.h>

#include <utility>

namespace ui {

// A font, brush, pen, bitmap or region, deleted with its owner.
template <typename T>
class ScopedGdiObject {
public:
    ScopedGdiObject() = default;
    explicit ScopedGdiObject(T object) : m_object(object) {}
    ~ScopedGdiObject() { Reset(); }
    ScopedGdiObject(ScopedGdiObject&& other) noexcept
        : m_object(std::exchange(other.m_object, nullptr)) {}
    ScopedGdiObject& operator=(ScopedGdiObject&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.m_object, nullptr));
        }
        return *this;
    }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;

    T Get() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    void Reset(T object = nullptr) {
        if (m_object != nullptr) {
            DeleteObject(m_object);
        }
        m_object = object;
    }

private:
    T m_object = nullptr;
};

using ScopedFont = ScopedGdiObject<HFONT>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;
using ScopedPen = ScopedGdiObject<HPEN>;
using ScopedBitmap = ScopedGdiObject<HBITMAP>;
using ScopedRegion = ScopedGdiObject<HRGN>;

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
