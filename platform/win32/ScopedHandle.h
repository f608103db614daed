#pragma once

// Owners for the kernel and registry handles of the Win32 backend.

#include <windows.h>

#include <utility>

namespace platform::win32 {

// Traits: a Type, the Invalid() value of that type, and Close(handle).
template <typename Traits>
class ScopedHandle {
public:
    using Type = typename Traits::Type;

    ScopedHandle() = default;
    explicit ScopedHandle(Type handle) : m_handle(handle) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(ScopedHandle&& other) noexcept
        : m_handle(std::exchange(other.m_handle, Traits::Invalid())) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.m_handle, Traits::Invalid()));
        }
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    Type Get() const { return m_handle; }
    Type* Receive() {
        Reset();
        return &m_handle;
    }
    // Hands the handle on: the owner no longer closes it.
    Type Detach() { return std::exchange(m_handle, Traits::Invalid()); }
    explicit operator bool() const { return m_handle != Traits::Invalid(); }
    void Reset(Type handle = Traits::Invalid()) {
        if (m_handle != Traits::Invalid()) {
            Traits::Close(m_handle);
        }
        m_handle = handle;
    }

private:
    Type m_handle = Traits::Invalid();
};

// Kernel objects that report failure with a null handle (mutexes, processes, threads).
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type handle) { CloseHandle(handle); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { FindClose(handle); }
};

struct KeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static void Close(Type key) { RegCloseKey(key); }
};

using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;
using ScopedFindHandle = ScopedHandle<FindHandleTraits>;
using ScopedKey = ScopedHandle<KeyTraits>;

}  // namespace platform::win32
