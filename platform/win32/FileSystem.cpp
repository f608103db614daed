#include "platform/FileSystem.h"

#include "platform/ShiftJis.h"
#include "platform/detail/Wildcard.h"
#include "platform/win32/ScopedHandle.h"
#include "platform/win32/WideText.h"

#include <windows.h>

namespace platform {

using win32::FromWide;
using win32::ToWide;

namespace {

// A path holding a NUL would be cut short by the API; such a path names nothing.
bool IsUsable(const std::string& path) {
    return !path.empty() && path.find('\0') == std::string::npos;
}

}  // namespace

std::optional<FileAttributes> QueryAttributes(const std::string& path) {
    if (!IsUsable(path)) {
        return std::nullopt;
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(ToWide(path).c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    // The query does not follow a link: a reparse point reports its own attributes.
    const DWORD attributes = data.dwFileAttributes;
    const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool isLink = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const std::uint64_t size =
        isFolder || isLink
            ? 0
            : static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    return FileAttributes{isFolder, isLink, size};
}

std::string FullPath(const std::string& path) {
    const std::wstring wide = ToWide(path);
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return path;
    }
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) {
        return path;
    }
    full.resize(length);
    return FromWide(full);
}

MakeFolderResult MakeFolder(const std::string& path) {
    if (!IsUsable(path)) {
        return MakeFolderResult::Failed;
    }
    if (CreateDirectoryW(ToWide(path).c_str(), nullptr)) {
        return MakeFolderResult::Created;
    }
    return GetLastError() == ERROR_ALREADY_EXISTS ? MakeFolderResult::AlreadyExists
                                                  : MakeFolderResult::Failed;
}

bool RemoveEmptyFolder(const std::string& path) {
    return IsUsable(path) && RemoveDirectoryW(ToWide(path).c_str());
}

bool RemoveFile(const std::string& path) {
    return IsUsable(path) && DeleteFileW(ToWide(path).c_str());
}

bool RemoveLink(const std::string& path) {
    if (!IsUsable(path)) {
        return false;
    }
    const std::wstring wide = ToWide(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return false;
    }
    // A folder link (a junction or a folder symbolic link) goes as a folder, which removes
    // the link and never its target's contents; a file link goes as a file.
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? RemoveDirectoryW(wide.c_str()) != 0
                                                        : DeleteFileW(wide.c_str()) != 0;
}

bool MakeSymbolicLink(const std::string& link, const std::string& target, bool isFolder) {
    if (!IsUsable(link) || !IsUsable(target)) {
        return false;
    }
    // Without administrator rights, links can be made in developer mode only.
    // Older systems refuse that flag; they are asked again without it.
    const DWORD flags = isFolder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
    const std::wstring wideLink = ToWide(link);
    const std::wstring wideTarget = ToWide(target);
    return CreateSymbolicLinkW(wideLink.c_str(), wideTarget.c_str(),
                               flags | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0 ||
           CreateSymbolicLinkW(wideLink.c_str(), wideTarget.c_str(), flags) != 0;
}

bool MovePath(const std::string& from, const std::string& to) {
    return IsUsable(from) && IsUsable(to) &&
           MoveFileExW(ToWide(from).c_str(), ToWide(to).c_str(), MOVEFILE_COPY_ALLOWED);
}

bool CopyFileTo(const std::string& from, const std::string& to, bool failIfExists) {
    if (!IsUsable(from) || !IsUsable(to)) {
        return false;
    }
    const std::wstring target = ToWide(to);
    if (!CopyFileW(ToWide(from).c_str(), target.c_str(), failIfExists ? TRUE : FALSE)) {
        return false;
    }
    // The system copies the read-only attribute too; the program's copies are its own to
    // rewrite and delete.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetFileAttributesW(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    return true;
}

bool FindEntries(const std::string& pattern, std::vector<FoundEntry>& entries) {
    entries.clear();
    if (!IsUsable(pattern)) {
        return false;
    }
    const std::size_t slash = sjis::FindLastOf(pattern, "\\/");
    const std::string wildcard = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    WIN32_FIND_DATAW data;
    win32::ScopedFindHandle find(FindFirstFileW(ToWide(pattern).c_str(), &data));
    if (!find) {
        // An empty folder is a folder with nothing in it; a missing one is a failure.
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    do {
        const std::string name = FromWide(data.cFileName);
        if (name == "." || name == "..") {
            continue;
        }
        // The system also matches the short 8.3 alias ("*.att" finds "a.attx" through
        // "A~1.ATT"); only long names count.
        if (!detail::MatchesWildcard(name, wildcard)) {
            continue;
        }
        entries.push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                           (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    } while (FindNextFileW(find.Get(), &data));
    return true;
}

}  // namespace platform
