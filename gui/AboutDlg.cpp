#include "gui/AboutDlg.h"

#include "app/FilePath.h"
#include "intake/win/Display.h"
#include "platform/win32/WideText.h"
#include "res/resource.h"
#include "ui/Resources.h"

#include <shellapi.h>

namespace {

constexpr char kContactMail[] = "morvek@tevo-soft.example";
constexpr char kWebPage[] = "https://www.tevo-soft.example/morvek/";

bool IsLinkControl(HWND control) {
    const int id = GetDlgCtrlID(control);
    return id == IDC_ABOUT_MAIL || id == IDC_ABOUT_WEB;
}

}  // namespace

CAboutDlg::CAboutDlg(std::string programFolder)
    : ui::CDialogBase(IDD_ABOUTBOX), m_strProgramFolder(std::move(programFolder)) {}

std::string CAboutDlg::MailLink() {
    return std::string("\"mailto:") + kContactMail + "?subject=ABOUT MORVEK ATTACHMENT EXTRACTOR\"";
}

std::string CAboutDlg::WebLink() {
    return std::string("\"") + kWebPage + "\"";
}

BOOL CAboutDlg::OnInitDialog() {
    m_pictures.Apply(m_hWnd, IDB_PRODUCT, 300, 210, IDR_MAINFRAME);
    // The links take the font of the mail label, underlined.
    const HWND mail = GetDlgItem(m_hWnd, IDC_ABOUT_MAIL);
    const auto current = reinterpret_cast<HFONT>(SendMessageW(mail, WM_GETFONT, 0, 0));
    LOGFONTW description{};
    if (current != nullptr && GetObjectW(current, sizeof(description), &description) != 0) {
        description.lfUnderline = TRUE;
        m_fontLink.Reset(CreateFontIndirectW(&description));
    }
    if (m_fontLink) {
        const auto font = reinterpret_cast<WPARAM>(m_fontLink.Get());
        SendMessageW(mail, WM_SETFONT, font, TRUE);
        SendDlgItemMessageW(m_hWnd, IDC_ABOUT_WEB, WM_SETFONT, font, TRUE);
    }
    return TRUE;
}

bool CAboutDlg::OnCommand(UINT id, UINT code) {
    switch (id) {
        case IDC_ABOUT_HELP:
            OpenHelp();
            return true;
        case IDC_ABOUT_MAIL:
            if (code == STN_CLICKED) {
                OpenLink(MailLink());
            }
            return true;
        case IDC_ABOUT_WEB:
            if (code == STN_CLICKED) {
                OpenLink(WebLink());
            }
            return true;
        default:
            return ui::CDialogBase::OnCommand(id, code);
    }
}

bool CAboutDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    if (message == WM_CTLCOLORSTATIC && IsLinkControl(reinterpret_cast<HWND>(lParam))) {
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        // Under a high-contrast theme links take the theme's colour for them.
        SetTextColor(dc, display::IsHighContrast() ? GetSysColor(COLOR_HOTLIGHT) : RGB(0, 0, 255));
        result = reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        return true;
    }
    if (message == WM_SETCURSOR && IsLinkControl(reinterpret_cast<HWND>(wParam))) {
        SetCursor(LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HANDPOINT)));
        SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, TRUE);
        result = TRUE;
        return true;
    }
    return false;
}

void CAboutDlg::OpenHelp() {
    const std::string path = HelpPath();
    if (!CFilePath(path).Exists()) {
        ui::ShowMessageBox(m_hWnd, "ヘルプファイルが見つかりません。", MB_OK);
        return;
    }
    ShellExecuteW(m_hWnd, L"open", platform::win32::ToWide(path).c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
}

void CAboutDlg::OpenLink(const std::string& link) {
    // The shell's answer is not acted on: without a mail program or browser nothing opens.
    ShellExecuteW(m_hWnd, L"open", platform::win32::ToWide(link).c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
}
