#pragma once

// The list window: menu bar, toolbar and status bar around the attachment list view. It owns
// the drop window, the program's everyday face. The list window is created hidden and is
// shown and hidden on request; closing it hides it unless the user asked to exit or the
// setting says that closing it ends the program.

#include "gui/CommandRouter.h"
#include "ui/FrameView.h"
#include "ui/WindowBase.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

class CDropWindow;
class CVelmaron1App;

class CMainFrame final : public ui::CWindowBase, public ui::ICommandTarget {
public:
    using ViewFactory = std::function<std::unique_ptr<ui::CFrameView>()>;

    // app: the folders. createView: makes the list view. appCommands: the application's
    // own commands, last on the route (may be null).
    CMainFrame(const CVelmaron1App& app, ViewFactory createView, ui::ICommandTarget* appCommands);
    ~CMainFrame() override;

    // Creates the frame (hidden), its drop window, toolbar, status bar and view.
    bool CreateFrame();

    // Keyboard accelerators of the list window; true when msg was consumed.
    bool TranslateAccelerators(MSG& msg);

    // Runs when the thread's message queue is empty: the toolbar's enable states.
    void OnIdle();

    HWND GetActiveViewWindow() const;
    CDropWindow* GetDropWindow() const { return m_pDropWindow.get(); }
    const CCommandRouter& GetRouter() const { return m_router; }
    bool IsExitRequested() const { return m_bExitRequested; }

    // Whether the frame's destruction ends the thread's message loop (the program's frame
    // does; frames made by tests do not).
    void SetQuitOnDestroy(bool bQuit) { m_bQuitOnDestroy = bQuit; }

    // The frame's own commands: exit, open the list, settings.
    bool OnCommand(UINT id) override;
    std::optional<bool> QueryCommandEnabled(UINT id) override;

    static const wchar_t kTitle[];

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool OnCreate();
    bool CreateToolbar();
    // The toolbar's pictures and button size for the monitor's scale.
    bool SetToolbarPictures();
    bool CreateStatusBar();
    void PlaceWindow();
    void LayoutChildren();
    void OnSize(WPARAM sizeType);
    void OnClose();
    void RequestExit();
    void OpenList();
    void RunSettings();
    void ShowDropWindow();
    void ShowPrompt(UINT id);
    bool OnNotify(const NMHDR& header, LRESULT& result);

    const CVelmaron1App& m_app;
    ViewFactory m_createView;
    HWND m_hWndStatusBar = nullptr;
    HWND m_hWndToolbar = nullptr;
    bool m_bExitRequested = false;
    bool m_bQuitOnDestroy = false;
    std::unique_ptr<CDropWindow> m_pDropWindow;
    std::unique_ptr<ui::CFrameView> m_pView;
    HACCEL m_hAccelerators = nullptr;
    HIMAGELIST m_hToolbarImages = nullptr;
    SIZE m_sizeToolbarButton{16, 15};  // at 96 dots per inch, from the toolbar resource
    CCommandRouter m_router;
};
