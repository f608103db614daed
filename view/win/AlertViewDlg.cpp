#include "view/win/AlertViewDlg.h"

#include "platform/File.h"
#include "platform/win32/WideText.h"
#include "res/resource.h"

CAlertViewDlg::CAlertViewDlg() : ui::CDialogBase(IDD_ALERTVIEW) {}

std::string CAlertViewDlg::DisplayText(const std::string& contents) {
    std::string text;
    std::size_t start = 0;
    while (start < contents.size()) {
        std::size_t end = contents.find('\n', start);
        const std::size_t next = end == std::string::npos ? contents.size() : end + 1;
        if (end == std::string::npos) {
            end = contents.size();
        } else if (end > start && contents[end - 1] == '\r') {
            --end;
        }
        text.append(contents, start, end - start);
        text += "\r\n";
        start = next;
    }
    return text;
}

BOOL CAlertViewDlg::OnInitDialog() {
    // A file that cannot be read leaves the edit control empty.
    std::string contents;
    if (platform::ReadWholeFile(m_strAlertFile, contents)) {
        SetDlgItemTextW(m_hWnd, IDC_ALERT_TEXT,
                        platform::win32::ToWide(DisplayText(contents)).c_str());
    }
    return TRUE;
}
