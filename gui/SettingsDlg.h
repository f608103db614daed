#pragma once

// The settings dialog (dialog 143, "設定"): both extension lists, the other settings and the
// antivirus program. OK writes the settings and both list files; Cancel writes nothing.

#include "app/SettingsListFiles.h"
#include "ui/DialogBase.h"

#include <string>
#include <vector>

class CExtensionEntryDlg;

class CSettingsDlg : public ui::CDialogBase {
public:
    // dataFolder: the data folder with its trailing backslash (the list files live there).
    // The settings are read here.
    explicit CSettingsDlg(std::string dataFolder);

    // DoModal(parent) returns IDOK or IDCANCEL.

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    void OnOK() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    // save: controls into the members; otherwise the members into the controls.
    void UpdateData(bool save);

    void OnSelchangeScanApp();
    void OnBrowseScanner();
    void BrowseScanner(const std::string& initialName);
    void AddEntry(HWND list, CExtensionEntryDlg& entryDialog);
    static void DeleteSelectedEntry(HWND list);
    static std::vector<std::string> GetLines(HWND list);
    static void AddLine(HWND list, const std::string& line);

    HWND m_listProhibited = nullptr;
    HWND m_listAllowed = nullptr;
    int m_bExitOnCloseList = 0;
    std::string m_strScanExeName;
    int m_bScanVirus = 1;
    int m_nScanApp = -1;
    int m_bUseUnsendMail = 0;
    int m_bKeepUncheckable = 0;

    CSettingsListFiles m_listFiles;
};
