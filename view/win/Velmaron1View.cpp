#include <windows.h>

#include <shellapi.h>
#include <windowsx.h>

#include "view/win/Velmaron1View.h"

#include "app/AppStrings.h"
#include "app/Settings.h"
#include "app/Velmaron1App.h"
#include "engine/mime/MailParser.h"
#include "intake/win/MailDropTarget.h"
#include "platform/Shell.h"
#include "platform/win32/WideText.h"
#include "policy/ExtensionListFile.h"
#include "res/resource.h"
#include "ui/AppMessages.h"
#include "ui/Resources.h"
#include "ui/WaitCursor.h"
#include "run/ExtractionRun.h"
#include "view/RowContent.h"
#include "run/WriteFailureText.h"
#include "view/win/AlertViewDlg.h"
#include "view/win/ListDataObject.h"
#include "view/win/ListDropSource.h"
#include "view/win/WindowRunHost.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr wchar_t kClassName[] = L"MorvekListView";
constexpr char kPrivateData[] = "VELMARON1";  // 9 bytes, no terminator
constexpr std::size_t kPrivateDataSize = 9;

list::Point PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

COLORREF ColourRef(list::Colour colour) {
    return RGB(colour.r, colour.g, colour.b);
}

RECT ToRect(const list::Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

HICON LoadProgramIcon(int id) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                         IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
}

HGLOBAL GlobalBlock(const void* data, std::size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (block == nullptr) {
        return nullptr;
    }
    void* target = GlobalLock(block);
    if (target == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, data, size);
    GlobalUnlock(block);
    return block;
}

// Draws text in the platform's multi-line default mode (left, top, breaks at CR LF, the
// ampersand as mnemonic prefix).
void DrawListText(HDC dc, const std::string& text, RECT& rect, UINT format = 0) {
    const std::wstring wide = platform::win32::ToWide(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &rect, format);
}

}  // namespace

CVelmaron1View::CVelmaron1View(const CVelmaron1App& app, ScanConfirmFunction confirmScan)
    : m_app(app), m_fnConfirmScan(std::move(confirmScan)), m_store(app.GetDataFolder()) {}

CVelmaron1View::~CVelmaron1View() {
    // The window base unbinds the window before destroying it, so WM_DESTROY may not reach
    // this object: the drop target goes here too.
    if (m_pDropTarget != nullptr) {
        m_pDropTarget->Revoke();
        m_pDropTarget->Release();
        m_pDropTarget = nullptr;
    }
    for (HICON icon : {m_hIconRecord, m_hIconAlert, m_hIconDangerous, m_hIconNotAllowed}) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
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
    CreateFonts();
    m_hIconRecord = LoadProgramIcon(IDI_RECORD);
    m_hIconAlert = LoadProgramIcon(IDI_ALERT);
    m_hIconDangerous = LoadProgramIcon(IDI_DANGEROUS);
    m_hIconNotAllowed = LoadProgramIcon(IDI_NOTALLOWED);
    m_store.LoadRecordList();
    m_store.ReconcileRecords();
    m_store.OpenFirstRecord();
    m_layout.SetScrollExtent();
    OnSize();
    m_layout.InvalidateAll();
    ApplyUpdate();
}

void CVelmaron1View::LoadAllowedList() {
    LoadExtensionList(m_store.GetDataFolder() + kAllowedListFileName, m_arrAllowedExt, false);
}

void CVelmaron1View::CreateFonts() {
    HDC screen = GetDC(m_hWnd);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr) {
        ReleaseDC(m_hWnd, screen);
    }
    const wchar_t* face = L"ＭＳ Ｐゴシック";
    m_fontNormal.Reset(CreateFontW(list::FontHeight(10, dpi), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                   SHIFTJIS_CHARSET, 0, 0, 0, 0, face));
    m_fontBold.Reset(CreateFontW(list::FontHeight(11, dpi), 0, 0, 0, FW_BOLD, 0, 0, 0,
                                 SHIFTJIS_CHARSET, 0, 0, 0, 0, face));
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
            m_pDropTarget = CMailDropTarget::CreateInstance(m_store.GetDataFolder());
            if (m_pDropTarget != nullptr) {
                m_pDropTarget->Register(m_hWnd);
            }
            return true;
        case WM_DESTROY:
            if (m_pDropTarget != nullptr) {
                m_pDropTarget->Revoke();
                m_pDropTarget->Release();
                m_pDropTarget = nullptr;
            }
            return true;
        case WM_ERASEBKGND:
            result = 1;  // the paint fills the background in its buffer
            return true;
        case WM_PAINT:
            OnPaint();
            return true;
        case WM_PRINTCLIENT: {
            RECT client;
            GetClientRect(m_hWnd, &client);
            PaintClient(reinterpret_cast<HDC>(wParam), client);
            return true;
        }
        case WM_SIZE:
            OnSize();
            return true;
        case WM_VSCROLL:
            OnScroll(SB_VERT, LOWORD(wParam));
            return true;
        case WM_HSCROLL:
            OnScroll(SB_HORZ, LOWORD(wParam));
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
        case ui::WM_GET_PENDING_LIST:
            result = reinterpret_cast<LRESULT>(&m_arrPending);
            return true;
        case ui::WM_DROP_ZONE_TEST:
            // A drop on the list always means extraction, except while a run walks the
            // pending list.
            result = m_bRunInProgress ? 0 : 1;
            return true;
        case ui::WM_EXTRACT_PENDING:
            result = OnExtractPending();
            return true;
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

void CVelmaron1View::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    const RECT area = paint.rcPaint;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (dc != nullptr && width > 0 && height > 0) {
        // Drawn into a buffer and copied at once, so that scrolling does not flicker.
        HDC buffer = CreateCompatibleDC(dc);
        ui::ScopedBitmap bitmap(CreateCompatibleBitmap(dc, width, height));
        if (buffer != nullptr && bitmap) {
            {
                ui::ScopedSelect selectBitmap(buffer, bitmap.Get());
                SetViewportOrgEx(buffer, -area.left, -area.top, nullptr);
                PaintClient(buffer, area);
                SetViewportOrgEx(buffer, 0, 0, nullptr);
                BitBlt(dc, area.left, area.top, width, height, buffer, 0, 0, SRCCOPY);
            }
        } else {
            PaintClient(dc, area);
        }
        if (buffer != nullptr) {
            DeleteDC(buffer);
        }
    }
    EndPaint(m_hWnd, &paint);
}

void CVelmaron1View::PaintClient(HDC dc, const RECT& clip) {
    FillRect(dc, &clip, GetSysColorBrush(COLOR_WINDOW));
    const list::Point scroll = m_layout.GetScrollPosition();
    POINT origin;
    OffsetViewportOrgEx(dc, -scroll.x, -scroll.y, &origin);
    const list::Rect logicalClip =
        list::Rect{clip.left, clip.top, clip.right, clip.bottom}.Offset(scroll.x, scroll.y);
    const COLORREF previousBack = GetBkColor(dc);
    for (const list::PaintRow& row : m_layout.PlanPaint(logicalClip)) {
        // The fill also sets the text background, so the row's texts sit on it.
        const RECT fill = ToRect(row.rect.Intersect(logicalClip));
        SetBkColor(dc, ColourRef(list::FillColour(row.fill)));
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &fill, nullptr, 0, nullptr);
        DrawRowFrame(dc, row.rect);
        const list::Rect inner = row.rect.Deflate(list::kRowInset);
        const COLORREF text = ColourRef(list::TextColour(row.fill));
        if (row.bRecord) {
            DrawRecordRow(dc, m_store.m_arrRecords[row.nIndex], inner, text);
        } else {
            DrawAttachmentRow(dc, m_store.m_arrAttachments[row.nIndex], inner, text);
        }
    }
    SetBkColor(dc, previousBack);
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
}

void CVelmaron1View::DrawRowFrame(HDC dc, const list::Rect& row) const {
    RECT frame = ToRect(row);
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    InflateRect(&frame, -1, -1);
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
}

void CVelmaron1View::DrawRecordRow(HDC dc, const std::string& path, const list::Rect& inner,
                                   COLORREF colour) const {
    const list::RecordRowContent content = list::DescribeRecordRow(path);
    if (!content.bDraw) {
        return;
    }
    if (m_hIconRecord != nullptr) {
        DrawIcon(dc, inner.left, inner.top, m_hIconRecord);
    }
    RECT text = ToRect(inner);
    text.left += list::kIndent;
    const COLORREF previousColour = SetTextColor(dc, colour);
    OffsetRect(&text, 0, 2);
    const HGDIOBJ previousFont = SelectObject(dc, m_fontBold.Get());
    DrawListText(dc, content.strSubject, text);
    OffsetRect(&text, 0, 16);
    SelectObject(dc, m_fontNormal.Get());
    DrawListText(dc, content.strDetails, text);
    SelectObject(dc, previousFont);
    SetTextColor(dc, previousColour);
}

void CVelmaron1View::DrawAttachmentRow(HDC dc, const std::string& path, const list::Rect& inner,
                                       COLORREF colour) const {
    const list::AttachmentRowContent content = list::DescribeAttachmentRow(path, m_arrAllowedExt);
    if (!content.bDraw) {
        return;
    }
    if (content.bAlert) {
        if (m_hIconAlert != nullptr) {
            DrawIcon(dc, inner.left, inner.top, m_hIconAlert);
        }
    } else {
        // The icon the shell associates with the file, then the verdict's overlay.
        std::wstring buffer = platform::win32::ToWide(path);
        buffer.resize(std::max<std::size_t>(buffer.size() + 1, MAX_PATH), L'\0');
        WORD index = 0;
        HICON icon = ExtractAssociatedIconW(GetModuleHandleW(nullptr), buffer.data(), &index);
        if (icon != nullptr) {
            DrawIcon(dc, inner.left, inner.top, icon);
            DestroyIcon(icon);
        }
        const HICON overlay = content.nOverlay == list::kDangerousOverlay    ? m_hIconDangerous
                              : content.nOverlay == list::kNotAllowedOverlay ? m_hIconNotAllowed
                                                                             : nullptr;
        if (overlay != nullptr) {
            DrawIcon(dc, inner.left, inner.top, overlay);
        }
    }
    const HGDIOBJ previousFont = SelectObject(dc, m_fontNormal.Get());
    const COLORREF previousColour = SetTextColor(dc, colour);
    RECT text = ToRect(inner);
    text.left += list::kIndent;
    // Measured first, then centred vertically as a block.
    DrawListText(dc, content.strText, text, DT_CALCRECT);
    OffsetRect(&text, 0, (inner.Height() - (text.bottom - text.top)) / 2);
    DrawListText(dc, content.strText, text);
    SelectObject(dc, previousFont);
    SetTextColor(dc, previousColour);
}

// --- Scrolling -----------------------------------------------------------------------------

void CVelmaron1View::OnSize() {
    RECT client;
    GetClientRect(m_hWnd, &client);
    m_layout.SetClientSize({client.right - client.left, client.bottom - client.top});
    if (!m_bUpdatingBars) {
        UpdateScrollBars();
        ApplyUpdate();
    }
}

void CVelmaron1View::UpdateScrollBars() {
    // Showing or hiding a bar resizes the client area, which changes the bars again; a few
    // rounds settle it.
    m_bUpdatingBars = true;
    for (int round = 0; round < 3; ++round) {
        const list::Size total = m_layout.GetTotalSize();
        const list::Size client = m_layout.GetClientSize();
        const list::Point position = m_layout.GetScrollPosition();
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMax = std::max(0, total.cy - 1);
        info.nPage = static_cast<UINT>(std::max(0, client.cy));
        info.nPos = position.y;
        SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
        info.nMax = std::max(0, total.cx - 1);
        info.nPage = static_cast<UINT>(std::max(0, client.cx));
        info.nPos = position.x;
        SetScrollInfo(m_hWnd, SB_HORZ, &info, TRUE);
        RECT rect;
        GetClientRect(m_hWnd, &rect);
        const list::Size now{rect.right - rect.left, rect.bottom - rect.top};
        if (now == client) {
            break;
        }
        m_layout.SetClientSize(now);
    }
    m_bUpdatingBars = false;
}

void CVelmaron1View::OnScroll(int bar, int code) {
    const bool bVertical = bar == SB_VERT;
    const list::Point position = m_layout.GetScrollPosition();
    const list::Point limit = m_layout.GetScrollLimit();
    const int line = bVertical ? m_layout.GetLineSize().cy : m_layout.GetLineSize().cx;
    const int page = bVertical ? m_layout.GetPageSize().cy : m_layout.GetPageSize().cx;
    int value = bVertical ? position.y : position.x;
    switch (code) {
        case SB_LINEUP:
            value -= line;
            break;
        case SB_LINEDOWN:
            value += line;
            break;
        case SB_PAGEUP:
            value -= page;
            break;
        case SB_PAGEDOWN:
            value += page;
            break;
        case SB_TOP:
            value = 0;
            break;
        case SB_BOTTOM:
            value = bVertical ? limit.y : limit.x;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_TRACKPOS;
            GetScrollInfo(m_hWnd, bar, &info);
            value = info.nTrackPos;
            break;
        }
        default:
            return;
    }
    m_layout.ScrollToPosition(bVertical ? list::Point{position.x, value}
                                        : list::Point{value, position.y});
    ApplyUpdate();
}

void CVelmaron1View::ApplyUpdate() {
    const list::Update update = m_layout.TakeUpdate();
    if (m_hWnd == nullptr) {
        return;
    }
    list::Point position = m_layout.GetScrollPosition();
    bool bInvalidateAll = update.bInvalidateAll;
    if (update.bExtentChanged) {
        // A bar that comes or goes resizes the client area and may move the position.
        UpdateScrollBars();
        if (!m_layout.TakeUpdate().IsEmpty() || position != m_layout.GetScrollPosition()) {
            position = m_layout.GetScrollPosition();
            bInvalidateAll = true;
        }
    } else if (update.bScrolled) {
        // The ranges stand; only the thumbs move.
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_POS;
        info.nPos = position.y;
        SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
        info.nPos = position.x;
        SetScrollInfo(m_hWnd, SB_HORZ, &info, TRUE);
    }
    if (bInvalidateAll || (update.bScrolled && !update.arrInvalid.empty())) {
        InvalidateRect(m_hWnd, nullptr, TRUE);
    } else {
        if (position != m_ptShown) {
            // Only a scroll: the pixels move, and what comes into view is painted.
            ScrollWindowEx(m_hWnd, m_ptShown.x - position.x, m_ptShown.y - position.y, nullptr,
                           nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
        }
        for (const list::Rect& rect : update.arrInvalid) {
            const RECT r = ToRect(rect);
            InvalidateRect(m_hWnd, &r, TRUE);
        }
    }
    m_ptShown = position;
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
    const auto privateFormat = static_cast<CLIPFORMAT>(
        RegisterClipboardFormatW(ui::LoadResourceString(IDS_PRIVATE_FORMAT).c_str()));
    HGLOBAL marker = GlobalBlock(kPrivateData, kPrivateDataSize);
    if (marker == nullptr) {
        return;
    }
    const std::string files = m_selection.BuildDropFileList();
    HGLOBAL fileList = GlobalBlock(files.data(), files.size());
    if (fileList == nullptr) {
        GlobalFree(marker);
        return;
    }
    CListDataObject* data = CListDataObject::CreateInstance();
    data->Add(privateFormat, marker);
    data->Add(CF_HDROP, fileList);

    CListDropSource source;
    POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(m_hWnd, &screen);
    DWORD effect = DROPEFFECT_NONE;
    if (source.BeginDrag(m_hWnd, screen)) {
        if (m_fnDrag) {
            effect = m_fnDrag(data, &source);
        } else if (DoDragDrop(data, &source, DROPEFFECT_COPY, &effect) != DRAGDROP_S_DROP) {
            effect = DROPEFFECT_NONE;
        }
    }
    data->Release();
    // The drag detection took the release of a press that did not turn into a drag; a
    // deferred selection change is made by a release of its own.
    if (effect == DROPEFFECT_NONE && !source.m_bDragStarted && bDeferred) {
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
        ShowAlert(path);
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
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_POPUPMENUS));
    if (menu == nullptr) {
        return;
    }
    // The main window owns the menu, so the chosen command goes through the frame's route
    // and the frame sets the items' enable states.
    HMENU popup = GetSubMenu(menu, 0);
    if (popup != nullptr) {
        TrackPopupMenu(popup, TPM_RIGHTBUTTON, point.x, point.y, 0, GetMainWindow(), nullptr);
    }
    DestroyMenu(menu);
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
            const bool bOpened = m_fnShellOpen ? m_fnShellOpen(path) : platform::ShellOpen(path);
            if (!bOpened) {
                ShowMessage(list::kCannotOpenText);
            }
            break;
        }
        case list::OpenAction::ShowAlert:
        case list::OpenAction::None:
            break;
    }
}

void CVelmaron1View::ShowAlert(const std::string& path) {
    if (m_fnAlert) {
        m_fnAlert(path);
        return;
    }
    CAlertViewDlg dialog;
    dialog.m_strAlertFile = path;
    dialog.DoModal(m_hWnd);
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
    if (m_fnMessageBox) {
        return m_fnMessageBox(text, caption, type);
    }
    return MessageBoxW(m_hWnd, platform::win32::ToWide(text).c_str(),
                       platform::win32::ToWide(caption).c_str(), type);
}

void CVelmaron1View::ShowMessage(const std::string& text) {
    if (m_fnMessageBox) {
        m_fnMessageBox(text, app::kAppTitle, MB_OK);
        return;
    }
    ui::ShowMessageBox(m_hWnd, text, MB_OK);
}

// --- The drop side -------------------------------------------------------------------------

LRESULT CVelmaron1View::OnExtractPending() {
    if (m_bRunInProgress || m_pDropTarget == nullptr) {
        return 0;
    }
    struct RunFlag {
        bool& flag;
        explicit RunFlag(bool& f) : flag(f) { flag = true; }
        ~RunFlag() { flag = false; }
    } running(m_bRunInProgress);

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
    return CExtractionRun::ResultOf(run.Run(m_arrPending, m_pDropTarget->GetProhibitedList()));
}

LRESULT CVelmaron1View::OnRefreshRecords() {
    m_layout.ScrollToPosition({0, 0});
    m_store.RefreshRecords();
    m_layout.SetScrollExtent();
    m_layout.InvalidateAll();
    ApplyUpdate();
    return 1;
}
