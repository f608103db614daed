#include "gui/ExtensionEntryDlg.h"

#include "gui/DialogPlacement.h"
#include "platform/win32/WideText.h"
#include "res/resource.h"
#include "ui/ControlText.h"
#include "ui/Resources.h"

CExtensionEntryDlg::CExtensionEntryDlg(UINT templateId, ExtensionListKind kind,
                                       std::span<const FileTypeDescription> table)
    : ui::CDialogBase(templateId), m_kind(kind), m_table(table) {}

BOOL CExtensionEntryDlg::OnInitDialog() {
    const HWND box = GetDlgItem(m_hWnd, IDC_EXTENSION_BOX);
    // The drop-down offers exactly the extensions the table describes; the box sorts them.
    for (const FileTypeDescription& row : m_table) {
        SendMessageW(box, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(platform::win32::ToWide(row.extension).c_str()));
    }
    UpdateData(false);
    ui::CenterOverOwner(m_hWnd);
    return TRUE;
}

bool CExtensionEntryDlg::OnCommand(UINT id, UINT code) {
    if (id == IDC_EXTENSION_BOX && code == CBN_KILLFOCUS) {
        OnExtensionKillFocus();
        return true;
    }
    return ui::CDialogBase::OnCommand(id, code);
}

void CExtensionEntryDlg::OnOK() {
    UpdateData(true);
    const ExtensionValidation validation = ValidateNewExtension(m_kind, m_strExtension);
    if (!validation.bValid) {
        ui::ShowMessageBox(m_hWnd, validation.strMessage, MB_OK);
        return;
    }
    // The caller gets exactly the extension that passed, even when a drop-down item begins
    // with it.
    m_strExtension = validation.strExtension;
    UpdateData(false);
    EndDialog(IDOK);
}

void CExtensionEntryDlg::UpdateData(bool save) {
    if (save) {
        m_strExtension = ui::GetItemTextSjis(m_hWnd, IDC_EXTENSION_BOX);
        m_strDescription = ui::GetItemTextSjis(m_hWnd, IDC_DESCRIPTION_BOX);
    } else {
        ui::SetItemTextSjis(m_hWnd, IDC_EXTENSION_BOX, m_strExtension);
        ui::SetItemTextSjis(m_hWnd, IDC_DESCRIPTION_BOX, m_strDescription);
    }
}

void CExtensionEntryDlg::OnExtensionKillFocus() {
    UpdateData(true);
    // An extension the table does not know empties the box.
    m_strDescription = LookupFileTypeDescription(m_table, m_strExtension);
    ui::SetItemTextSjis(m_hWnd, IDC_DESCRIPTION_BOX, m_strDescription);
}
