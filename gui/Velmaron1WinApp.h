#pragma once

// The program's start and end on Windows: one running instance, the splash window, OLE, the
// hidden list window with its view and the visible drop window, the message loop, and the
// clean-up at exit. The folder work of the portable application object comes first, in
// every process.

#include "app/Velmaron1App.h"
#include "gui/MainFrame.h"
#include "platform/NamedMutex.h"
#include "ui/CommandTarget.h"

#include <memory>

class CVelmaron1WinApp final : public ui::ICommandTarget {
public:
    static constexpr const char* kMutexName = CVelmaron1App::kMutexName;
    static constexpr DWORD kSplashMilliseconds = 2500;

    // app: the folders, prepared already. createView: makes the list view.
    CVelmaron1WinApp(const CVelmaron1App& app, CMainFrame::ViewFactory createView);
    ~CVelmaron1WinApp() override;

    // Start-up; false when the program is to end at once (another instance runs, OLE
    // failed, or the windows could not be made).
    bool InitInstance();

    // The message loop, until the main frame is destroyed; returns the exit code.
    int Run();

    CMainFrame* GetMainFrame() const { return m_pMainFrame.get(); }

    // How long the splash window stays (tests shorten it).
    void SetSplashMilliseconds(DWORD milliseconds) { m_nSplashMilliseconds = milliseconds; }

    // Brings a visible running instance's list window to the foreground; a hidden one is
    // left alone. Returns whether one was raised.
    static bool RaiseRunningInstance();

    // The application's own command: the about box.
    bool OnCommand(UINT id) override;
    std::optional<bool> QueryCommandEnabled(UINT id) override;

private:
    const CVelmaron1App& m_app;
    CMainFrame::ViewFactory m_createView;
    std::unique_ptr<platform::NamedMutex> m_pMutex;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    bool m_bOleInitialized = false;
    DWORD m_nSplashMilliseconds = kSplashMilliseconds;
};
