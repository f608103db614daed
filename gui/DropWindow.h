#pragma once

// The drop window: the small capsule on the desktop, topmost and without a taskbar button.
// Messages dropped on its main zone are extracted, on its lower zone (when the unsent
// function is on) turned back into unsent drafts. A click on the main zone opens the list
// window, a click on the close mark exits, a right click opens its menu.

#include "app/ColourScheme.h"
#include "app/DpiScale.h"
#include "gui/CommandRouter.h"
#include "intake/win/DropSite.h"
#include "ui/CommandTarget.h"
#include "ui/DialogBase.h"
#include "ui/ScopedGdi.h"

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

    // The scale of the monitor the window is on, and the colours it is drawn in.
    const dpi::CDpiScale& GetScale() const { return m_scale; }
    const CColourScheme& GetColourScheme() const { return m_scheme; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    // Size, shape, picture and tooltip areas for m_scale and m_scheme.
    void SetShape();
    void SetPicture();
    void CreateTooltips();
    void MoveTooltips();
    void Place();
    // Moved to a monitor of another scale (WM_DPICHANGED): the new size at the same edge.
    void OnDpiChanged(WPARAM wParam, LPARAM lParam);
    // The system's colours or the high-contrast setting changed.
    void OnThemeChanged();
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
    bool m_bUnsentTool = false;  // the unsent zone got a tooltip at creation
    dpi::CDpiScale m_scale;
    CColourScheme m_scheme;
    ui::ScopedBitmap m_picture;  // the picture shown when not the template's own
};
