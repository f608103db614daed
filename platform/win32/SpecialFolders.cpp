#include "platform/SpecialFolders.h"

#include "platform/detail/SandboxState.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <shlobj.h>

namespace platform {

namespace {

// The shell's special-folder lookup, read back as a path; the item list is freed through
// the shell allocator.
std::string ShellFolder(int csidl) {
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) || items == nullptr) {
        return {};
    }
    wchar_t path[MAX_PATH] = {};
    const BOOL ok = SHGetPathFromIDListW(items, path);
    CoTaskMemFree(items);
    return ok ? win32::FromWide(path) : std::string();
}

}  // namespace

std::string AppDataFolder() {
    if (!detail::SandboxFolder().empty()) {
        return detail::SandboxFolder() + "\\AppData";
    }
    return ShellFolder(CSIDL_APPDATA);
}

std::string ProgramFilesFolder() {
    if (!detail::SandboxFolder().empty()) {
        return detail::SandboxFolder() + "\\Program Files";
    }
    return ShellFolder(CSIDL_PROGRAM_FILES);
}

std::string ProgramFilesX86Folder() {
    if (!detail::SandboxFolder().empty()) {
        return detail::SandboxFolder() + "\\Program Files (x86)";
    }
    return ShellFolder(CSIDL_PROGRAM_FILESX86);
}

std::string CommonAppDataFolder() {
    if (!detail::SandboxFolder().empty()) {
        return detail::SandboxFolder() + "\\ProgramData";
    }
    return ShellFolder(CSIDL_COMMON_APPDATA);
}

std::string TempPath() {
    if (!detail::SandboxFolder().empty()) {
        return detail::SandboxFolder() + "\\Temp\\";
    }
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, path);
    if (length == 0 || length > MAX_PATH) {
        return {};
    }
    return win32::FromWide(path);
}

std::string MakeUniqueTempFile(const std::string& folder, const std::string& prefix) {
    wchar_t path[MAX_PATH] = {};
    if (GetTempFileNameW(win32::ToWide(folder).c_str(), win32::ToWide(prefix).c_str(), 0, path) ==
        0) {
        return {};
    }
    return win32::FromWide(path);
}

}  // namespace platform
