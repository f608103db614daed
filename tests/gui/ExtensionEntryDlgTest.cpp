// The extension entry dialogs, driven through their controls.

#include "gui/AllowedExtensionDlg.h"
#include "gui/ProhibitedExtensionDlg.h"
#include "policy/ExtensionValidation.h"
#include "res/resource.h"
#include "ui/support/DialogDriver.h"

#include <gtest/gtest.h>

namespace {

constexpr char kAllowedTitle[] = "開くことを許可する拡張子";
constexpr char kProhibitedTitle[] = "取り出しを禁止するファイル拡張子";

// Types text into the extension box and moves on to the description box, as Tab does.
void TypeExtensionAndLeave(HWND dialog, const std::string& text) {
    test::FocusItem(dialog, IDC_EXTENSION_BOX);
    test::SetItemText(dialog, IDC_EXTENSION_BOX, text);
    test::FocusItem(dialog, IDC_DESCRIPTION_BOX);
}

TEST(ExtensionEntryDlg, TheDropDownOffersTheTableSortedAndTheDescriptionFollowsTheExtension) {
    CAllowedExtensionDlg dialog;
    test::CDialogDriver driver;
    driver.Then([] {
        const HWND entry = test::FindActiveWindow(kAllowedTitle);
        if (entry == nullptr) {
            return false;
        }
        const std::vector<std::string> items = test::ComboBoxItems(entry, IDC_EXTENSION_BOX);
        EXPECT_EQ(items.size(), 23u);
        EXPECT_EQ(items.front(), "avi");
        EXPECT_EQ(items[4], "eml");
        EXPECT_EQ(items.back(), "zip");
        // The extension box has the focus first.
        EXPECT_EQ(GetParent(GetFocus()), GetDlgItem(entry, IDC_EXTENSION_BOX));

        TypeExtensionAndLeave(entry, "doc");
        EXPECT_EQ(test::ItemText(entry, IDC_DESCRIPTION_BOX), "Microsoft Word文書");
        // A description typed first is replaced at the next visit of the extension box,
        // with nothing for an extension the table does not know.
        test::SetItemText(entry, IDC_DESCRIPTION_BOX, "自分の説明");
        TypeExtensionAndLeave(entry, "xyz");
        EXPECT_EQ(test::ItemText(entry, IDC_DESCRIPTION_BOX), "");
        TypeExtensionAndLeave(entry, "EML");
        EXPECT_EQ(test::ItemText(entry, IDC_DESCRIPTION_BOX), "E-Mailファイル");
        test::PostCommand(entry, IDOK);
        return true;
    });
    driver.Start();
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_TRUE(driver.IsDone());
    // Capitals come back in lower case.
    EXPECT_EQ(dialog.m_strExtension, "eml");
    EXPECT_EQ(dialog.m_strDescription, "E-Mailファイル");
}

TEST(ExtensionEntryDlg, RefusalsKeepTheDialogOpenUntilAnExtensionPasses) {
    struct Case {
        bool prohibited;
        std::string refused;
        std::string message;
        std::string accepted;
        std::string result;
    };
    const Case cases[] = {
        {false, "EXE", kProtectedExtensionMessage, " Lzh ", "lzh"},
        {false, "   ", kNoExtensionMessage, "eml", "eml"},
        {true, "txt", kProtectedExtensionMessage, "tx", "tx"},
        {true, ".txt", kInvalidCharacterMessage, "exe", "exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refused);
        const std::string title = c.prohibited ? kProhibitedTitle : kAllowedTitle;
        CAllowedExtensionDlg allowed;
        CProhibitedExtensionDlg prohibited;
        CExtensionEntryDlg& dialog =
            c.prohibited ? static_cast<CExtensionEntryDlg&>(prohibited) : allowed;
        test::CDialogDriver driver;
        driver
            .Then([&] {
                const HWND entry = test::FindActiveWindow(title);
                if (entry == nullptr) {
                    return false;
                }
                test::SetItemText(entry, IDC_EXTENSION_BOX, c.refused);
                test::PostCommand(entry, IDOK);
                return true;
            })
            .Then([&] {
                const HWND message = test::FindProgramMessage();
                if (message == nullptr) {
                    return false;
                }
                EXPECT_EQ(test::MessageText(message), c.message);
                test::PostCommand(message, IDOK);
                return true;
            })
            .Then([&] {
                const HWND entry = test::FindActiveWindow(title);
                if (entry == nullptr) {
                    return false;
                }
                // The refused text stays as it was typed.
                EXPECT_EQ(test::ItemText(entry, IDC_EXTENSION_BOX), c.refused);
                test::SetItemText(entry, IDC_EXTENSION_BOX, c.accepted);
                test::PostCommand(entry, IDOK);
                return true;
            });
        driver.Start();
        EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
        EXPECT_TRUE(driver.IsDone());
        EXPECT_EQ(dialog.m_strExtension, c.result);
    }
}

TEST(ExtensionEntryDlg, TheProhibitedDialogOffersEveryKnownExtension) {
    CProhibitedExtensionDlg dialog;
    test::CDialogDriver driver;
    driver.Then([] {
        const HWND entry = test::FindActiveWindow(kProhibitedTitle);
        if (entry == nullptr) {
            return false;
        }
        const std::vector<std::string> items = test::ComboBoxItems(entry, IDC_EXTENSION_BOX);
        EXPECT_EQ(items.size(), 104u);
        EXPECT_EQ(items.front(), "ade");
        TypeExtensionAndLeave(entry, "exe");
        EXPECT_EQ(test::ItemText(entry, IDC_DESCRIPTION_BOX), "アプリケーション");
        test::PostCommand(entry, IDCANCEL);
        return true;
    });
    driver.Start();
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_TRUE(driver.IsDone());
}

}  // namespace
