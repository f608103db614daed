#include "gui/SettingsDlg.h"

#include "app/ExtensionListLines.h"
#include "app/ScannerDetection.h"
#include "app/Settings.h"
#include "gui/AllowedExtensionDlg.h"
#include "gui/BrowseScannerProgram.h"
#include "gui/ProhibitedExtensionDlg.h"
#include "platform/win32/WideText.h"
#include "res/resource.h"
#include "ui/ControlText.h"
#include "ui/Resources.h"

namespace {

// The one tab stop of both list boxes, in dialog units: descriptions start in one column.
constexpr int kListTabStop = 25;

// Posted at initialisation: the damaged-list notice shows once the dialog is on screen.
constexpr UINT kShowDamagedNotice = WM_APP + 1;

int ToCheck(bool value) {
    return value ? BST_CHECKED : BST_UNCHECKED;
}

}  // namespace

CSettingsDlg::CSettingsDlg(std::string dataFolder)
    : ui::CDialogBase(IDD_SETTINGS), m_listFiles(std::move(dataFolder)) {
    const SettingsValues values = CSettings().Read();
    m_bExitOnCloseList = values.exitOnCloseList ? 1 : 0;
    m_strScanExeName = values.virusScanExeName;
    m_bScanVirus = values.scanVirus ? 1 : 0;
    m_nScanApp = values.virusScanApp;
    m_bUseUnsendMail = values.useUnsendMailFunc ? 1 : 0;
    m_bKeepUncheckable = values.keepUncheckableArchives ? 1 : 0;
}

BOOL CSettingsDlg::OnInitDialog() {
    m_listProhibited = GetDlgItem(m_hWnd, IDC_PROHIBITED_LIST);
    m_listAllowed = GetDlgItem(m_hWnd, IDC_ALLOWED_LIST);
    const HWND products = GetDlgItem(m_hWnd, IDC_SCAN_APP);
    for (const char* product : kScannerProductNames) {
        SendMessageW(products, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(platform::win32::ToWide(product).c_str()));
    }
    UpdateData(false);

    for (const HWND list : {m_listAllowed, m_listProhibited}) {
        int tabStop = kListTabStop;
        SendMessageW(list, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
    }
    std::vector<std::string> allowed;
    std::vector<std::string> prohibited;
    m_listFiles.Load(allowed, prohibited);
    for (const std::string& line : allowed) {
        AddLine(m_listAllowed, line);
    }
    for (const std::string& line : prohibited) {
        AddLine(m_listProhibited, line);
    }
    if (!m_listFiles.DamagedNotice().empty()) {
        PostMessageW(m_hWnd, kShowDamagedNotice, 0, 0);
    }
    return TRUE;
}

bool CSettingsDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    if (message == kShowDamagedNotice) {
        ui::ShowMessageBox(m_hWnd, m_listFiles.DamagedNotice(), MB_OK | MB_ICONWARNING);
        return true;
    }
    return ui::CDialogBase::OnMessage(message, wParam, lParam, result);
}

bool CSettingsDlg::OnCommand(UINT id, UINT code) {
    switch (id) {
        case IDC_SCAN_APP:
            if (code == CBN_SELCHANGE) {
                OnSelchangeScanApp();
            }
            return true;
        case IDC_BROWSE_SCANNER:
            OnBrowseScanner();
            return true;
        case IDC_ALLOWED_ADD: {
            CAllowedExtensionDlg entryDialog;
            AddEntry(m_listAllowed, entryDialog);
            return true;
        }
        case IDC_PROHIBITED_ADD: {
            CProhibitedExtensionDlg entryDialog;
            AddEntry(m_listProhibited, entryDialog);
            return true;
        }
        case IDC_ALLOWED_DELETE:
            DeleteSelectedEntry(m_listAllowed);
            return true;
        case IDC_PROHIBITED_DELETE:
            DeleteSelectedEntry(m_listProhibited);
            return true;
        default:
            return ui::CDialogBase::OnCommand(id, code);
    }
}

void CSettingsDlg::OnOK() {
    UpdateData(true);
    // A damaged list file is replaced only when the user agrees; it is kept aside then.
    const std::string question = m_listFiles.ReplaceQuestion();
    const bool bReplaceDamaged =
        !question.empty() &&
        ui::ShowMessageBox(m_hWnd, question, MB_YESNO | MB_ICONQUESTION) == IDYES;
    SettingsValues values;
    values.exitOnCloseList = m_bExitOnCloseList != 0;
    values.virusScanExeName = m_strScanExeName;
    values.scanVirus = m_bScanVirus != 0;
    values.virusScanApp = m_nScanApp;
    values.useUnsendMailFunc = m_bUseUnsendMail != 0;
    values.keepUncheckableArchives = m_bKeepUncheckable != 0;
    CSettings().Write(values);

    const std::string heldBack =
        m_listFiles.Save(GetLines(m_listAllowed), GetLines(m_listProhibited), bReplaceDamaged);
    if (!heldBack.empty()) {
        ui::ShowMessageBox(m_hWnd, heldBack, MB_OK);
    }
    EndDialog(IDOK);
}

void CSettingsDlg::UpdateData(bool save) {
    const HWND products = GetDlgItem(m_hWnd, IDC_SCAN_APP);
    if (save) {
        m_bExitOnCloseList = IsDlgButtonChecked(m_hWnd, IDC_EXIT_ON_CLOSE_LIST) == BST_CHECKED;
        m_strScanExeName = ui::GetItemTextSjis(m_hWnd, IDC_SCAN_EXE_NAME);
        m_bScanVirus = IsDlgButtonChecked(m_hWnd, IDC_SCAN_VIRUS) == BST_CHECKED;
        // No selection reads as -1, "none chosen".
        m_nScanApp = static_cast<int>(SendMessageW(products, CB_GETCURSEL, 0, 0));
        m_bUseUnsendMail = IsDlgButtonChecked(m_hWnd, IDC_USE_UNSENDMAIL) == BST_CHECKED;
        m_bKeepUncheckable = IsDlgButtonChecked(m_hWnd, IDC_KEEP_UNCHECKABLE) == BST_CHECKED;
    } else {
        CheckDlgButton(m_hWnd, IDC_EXIT_ON_CLOSE_LIST, ToCheck(m_bExitOnCloseList != 0));
        ui::SetItemTextSjis(m_hWnd, IDC_SCAN_EXE_NAME, m_strScanExeName);
        CheckDlgButton(m_hWnd, IDC_SCAN_VIRUS, ToCheck(m_bScanVirus != 0));
        // An index that names no product shows no selection.
        SendMessageW(products, CB_SETCURSEL, static_cast<WPARAM>(m_nScanApp), 0);
        CheckDlgButton(m_hWnd, IDC_USE_UNSENDMAIL, ToCheck(m_bUseUnsendMail != 0));
        CheckDlgButton(m_hWnd, IDC_KEEP_UNCHECKABLE, ToCheck(m_bKeepUncheckable != 0));
    }
}

void CSettingsDlg::OnSelchangeScanApp() {
    UpdateData(true);
    const ScannerDetection detection = DetectScanner(m_nScanApp, GetScannerFolders());
    if (!detection.bApplies) {
        return;
    }
    if (detection.bFound) {
        m_strScanExeName = detection.strPath;
        UpdateData(false);
        return;
    }
    ui::ShowMessageBox(m_hWnd, detection.strMessage, MB_OK);
    // Nothing stays chosen unless the user picks a program now.
    m_strScanExeName.clear();
    m_nScanApp = settings::kNoScanApp;
    UpdateData(false);
    SendMessageW(m_hWnd, WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(GetDlgItem(m_hWnd, IDC_SCAN_EXE_NAME)), TRUE);
    BrowseScanner(detection.strBrowseName);
}

void CSettingsDlg::OnBrowseScanner() {
    BrowseScanner(m_strScanExeName);
}

void CSettingsDlg::BrowseScanner(const std::string& initialName) {
    const std::optional<std::string> program = BrowseScannerProgram(m_hWnd, initialName);
    if (!program) {
        return;
    }
    // Only the file name changes: the check boxes keep what the user has set in them.
    m_strScanExeName = *program;
    ui::SetItemTextSjis(m_hWnd, IDC_SCAN_EXE_NAME, m_strScanExeName);
}

void CSettingsDlg::AddEntry(HWND list, CExtensionEntryDlg& entryDialog) {
    if (entryDialog.DoModal(m_hWnd) != IDOK) {
        return;
    }
    const std::optional<std::string> line = MakeNewExtensionLine(
        GetLines(list), entryDialog.m_strExtension, entryDialog.m_strDescription);
    if (line) {
        AddLine(list, *line);
    }
}

void CSettingsDlg::DeleteSelectedEntry(HWND list) {
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (selected != LB_ERR) {
        SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
    }
}

std::vector<std::string> CSettingsDlg::GetLines(HWND list) {
    std::vector<std::string> lines;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length == LB_ERR) {
            continue;
        }
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        const LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                            reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
        lines.push_back(platform::win32::FromWide(text));
    }
    return lines;
}

void CSettingsDlg::AddLine(HWND list, const std::string& line) {
    SendMessageW(list, LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(platform::win32::ToWide(line).c_str()));
}
