#include "platform/File.h"

#include "platform/win32/WideText.h"

#include <windows.h>


namespace platform {

namespace {

HANDLE ToHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

bool File::Open(const std::string& path, Mode mode) {
    Close();
    if (path.empty() || path.find('\0') != std::string::npos) {
        return false;
    }
    const bool read = mode == Mode::Read;
    // No sharing: while the file is open, nobody else can open it.
    HANDLE handle =
        CreateFileW(win32::ToWide(path).c_str(), read ? GENERIC_READ : GENERIC_WRITE, 0, nullptr,
                    read                          ? OPEN_EXISTING
                    : mode == Mode::CreateNew ? CREATE_NEW
                                              : CREATE_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    m_handle = reinterpret_cast<std::intptr_t>(handle);
    return true;
}

void File::Close() {
    if (IsOpen()) {
        CloseHandle(ToHandle(m_handle));
        m_handle = kInvalid;
    }
}

std::optional<std::size_t> File::Read(void* buffer, std::size_t size) {
    if (!IsOpen()) {
        return std::nullopt;
    }
    const DWORD request = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!ReadFile(ToHandle(m_handle), buffer, request, &got, nullptr)) {
        return std::nullopt;
    }
    return got;
}

bool File::Write(const void* data, std::size_t size) {
    if (!IsOpen()) {
        return false;
    }
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD request = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD put = 0;
        if (!WriteFile(ToHandle(m_handle), bytes, request, &put, nullptr) || put == 0) {
            return false;
        }
        bytes += put;
        size -= put;
    }
    return true;
}

bool File::Seek(std::uint64_t offset) {
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(offset);
    return IsOpen() && SetFilePointerEx(ToHandle(m_handle), distance, nullptr, FILE_BEGIN);
}

std::optional<std::uint64_t> File::Size() const {
    LARGE_INTEGER size;
    if (!IsOpen() || !GetFileSizeEx(ToHandle(m_handle), &size)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

}  // namespace platform
