#pragma once

// The warning text of an alert file (dialog 157, "注意"): one read-only edit control that
// fills the dialog. It has no buttons; Esc or the close box ends it.

#include "ui/DialogBase.h"

#include <string>

class CAlertViewDlg final : public ui::CDialogBase {
public:
    CAlertViewDlg();

    std::string m_strAlertFile;  // the file to show

    // The text the edit control shows for the file's contents: each line (a CR LF pair
    // read as one line end, as a text stream reads it) followed by CR LF.
    static std::string DisplayText(const std::string& contents);

protected:
    BOOL OnInitDialog() override;
};
