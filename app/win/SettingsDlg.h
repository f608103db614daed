#pragma once

// The settings dialog (dialog 143, "設定"): both extension lists, the other settings and the
// antivirus program. OK writes the settings and both list files; Cancel writes nothing.

#include "app/ui/DialogBase.h"

#include <string>

class CSettingsDlg : public ui::CDialogBase {
public:
    // dataFolder: the data folder with its trailing backslash (the list files live there).
    explicit CSettingsDlg(std::string dataFolder);

    // DoModal(parent) returns IDOK or IDCANCEL.
};
