#include "view/win/ListDesktop.h"

#include "platform/Shell.h"
#include "platform/win32/WideText.h"
#include "view/win/AlertViewDlg.h"

int CListDesktop::AskUser(HWND owner, const std::string& text, const std::string& caption,
                          UINT type) {
    return MessageBoxW(owner, platform::win32::ToWide(text).c_str(),
                       platform::win32::ToWide(caption).c_str(), type);
}

bool CListDesktop::OpenWithShell(const std::string& path) {
    return platform::ShellOpen(path);
}

void CListDesktop::ShowAlertFile(HWND owner, const std::string& path) {
    CAlertViewDlg dialog;
    dialog.m_strAlertFile = path;
    dialog.DoModal(owner);
}

DWORD CListDesktop::RunDrag(IDataObject* data, IDropSource* source) {
    DWORD effect = DROPEFFECT_NONE;
    if (DoDragDrop(data, source, DROPEFFECT_COPY, &effect) != DRAGDROP_S_DROP) {
        effect = DROPEFFECT_NONE;
    }
    return effect;
}
