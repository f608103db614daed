#include "gui/BrowseScannerProgram.h"

#include "app/ScannerDetection.h"
#include "platform/win32/WideText.h"

#include <commdlg.h>

std::optional<std::string> BrowseScannerProgram(HWND owner, const std::string& initialName) {
    using platform::win32::ToWide;
    // One filter entry: its name, its pattern, and the empty entry that ends the list.
    std::wstring filter = ToWide(kBrowseScannerFilterName);
    filter += L'\0';
    filter += ToWide(kBrowseScannerFilterPattern);
    filter += L'\0';
    filter += L'\0';
    const std::wstring title = ToWide(kBrowseScannerTitle);
    const std::wstring folder = ToWide(GetProgramFilesFolder());

    wchar_t name[kBrowseNameBufferSize] = {};
    const std::wstring initial = ToWide(FitBrowseName(initialName));
    initial.copy(name, kBrowseNameBufferSize - 1);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name;
    dialog.nMaxFile = kBrowseNameBufferSize;
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog)) {
        return std::nullopt;
    }
    return platform::win32::FromWide(name);
}
