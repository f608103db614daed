#include "view/win/Velmaron1View.h"

#include "app/AppStrings.h"
#include "app/Settings.h"
#include "app/Velmaron1App.h"
#include "engine/mime/MailParser.h"
#include "intake/win/Display.h"
#include "policy/ExtensionListFile.h"
#include "res/resource.h"
#include "run/ExtractionRun.h"
#include "run/WriteFailureText.h"
#include "ui/AppMessages.h"
#include "ui/Resources.h"
#include "ui/ScopedGdi.h"
#include "ui/WaitCursor.h"
#include "view/win/ListDragOut.h"
#include "view/win/WindowRunHost.h"

#include <windows.h>

#include <windowsx.h>

#include <utility>

namespace {

constexpr wchar_t kClassName[] = L"MorvekListView";

list::Point PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

DWORD WinEventOf(list::AccessibleEvent event) {
    switch (event) {
        case list::AccessibleEvent::Reorder:
            return EVENT_OBJECT_REORDER;
        case list::AccessibleEvent::Focus:
            return EVENT_OBJECT_FOCUS;
        case list::AccessibleEvent::Selection:
            return EVENT_OBJECT_SELECTION;
        case list::AccessibleEvent::SelectionAdd:
            return EVENT_OBJECT_SELECTIONADD;
        case list::AccessibleEvent::SelectionRemove:
            return EVENT_OBJECT_SELECTIONREMOVE;
        case list::AccessibleEvent::SelectionWithin:
            break;
    }
    return EVENT_OBJECT_SELECTIONWITHIN;
}

}  // namespace

CVelmaron1View::CVelmaron1View(const CVelmaron1App& app, ScanConfirmFunction confirmScan)
    : m_app(app),
      m_fnConfirmScan(std::move(confirmScan)),
      m_store(app.GetDataFolder()),
      m_dropSite(app.GetDataFolder(), *this) {}

CVelmaron1View::~CVelmaron1View() {
    // The window goes first, so its WM_DESTROY reaches this object.
    DestroyBoundWindow();
}

bool CVelmaron1View::CreateView(HWND frame) {
    RECT rect{0, 0, 0, 0};
    if (frame != nullptr) {
        GetClientRect(frame, &rect);
    }
    if (!Create(kClassName, WS_EX_CLIENTEDGE,
                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_CLIPSIBLINGS, L"", rect, frame,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDW_PANE_FIRST)), CS_DBLCLKS)) {
        return false;
    }
    OnInitialUpdate();
    return true;
}

void CVelmaron1View::OnInitialUpdate() {
    LoadAllowedList();
    m_layout.SetDpi(display::GetWindowDpi(m_hWnd));
    m_painter.SetColourScheme(display::CurrentColourScheme());
    m_painter.Create(m_hWnd);
    m_store.LoadRecordList();
    m_store.ReconcileRecords();
    m_store.OpenFirstRecord();
    m_layout.SetScrollExtent();
    m_scrollBars.OnSize(m_hWnd);
    m_layout.InvalidateAll();
    ApplyUpdate();
}

void CVelmaron1View::OnDpiChanged() {
    m_layout.SetDpi(display::GetWindowDpi(m_hWnd));
    m_painter.Create(m_hWnd);
    m_scrollBars.OnSize(m_hWnd);
    ApplyUpdate();
}

void CVelmaron1View::OnThemeChanged() {
    const CColourScheme scheme = display::CurrentColourScheme();
    if (scheme != m_painter.GetColourScheme()) {
        m_painter.SetColourScheme(scheme);
        InvalidateRect(m_hWnd, nullptr, TRUE);
    }
}

LRESULT CVelmaron1View::OnGetObject(WPARAM wParam, LPARAM lParam, bool& bHandled) {
    bHandled = static_cast<LONG>(lParam) == OBJID_CLIENT;
    if (!bHandled) {
        return 0;  // the window's frame and scroll bars are the system's to describe
    }
    if (m_pAccessible == nullptr) {
        m_pAccessible = CListAccessible::Create(m_hWnd, m_accessibility,
                                                [this](int child) { SelectChild(child); });
        m_accessibleState = m_accessibility.Snapshot();
    }
    return m_pAccessible->AnswerGetObject(wParam);
}

void CVelmaron1View::SelectChild(int child) {
    list::AccessibleRow row;
    if (!m_accessibility.GetChild(child, row)) {
        return;
    }
    if (row.bRecord) {
        m_selection.SelectRecordAt(static_cast<int>(row.nIndex));
    } else {
        m_selection.SelectAttachmentAt(static_cast<int>(row.nIndex));
    }
    ApplyUpdate();
}

void CVelmaron1View::RaiseAccessibleEvents() {
    const list::AccessibleState now = m_accessibility.Snapshot();
    const bool bFocused = GetFocus() == m_hWnd;
    for (const list::AccessibleChange& change :
         CListAccessibility::Changes(m_accessibleState, now)) {
        if (change.event == list::AccessibleEvent::Focus && !bFocused) {
            continue;  // the keyboard is elsewhere
        }
        NotifyWinEvent(WinEventOf(change.event), m_hWnd, OBJID_CLIENT,
                       change.nChild == 0 ? CHILDID_SELF : change.nChild);
    }
    m_accessibleState = now;
}

void CVelmaron1View::LoadAllowedList() {
    LoadExtensionList(m_store.GetDataFolder() + kAllowedListFileName, m_arrAllowedExt, false);
}

HWND CVelmaron1View::GetMainWindow() const {
    HWND root = GetAncestor(m_hWnd, GA_ROOT);
    return root != nullptr ? root : m_hWnd;
}

// --- Messages ------------------------------------------------------------------------------

bool CVelmaron1View::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (message) {
        case WM_CREATE:
            m_dropSite.Register(m_hWnd);
            return true;
        case WM_DESTROY:
            m_dropSite.Revoke();
            if (m_pAccessible != nullptr) {
                // Clients may hold the object longer; it answers nothing from now on.
                m_pAccessible->Disconnect();
                std::exchange(m_pAccessible, nullptr)->Release();
            }
            return true;
        case WM_DPICHANGED_AFTERPARENT:
            OnDpiChanged();
            return true;
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
            OnThemeChanged();
            return false;
        case WM_GETOBJECT: {
            bool bHandled = false;
            result = OnGetObject(wParam, lParam, bHandled);
            return bHandled;
        }
        case WM_SETFOCUS: {
            // The row the keyboard is on, read out as the list takes the focus.
            const int focus = m_accessibility.GetFocus();
            NotifyWinEvent(EVENT_OBJECT_FOCUS, m_hWnd, OBJID_CLIENT,
                           focus == 0 ? CHILDID_SELF : focus);
            return false;
        }
        case WM_ERASEBKGND:
            result = 1;  // the paint fills the background in its buffer
            return true;
        case WM_PAINT:
            m_painter.PaintWindow(m_hWnd);
            return true;
        case WM_PRINTCLIENT: {
            RECT client;
            GetClientRect(m_hWnd, &client);
            PaintClient(reinterpret_cast<HDC>(wParam), client);
            return true;
        }
        case WM_SIZE:
            m_scrollBars.OnSize(m_hWnd);
            return true;
        case WM_VSCROLL:
            m_scrollBars.OnScroll(m_hWnd, SB_VERT, LOWORD(wParam));
            return true;
        case WM_HSCROLL:
            m_scrollBars.OnScroll(m_hWnd, SB_HORZ, LOWORD(wParam));
            return true;
        case WM_MOUSEWHEEL: {
            UINT lines = 3;
            SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
            m_layout.ScrollByWheel(GET_WHEEL_DELTA_WPARAM(wParam),
                                   lines == WHEEL_PAGESCROLL ? -1 : static_cast<int>(lines));
            ApplyUpdate();
            return true;
        }
        case WM_LBUTTONDOWN:
            OnLeftButtonDown(wParam, lParam);
            return true;
        case WM_LBUTTONUP:
            m_selection.OnLeftRelease(PointOf(lParam), (wParam & MK_CONTROL) != 0);
            ApplyUpdate();
            return false;
        case WM_LBUTTONDBLCLK:
            return OnLeftButtonDoubleClick(lParam);
        case WM_RBUTTONDOWN:
            SetFocus(m_hWnd);
            m_selection.OnRightPress(PointOf(lParam), (wParam & MK_CONTROL) != 0);
            ApplyUpdate();
            return false;
        case WM_CONTEXTMENU:
            OnContextMenu(lParam);
            return true;
        case WM_KEYDOWN: {
            const list::Key key = wParam == VK_DOWN ? list::Key::Down
                                  : wParam == VK_UP ? list::Key::Up
                                                    : list::Key::Other;
            const bool bDefault = m_selection.OnKeyDown(key);
            ApplyUpdate();
            return !bDefault;
        }
        case ui::WM_ADD_RECORD:
            if (wParam != 0) {
                m_store.AddRecord(reinterpret_cast<const char*>(wParam));
            }
            result = 1;
            return true;
        case ui::WM_REFRESH_RECORDS:
            result = OnRefreshRecords();
            return true;
        case ui::WM_RELOAD_ALLOWED:
            LoadAllowedList();
            InvalidateRect(m_hWnd, nullptr, TRUE);
            UpdateWindow(m_hWnd);
            result = 1;
            return true;
        default:
            return false;
    }
}

// --- Drawing -------------------------------------------------------------------------------

void CVelmaron1View::PaintClient(HDC dc, const RECT& clip) {
    m_painter.Paint(dc, clip);
}

// --- Scrolling -----------------------------------------------------------------------------

void CVelmaron1View::ApplyUpdate() {
    m_scrollBars.ApplyUpdate(m_hWnd);
    if (m_hWnd != nullptr) {
        RaiseAccessibleEvents();
    }
}

// --- Mouse and keyboard --------------------------------------------------------------------

void CVelmaron1View::OnLeftButtonDown(WPARAM flags, LPARAM lParam) {
    SetFocus(m_hWnd);
    const list::PressResult press =
        m_selection.OnLeftPress(PointOf(lParam), (flags & MK_CONTROL) != 0);
    ApplyUpdate();
    if (press.bHit) {
        // The new selection shows before the drag detection holds the thread.
        UpdateWindow(m_hWnd);
        DragOut(press.bDeferred, flags, lParam);
    }
}

void CVelmaron1View::DragOut(bool bDeferred, WPARAM flags, LPARAM lParam) {
    POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(m_hWnd, &screen);
    const DragOutResult drag =
        DragOutFiles(m_hWnd, screen, m_selection.BuildDropFileList(), *m_pDesktop);
    // The drag detection took the release of a press that did not turn into a drag; a
    // deferred selection change is made by a release of its own.
    if (drag.effect == DROPEFFECT_NONE && !drag.bStarted && bDeferred) {
        PostMessageW(m_hWnd, WM_LBUTTONUP, flags, lParam);
    }
}

bool CVelmaron1View::OnLeftButtonDoubleClick(LPARAM lParam) {
    std::string path;
    bool bPassOn = false;
    const list::OpenAction action =
        m_commands.OnDoubleClick(PointOf(lParam), m_arrAllowedExt, path, bPassOn);
    if (bPassOn) {
        return false;
    }
    if (action == list::OpenAction::ShowAlert) {
        m_pDesktop->ShowAlertFile(m_hWnd, path);
    } else {
        OpenAttachment(action, path);
    }
    return true;
}

void CVelmaron1View::OnContextMenu(LPARAM lParam) {
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (point.x == -1 && point.y == -1) {
        // From the keyboard: at the window's top-left corner.
        point = {0, 0};
        ClientToScreen(m_hWnd, &point);
    }
    const ui::ScopedMenu menu(
        LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_POPUPMENUS)));
    // The main window owns the menu, so the chosen command goes through the frame's route
    // and the frame sets the items' enable states.
    const HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (popup != nullptr) {
        TrackPopupMenu(popup, TPM_RIGHTBUTTON, point.x, point.y, 0, GetMainWindow(), nullptr);
    }
}

// --- Commands ------------------------------------------------------------------------------

bool CVelmaron1View::OnCommand(UINT id) {
    switch (id) {
        case ID_DELETE_SELECTION:
            OnDeleteSelection();
            return true;
        case ID_DELETE_ALL:
            OnDeleteAll();
            return true;
        case ID_MAKE_UNSENT:
            OnMakeUnsent();
            return true;
        case ID_OPEN_ATTACHMENT: {
            std::string path;
            OpenAttachment(m_commands.OnOpenSelected(m_arrAllowedExt, path), path);
            return true;
        }
        default:
            return false;
    }
}

std::optional<bool> CVelmaron1View::QueryCommandEnabled(UINT id) {
    switch (id) {
        case ID_DELETE_SELECTION:
        case ID_DELETE_ALL:
            return m_commands.IsDeleteEnabled();
        case ID_MAKE_UNSENT:
            return m_commands.IsMakeUnsentEnabled(CSettings().GetUseUnsendMailFunc());
        case ID_OPEN_ATTACHMENT:
            return true;
        default:
            return std::nullopt;
    }
}

void CVelmaron1View::OpenAttachment(list::OpenAction action, const std::string& path) {
    switch (action) {
        case list::OpenAction::NotAllowed:
            ShowMessage(list::kNotAllowedText);
            break;
        case list::OpenAction::Dangerous:
            ShowMessage(list::kDangerousText);
            break;
        case list::OpenAction::ShellOpen: {
            if (!m_pDesktop->OpenWithShell(path)) {
                ShowMessage(list::kCannotOpenText);
            }
            break;
        }
        case list::OpenAction::ShowAlert:
        case list::OpenAction::None:
            break;
    }
}

void CVelmaron1View::OnDeleteSelection() {
    // A command that is disabled does nothing, whichever way it arrives.
    if (!m_commands.IsDeleteEnabled()) {
        return;
    }
    if (ShowMessageBox(list::kConfirmDeleteSelectionText, list::kConfirmDeleteCaption, MB_YESNO) !=
        IDYES) {
        return;
    }
    ui::CWaitCursor wait;
    m_commands.DeleteSelection();
    ApplyUpdate();
}

void CVelmaron1View::OnDeleteAll() {
    if (!m_commands.IsDeleteEnabled()) {
        return;
    }
    if (ShowMessageBox(list::kConfirmDeleteAllText, list::kConfirmDeleteCaption, MB_YESNO) !=
        IDYES) {
        return;
    }
    ui::CWaitCursor wait;
    m_commands.DeleteAll();
    ApplyUpdate();
}

void CVelmaron1View::OnMakeUnsent() {
    if (!m_commands.IsMakeUnsentEnabled(CSettings().GetUseUnsendMailFunc())) {
        return;
    }
    const std::string path = m_commands.GetUnsentTarget();
    if (!path.empty()) {
        CMailParser parser(m_store.GetDataFolder());
        parser.MakeUnsentMail(path);
        if (parser.GetWriteFailure().kind != CMailParser::WriteFailureKind::None) {
            ShowMessage(UnsentFailureText(path, parser.GetWriteFailure()));
        }
    }
}

int CVelmaron1View::ShowMessageBox(const std::string& text, const std::string& caption, UINT type) {
    return m_pDesktop->AskUser(m_hWnd, text, caption, type);
}

void CVelmaron1View::ShowMessage(const std::string& text) {
    m_pDesktop->AskUser(m_hWnd, text, app::kAppTitle, MB_OK);
}

// --- The drop side -------------------------------------------------------------------------

DropZone CVelmaron1View::ZoneAt(DropPoint) {
    return DropZone::Extraction;
}

void CVelmaron1View::ConvertPendingToUnsent(PendingMessageList&) {
    // The list takes no drop for the unsent function.
}

void CVelmaron1View::ExtractPending(const PendingMessageList& pending,
                                    const CExtensionList& prohibited) {
    const HWND main = GetMainWindow();
    const HWND view = m_hWnd;
    CWindowRunHost host(
        view, main, view,
        [view, main](ExtractionOutcome) {
            SendMessageW(view, ui::WM_REFRESH_RECORDS, 0, 0);
            SetForegroundWindow(main);
            InvalidateRect(view, nullptr, TRUE);
        },
        m_fnConfirmScan);
    CExtractionRun run(m_store.GetDataFolder(), host);
    run.Run(pending, prohibited);
}

LRESULT CVelmaron1View::OnRefreshRecords() {
    m_layout.ScrollToPosition({0, 0});
    m_store.RefreshRecords();
    m_layout.SetScrollExtent();
    m_layout.InvalidateAll();
    ApplyUpdate();
    return 1;
}
