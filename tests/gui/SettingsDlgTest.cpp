// The settings dialog, driven through its controls inside the test sandbox: the data folder
// is a scratch folder, the profile a scratch store and Program Files a scratch folder.

#include "app/FirstStartFiles.h"
#include "app/Settings.h"
#include "engine/extract/Progress.h"
#include "engine/mime/MailParser.h"
#include "gui/SettingsDlg.h"
#include "platform/FileSystem.h"
#include "platform/SpecialFolders.h"
#include "policy/ExtensionListFile.h"
#include "policy/ExtensionValidation.h"
#include "res/resource.h"
#include "support/ScratchFolder.h"
#include "ui/support/DialogDriver.h"

#include <gtest/gtest.h>

#include <dlgs.h>

#include <algorithm>

namespace {

constexpr char kSettingsTitle[] = "設定";
constexpr char kAllowedTitle[] = "開くことを許可する拡張子";
constexpr char kProhibitedTitle[] = "取り出しを禁止するファイル拡張子";
constexpr char kBrowseTitle[] = "ウィルス対策ソフトの指定";

bool Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

int Selection(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

// Chooses a product in the product list as the user does: the selection, then its
// notification (posted, as detection may open message boxes).
void ChooseProduct(HWND dialog, int index) {
    const HWND box = GetDlgItem(dialog, IDC_SCAN_APP);
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_SCAN_APP, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box));
}

class SettingsDlgTest : public ::testing::Test {
protected:
    SettingsDlgTest() {
        // Every test starts from the first-start settings.
        CSettings().Write(SettingsValues{});
    }

    std::string DataFolder() const { return m_data.Path() + "\\"; }
    std::string AllowedFile() const { return DataFolder() + kAllowedListFileName; }
    std::string ProhibitedFile() const { return DataFolder() + kProhibitedListFileName; }
    void WriteFirstStartFiles() const { WriteMissingFiles(DataFolder(), FirstStartFiles()); }

    // A step that waits for the settings dialog to take input again, then runs action.
    static test::CDialogDriver::Step OnSettings(std::function<void(HWND)> action) {
        return [action] {
            const HWND dialog = test::FindActiveWindow(kSettingsTitle);
            if (dialog == nullptr) {
                return false;
            }
            action(dialog);
            return true;
        };
    }

    // A step that adds text through the entry dialog titled title.
    static test::CDialogDriver::Step TypeIntoEntry(const char* title, std::string text) {
        return [title, text] {
            const HWND entry = test::FindActiveWindow(title);
            if (entry == nullptr) {
                return false;
            }
            test::SetItemText(entry, IDC_EXTENSION_BOX, text);
            test::PostCommand(entry, IDOK);
            return true;
        };
    }

    // A step that expects the program's message with text and closes it.
    static test::CDialogDriver::Step AnswerMessage(std::string text) {
        return [text] {
            const HWND message = test::FindProgramMessage();
            if (message == nullptr) {
                return false;
            }
            EXPECT_EQ(test::MessageText(message), text);
            test::PostCommand(message, IDOK);
            return true;
        };
    }

    INT_PTR Run(test::CDialogDriver& driver) const {
        CSettingsDlg dialog(DataFolder());
        driver.Start();
        const INT_PTR result = dialog.DoModal(nullptr);
        EXPECT_TRUE(driver.IsDone()) << "stopped before step " << driver.NextStep() + 1;
        return result;
    }

    static CExtensionList Load(const std::string& path) {
        CExtensionList list;
        EXPECT_EQ(LoadExtensionList(path, list, true), ListLoadResult::Loaded) << path;
        return list;
    }

    test::ScratchFolder m_data;
};

TEST_F(SettingsDlgTest, TheDialogHoldsEveryControlWithItsText) {
    WriteFirstStartFiles();
    test::CDialogDriver driver;
    driver.Then(OnSettings([](HWND dialog) {
        const std::pair<int, std::string> texts[] = {
            {IDC_PROHIBITED_ADD, "追加"},
            {IDC_PROHIBITED_DELETE, "削除"},
            {IDC_ALLOWED_ADD, "追加"},
            {IDC_ALLOWED_DELETE, "削除"},
            {IDC_USE_UNSENDMAIL, "「未送信状態にする」　機能を利用可能にする"},
            {IDC_EXIT_ON_CLOSE_LIST, "添付ファイル一覧の閉じるボタンでアプリケーションを終了"},
            {IDC_KEEP_UNCHECKABLE, "パスワード付き・検査できない圧縮ファイルも取り出す"},
            {IDC_SCAN_VIRUS, "添付ファイル抽出後にウィルススキャンを自動実行"},
            {IDC_BROWSE_SCANNER, "..."},
            {IDOK, "OK"},
            {IDCANCEL, "ｷｬﾝｾﾙ"},
        };
        for (const auto& [id, text] : texts) {
            EXPECT_EQ(test::ItemText(dialog, id), text) << id;
        }
        EXPECT_EQ(test::ComboBoxItems(dialog, IDC_SCAN_APP),
                  (std::vector<std::string>{"ノートンアンチウィルス（Norton AntiVirus)",
                                            "ウィルスチェーサー(Virus Chaser)",
                                            "Microsoft Defender ウイルス対策"}));
        const auto style = [dialog](int id) {
            return static_cast<DWORD>(GetWindowLongPtrW(GetDlgItem(dialog, id), GWL_STYLE));
        };
        for (const int list : {IDC_ALLOWED_LIST, IDC_PROHIBITED_LIST}) {
            EXPECT_EQ(style(list) & (LBS_SORT | LBS_USETABSTOPS),
                      DWORD{LBS_SORT | LBS_USETABSTOPS});
            EXPECT_EQ(style(list) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL), 0u);
        }
        EXPECT_EQ(style(IDC_SCAN_APP) & 3u, DWORD{CBS_DROPDOWNLIST});
        EXPECT_EQ(style(IDC_SCAN_APP) & CBS_SORT, 0u);
        EXPECT_NE(style(IDC_SCAN_EXE_NAME) & ES_READONLY, 0u);
        // The first start: scanning on, no product, no program, the rest off.
        EXPECT_TRUE(Checked(dialog, IDC_SCAN_VIRUS));
        EXPECT_FALSE(Checked(dialog, IDC_EXIT_ON_CLOSE_LIST));
        EXPECT_FALSE(Checked(dialog, IDC_USE_UNSENDMAIL));
        EXPECT_FALSE(Checked(dialog, IDC_KEEP_UNCHECKABLE));
        EXPECT_EQ(Selection(dialog, IDC_SCAN_APP), -1);
        EXPECT_EQ(test::ItemText(dialog, IDC_SCAN_EXE_NAME), "");
        test::PostCommand(dialog, IDCANCEL);
    }));
    EXPECT_EQ(Run(driver), IDCANCEL);
}

TEST_F(SettingsDlgTest, AnExtensionAddedTwiceIsListedOnce) {
    // No list files yet: both lists start empty.
    std::vector<std::string> lines;
    test::CDialogDriver driver;
    driver.Then(OnSettings([](HWND dialog) { test::PostCommand(dialog, IDC_ALLOWED_ADD); }))
        .Then([] {
            const HWND entry = test::FindActiveWindow(kAllowedTitle);
            if (entry == nullptr) {
                return false;
            }
            test::FocusItem(entry, IDC_EXTENSION_BOX);
            test::SetItemText(entry, IDC_EXTENSION_BOX, "zip");
            test::FocusItem(entry, IDC_DESCRIPTION_BOX);
            test::PostCommand(entry, IDOK);
            return true;
        })
        .Then(OnSettings([](HWND dialog) { test::PostCommand(dialog, IDC_ALLOWED_ADD); }))
        .Then(TypeIntoEntry(kAllowedTitle, "ZIP"))
        .Then(OnSettings([&lines](HWND dialog) {
            lines = test::ListBoxLines(dialog, IDC_ALLOWED_LIST);
            test::PostCommand(dialog, IDOK);
        }));
    EXPECT_EQ(Run(driver), IDOK);
    EXPECT_EQ(lines, std::vector<std::string>{"zip\tZIP書庫ファイル"});
    EXPECT_EQ(Load(AllowedFile()), CExtensionList({"zip"}, {"ZIP書庫ファイル"}));
    EXPECT_EQ(test::ReadFile(ProhibitedFile()), std::string(4, '\0'));
}

TEST_F(SettingsDlgTest, ProtectedExtensionsAreRefusedAndCancelAddsNothing) {
    WriteFirstStartFiles();
    std::vector<std::string> allowed;
    std::vector<std::string> prohibited;
    test::CDialogDriver driver;
    driver.Then(OnSettings([](HWND dialog) { test::PostCommand(dialog, IDC_ALLOWED_ADD); }))
        .Then(TypeIntoEntry(kAllowedTitle, "EXE"))
        .Then(AnswerMessage(kProtectedExtensionMessage))
        .Then([] {
            const HWND entry = test::FindActiveWindow(kAllowedTitle);
            if (entry == nullptr) {
                return false;
            }
            test::PostCommand(entry, IDCANCEL);
            return true;
        })
        .Then(OnSettings([](HWND dialog) { test::PostCommand(dialog, IDC_PROHIBITED_ADD); }))
        .Then(TypeIntoEntry(kProhibitedTitle, "txt"))
        .Then(AnswerMessage(kProtectedExtensionMessage))
        .Then(TypeIntoEntry(kProhibitedTitle, "tx"))
        .Then(OnSettings([&](HWND dialog) {
            allowed = test::ListBoxLines(dialog, IDC_ALLOWED_LIST);
            prohibited = test::ListBoxLines(dialog, IDC_PROHIBITED_LIST);
            test::PostCommand(dialog, IDCANCEL);
        }));
    const std::string allowedBefore = test::ReadFile(AllowedFile());
    const std::string prohibitedBefore = test::ReadFile(ProhibitedFile());
    EXPECT_EQ(Run(driver), IDCANCEL);
    EXPECT_EQ(allowed.size(), 22u);
    EXPECT_EQ(std::count_if(allowed.begin(), allowed.end(),
                            [](const std::string& line) { return line.rfind("exe\t", 0) == 0; }),
              0);
    EXPECT_EQ(prohibited.size(), 90u);
    EXPECT_EQ(std::count_if(prohibited.begin(), prohibited.end(),
                            [](const std::string& line) { return line.rfind("tx\t", 0) == 0; }),
              1);
    // Cancel writes nothing.
    EXPECT_EQ(test::ReadFile(AllowedFile()), allowedBefore);
    EXPECT_EQ(test::ReadFile(ProhibitedFile()), prohibitedBefore);
}

TEST_F(SettingsDlgTest, TheDefaultListsAreWrittenBackSortedAtTheFirstOK) {
    WriteFirstStartFiles();
    test::CDialogDriver driver;
    driver.Then(OnSettings([](HWND dialog) { test::PostCommand(dialog, IDOK); }));
    EXPECT_EQ(Run(driver), IDOK);
    const std::vector<std::string> prohibited = Load(ProhibitedFile()).GetExtensions();
    ASSERT_EQ(prohibited.size(), 89u);
    const auto at = [&prohibited](const char* ext) {
        return std::find(prohibited.begin(), prohibited.end(), ext) - prohibited.begin();
    };
    EXPECT_EQ(at("htm"), at("hta") + 1);
    EXPECT_EQ(at("html"), at("hta") + 2);
    EXPECT_EQ(at("img"), at("hta") + 3);  // one of the newer carriers
    EXPECT_EQ(at("inf"), at("hta") + 4);
    EXPECT_EQ(prohibited.front(), "ade");
    EXPECT_EQ(prohibited.back(), "xll");
    const CExtensionList allowed = Load(AllowedFile());
    EXPECT_EQ(allowed.GetCount(), 22u);
    EXPECT_EQ(allowed.GetDescriptions().front(), "ビデオクリック");
}

TEST_F(SettingsDlgTest, DeletingEveryProhibitedEntryLetsEveryAttachmentOut) {
    WriteFirstStartFiles();
    test::CDialogDriver driver;
    driver.Then(OnSettings([](HWND dialog) {
        const HWND list = GetDlgItem(dialog, IDC_PROHIBITED_LIST);
        while (SendMessageW(list, LB_GETCOUNT, 0, 0) > 0) {
            SendMessageW(list, LB_SETCURSEL, 0, 0);
            SendMessageW(dialog, WM_COMMAND, IDC_PROHIBITED_DELETE, 0);
        }
        // Nothing selected: delete does nothing.
        SendMessageW(dialog, WM_COMMAND, IDC_ALLOWED_DELETE, 0);
        EXPECT_EQ(test::ListBoxLines(dialog, IDC_ALLOWED_LIST).size(), 22u);
        test::PostCommand(dialog, IDOK);
    }));
    EXPECT_EQ(Run(driver), IDOK);
    EXPECT_EQ(test::ReadFile(ProhibitedFile()), std::string(4, '\0'));

    CExtensionList prohibited;
    ASSERT_EQ(LoadProhibitedList(ProhibitedFile(), prohibited), ListLoadResult::Loaded);
    const std::string message =
        "From: a@example.jp\r\nSubject: s\r\nMIME-Version: 1.0\r\n"
        "Content-Type: multipart/mixed; boundary=\"B\"\r\n\r\n"
        "--B\r\nContent-Type: text/plain\r\n\r\nhello\r\n"
        "--B\r\nContent-Type: application/octet-stream\r\nContent-Transfer-Encoding: base64\r\n"
        "Content-Disposition: attachment; filename=\"setup.exe\"\r\n\r\nTVo=\r\n"
        "--B\r\nContent-Type: text/plain\r\n"
        "Content-Disposition: attachment; filename=\"run.vbs\"\r\n\r\nx\r\n"
        "--B--\r\n";
    test::WriteFile(DataFolder() + "M.eml", message);
    CNoProgress progress;
    const std::string staging =
        CMailParser(DataFolder())
            .ExtractAttachments(DataFolder() + "M.eml", prohibited, progress, 0, 100);
    ASSERT_FALSE(staging.empty());
    EXPECT_EQ(test::ReadFile(staging + "\\setup.exe"), "MZ");
    EXPECT_TRUE(platform::QueryAttributes(staging + "\\run.vbs"));
    EXPECT_FALSE(platform::QueryAttributes(staging + "\\setup.exe.alert"));
}

TEST_F(SettingsDlgTest, OKWritesTheSettingsAndCancelWritesNothing) {
    SettingsValues stored;
    stored.virusScanExeName = "C:\\ウィルス\\表scan.exe";
    stored.virusScanApp = settings::kVirusChaser;
    CSettings().Write(stored);
    for (const int button : {IDCANCEL, IDOK}) {
        test::CDialogDriver driver;
        driver.Then(OnSettings([button](HWND dialog) {
            EXPECT_EQ(test::ItemText(dialog, IDC_SCAN_EXE_NAME), "C:\\ウィルス\\表scan.exe");
            EXPECT_EQ(Selection(dialog, IDC_SCAN_APP), settings::kVirusChaser);
            CheckDlgButton(dialog, IDC_EXIT_ON_CLOSE_LIST, BST_CHECKED);
            CheckDlgButton(dialog, IDC_SCAN_VIRUS, BST_UNCHECKED);
            CheckDlgButton(dialog, IDC_USE_UNSENDMAIL, BST_CHECKED);
            CheckDlgButton(dialog, IDC_KEEP_UNCHECKABLE, BST_CHECKED);
            test::PostCommand(dialog, button);
        }));
        EXPECT_EQ(Run(driver), button);
        const SettingsValues read = CSettings().Read();
        const bool saved = button == IDOK;
        EXPECT_EQ(read.exitOnCloseList, saved);
        EXPECT_EQ(read.scanVirus, !saved);
        EXPECT_EQ(read.useUnsendMailFunc, saved);
        EXPECT_EQ(read.keepUncheckableArchives, saved);
        EXPECT_EQ(read.virusScanExeName, stored.virusScanExeName);
        EXPECT_EQ(read.virusScanApp, settings::kVirusChaser);
    }
    // Cancel did not create the list files either; OK did.
    EXPECT_TRUE(platform::QueryAttributes(AllowedFile()));
}

TEST_F(SettingsDlgTest, AnInstalledProductIsFoundWithoutAMessage) {
    // Norton AntiVirus, a 32-bit program, under "Program Files (x86)"; Microsoft Defender in
    // its newest platform folder under the common application data.
    const std::string defenderPlatform =
        platform::CommonAppDataFolder() + "\\Microsoft\\Windows Defender\\Platform";
    const struct {
        int index;
        std::vector<std::string> folders;  // made in this order; the program goes in the last
        std::string program;
    } cases[] = {
        {settings::kNortonAntiVirus,
         {platform::ProgramFilesX86Folder() + "\\Norton AntiVirus"},
         "NAVW32.EXE"},
        {settings::kMicrosoftDefender,
         {platform::CommonAppDataFolder() + "\\Microsoft",
          platform::CommonAppDataFolder() + "\\Microsoft\\Windows Defender", defenderPlatform,
          defenderPlatform + "\\4.18.24090.11-0"},
         "MpCmdRun.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        CSettings().Write(SettingsValues{});
        for (const std::string& folder : c.folders) {
            ASSERT_NE(platform::MakeFolder(folder), platform::MakeFolderResult::Failed);
        }
        const std::string program = c.folders.back() + "\\" + c.program;
        test::WriteFile(program, "");
        const int index = c.index;
        test::CDialogDriver driver;
        driver
            .Then(OnSettings([index](HWND dialog) {
                // Unticked before the choice; the detection leaves the check box alone.
                CheckDlgButton(dialog, IDC_SCAN_VIRUS, BST_UNCHECKED);
                ChooseProduct(dialog, index);
            }))
            .Then([&program] {
                EXPECT_EQ(test::FindProgramMessage(), nullptr);
                const HWND dialog = test::FindActiveWindow(kSettingsTitle);
                if (dialog == nullptr || test::ItemText(dialog, IDC_SCAN_EXE_NAME).empty()) {
                    return false;
                }
                EXPECT_EQ(test::ItemText(dialog, IDC_SCAN_EXE_NAME), program);
                EXPECT_FALSE(Checked(dialog, IDC_SCAN_VIRUS));
                test::PostCommand(dialog, IDOK);
                return true;
            });
        EXPECT_EQ(Run(driver), IDOK);
        const SettingsValues read = CSettings().Read();
        EXPECT_EQ(read.virusScanExeName, program);
        EXPECT_EQ(read.virusScanApp, c.index);
        EXPECT_FALSE(read.scanVirus);
        test::DeleteTree(c.folders.front());
    }
}

TEST_F(SettingsDlgTest, AMissingProductIsReportedAndCancellingTheBrowseChoosesNothing) {
    SettingsValues stored;
    stored.virusScanExeName = "C:\\old\\scan.exe";
    stored.virusScanApp = settings::kNortonAntiVirus;
    CSettings().Write(stored);
    std::string proposed;
    test::CDialogDriver driver;
    driver.Then(OnSettings([](HWND dialog) { ChooseProduct(dialog, settings::kVirusChaser); }))
        .Then(AnswerMessage("Virus Chaserが見つかりません。プログラム名を手動で指定してください。"))
        .Then([&proposed] {
            const HWND browse = test::FindActiveWindow(kBrowseTitle);
            if (browse == nullptr) {
                return false;
            }
            // The file-name box of the open-file dialog.
            proposed = test::ItemText(browse, cmb13);
            PostMessageW(browse, WM_COMMAND, IDCANCEL, 0);
            return true;
        })
        .Then(OnSettings([](HWND dialog) {
            EXPECT_EQ(test::ItemText(dialog, IDC_SCAN_EXE_NAME), "");
            EXPECT_EQ(Selection(dialog, IDC_SCAN_APP), -1);
            test::PostCommand(dialog, IDOK);
        }));
    EXPECT_EQ(Run(driver), IDOK);
    EXPECT_NE(proposed.find("Scanner.exe"), std::string::npos) << proposed;
    const SettingsValues read = CSettings().Read();
    EXPECT_EQ(read.virusScanExeName, "");
    EXPECT_EQ(read.virusScanApp, settings::kNoScanApp);
}

TEST_F(SettingsDlgTest, AProgramPickedInTheBrowseDialogIsTakenAndNothingElseChanges) {
    const std::string folder = platform::ProgramFilesFolder() + "\\ウィルス対策";
    ASSERT_NE(platform::MakeFolder(folder), platform::MakeFolderResult::Failed);
    const std::string program = folder + "\\scan.exe";
    test::WriteFile(program, "");
    test::CDialogDriver driver;
    driver
        .Then(OnSettings([](HWND dialog) {
            CheckDlgButton(dialog, IDC_SCAN_VIRUS, BST_UNCHECKED);
            test::PostCommand(dialog, IDC_BROWSE_SCANNER);
        }))
        .Then([&program] {
            const HWND browse = test::FindActiveWindow(kBrowseTitle);
            if (browse == nullptr) {
                return false;
            }
            test::SetItemText(browse, cmb13, program);
            PostMessageW(browse, WM_COMMAND, IDOK, 0);
            return true;
        })
        .Then([&program] {
            const HWND dialog = test::FindActiveWindow(kSettingsTitle);
            if (dialog == nullptr) {
                return false;
            }
            EXPECT_EQ(test::ItemText(dialog, IDC_SCAN_EXE_NAME), program);
            EXPECT_FALSE(Checked(dialog, IDC_SCAN_VIRUS));
            EXPECT_EQ(Selection(dialog, IDC_SCAN_APP), -1);
            test::PostCommand(dialog, IDOK);
            return true;
        });
    EXPECT_EQ(Run(driver), IDOK);
    const SettingsValues read = CSettings().Read();
    EXPECT_EQ(read.virusScanExeName, program);
    EXPECT_FALSE(read.scanVirus);
    test::DeleteTree(folder);
}

TEST_F(SettingsDlgTest, AListFileThatCannotBeOpenedIsNotOverwritten) {
    WriteFirstStartFiles();
    platform::RemoveFile(ProhibitedFile());
    ASSERT_EQ(platform::MakeFolder(ProhibitedFile()), platform::MakeFolderResult::Created);
    test::CDialogDriver driver;
    driver
        .Then(OnSettings([](HWND dialog) {
            EXPECT_TRUE(test::ListBoxLines(dialog, IDC_PROHIBITED_LIST).empty());
            EXPECT_EQ(test::ListBoxLines(dialog, IDC_ALLOWED_LIST).size(), 22u);
            test::PostCommand(dialog, IDOK);
        }))
        .Then(AnswerMessage("「prohibitedext.dat」を読み込めなかったため、"
                            "取り出しを禁止する拡張子の一覧は保存しませんでした。"));
    EXPECT_EQ(Run(driver), IDOK);
    EXPECT_TRUE(platform::QueryAttributes(ProhibitedFile())->isFolder);
    EXPECT_EQ(Load(AllowedFile()).GetCount(), 22u);
}

// A step that expects the program's question starting with text and answers it with answer.
test::CDialogDriver::Step AnswerQuestion(std::string text, int answer) {
    return [text, answer] {
        const HWND message = test::FindProgramMessage();
        if (message == nullptr) {
            return false;
        }
        EXPECT_EQ(test::MessageText(message).substr(0, text.size()), text);
        test::PostCommand(message, answer);
        return true;
    };
}

constexpr char kDamagedNoticeStart[] = "「prohibitedext.dat」が壊れているため読み込めませんでした。";
constexpr char kReplaceQuestionStart[] =
    "次の一覧ファイルは壊れています。表示している一覧で置き換えますか？";

TEST_F(SettingsDlgTest, ADamagedListShowsTheListInForceAndOKReplacesItWhenTheUserAgrees) {
    WriteFirstStartFiles();
    const std::string damaged("\x02\x00\x03" "exe\x03", 7);
    platform::RemoveFile(ProhibitedFile());
    test::WriteFile(ProhibitedFile(), damaged);
    test::CDialogDriver driver;
    driver
        // Said once, as the dialog opens.
        .Then(AnswerQuestion(kDamagedNoticeStart, IDOK))
        .Then(OnSettings([](HWND dialog) {
            // The default list that drops use while the file is damaged.
            const std::vector<std::string> lines = test::ListBoxLines(dialog, IDC_PROHIBITED_LIST);
            EXPECT_EQ(lines.size(), 89u);
            EXPECT_NE(std::find(lines.begin(), lines.end(), "iso\tディスクイメージファイル"),
                      lines.end());
            EXPECT_EQ(test::FindProgramMessage(), nullptr);
            test::PostCommand(dialog, IDOK);
        }))
        .Then(AnswerQuestion(kReplaceQuestionStart, IDYES));
    EXPECT_EQ(Run(driver), IDOK);
    EXPECT_EQ(test::ReadFile(ProhibitedFile() + ".damaged"), damaged);
    const std::vector<std::string> saved = Load(ProhibitedFile()).GetExtensions();
    EXPECT_EQ(saved.size(), 89u);
    EXPECT_EQ(saved.front(), "ade");
    EXPECT_EQ(Load(AllowedFile()).GetCount(), 22u);
}

TEST_F(SettingsDlgTest, ADamagedListIsKeptOnCancelAndWhenTheUserDeclines) {
    WriteFirstStartFiles();
    const std::string damaged("\x01", 1);
    platform::RemoveFile(ProhibitedFile());
    test::WriteFile(ProhibitedFile(), damaged);
    {
        test::CDialogDriver driver;
        driver.Then(AnswerQuestion(kDamagedNoticeStart, IDOK))
            .Then(OnSettings([](HWND dialog) { test::PostCommand(dialog, IDCANCEL); }));
        EXPECT_EQ(Run(driver), IDCANCEL);
    }
    {
        test::CDialogDriver driver;
        driver.Then(AnswerQuestion(kDamagedNoticeStart, IDOK))
            .Then(OnSettings([](HWND dialog) {
                CheckDlgButton(dialog, IDC_USE_UNSENDMAIL, BST_CHECKED);
                test::PostCommand(dialog, IDOK);
            }))
            .Then(AnswerQuestion(kReplaceQuestionStart, IDNO));
        EXPECT_EQ(Run(driver), IDOK);
    }
    EXPECT_EQ(test::ReadFile(ProhibitedFile()), damaged);
    EXPECT_FALSE(platform::QueryAttributes(ProhibitedFile() + ".damaged"));
    // The other settings and the other list are saved as usual.
    EXPECT_TRUE(CSettings().Read().useUnsendMailFunc);
    EXPECT_EQ(Load(AllowedFile()).GetCount(), 22u);
}

}  // namespace
