// morvek.exe: the drop window on the desktop and the attachment list behind it.

#include "app/Velmaron1App.h"
#include "gui/ScanConfirmDlg.h"
#include "gui/Velmaron1WinApp.h"
#include "platform/Process.h"
#include "view/win/Velmaron1View.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The folder work comes first, in every process, also in one that then finds another
    // instance running. Only the program's own name is taken from the command line.
    const std::vector<std::string> arguments = platform::ProgramArguments();
    CVelmaron1App app(arguments.empty() ? std::string() : arguments.front());

    CVelmaron1WinApp winApp(app, [&app]() -> std::unique_ptr<ui::CFrameView> {
        return std::make_unique<CVelmaron1View>(app, AskScanConfirm);
    });
    if (!winApp.InitInstance()) {
        return 0;
    }
    return winApp.Run();
}
