#include "gui/ScanConfirmDlg.h"

#include "res/resource.h"

CScanConfirmDlg::CScanConfirmDlg() : ui::CDialogBase(IDD_SCANCONFIRM) {}

bool CScanConfirmDlg::OnCommand(UINT id, UINT code) {
    if (id == IDC_SCAN_DISCARD_ALL || id == IDC_SCAN_CONTINUE) {
        EndDialog(static_cast<INT_PTR>(id));
        return true;
    }
    // Neither button is the default one: Enter (IDOK) must not answer the question.
    if (id == IDOK) {
        return true;
    }
    return ui::CDialogBase::OnCommand(id, code);
}

int AskScanConfirm(HWND owner) {
    CScanConfirmDlg dialog;
    return static_cast<int>(dialog.DoModal(owner));
}
