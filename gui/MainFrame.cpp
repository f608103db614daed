#include "gui/MainFrame.h"

#include "app/FramePlacement.h"
#include "app/Settings.h"
#include "app/Velmaron1App.h"
#include "gui/DropWindow.h"
#include "gui/SettingsDlg.h"
#include "intake/win/Display.h"
#include "res/resource.h"
#include "ui/AppMessages.h"
#include "ui/Resources.h"
#include "ui/ScopedGdi.h"

#include <commctrl.h>

#include <vector>

namespace {

constexpr wchar_t kClassName[] = L"MorvekMainFrame";

// The toolbar resource: version, button width and height, count, then the commands
// (0 for a separator).
std::vector<WORD> LoadToolbarLayout() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const HRSRC resource =
        FindResourceW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), MAKEINTRESOURCEW(241));
    if (resource == nullptr) {
        return {};
    }
    const HGLOBAL loaded = LoadResource(instance, resource);
    const auto* words = static_cast<const WORD*>(LockResource(loaded));
    const std::size_t count = SizeofResource(instance, resource) / sizeof(WORD);
    if (words == nullptr || count < 4 || words[0] != 1 || count < 4u + words[3]) {
        return {};
    }
    return std::vector<WORD>(words, words + 4 + words[3]);
}

// The prompt (before the line break) or the tooltip (after it) of a command.
std::wstring CommandText(UINT id, bool tooltip) {
    const std::wstring text = ui::LoadResourceString(id);
    const std::size_t brk = text.find(L'\n');
    if (brk == std::wstring::npos) {
        return tooltip ? std::wstring() : text;
    }
    return tooltip ? text.substr(brk + 1) : text.substr(0, brk);
}

}  // namespace

const wchar_t CMainFrame::kTitle[] = L"Morvek Attachment Extractor";

CMainFrame::CMainFrame(const CVelmaron1App& app, ViewFactory createView,
                       ui::ICommandTarget* appCommands)
    : m_app(app), m_createView(std::move(createView)) {
    m_router.AddTarget([this]() -> ui::ICommandTarget* { return m_pView.get(); });
    m_router.AddTarget([this]() -> ui::ICommandTarget* { return this; });
    m_router.AddTarget([appCommands]() { return appCommands; });
}

CMainFrame::~CMainFrame() {
    if (m_hWnd != nullptr) {
        DestroyWindow(m_hWnd);
    }
    m_pDropWindow.reset();
    // Unsent drafts live only as long as the program runs.
    CVelmaron1App::ClearTemporaryFolder();
    if (m_hToolbarImages != nullptr) {
        ImageList_Destroy(m_hToolbarImages);
    }
    if (m_hAccelerators != nullptr) {
        DestroyAcceleratorTable(m_hAccelerators);
    }
}

bool CMainFrame::CreateFrame() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    ui::ScopedMenu menu(LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME)));
    m_hAccelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    // Created without the visible style: the list window stays hidden until asked for.
    const RECT rect{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    if (!Create(kClassName, 0, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, kTitle, rect, nullptr,
                menu.Get(), CS_DBLCLKS)) {
        return false;
    }
    menu.Detach();  // the window's menu bar now, destroyed with it
    const HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    return true;
}

bool CMainFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_CREATE:
            result = OnCreate() ? 0 : -1;
            return true;
        case WM_SIZE:
            OnSize(wParam);
            return true;
        case WM_CLOSE:
            OnClose();
            return true;
        case ui::WM_EXIT_APPLICATION:
            RequestExit();
            result = 1;
            return true;
        case WM_COMMAND:
            if (lParam == 0 || reinterpret_cast<HWND>(lParam) == m_hWndToolbar) {
                m_router.Route(LOWORD(wParam));
                return true;
            }
            return false;
        case WM_INITMENUPOPUP:
            m_router.UpdateMenu(reinterpret_cast<HMENU>(wParam));
            return true;
        case WM_MENUSELECT: {
            const UINT flags = HIWORD(wParam);
            if (flags == 0xFFFF && lParam == 0) {
                ShowPrompt(0);  // the menu closed
            } else if ((flags & (MF_POPUP | MF_SEPARATOR)) == 0) {
                ShowPrompt(LOWORD(wParam));
            }
            return true;
        }
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result);
        case WM_SETFOCUS:
            if (m_pView && m_pView->GetHwnd() != nullptr) {
                SetFocus(m_pView->GetHwnd());
            }
            return true;
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
            // Only top-level windows hear of a new theme; the children draw with it too.
            for (const HWND child : {m_hWndToolbar, m_pView ? m_pView->GetHwnd() : nullptr}) {
                if (child != nullptr) {
                    SendMessageW(child, message, wParam, lParam);
                }
            }
            return false;
        case WM_DPICHANGED:
            // Moved to a monitor of another scale: the suggested size, the toolbar's pictures
            // for the new scale; the list window follows by itself.
            display::MoveToSuggestedRect(m_hWnd, lParam);
            SetToolbarPictures();
            LayoutChildren();
            return true;
        case WM_DESTROY:
            if (m_bQuitOnDestroy) {
                PostQuitMessage(0);
            }
            return false;
        default:
            return false;
    }
}

bool CMainFrame::OnCreate() {
    SetWindowTextW(m_hWnd, kTitle);
    m_pDropWindow = std::make_unique<CDropWindow>(m_app, *this);
    m_pDropWindow->Create();
    if (!CreateToolbar() || !CreateStatusBar()) {
        return false;
    }
    if (m_createView) {
        m_pView = m_createView();
        if (m_pView && !m_pView->CreateView(m_hWnd)) {
            return false;
        }
    }
    PlaceWindow();
    return true;
}

bool CMainFrame::CreateToolbar() {
    const std::vector<WORD> layout = LoadToolbarLayout();
    if (layout.empty()) {
        return false;
    }
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    m_hWndToolbar = CreateWindowExW(
        0, TOOLBARCLASSNAMEW, nullptr,
        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER, 0, 0, 0,
        0, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDW_TOOLBAR)), instance, nullptr);
    if (m_hWndToolbar == nullptr) {
        return false;
    }
    m_sizeToolbarButton = {layout[1], layout[2]};
    SendMessageW(m_hWndToolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    if (!SetToolbarPictures()) {
        return false;
    }

    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (std::size_t i = 4; i < layout.size(); ++i) {
        TBBUTTON button{};
        if (layout[i] == 0) {
            button.fsStyle = BTNS_SEP;
        } else {
            button.iBitmap = image++;
            button.idCommand = layout[i];
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = BTNS_BUTTON;
        }
        buttons.push_back(button);
    }
    SendMessageW(m_hWndToolbar, TB_ADDBUTTONSW, buttons.size(),
                 reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(m_hWndToolbar, TB_AUTOSIZE, 0, 0);
    return true;
}

bool CMainFrame::SetToolbarPictures() {
    // The strip drawn for the scale's picture scale, at its own size: buttons of 16 by 15 at
    // 96 dots per inch, 24 by 23 at 144.
    const int percent = display::GetWindowScale(m_hWnd).GetPictureScale();
    const int width = dpi::ScaleToPercent(m_sizeToolbarButton.cx, percent);
    const int height = dpi::ScaleToPercent(m_sizeToolbarButton.cy, percent);
    const dpi::CDpiScale pictures(dpi::ScaleToPercent(dpi::kBaseDpi, percent));
    // The button pictures are drawn on light grey, which becomes the button face.
    const HIMAGELIST images = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 3, 0);
    const HBITMAP bitmap = display::LoadPicture(IDR_MAINFRAME, pictures, 3 * m_sizeToolbarButton.cx,
                                                m_sizeToolbarButton.cy);
    if (images == nullptr || bitmap == nullptr) {
        if (bitmap != nullptr) {
            DeleteObject(bitmap);
        }
        if (images != nullptr) {
            ImageList_Destroy(images);
        }
        return false;
    }
    ImageList_AddMasked(images, bitmap, RGB(192, 192, 192));
    DeleteObject(bitmap);
    SendMessageW(m_hWndToolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
    SendMessageW(m_hWndToolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    if (m_hToolbarImages != nullptr) {
        ImageList_Destroy(m_hToolbarImages);
    }
    m_hToolbarImages = images;
    SendMessageW(m_hWndToolbar, TB_AUTOSIZE, 0, 0);
    return true;
}

bool CMainFrame::CreateStatusBar() {
    m_hWndStatusBar =
        CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                        0, 0, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDW_STATUSBAR)),
                        GetModuleHandleW(nullptr), nullptr);
    if (m_hWndStatusBar == nullptr) {
        return false;
    }
    int parts[] = {-1};
    SendMessageW(m_hWndStatusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
    ShowPrompt(0);
    return true;
}

void CMainFrame::ShowPrompt(UINT id) {
    if (m_hWndStatusBar == nullptr) {
        return;
    }
    std::wstring text = id != 0 ? CommandText(id, false) : std::wstring();
    if (text.empty()) {
        text = ui::LoadResourceString(IDS_IDLE_MESSAGE);
    }
    SendMessageW(m_hWndStatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool CMainFrame::OnNotify(const NMHDR& header, LRESULT& result) {
    if (header.code == TTN_GETDISPINFOW) {
        // Toolbar tooltips: the text after the line break of the command's string.
        auto& info = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
        static std::wstring s_tip;
        s_tip = CommandText(static_cast<UINT>(header.idFrom), true);
        info.lpszText = s_tip.data();
        result = 0;
        return true;
    }
    if (header.hwndFrom == m_hWndToolbar && header.code == TBN_HOTITEMCHANGE) {
        const auto& change = reinterpret_cast<const NMTBHOTITEM&>(header);
        ShowPrompt((change.dwFlags & HICF_LEAVING) != 0 ? 0 : static_cast<UINT>(change.idNew));
        result = 0;
        return true;
    }
    return false;
}

void CMainFrame::PlaceWindow() {
    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    const FrameBounds rect =
        PlaceMainFrame(workArea.left, workArea.top, workArea.right, workArea.bottom);
    MoveWindow(m_hWnd, rect.x, rect.y, rect.width, rect.height, TRUE);
}

void CMainFrame::LayoutChildren() {
    RECT client{};
    GetClientRect(m_hWnd, &client);
    int top = client.top;
    int bottom = client.bottom;
    if (m_hWndToolbar != nullptr) {
        SendMessageW(m_hWndToolbar, TB_AUTOSIZE, 0, 0);
        RECT bar{};
        GetWindowRect(m_hWndToolbar, &bar);
        top += bar.bottom - bar.top;
    }
    if (m_hWndStatusBar != nullptr) {
        SendMessageW(m_hWndStatusBar, WM_SIZE, 0, 0);
        RECT bar{};
        GetWindowRect(m_hWndStatusBar, &bar);
        bottom -= bar.bottom - bar.top;
    }
    if (m_pView && m_pView->GetHwnd() != nullptr) {
        MoveWindow(m_pView->GetHwnd(), client.left, top, client.right - client.left,
                   bottom > top ? bottom - top : 0, TRUE);
    }
}

void CMainFrame::OnSize(WPARAM sizeType) {
    if (sizeType == SIZE_MINIMIZED) {
        // Minimising the list window puts the drop window back in its place.
        ShowWindow(m_hWnd, SW_HIDE);
        ShowDropWindow();
        return;
    }
    LayoutChildren();
}

void CMainFrame::ShowDropWindow() {
    if (m_pDropWindow && m_pDropWindow->GetHwnd() != nullptr) {
        ShowWindow(m_pDropWindow->GetHwnd(), SW_SHOW);
        ShowWindow(m_pDropWindow->GetHwnd(), SW_SHOWNORMAL);
    }
}

void CMainFrame::OnClose() {
    if (m_bExitRequested || CSettings().GetExitOnCloseList()) {
        m_pDropWindow.reset();
        DestroyWindow(m_hWnd);
        return;
    }
    ShowWindow(m_hWnd, SW_HIDE);
    ShowDropWindow();
}

void CMainFrame::RequestExit() {
    m_bExitRequested = true;
    SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

void CMainFrame::OpenList() {
    if (m_pDropWindow && m_pDropWindow->GetHwnd() != nullptr) {
        ShowWindow(m_pDropWindow->GetHwnd(), SW_HIDE);
    }
    ShowWindow(m_hWnd, SW_SHOWNORMAL);
    ShowWindow(m_hWnd, SW_SHOW);
    SetForegroundWindow(m_hWnd);
}

void CMainFrame::RunSettings() {
    CSettingsDlg dialog(m_app.GetDataFolder());
    if (dialog.DoModal(m_hWnd) == IDOK) {
        const HWND view = GetActiveViewWindow();
        if (view != nullptr) {
            SendMessageW(view, ui::WM_RELOAD_ALLOWED, 0, 0);
        }
    }
}

bool CMainFrame::OnCommand(UINT id) {
    switch (id) {
        case ID_APP_EXIT:
            RequestExit();
            return true;
        case ID_OPEN_LIST:
            OpenList();
            return true;
        case ID_SETTINGS:
            RunSettings();
            return true;
        default:
            return false;
    }
}

std::optional<bool> CMainFrame::QueryCommandEnabled(UINT id) {
    switch (id) {
        case ID_APP_EXIT:
        case ID_OPEN_LIST:
        case ID_SETTINGS:
            return true;
        default:
            return std::nullopt;
    }
}

HWND CMainFrame::GetActiveViewWindow() const {
    return m_pView ? m_pView->GetHwnd() : nullptr;
}

bool CMainFrame::TranslateAccelerators(MSG& msg) {
    if (m_hWnd == nullptr || m_hAccelerators == nullptr || !IsWindowVisible(m_hWnd)) {
        return false;
    }
    if (msg.hwnd != m_hWnd && !IsChild(m_hWnd, msg.hwnd)) {
        return false;
    }
    return TranslateAcceleratorW(m_hWnd, m_hAccelerators, &msg) != 0;
}

void CMainFrame::OnIdle() {
    if (m_hWndToolbar != nullptr && IsWindowVisible(m_hWnd)) {
        m_router.UpdateToolbar(m_hWndToolbar);
    }
}
