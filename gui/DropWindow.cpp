#include "gui/DropWindow.h"

#include "app/Settings.h"
#include "app/Velmaron1App.h"
#include "engine/mime/MailParser.h"
#include "gui/DropWindowPicture.h"
#include "gui/MainFrame.h"
#include "gui/ScanConfirmDlg.h"
#include "gui/SettingsDlg.h"
#include "intake/DropWindowLayout.h"
#include "intake/win/Display.h"
#include "intake/win/ProgressDialog.h"
#include "platform/win32/WideText.h"
#include "res/resource.h"
#include "run/ExtractionRun.h"
#include "run/UnsentRun.h"
#include "run/WriteFailureText.h"
#include "ui/AppMessages.h"
#include "ui/Resources.h"
#include "ui/ScopedGdi.h"
#include "ui/WaitCursor.h"
#include "view/win/WindowRunHost.h"

#include <commctrl.h>
#include <windowsx.h>

#include <utility>

namespace {

DropPoint ClientPoint(LPARAM lParam) {
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

DropPoint ToPoint(POINT point) {
    return {static_cast<int>(point.x), static_cast<int>(point.y)};
}

WorkArea WorkAreaOf(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) {
        RECT area{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        return {area.left, area.top, area.right, area.bottom};
    }
    return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

// The window resizes itself for a new scale: the dialog manager is kept from scaling it as a
// dialog of its template (Windows 10 1703 and later; looked up, as older systems lack it).
void KeepDialogManagerFromResizing(HWND hwnd) {
    using Function = BOOL(WINAPI*)(HWND, int, int);
    static const auto function = reinterpret_cast<Function>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetDialogDpiChangeBehavior")));
    if (function != nullptr) {
        constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
        function(hwnd, kDisableAll, kDisableAll);
    }
}

}  // namespace

CDropWindow::CDropWindow(const CVelmaron1App& app, CMainFrame& frame)
    : ui::CDialogBase(IDD_DROPWINDOW),
      m_app(app),
      m_frame(frame),
      m_dropSite(app.GetDataFolder(), *this) {
    m_router.AddTarget([this]() -> ui::ICommandTarget* { return &m_commands; });
}

CDropWindow::~CDropWindow() {
    // The window goes first, so its WM_DESTROY reaches this object.
    DestroyBoundWindow();
}

bool CDropWindow::Create() {
    return CreateModeless(nullptr);
}

BOOL CDropWindow::OnInitDialog() {
    KeepDialogManagerFromResizing(m_hWnd);
    m_scale = display::GetWindowScale(m_hWnd);
    m_scheme = display::CurrentColourScheme();
    SetShape();
    SetPicture();
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    m_dropSite.Register(m_hWnd);
    CreateTooltips();
    Place();
    return TRUE;
}

void CDropWindow::SetShape() {
    // The picture is drawn for 120 by 150 pixels (at 96 dots per inch) whatever the dialog
    // font makes of the template's size; the region then cuts the capsule and the close
    // square out of it.
    const WindowSize size = CDropWindowLayout::Size(m_scale);
    SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ui::ScopedRegion capsule(dropwindow::MakeRegion(m_scale));
    // The window owns the region from here on and deletes it with itself.
    if (capsule && SetWindowRgn(m_hWnd, capsule.Get(), TRUE) != 0) {
        capsule.Detach();
    }
}

void CDropWindow::SetPicture() {
    const HWND control = GetDlgItem(m_hWnd, IDC_DROP_PICTURE);
    if (control == nullptr) {
        return;
    }
    // At 96 dots per inch in the design's colours the template's own picture stays.
    if (m_scale.IsBase() && !m_scheme.IsHighContrast() && !m_picture) {
        return;
    }
    ui::ScopedBitmap picture(dropwindow::MakePicture(m_scale, m_scheme));
    if (!picture) {
        return;
    }
    const auto old = reinterpret_cast<HBITMAP>(
        SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.Get())));
    // The template's picture belongs to whoever replaces it; one of ours is this window's.
    if (old != nullptr && old != m_picture.Get()) {
        DeleteObject(old);
    }
    m_picture = std::move(picture);
    const WindowSize size = CDropWindowLayout::Size(m_scale);
    SetWindowPos(control, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CDropWindow::CreateTooltips() {
    m_hWndTooltip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                        GetModuleHandleW(nullptr), nullptr);
    if (m_hWndTooltip == nullptr) {
        return;
    }
    SendMessageW(m_hWndTooltip, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(20, 0));
    SendMessageW(m_hWndTooltip, TTM_SETMAXTIPWIDTH, 0, m_scale.Scale(300));
    // The tools are fixed now: switching the unsent function on shows its tip only after
    // the next start, while the zone test reads the setting at every drag.
    m_bUnsentTool = CSettings().GetUseUnsendMailFunc();
    for (const DropWindowTool& tool : CDropWindowLayout::Tooltips(m_bUnsentTool, m_scale)) {
        std::wstring text = platform::win32::ToWide(tool.text);
        TTTOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.hwnd = m_hWnd;
        info.uId = tool.id;
        info.rect = {tool.zone.left, tool.zone.top, tool.zone.right, tool.zone.bottom};
        info.lpszText = text.data();
        SendMessageW(m_hWndTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    SendMessageW(m_hWndTooltip, TTM_ACTIVATE, TRUE, 0);
}

void CDropWindow::MoveTooltips() {
    if (m_hWndTooltip == nullptr) {
        return;
    }
    SendMessageW(m_hWndTooltip, TTM_SETMAXTIPWIDTH, 0, m_scale.Scale(300));
    // The tools made at creation, over the zones at the new scale.
    for (const DropWindowTool& tool : CDropWindowLayout::Tooltips(m_bUnsentTool, m_scale)) {
        TTTOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.hwnd = m_hWnd;
        info.uId = tool.id;
        info.rect = {tool.zone.left, tool.zone.top, tool.zone.right, tool.zone.bottom};
        SendMessageW(m_hWndTooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
    }
}

void CDropWindow::Place() {
    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    RECT window{};
    GetWindowRect(m_hWnd, &window);
    const ScreenPosition position =
        CDropWindowLayout::Place({workArea.left, workArea.top, workArea.right, workArea.bottom},
                                 window.right - window.left, m_scale);
    SetWindowPos(m_hWnd, nullptr, position.x, position.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CDropWindow::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    const dpi::CDpiScale before = m_scale;
    const dpi::CDpiScale after(HIWORD(wParam));
    RECT window{};
    GetWindowRect(m_hWnd, &window);
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    const WorkArea from = WorkAreaOf(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST));
    const WorkArea to = suggested != nullptr
                            ? WorkAreaOf(MonitorFromRect(suggested, MONITOR_DEFAULTTONEAREST))
                            : from;
    const ScreenPosition position = CDropWindowLayout::Follow(
        from, {window.left, window.top, window.right, window.bottom}, before, to, after,
        suggested != nullptr ? suggested->top : window.top);
    m_scale = after;
    SetShape();
    SetPicture();
    MoveTooltips();
    SetWindowPos(m_hWnd, nullptr, position.x, position.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDropWindow::OnThemeChanged() {
    const CColourScheme scheme = display::CurrentColourScheme();
    if (scheme == m_scheme) {
        return;
    }
    m_scheme = scheme;
    SetPicture();
}

bool CDropWindow::PreTranslateMessage(MSG& msg) {
    if (m_hWndTooltip == nullptr || msg.hwnd != m_hWnd) {
        return false;
    }
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
        SendMessageW(m_hWndTooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    } else if (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCMBUTTONDBLCLK) {
        // Everything but the main zone and the close mark answers the hit test as caption, so
        // the mouse over the unsent zone arrives as non-client messages with screen
        // coordinates. The tooltip control follows client messages: relay each as its client
        // counterpart, so the unsent zone's tip shows and a press there hides a tip.
        POINT point{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
        ScreenToClient(m_hWnd, &point);
        MSG relayed = msg;
        relayed.message = msg.message - WM_NCMOUSEMOVE + WM_MOUSEMOVE;
        relayed.wParam = 0;
        relayed.lParam = MAKELPARAM(point.x, point.y);
        SendMessageW(m_hWndTooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    return false;
}

void CDropWindow::Answer(INT_PTR& result, LRESULT value) {
    SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, value);
    result = TRUE;
}

bool CDropWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
        case WM_NCHITTEST:
            Answer(result, OnNcHitTest(lParam));
            return true;
        case WM_LBUTTONDOWN:
            SetCapture(m_hWnd);
            m_ptDown = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            return true;
        case WM_LBUTTONUP:
            if (GetCapture() == nullptr) {
                return false;
            }
            OnLeftButtonUp(lParam);
            return true;
        case WM_TIMER:
            KillTimer(m_hWnd, kHideTimer);
            ShowWindow(m_hWnd, SW_HIDE);
            return true;
        case WM_CONTEXTMENU:
            OnContextMenu(lParam);
            return true;
        case WM_DPICHANGED:
            OnDpiChanged(wParam, lParam);
            Answer(result, 0);
            return true;
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
            OnThemeChanged();
            return false;
        case WM_INITMENUPOPUP:
            m_router.UpdateMenu(reinterpret_cast<HMENU>(wParam));
            return true;
        case WM_DESTROY:
            m_dropSite.Revoke();
            if (m_hWndTooltip != nullptr) {
                DestroyWindow(std::exchange(m_hWndTooltip, nullptr));
            }
            return false;
        default:
            return false;
    }
}

LRESULT CDropWindow::OnNcHitTest(LPARAM lParam) {
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ScreenToClient(m_hWnd, &point);
    return CDropWindowLayout::IsClientPoint(ToPoint(point), m_scale) ? HTCLIENT : HTCAPTION;
}

void CDropWindow::OnLeftButtonUp(LPARAM lParam) {
    ReleaseCapture();
    switch (CDropWindowLayout::Click(ToPoint(m_ptDown), ClientPoint(lParam), m_scale)) {
        case CDropWindowLayout::ClickAction::OpenList: {
            const HWND frame = m_frame.GetHwnd();
            ShowWindow(frame, SW_SHOWNORMAL);
            ShowWindow(frame, SW_SHOW);
            SetForegroundWindow(frame);
            SetTimer(m_hWnd, kHideTimer, 50, nullptr);
            break;
        }
        case CDropWindowLayout::ClickAction::Exit:
            SendMessageW(m_frame.GetHwnd(), ui::WM_EXIT_APPLICATION, 0, 0);
            break;
        case CDropWindowLayout::ClickAction::None:
            break;
    }
}

void CDropWindow::OnContextMenu(LPARAM lParam) {
    const ui::ScopedMenu menus(
        LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_POPUPMENUS)));
    // The second submenu, "TABLE"; this window owns it, so its route sets the items' enable
    // states and runs the chosen command.
    const HMENU table = menus ? GetSubMenu(menus.Get(), 1) : nullptr;
    if (table != nullptr) {
        TrackPopupMenu(table, TPM_RIGHTBUTTON, static_cast<short>(LOWORD(lParam)),
                       static_cast<short>(HIWORD(lParam)), 0, m_hWnd, nullptr);
    }
}

DropZone CDropWindow::ZoneAt(DropPoint point) {
    return CDropWindowLayout::TestZone(point, CSettings().GetUseUnsendMailFunc(), m_scale);
}

bool CDropWindow::OnCommand(UINT id, UINT code) {
    if (m_router.Route(id)) {
        return true;
    }
    if (id == IDOK || id == IDCANCEL) {
        // Enter and Esc do not close the drop window.
        return true;
    }
    return ui::CDialogBase::OnCommand(id, code);
}

bool CDropWindow::CCommands::OnCommand(UINT id) {
    switch (id) {
        case ID_OPEN_LIST:
            m_window.OnOpenList();
            return true;
        case ID_SETTINGS:
            m_window.OnSettings();
            return true;
        case ID_APP_ABOUT:
            m_window.OnAbout();
            return true;
        default:
            return false;
    }
}

std::optional<bool> CDropWindow::CCommands::QueryCommandEnabled(UINT id) {
    switch (id) {
        case ID_OPEN_LIST:
        case ID_SETTINGS:
        case ID_APP_ABOUT:
            return true;
        default:
            return std::nullopt;
    }
}

void CDropWindow::OnOpenList() {
    const HWND view = m_frame.GetActiveViewWindow();
    if (view != nullptr) {
        SendMessageW(view, ui::WM_REFRESH_RECORDS, 0, 0);
    }
    const HWND frame = m_frame.GetHwnd();
    if (!IsWindowVisible(frame)) {
        ShowWindow(frame, SW_SHOWNORMAL);
        ShowWindow(frame, SW_SHOW);
    }
    SetForegroundWindow(frame);
    SetTimer(m_hWnd, kHideTimer, 50, nullptr);
}

void CDropWindow::OnSettings() {
    ShowWindow(m_hWnd, SW_HIDE);
    CSettingsDlg dialog(m_app.GetDataFolder());
    if (dialog.DoModal(m_hWnd) == IDOK) {
        const HWND view = m_frame.GetActiveViewWindow();
        if (view != nullptr) {
            SendMessageW(view, ui::WM_RELOAD_ALLOWED, 0, 0);
        }
    }
    ShowWindow(m_hWnd, SW_SHOW);
}

void CDropWindow::OnAbout() {
    ShowWindow(m_hWnd, SW_HIDE);
    SendMessageW(m_frame.GetHwnd(), WM_COMMAND, MAKEWPARAM(ID_APP_ABOUT, 0), 0);
    ShowWindow(m_hWnd, SW_SHOW);
}

void CDropWindow::ExtractPending(const PendingMessageList& pending,
                                 const CExtensionList& prohibited) {
    // The drop window's own run: it owns the dialogs, hides itself around the antivirus
    // program, and after a keep opens the list; after a discard nothing more happens.
    CWindowRunHost host(
        m_hWnd, m_hWnd, m_frame.GetActiveViewWindow(),
        [this](ExtractionOutcome outcome) {
            if (outcome == ExtractionOutcome::Kept) {
                OnOpenList();
            }
        },
        AskScanConfirm);
    CExtractionRun run(m_app.GetDataFolder(), host);
    run.Run(pending, prohibited);
}

void CDropWindow::ConvertPendingToUnsent(PendingMessageList& pending) {
    const std::string dataFolder = m_app.GetDataFolder();
    std::vector<std::string> failures;
    {
        ui::CWaitCursor wait;
        CProgressDialog progress(IDS_PROGRESS_CAPTION);
        progress.Create(m_hWnd);
        RunUnsentConversion(pending, progress, [&](const std::string& copy) {
            CMailParser parser(dataFolder);
            parser.MakeUnsentMail(copy);
            if (parser.GetWriteFailure().kind != CMailParser::WriteFailureKind::None) {
                failures.push_back(UnsentFailureText(copy, parser.GetWriteFailure()));
            }
        });
    }
    // The drafts that could not be written, named once the progress dialog is gone.
    if (!failures.empty()) {
        std::string text;
        for (const std::string& failure : failures) {
            text += failure + "\n";
        }
        ui::ShowMessageBox(m_hWnd, text, MB_OK | MB_ICONEXCLAMATION);
    }
}
