#include "gui/Velmaron1WinApp.h"

#include "app/Velmaron1App.h"
#include "gui/AboutDlg.h"
#include "gui/DialogPictures.h"
#include "gui/DropWindow.h"
#include "res/resource.h"
#include "ui/DialogBase.h"
#include "ui/Resources.h"
#include "store/InterruptedRun.h"

#include <commctrl.h>
#include <ole2.h>

namespace {

// The splash window: dialog 139, visible, borderless, at the screen's top-left corner, its
// picture drawn for the monitor's scale.
class CSplashWindow final : public ui::CDialogBase {
public:
    CSplashWindow() : ui::CDialogBase(IDD_SPLASH) {}

protected:
    BOOL OnInitDialog() override {
        m_pictures.Apply(m_hWnd, IDB_PRODUCT, 300, 210, IDR_MAINFRAME);
        return TRUE;
    }

private:
    CDialogPictures m_pictures;
};

}  // namespace

CVelmaron1WinApp::CVelmaron1WinApp(const CVelmaron1App& app, CMainFrame::ViewFactory createView)
    : m_app(app), m_createView(std::move(createView)) {}

CVelmaron1WinApp::~CVelmaron1WinApp() {
    m_pMainFrame.reset();
    if (m_bOleInitialized) {
        OleUninitialize();
    }
}

bool CVelmaron1WinApp::RaiseRunningInstance() {
    const HWND running = FindWindowW(nullptr, CMainFrame::kTitle);
    if (running == nullptr || !IsWindowVisible(running)) {
        return false;
    }
    SetForegroundWindow(running);
    return true;
}

bool CVelmaron1WinApp::InitInstance() {
    // One instance: a mutex that cannot be made counts as another instance running.
    m_pMutex = std::make_unique<platform::NamedMutex>(kMutexName);
    if (!m_pMutex->IsValid() || m_pMutex->AlreadyExisted()) {
        m_pMutex.reset();
        RaiseRunningInstance();
        return false;
    }
    // Only the owner of the mutex clears up: the temporary folder, and what a run that never
    // ended left in the data folder.
    CVelmaron1App::ClearTemporaryFolder();
    const int interrupted = ClearInterruptedRuns(m_app.GetDataFolder());

    auto splash = std::make_unique<CSplashWindow>();
    splash->CreateModeless(nullptr);
    if (splash->GetHwnd() != nullptr) {
        UpdateWindow(splash->GetHwnd());
    }
    Sleep(m_nSplashMilliseconds);

    if (FAILED(OleInitialize(nullptr))) {
        const std::wstring text = ui::LoadResourceString(IDS_OLE_INIT_FAILED);
        MessageBoxW(nullptr, text.c_str(), ui::ApplicationTitle().c_str(),
                    MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    m_bOleInitialized = true;

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_PROGRESS_CLASS |
                                                        ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    m_pMainFrame = std::make_unique<CMainFrame>(m_app, m_createView, this);
    m_pMainFrame->SetQuitOnDestroy(true);
    const bool created = m_pMainFrame->CreateFrame();
    splash.reset();
    if (!created || m_pMainFrame->GetHwnd() == nullptr) {
        m_pMainFrame.reset();
        return false;
    }
    if (interrupted > 0) {
        const CDropWindow* drop = m_pMainFrame->GetDropWindow();
        ui::ShowMessageBox(drop != nullptr ? drop->GetHwnd() : m_pMainFrame->GetHwnd(),
                           InterruptedRunText(interrupted), MB_OK | MB_ICONEXCLAMATION);
    }
    return true;
}

int CVelmaron1WinApp::Run() {
    MSG msg{};
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            break;
        }
        CDropWindow* drop = m_pMainFrame ? m_pMainFrame->GetDropWindow() : nullptr;
        if (drop != nullptr) {
            drop->PreTranslateMessage(msg);
        }
        if (m_pMainFrame && m_pMainFrame->TranslateAccelerators(msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        MSG next{};
        if (m_pMainFrame && !PeekMessageW(&next, nullptr, 0, 0, PM_NOREMOVE)) {
            m_pMainFrame->OnIdle();
        }
    }
    // The frame is gone: its object empties the temporary folder.
    m_pMainFrame.reset();
    return static_cast<int>(msg.wParam);
}

bool CVelmaron1WinApp::OnCommand(UINT id) {
    if (id != ID_APP_ABOUT) {
        return false;
    }
    const HWND owner = m_pMainFrame ? m_pMainFrame->GetHwnd() : nullptr;
    CAboutDlg dialog(m_app.m_strProgramFolder);
    dialog.DoModal(owner);
    return true;
}

std::optional<bool> CVelmaron1WinApp::QueryCommandEnabled(UINT id) {
    if (id == ID_APP_ABOUT) {
        return true;
    }
    return std::nullopt;
}
