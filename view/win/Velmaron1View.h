#pragma once

// The attachment list window: a child of the main frame that draws the records and their
// attachments, takes selections, drags and drops, and runs the list's commands.
//
// The decisions are the portable list classes' (layout, selection, commands over the record
// store); the window forwards input and shows what the commands ask for (confirmations,
// messages, the alert dialog, the shell) through its desktop. Painting, the scroll bars, the
// drag-out data and the drop side are classes of their own.

#include "intake/win/DropSite.h"
#include "policy/ExtensionList.h"
#include "store/RecordStore.h"
#include "ui/FrameView.h"
#include "view/ListAccessibility.h"
#include "view/ListCommands.h"
#include "view/ListLayout.h"
#include "view/ListSelection.h"
#include "view/win/ListAccessible.h"
#include "view/win/ListDesktop.h"
#include "view/win/ListPainter.h"
#include "view/win/ListScrollBars.h"
#include "view/win/WindowRunHost.h"

#include <string>

class CVelmaron1App;

class CVelmaron1View : public ui::CFrameView, private IDropSiteWindow {
public:
    // app: the folders; it outlives the view. confirmScan: the question after the antivirus
    // program has run over a drop's attachments.
    CVelmaron1View(const CVelmaron1App& app, ScanConfirmFunction confirmScan);
    ~CVelmaron1View() override;

    // Creates the view as child IDW_PANE_FIRST of frame, loads the record list and
    // registers its drop target. False on failure.
    bool CreateView(HWND frame) override;

    bool OnCommand(UINT id) override;
    std::optional<bool> QueryCommandEnabled(UINT id) override;

    // Paints the client area within clip (client coordinates) into dc as the window shows
    // it; WM_PAINT does it into a buffer, WM_PRINTCLIENT directly.
    void PaintClient(HDC dc, const RECT& clip);

    // The store, the layout and the allowed list, for the main frame and the tests.
    CRecordStore& GetStore() { return m_store; }
    CListLayout& GetLayout() { return m_layout; }
    const CExtensionList& GetAllowedList() const { return m_arrAllowedExt; }
    CDropSite& GetDropSite() { return m_dropSite; }

    // Repaints and scrolls as the last changes of the store ask (after changing the store
    // from outside).
    void ApplyUpdate();

    // What the window leaves to the desktop (message boxes, the shell's open, the alert
    // dialog, the drag loop); null restores the window's own. desktop outlives the view.
    void SetDesktop(IListDesktop* desktop) {
        m_pDesktop = desktop != nullptr ? desktop : &m_desktop;
    }

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // Start-up: allowed list, the display's scale and colours, fonts, record list,
    // reconciliation, first record.
    void OnInitialUpdate();
    // The window is on a monitor of another scale now: geometry, fonts and icons follow.
    void OnDpiChanged();
    // The system's colours or the high-contrast setting changed.
    void OnThemeChanged();
    // Assistive technology: the accessible object (WM_GETOBJECT), and the events that tell
    // it how the selection and the rows changed since the last update.
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam, bool& bHandled);
    void RaiseAccessibleEvents();
    void SelectChild(int child);
    void LoadAllowedList();
    HWND GetMainWindow() const;

    // Input.
    void OnLeftButtonDown(WPARAM flags, LPARAM lParam);
    bool OnLeftButtonDoubleClick(LPARAM lParam);
    void OnContextMenu(LPARAM lParam);
    void DragOut(bool bDeferred, WPARAM flags, LPARAM lParam);

    // Commands and the drop side.
    void OpenAttachment(list::OpenAction action, const std::string& path);
    void OnDeleteSelection();
    void OnDeleteAll();
    void OnMakeUnsent();
    LRESULT OnRefreshRecords();
    int ShowMessageBox(const std::string& text, const std::string& caption, UINT type);
    void ShowMessage(const std::string& text);

    // The drop site's window: a drop anywhere on the list is extracted, by the list's own
    // run, which lists what was kept.
    DropZone ZoneAt(DropPoint point) override;
    void ExtractPending(const PendingMessageList& pending,
                        const CExtensionList& prohibited) override;
    void ConvertPendingToUnsent(PendingMessageList& pending) override;

    const CVelmaron1App& m_app;
    ScanConfirmFunction m_fnConfirmScan;
    CRecordStore m_store;
    CListLayout m_layout{m_store};
    CListSelection m_selection{m_store, m_layout};
    CListCommands m_commands{m_store, m_layout, m_selection};
    CExtensionList m_arrAllowedExt;
    CDropSite m_dropSite;
    CListPainter m_painter{m_store, m_layout, m_arrAllowedExt};
    CListScrollBars m_scrollBars{m_layout};
    CListDesktop m_desktop;
    IListDesktop* m_pDesktop = &m_desktop;
    CListAccessibility m_accessibility{m_store, m_layout, m_arrAllowedExt};
    CListAccessible* m_pAccessible = nullptr;  // made at the first request, one reference
    list::AccessibleState m_accessibleState;   // as the last events told it
};
