// The mark of the web as the named stream "Zone.Identifier", written only on volumes that
// say they keep named streams. Elsewhere (FAT, exFAT, Wine's drives) the name would either
// be refused or, under Wine, become a separate file "name:Zone.Identifier" beside the file.

#include "platform/DownloadMark.h"

#include "platform/win32/ScopedHandle.h"
#include "platform/win32/VolumeStreams.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace platform {

namespace win32 {

bool QueryVolumeFlags(const std::wstring& path, std::wstring& root, unsigned long& flags) {
    // The volume's root is never longer than the path it is found from.
    std::vector<wchar_t> buffer(std::max<std::size_t>(path.size() + 2, MAX_PATH + 1));
    if (!GetVolumePathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()))) {
        return false;
    }
    DWORD volumeFlags = 0;
    if (!GetVolumeInformationW(buffer.data(), nullptr, 0, nullptr, nullptr, &volumeFlags,
                               nullptr, 0)) {
        return false;
    }
    root = buffer.data();
    flags = volumeFlags;
    return true;
}

bool VolumeKeepsNamedStreams(const std::wstring& path) {
    std::wstring root;
    unsigned long flags = 0;
    return QueryVolumeFlags(path, root, flags) && (flags & FILE_NAMED_STREAMS) != 0;
}

}  // namespace win32

namespace {

constexpr wchar_t kStreamSuffix[] = L":Zone.Identifier";
constexpr char kInternetZoneMark[] = "[ZoneTransfer]\r\nZoneId=3\r\n";
// A mark is a few lines; a larger stream of that name is not copied.
constexpr DWORD kLargestMark = 64 * 1024;

struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { CloseHandle(handle); }
};
using ScopedFile = win32::ScopedHandle<FileHandleTraits>;

bool IsUsable(const std::string& path) {
    return !path.empty() && path.find('\0') == std::string::npos;
}

// Whether path (wide form) names a file; a stream opened for writing on a missing file would
// create the file.
bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Writes the stream of the file at path (wide form); a stream left half written is removed.
bool WriteMarkStream(const std::wstring& path, const std::string& mark) {
    if (!IsExistingFile(path) || !win32::VolumeKeepsNamedStreams(path)) {
        return false;
    }
    const std::wstring stream = path + kStreamSuffix;
    bool bWritten = false;
    {
        ScopedFile file(CreateFileW(stream.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return false;
        }
        DWORD count = 0;
        bWritten = WriteFile(file.Get(), mark.data(), static_cast<DWORD>(mark.size()), &count,
                             nullptr) &&
                   count == mark.size();
    }
    if (!bWritten) {
        DeleteFileW(stream.c_str());
    }
    return bWritten;
}

// The mark of the file at path (wide form), when it has one.
bool ReadMarkStream(const std::wstring& path, std::string& mark) {
    if (!win32::VolumeKeepsNamedStreams(path)) {
        return false;
    }
    const std::wstring stream = path + kStreamSuffix;
    ScopedFile file(CreateFileW(stream.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > kLargestMark) {
        return false;
    }
    mark.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD count = 0;
    return ReadFile(file.Get(), mark.data(), static_cast<DWORD>(mark.size()), &count, nullptr) &&
           count == mark.size();
}

class StreamDownloadMarker final : public DownloadMarker {
public:
    bool Mark(const std::string& path) override {
        return IsUsable(path) && WriteMarkStream(win32::ToWide(path), kInternetZoneMark);
    }

    bool CopyMark(const std::string& from, const std::string& to) override {
        if (!IsUsable(from) || !IsUsable(to)) {
            return false;
        }
        std::string mark;
        return ReadMarkStream(win32::ToWide(from), mark) &&
               WriteMarkStream(win32::ToWide(to), mark);
    }
};

}  // namespace

namespace detail {

DownloadMarker& BackendDownloadMarker() {
    static StreamDownloadMarker marker;
    return marker;
}

}  // namespace detail

}  // namespace platform
