#pragma once

// The attachment list window: a child of the main frame that draws the records and their
// attachments, takes selections, drags and drops, and runs the list's commands.
//
// The decisions are the portable list classes' (layout, selection, commands over the record
// store); the window paints, scrolls its bars, forwards input and shows what the commands
// ask for (confirmations, messages, the alert dialog, the shell).

#include "intake/win/DropSite.h"
#include "policy/ExtensionList.h"
#include "ui/FrameView.h"
#include "ui/ScopedGdi.h"
#include "view/ListCommands.h"
#include "view/ListLayout.h"
#include "view/ListSelection.h"
#include "store/RecordStore.h"
#include "view/win/WindowRunHost.h"

#include <ole2.h>

#include <functional>
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

    // Seams for tests: message boxes (text, caption, MB_ flags; returns the button), the
    // shell's open (returns success), the alert dialog (the file shown) and the drag loop
    // (returns the effect). Empty functions restore the real ones.
    using MessageBoxFunction =
        std::function<int(const std::string& text, const std::string& caption, UINT type)>;
    using ShellOpenFunction = std::function<bool(const std::string& path)>;
    using AlertFunction = std::function<void(const std::string& path)>;
    using DragFunction = std::function<DWORD(IDataObject* data, IDropSource* source)>;
    void SetMessageBoxFunction(MessageBoxFunction function) {
        m_fnMessageBox = std::move(function);
    }
    void SetShellOpenFunction(ShellOpenFunction function) { m_fnShellOpen = std::move(function); }
    void SetAlertFunction(AlertFunction function) { m_fnAlert = std::move(function); }
    void SetDragFunction(DragFunction function) { m_fnDrag = std::move(function); }

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // Start-up: allowed list, fonts, record list, reconciliation, first record.
    void OnInitialUpdate();
    void LoadAllowedList();
    void CreateFonts();
    HWND GetMainWindow() const;

    // Drawing.
    void OnPaint();
    void DrawRowFrame(HDC dc, const list::Rect& row) const;
    void DrawRecordRow(HDC dc, const std::string& path, const list::Rect& inner,
                       COLORREF colour) const;
    void DrawAttachmentRow(HDC dc, const std::string& path, const list::Rect& inner,
                           COLORREF colour) const;

    // Scrolling.
    void OnSize();
    void UpdateScrollBars();
    void OnScroll(int bar, int code);

    // Input.
    void OnLeftButtonDown(WPARAM flags, LPARAM lParam);
    bool OnLeftButtonDoubleClick(LPARAM lParam);
    void OnContextMenu(LPARAM lParam);
    void DragOut(bool bDeferred, WPARAM flags, LPARAM lParam);

    // Commands and the drop side.
    void OpenAttachment(list::OpenAction action, const std::string& path);
    void ShowAlert(const std::string& path);
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

    ui::ScopedFont m_fontNormal;
    ui::ScopedFont m_fontBold;
    HICON m_hIconRecord = nullptr;
    HICON m_hIconAlert = nullptr;
    HICON m_hIconDangerous = nullptr;
    HICON m_hIconNotAllowed = nullptr;

    list::Point m_ptShown;  // the scroll position the window's pixels show
    bool m_bUpdatingBars = false;

    MessageBoxFunction m_fnMessageBox;
    ShellOpenFunction m_fnShellOpen;
    AlertFunction m_fnAlert;
    DragFunction m_fnDrag;
};
