// Opens one dialog of the settings on its own, for looking at it or taking a picture of it:
//
//     morvek_show_settings_dialog settings|allowed|prohibited [--close-after MS]
//
// It works inside a sandbox of its own in the temporary folder (the data folder holds the
// first-start lists; the profile is a scratch store), so nothing the dialog saves reaches the
// user's own settings. With --close-after the dialog is cancelled after MS milliseconds.

#include <windows.h>

#include "app/FirstStartFiles.h"
#include "app/win/AllowedExtensionDlg.h"
#include "app/win/ProhibitedExtensionDlg.h"
#include "app/win/SettingsDlg.h"
#include "platform/FileSystem.h"
#include "platform/Sandbox.h"
#include "platform/SpecialFolders.h"

#include <shellapi.h>

#include <memory>
#include <string>

namespace {

// Cancels the modal dialog of this thread that takes input.
void CALLBACK OnCloseTimer(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM) -> BOOL {
            if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
                PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
            }
            return TRUE;
        },
        0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::wstring which = count > 1 ? arguments[1] : L"settings";
    UINT closeAfter = 0;
    if (count > 3 && std::wstring(arguments[2]) == L"--close-after") {
        closeAfter = static_cast<UINT>(_wtoi(arguments[3]));
    }
    LocalFree(arguments);

    const std::string sandbox = platform::MakeUniqueTempFile(platform::TempPath(), "mvs");
    platform::RemoveFile(sandbox);
    platform::MakeFolder(sandbox);
    platform::EnterSandbox(sandbox);
    const std::string dataFolder = sandbox + "\\";
    WriteMissingFiles(dataFolder, FirstStartFiles());

    std::unique_ptr<ui::CDialogBase> dialog;
    if (which == L"allowed") {
        dialog = std::make_unique<CAllowedExtensionDlg>();
    } else if (which == L"prohibited") {
        dialog = std::make_unique<CProhibitedExtensionDlg>();
    } else {
        dialog = std::make_unique<CSettingsDlg>(dataFolder);
    }
    if (closeAfter != 0) {
        SetTimer(nullptr, 0, closeAfter, &OnCloseTimer);
    }
    const INT_PTR result = dialog->DoModal(nullptr);
    platform::LeaveSandbox();
    for (const FirstStartFile& file : FirstStartFiles()) {
        platform::RemoveFile(dataFolder + file.name);
    }
    for (const char* folder : {"AppData", "Program Files", "Temp"}) {
        platform::RemoveEmptyFolder(dataFolder + folder);
    }
    platform::RemoveEmptyFolder(sandbox);
    return result == IDOK ? 0 : 1;
}
