// The scan-confirm question and the about box, driven through their controls inside their
// modal loops (headless under Wine).

#include "gui/AboutDlg.h"
#include "gui/ScanConfirmDlg.h"
#include "res/resource.h"
#include "support/ScratchFolder.h"
#include "ui/support/DialogDriver.h"

#include <gtest/gtest.h>

namespace {

INT_PTR RunScanConfirm(const std::vector<UINT>& commands) {
    std::size_t next = 0;
    test::CDialogDriver driver;
    driver.Then([&] {
        const HWND dialog = test::TopDialog();
        if (dialog == nullptr || next == commands.size()) {
            return false;
        }
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(commands[next++], BN_CLICKED), 0);
        return next == commands.size();
    });
    driver.Start();
    CScanConfirmDlg dialog;
    return dialog.DoModal(nullptr);
}

TEST(ScanConfirmDlgTest, EachButtonEndsWithItsIdAndEscWithCancel) {
    EXPECT_EQ(RunScanConfirm({IDC_SCAN_DISCARD_ALL}), IDC_SCAN_DISCARD_ALL);
    EXPECT_EQ(RunScanConfirm({IDC_SCAN_CONTINUE}), IDC_SCAN_CONTINUE);
    EXPECT_EQ(RunScanConfirm({IDCANCEL}), IDCANCEL);
    // Neither button is the default one: Enter answers nothing.
    EXPECT_EQ(RunScanConfirm({IDOK, IDC_SCAN_CONTINUE}), IDC_SCAN_CONTINUE);
}

TEST(ScanConfirmDlgTest, TheQuestionAndButtonsAreThere) {
    std::string caption;
    std::string statics;
    std::string discard;
    std::string keep;
    test::CDialogDriver driver;
    driver.Then([&] {
        const HWND dialog = test::TopDialog();
        if (dialog == nullptr) {
            return false;
        }
        caption = test::WindowText(dialog);
        statics = test::AllStaticTexts(dialog);
        discard = test::ItemText(dialog, IDC_SCAN_DISCARD_ALL);
        keep = test::ItemText(dialog, IDC_SCAN_CONTINUE);
        EXPECT_EQ(GetWindowLongPtrW(GetDlgItem(dialog, IDC_SCAN_DISCARD_ALL), GWL_STYLE) &
                      BS_DEFPUSHBUTTON,
                  0);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    driver.Start();
    CScanConfirmDlg dialog;
    dialog.DoModal(nullptr);
    EXPECT_EQ(caption, "確認");
    EXPECT_NE(statics.find("ウィルス検査は完了しましたか？"), std::string::npos);
    EXPECT_EQ(discard, "すべて破棄");
    EXPECT_EQ(keep, "継続");
}

TEST(AboutDlgTest, LinksAreBlueUnderlinedWithAPointingHand) {
    test::ScratchFolder program;
    bool checked = false;
    test::CDialogDriver driver;
    driver.Then([&] {
        const HWND dialog = test::TopDialog();
        if (dialog == nullptr) {
            return false;
        }
        EXPECT_EQ(test::WindowText(dialog), "About Morvek Attachment Extractor");
        for (int id : {IDC_ABOUT_MAIL, IDC_ABOUT_WEB}) {
            const HWND link = GetDlgItem(dialog, id);
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)), sizeof(font),
                       &font);
            EXPECT_TRUE(font.lfUnderline) << id;
            const HDC dc = GetDC(link);
            SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(link));
            EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255)) << id;
            // The whole address fits on the label's line, in the link font.
            wchar_t text[128] = {};
            const int length = GetWindowTextW(link, text, 128);
            const HGDIOBJ previous =
                SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)));
            SIZE extent{};
            GetTextExtentPoint32W(dc, text, length, &extent);
            SelectObject(dc, previous);
            RECT client{};
            GetClientRect(link, &client);
            EXPECT_LE(extent.cx, client.right) << test::WindowText(link);
            EXPECT_LE(extent.cy, client.bottom) << test::WindowText(link);
            ReleaseDC(link, dc);
            EXPECT_TRUE(SendMessageW(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
                                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
            EXPECT_EQ(GetCursor(),
                      LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HANDPOINT)));
        }
        // Other controls keep the default cursor handling.
        EXPECT_FALSE(SendMessageW(dialog, WM_SETCURSOR,
                                  reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDOK)),
                                  MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
        checked = true;
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    driver.Start();
    CAboutDlg dialog(program.Path() + "\\");
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_TRUE(checked);
}

TEST(AboutDlgTest, HelpWithoutTheHelpFolderSaysSoAndTheBoxStaysOpen) {
    test::ScratchFolder program;
    HWND about = nullptr;
    std::string message;
    int step = 0;
    test::CDialogDriver driver;
    driver.Then([&] {
        const HWND dialog = test::TopDialog();
        if (dialog == nullptr) {
            return false;
        }
        if (step == 0) {
            about = dialog;
            ++step;
            PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_HELP, BN_CLICKED), 0);
            return false;
        }
        const HWND box = test::FindThreadWindow(L"#32770", about);
        if (box == nullptr) {
            return false;
        }
        message = test::AllStaticTexts(box);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(IsWindow(about));
        PostMessageW(about, WM_COMMAND, IDOK, 0);
        return true;
    });
    driver.Start();
    CAboutDlg dialog(program.Path() + "\\");
    dialog.DoModal(nullptr);
    EXPECT_NE(message.find("ヘルプファイルが見つかりません。"), std::string::npos) << message;
}

TEST(AboutDlgTest, TheLinksAreHandedToTheShellInQuotes) {
    EXPECT_EQ(CAboutDlg::MailLink(),
              "\"mailto:morvek@tevo-soft.example?subject=ABOUT MORVEK ATTACHMENT EXTRACTOR\"");
    EXPECT_EQ(CAboutDlg::WebLink(), "\"https://www.tevo-soft.example/morvek/\"");
    EXPECT_EQ(CAboutDlg("C:\\Program Files\\Morvek\\").HelpPath(),
              "C:\\Program Files\\Morvek\\help\\index.htm");
}

}  // namespace
