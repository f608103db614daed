#pragma once

// The question after the antivirus program has run over newly extracted attachments: keep
// them ("継続") or discard them all ("すべて破棄"). The modal run ends with the button's id,
// or with IDCANCEL on Esc or the close box, which the callers take as keep.

#include "ui/DialogBase.h"

class CScanConfirmDlg final : public ui::CDialogBase {
public:
    CScanConfirmDlg();

protected:
    bool OnCommand(UINT id, UINT code) override;
};

// Runs the dialog owned by owner and returns its answer (for the extraction run's host).
int AskScanConfirm(HWND owner);
