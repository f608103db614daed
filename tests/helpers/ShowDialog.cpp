// Opens one dialog of the program on its own, for looking at it or taking a picture of it:
//
//     morvek_show_dialog settings|allowed|prohibited|scanconfirm|about|progress|splash
//                        [--close-after MS]
//
// The progress dialog shows the extraction's message at 37%; the splash window and the
// progress dialog stay until --close-after ends them (or the process is ended).
//
// It works inside a sandbox of its own in the temporary folder (the data folder holds the
// first-start lists; the profile is a scratch store), so nothing the dialog saves reaches the
// user's own settings. With --close-after the dialog is cancelled after MS milliseconds.

#include <windows.h>

#include "app/FirstStartFiles.h"
#include "app/Settings.h"
#include "gui/AboutDlg.h"
#include "gui/AllowedExtensionDlg.h"
#include "gui/ProhibitedExtensionDlg.h"
#include "gui/ScanConfirmDlg.h"
#include "gui/SettingsDlg.h"
#include "intake/win/ProgressDialog.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/Sandbox.h"
#include "platform/ShiftJis.h"
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

// Shows a modeless window until the close timer (or the end of the process).
void RunModeless(UINT closeAfter) {
    const DWORD end = GetTickCount() + (closeAfter != 0 ? closeAfter : INFINITE / 2);
    MSG msg;
    while (static_cast<LONG>(GetTickCount() - end) < 0) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(20);
    }
}

class CSplash final : public ui::CDialogBase {
public:
    CSplash() : ui::CDialogBase(139) {}
};

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
    if (which == L"progress") {
        CProgressDialog progress;
        progress.Create(nullptr);
        progress.SetStatusText(
            "メールから添付ファイルを抽出しています。\nしばらくお待ちください。");
        progress.SetPosition(37);
        RunModeless(closeAfter);
        return 0;
    }
    if (which == L"splash") {
        CSplash splash;
        splash.CreateModeless(nullptr);
        RunModeless(closeAfter);
        return 0;
    }
    if (which == L"scanconfirm") {
        dialog = std::make_unique<CScanConfirmDlg>();
    } else if (which == L"about") {
        const std::string program = platform::ProgramFilePath();
        dialog =
            std::make_unique<CAboutDlg>(program.substr(0, sjis::FindLastOf(program, "\\") + 1));
    } else if (which == L"allowed") {
        dialog = std::make_unique<CAllowedExtensionDlg>();
    } else if (which == L"prohibited") {
        dialog = std::make_unique<CProhibitedExtensionDlg>();
    } else {
        // Shown with Microsoft Defender chosen, as on a machine with nothing else installed.
        SettingsValues values;
        values.virusScanApp = settings::kMicrosoftDefender;
        values.virusScanExeName =
            "C:\\ProgramData\\Microsoft\\Windows Defender\\Platform\\4.18.24090.11-0\\"
            "MpCmdRun.exe";
        CSettings().Write(values);
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
    for (const char* folder :
         {"AppData", "Program Files", "Program Files (x86)", "ProgramData", "Temp"}) {
        platform::RemoveEmptyFolder(dataFolder + folder);
    }
    platform::RemoveEmptyFolder(sandbox);
    return result == IDOK ? 0 : 1;
}
