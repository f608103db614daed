#pragma once

// The about box: the product picture and version, the help pages beside the program, and
// two links (contact mail and web page) drawn blue and underlined with a pointing hand.

#include "gui/DialogPictures.h"
#include "ui/DialogBase.h"
#include "ui/ScopedGdi.h"

#include <string>

class CAboutDlg final : public ui::CDialogBase {
public:
    // programFolder: the program's folder with its trailing backslash.
    explicit CAboutDlg(std::string programFolder);

    // What the links hand to the shell, double quotes included.
    static std::string MailLink();
    static std::string WebLink();

    // The help page beside the program.
    std::string HelpPath() const { return m_strProgramFolder + "help\\index.htm"; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void OpenHelp();
    void OpenLink(const std::string& link);

    std::string m_strProgramFolder;
    ui::ScopedFont m_fontLink;
    CDialogPictures m_pictures;
};
