#pragma once

// The drop window: the small capsule on the desktop, topmost and without a taskbar button.
// Messages dropped on its main zone are extracted, on its lower zone (when the unsent
// function is on) turned back into unsent drafts. A click on the main zone opens the list
// window, a click on the close mark exits, a right click opens its menu.

#include "gui/CommandRouter.h"
#include "intake/win/DropSite.h"
#include "ui/CommandTarget.h"
#include "ui/DialogBase.h"

class CMainFrame;
class CVelmaron1App;

class CDropWindow final : public ui::CDialogBase, private IDropSiteWindow {
public:
    static constexpr UINT_PTR kHideTimer = 123;

    // app: the folders. frame: the main window, which outlives this window.
    CDropWindow(const CVelmaron1App& app, CMainFrame& frame);
    ~CDropWindow() override;

    // Creates the window (dialog 133, no parent), shaped, placed, topmost, with its tooltips
    // and drop target.
    bool Create();

    // Hands mouse messages, client and non-client, to the tooltips; true when msg was
    // consumed.
    bool PreTranslateMessage(MSG& msg);

    CDropSite& GetDropSite() { return m_dropSite; }
    HWND GetTooltipWindow() const { return m_hWndTooltip; }

    // Opens the list window; the drop window hides itself 50 ms later.
    void OnOpenList();

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void SetShape();
    void CreateTooltips();
    void Place();
    LRESULT OnNcHitTest(LPARAM lParam);
    void OnLeftButtonUp(LPARAM lParam);
    void OnContextMenu(LPARAM lParam);
    void OnSettings();
    void OnAbout();
    void Answer(INT_PTR& result, LRESULT value);

    // The commands of the drop window's menu (open the list, settings, about), routed and
    // enabled by its own command route.
    class CCommands final : public ui::ICommandTarget {
    public:
        explicit CCommands(CDropWindow& window) : m_window(window) {}
        bool OnCommand(UINT id) override;
        std::optional<bool> QueryCommandEnabled(UINT id) override;

    private:
        CDropWindow& m_window;
    };

    // The drop site's window: the zones of the layout, the drop window's own runs.
    DropZone ZoneAt(DropPoint point) override;
    void ExtractPending(const PendingMessageList& pending,
                        const CExtensionList& prohibited) override;
    void ConvertPendingToUnsent(PendingMessageList& pending) override;

    const CVelmaron1App& m_app;
    CMainFrame& m_frame;
    CDropSite m_dropSite;
    CCommands m_commands{*this};
    CCommandRouter m_router;
    POINT m_ptDown{};
    HWND m_hWndTooltip = nullptr;
};
