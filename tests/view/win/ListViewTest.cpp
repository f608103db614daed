// The attachment list window under the system's window manager (headless under Wine): what
// it paints, double-clicks, deletes, the unsent command's state and the drag-out data.

#include <windows.h>

#include <ole2.h>
#include <oleacc.h>

#include "app/Settings.h"
#include "app/Velmaron1App.h"
#include "gui/ScanConfirmDlg.h"
#include "intake/win/Display.h"
#include "policy/ExtensionListFile.h"
#include "res/resource.h"
#include "store/RecordListFile.h"
#include "store/StoreFixtures.h"
#include "support/ScratchFolder.h"
#include "ui/AppMessages.h"
#include "ui/WindowBase.h"
#include "view/ListCommands.h"
#include "view/win/Velmaron1View.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 400;

// The main frame's stand-in: a plain top-level window holding the view.
class CTestFrame : public ui::CWindowBase {
protected:
    bool OnMessage(UINT, WPARAM, LPARAM, LRESULT&) override { return false; }
};

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

LPARAM PointArgument(int x, int y) {
    return MAKELPARAM(x, y);
}

// A 32-bit top-down bitmap that the view paints into.
class CCapture {
public:
    CCapture(int width, int height) : m_nWidth(width) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_pBits),
                                    nullptr, 0);
        m_previous = SelectObject(m_dc, m_bitmap);
    }
    ~CCapture() {
        SelectObject(m_dc, m_previous);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC Dc() const { return m_dc; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const std::uint32_t pixel = m_pBits[y * m_nWidth + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    // Whether some pixel of the rectangle is much darker (bDarker) or much lighter than
    // fill: text drawn on it in black or in white. The glyphs need not be the exact text
    // colour (smoothing, a substituted font).
    bool HoldsText(COLORREF fill, bool bDarker, int left, int top, int right, int bottom) const {
        const int fillSum = GetRValue(fill) + GetGValue(fill) + GetBValue(fill);
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                const COLORREF pixel = At(x, y);
                const int sum = GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel);
                if (bDarker ? sum + 120 < fillSum : sum > fillSum + 120) {
                    return true;
                }
            }
        }
        return false;
    }

private:
    int m_nWidth;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    std::uint32_t* m_pBits = nullptr;
};

// The desktop of the tests: message boxes answered and recorded, the shell's open recorded,
// the drag loop as a test sets it (the real one otherwise).
class CTestDesktop : public CListDesktop {
public:
    std::vector<std::string> m_arrBoxes;  // "caption|text"
    std::vector<UINT> m_arrBoxTypes;
    std::vector<std::string> m_arrOpened;
    int m_nAnswer = IDYES;
    bool m_bShellOpens = true;
    std::function<DWORD(IDataObject*)> m_fnDrag;

    int AskUser(HWND, const std::string& text, const std::string& caption, UINT type) override {
        m_arrBoxes.push_back(caption + "|" + text);
        m_arrBoxTypes.push_back(type);
        return m_nAnswer;
    }
    bool OpenWithShell(const std::string& path) override {
        m_arrOpened.push_back(path);
        return m_bShellOpens;
    }
    DWORD RunDrag(IDataObject* data, IDropSource* source) override {
        return m_fnDrag ? m_fnDrag(data) : CListDesktop::RunDrag(data, source);
    }
};

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        OleInitialize(nullptr);
        m_pApp = std::make_unique<CVelmaron1App>("C:\\morvek.exe", m_scratch.Path());
        SaveExtensionList(D() + kAllowedListFileName,
                          CExtensionList({"pdf", "txt", "exe", "alert"}, {}));
    }
    void TearDown() override {
        m_pView.reset();
        m_frame.reset();
        PumpMessages();
        OleUninitialize();
    }

    std::string D() const { return m_scratch.Path() + "\\"; }
    std::string Att(const std::string& name) const { return D() + name + ".att"; }

    // Records listed in the order given, then the window over them.
    void MakeView(const std::vector<std::pair<std::string, std::vector<std::string>>>& records) {
        std::vector<std::string> list;
        for (const auto& [name, files] : records) {
            test::MakeRecord(D(), name, files);
            list.push_back(Att(name));
        }
        ASSERT_TRUE(SaveRecordListFile(D() + kRecordListFileName, list));
        m_frame = std::make_unique<CTestFrame>();
        ASSERT_TRUE(m_frame->Create(L"MorvekListTestFrame", 0, WS_POPUP | WS_VISIBLE, L"list test",
                                    RECT{0, 0, kWidth, kHeight}, nullptr));
        m_pView = std::make_unique<CVelmaron1View>(*m_pApp, AskScanConfirm);
        ASSERT_TRUE(m_pView->CreateView(m_frame->GetHwnd()));
        m_pView->SetDesktop(&m_desktop);
        // Attachments in name order, so that rows can be counted on.
        Store().OpenFirstRecord();
        SortAttachments();
    }

    HWND View() const { return m_pView->GetHwnd(); }
    CRecordStore& Store() { return m_pView->GetStore(); }
    void SortAttachments() {
        std::sort(Store().m_arrAttachments.begin(), Store().m_arrAttachments.end());
        Store().m_arrSelected.assign(Store().m_arrAttachments.size(), 0);
    }

    // A click as the window gets it: the press, whose drag detection takes the release.
    void Click(int x, int y, WPARAM flags = 0) {
        PostMessageW(View(), WM_LBUTTONUP, flags, PointArgument(x, y));
        SendMessageW(View(), WM_LBUTTONDOWN, flags | MK_LBUTTON, PointArgument(x, y));
        PumpMessages();
    }
    void DoubleClick(int x, int y) {
        Click(x, y);
        SendMessageW(View(), WM_LBUTTONDBLCLK, MK_LBUTTON, PointArgument(x, y));
        SendMessageW(View(), WM_LBUTTONUP, 0, PointArgument(x, y));
    }

    std::unique_ptr<CCapture> Paint() {
        RECT client;
        GetClientRect(View(), &client);
        auto capture = std::make_unique<CCapture>(client.right, client.bottom);
        SendMessageW(View(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture->Dc()), PRF_CLIENT);
        return capture;
    }

    test::ScratchFolder m_scratch;
    std::unique_ptr<CVelmaron1App> m_pApp;
    std::unique_ptr<CTestFrame> m_frame;
    std::unique_ptr<CVelmaron1View> m_pView;
    CTestDesktop m_desktop;
};

constexpr COLORREF kBlue = RGB(49, 106, 197);
constexpr COLORREF kGrey = RGB(210, 210, 210);
constexpr COLORREF kWhite = RGB(255, 255, 255);

TEST_F(ListViewTest, PaintsRowsInTheColoursOfTheSelection) {
    MakeView({{"r0", {"a.txt", "b.pdf"}}, {"r1", {"c.txt"}}});
    // The first record is open with its row selected: blue row, grey attachments, white
    // record below; the frame is etched in the outer pixels.
    std::unique_ptr<CCapture> shot = Paint();
    const int x = 500;  // right of every text
    EXPECT_EQ(shot->At(x, 19), kBlue);
    EXPECT_EQ(shot->At(x, 38 + 19), kGrey);
    EXPECT_EQ(shot->At(x, 76 + 19), kGrey);
    EXPECT_EQ(shot->At(x, 114 + 19), kWhite);
    EXPECT_EQ(shot->At(x, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(shot->At(x, 2), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(shot->At(x, 152 + 5), GetSysColor(COLOR_WINDOW));  // below the last row
    // Attachment rows are indented: the indent shows the window's background.
    EXPECT_EQ(shot->At(20, 38 + 19), GetSysColor(COLOR_WINDOW));
    // Texts: white on the selected record, black on the others.
    EXPECT_TRUE(shot->HoldsText(kBlue, false, 43, 5, 300, 35));
    EXPECT_TRUE(shot->HoldsText(kGrey, true, 83, 41, 300, 73));
    EXPECT_TRUE(shot->HoldsText(kWhite, true, 43, 117, 300, 149));

    // The second attachment selected: the record grey, that row blue, the other white.
    Click(100, 76 + 19);
    shot = Paint();
    EXPECT_EQ(shot->At(x, 19), kGrey);
    EXPECT_EQ(shot->At(x, 38 + 19), kWhite);
    EXPECT_EQ(shot->At(x, 76 + 19), kBlue);
    EXPECT_TRUE(shot->HoldsText(kBlue, false, 83, 79, 300, 111));
    EXPECT_TRUE(shot->HoldsText(kWhite, true, 83, 41, 300, 73));

    // Pressing the second record opens it: its block moves up below it.
    Click(100, 114 + 19);
    EXPECT_EQ(Store().m_strOpenRecord, Att("r1"));
    shot = Paint();
    EXPECT_EQ(shot->At(x, 19), kWhite);
    EXPECT_EQ(shot->At(x, 38 + 19), kBlue);
    EXPECT_EQ(shot->At(x, 76 + 19), kGrey);
}

TEST_F(ListViewTest, DoubleClickOpensOnlyWhatTheAllowedListLets) {
    MakeView({{"r0", {"a.pdf", "b.doc", "c.exe", "d.txt", "e.txt.alert"}}});
    DoubleClick(100, 38 + 19);  // a.pdf, allowed
    ASSERT_EQ(m_desktop.m_arrOpened.size(), 1u);
    EXPECT_EQ(m_desktop.m_arrOpened[0], D() + "r0\\a.pdf");
    EXPECT_TRUE(m_desktop.m_arrBoxes.empty());

    DoubleClick(100, 76 + 19);   // b.doc, not allowed
    DoubleClick(100, 114 + 19);  // c.exe, dangerous although allowed
    m_desktop.m_bShellOpens = false;
    DoubleClick(100, 152 + 19);  // d.txt: the shell fails
    const std::string title = "Morveｋ Attachment Extractor|";
    const std::vector<std::string> expected = {
        title + list::kNotAllowedText, title + list::kDangerousText, title + list::kCannotOpenText};
    EXPECT_EQ(m_desktop.m_arrBoxes, expected);
    EXPECT_EQ(m_desktop.m_arrBoxTypes, (std::vector<UINT>{MB_OK, MB_OK, MB_OK}));
    EXPECT_EQ(m_desktop.m_arrOpened.size(), 2u);

    // On a record row nothing opens.
    DoubleClick(100, 19);
    EXPECT_EQ(m_desktop.m_arrBoxes.size(), 3u);
    EXPECT_EQ(m_desktop.m_arrOpened.size(), 2u);
}

// Reads the alert dialog's text and closes it, from a timer while its modal loop runs.
std::wstring g_strAlertCaption;
std::wstring g_strAlertText;

BOOL CALLBACK CloseAlert(HWND hwnd, LPARAM) {
    wchar_t caption[64] = L"";
    GetWindowTextW(hwnd, caption, 64);
    if (std::wstring(caption) != L"注意") {
        return TRUE;
    }
    g_strAlertCaption = caption;
    wchar_t text[1024] = L"";
    GetDlgItemTextW(hwnd, IDC_ALERT_TEXT, text, 1024);
    g_strAlertText = text;
    PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
    return FALSE;
}

void CALLBACK OnAlertTimer(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), &CloseAlert, 0);
}

TEST_F(ListViewTest, DoubleClickOnAnAlertFileShowsItsText) {
    MakeView({{"r0", {"setup.exe.alert"}}});
    test::WriteFile(D() + "r0\\setup.exe.alert", "line one\r\nline two\r\n");
    g_strAlertCaption.clear();
    g_strAlertText.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &OnAlertTimer);
    DoubleClick(100, 38 + 19);
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_strAlertCaption, L"注意");
    EXPECT_EQ(g_strAlertText, L"line one\r\nline two\r\n");
    EXPECT_TRUE(m_desktop.m_arrBoxes.empty());
    EXPECT_TRUE(m_desktop.m_arrOpened.empty());

    // Enter on the same selected file is judged by the allowed list alone: without "alert"
    // on it, the not-allowed message.
    SaveExtensionList(D() + kAllowedListFileName, CExtensionList({"pdf"}, {}));
    SendMessageW(View(), ui::WM_RELOAD_ALLOWED, 0, 0);
    EXPECT_TRUE(m_pView->OnCommand(ID_OPEN_ATTACHMENT));
    ASSERT_EQ(m_desktop.m_arrBoxes.size(), 1u);
    EXPECT_EQ(m_desktop.m_arrBoxes[0],
              std::string("Morveｋ Attachment Extractor|") + list::kNotAllowedText);
}

TEST_F(ListViewTest, DeletingTheOnlyAttachmentRemovesItsRecordAndOpensTheNext) {
    MakeView({{"r0", {"a.txt"}}, {"r1", {"only.txt"}}, {"r2", {"x.txt"}}});
    Click(100, 38 * 2 + 19);  // r1's row (r0 has one attachment row)
    ASSERT_EQ(Store().m_strOpenRecord, Att("r1"));
    Click(100, 76 + 19);  // only.txt, below r1 (r0 is closed now)
    ASSERT_EQ(Store().m_arrSelected, (std::vector<std::uint16_t>{1}));
    EXPECT_EQ(m_pView->QueryCommandEnabled(ID_DELETE_SELECTION), true);
    EXPECT_TRUE(m_pView->OnCommand(ID_DELETE_SELECTION));
    EXPECT_EQ(m_desktop.m_arrBoxes,
              (std::vector<std::string>{std::string(list::kConfirmDeleteCaption) + "|" +
                                        list::kConfirmDeleteSelectionText}));
    EXPECT_EQ(m_desktop.m_arrBoxTypes, (std::vector<UINT>{MB_YESNO}));
    EXPECT_FALSE(test::Exists(D() + "r1"));
    EXPECT_EQ(Store().m_arrRecords, (std::vector<std::string>{Att("r0"), Att("r2")}));
    EXPECT_EQ(Store().m_strOpenRecord, Att("r2"));
    EXPECT_TRUE(Store().m_bRecordRowSelected);
    // Painted so: r0 white, r2 blue with its attachment grey.
    std::unique_ptr<CCapture> shot = Paint();
    EXPECT_EQ(shot->At(500, 19), kWhite);
    EXPECT_EQ(shot->At(500, 38 + 19), kBlue);
    EXPECT_EQ(shot->At(500, 76 + 19), kGrey);
}

TEST_F(ListViewTest, DeleteAllAsksFirst) {
    MakeView({{"r0", {"a.txt"}}, {"r1", {"b.txt"}}});
    m_desktop.m_nAnswer = IDNO;
    m_pView->OnCommand(ID_DELETE_ALL);
    ASSERT_EQ(m_desktop.m_arrBoxes.size(), 1u);
    EXPECT_EQ(m_desktop.m_arrBoxes[0],
              std::string(list::kConfirmDeleteCaption) + "|" + list::kConfirmDeleteAllText);
    EXPECT_EQ(Store().m_arrRecords.size(), 2u);
    EXPECT_TRUE(test::Exists(Att("r0")));

    m_desktop.m_nAnswer = IDYES;
    m_pView->OnCommand(ID_DELETE_ALL);
    EXPECT_TRUE(Store().m_arrRecords.empty());
    EXPECT_TRUE(test::ListFileOf(D()).empty());
    EXPECT_FALSE(test::Exists(D() + "r0"));
    EXPECT_FALSE(test::Exists(Att("r1")));
    // Nothing is selected now, so both delete commands are disabled.
    EXPECT_EQ(m_pView->QueryCommandEnabled(ID_DELETE_ALL), false);
    EXPECT_EQ(m_pView->QueryCommandEnabled(ID_DELETE_SELECTION), false);
    std::unique_ptr<CCapture> shot = Paint();
    EXPECT_EQ(shot->At(500, 19), GetSysColor(COLOR_WINDOW));
}

TEST_F(ListViewTest, UnsentCommandNeedsTheSettingAndOneMessage) {
    MakeView({{"r0", {"a.txt", "m.EML"}}});
    CSettings settings;
    SettingsValues values = settings.Read();
    values.useUnsendMailFunc = false;
    settings.Write(values);
    Click(100, 76 + 19);  // m.EML
    EXPECT_EQ(m_pView->QueryCommandEnabled(ID_MAKE_UNSENT), false);
    values.useUnsendMailFunc = true;
    settings.Write(values);
    EXPECT_EQ(m_pView->QueryCommandEnabled(ID_MAKE_UNSENT), true);
    Click(100, 38 + 19, MK_CONTROL);  // a.txt as well
    EXPECT_EQ(m_pView->QueryCommandEnabled(ID_MAKE_UNSENT), false);
    EXPECT_EQ(m_pView->QueryCommandEnabled(ID_APP_ABOUT), std::nullopt);
}

TEST_F(ListViewTest, APressInAMultipleSelectionSelectsOneOnItsRelease) {
    MakeView({{"r0", {"a.txt", "b.txt", "c.txt"}}});
    Click(100, 38 + 19);
    Click(100, 76 + 19, MK_CONTROL);
    Click(100, 114 + 19, MK_CONTROL);
    EXPECT_EQ(Store().m_arrSelected, (std::vector<std::uint16_t>{1, 1, 1}));
    Click(100, 76 + 19);  // no drag: the posted release leaves b alone
    EXPECT_EQ(Store().m_arrSelected, (std::vector<std::uint16_t>{0, 1, 0}));
    Click(100, 76 + 19, MK_CONTROL);  // control-click on the selected one removes it
    EXPECT_EQ(Store().m_arrSelected, (std::vector<std::uint16_t>{0, 0, 0}));
}

TEST_F(ListViewTest, DropZoneAndMessages) {
    MakeView({{"r0", {"a.txt"}}});
    EXPECT_EQ(m_pView->GetDropSite().TestDropZone(DropPoint{5, 5}), DropZone::Extraction);
    test::MakeRecord(D(), "r9", {"z.txt"});
    const std::string added = Att("r9");
    EXPECT_EQ(SendMessageW(View(), ui::WM_ADD_RECORD, reinterpret_cast<WPARAM>(added.c_str()), 0),
              1);
    EXPECT_EQ(Store().m_arrRecords.front(), added);
    EXPECT_EQ(test::ListFileOf(D()).front(), added);
    EXPECT_EQ(SendMessageW(View(), ui::WM_REFRESH_RECORDS, 0, 0), 1);
    EXPECT_EQ(Store().m_strOpenRecord, added);
    EXPECT_TRUE(Store().m_bRecordRowSelected);
}

TEST_F(ListViewTest, DraggingOutCarriesTheFilesAndTheMarker) {
    MakeView({{"r0", {"a.txt", "b.pdf"}}});
    Click(100, 38 + 19);
    Click(100, 76 + 19, MK_CONTROL);
    std::string files;
    std::string marker;
    int calls = 0;
    m_desktop.m_fnDrag = [&](IDataObject* data) -> DWORD {
        ++calls;
        wchar_t name[128] = L"";
        LoadStringW(GetModuleHandleW(nullptr), IDS_PRIVATE_FORMAT, name, 128);
        const auto formats = {
            std::pair<CLIPFORMAT, std::string*>{CF_HDROP, &files},
            std::pair<CLIPFORMAT, std::string*>{
                static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name)), &marker}};
        for (const auto& [format, out] : formats) {
            FORMATETC request{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
            STGMEDIUM medium{};
            if (data->GetData(&request, &medium) == S_OK) {
                const char* bytes = static_cast<const char*>(GlobalLock(medium.hGlobal));
                out->assign(bytes, GlobalSize(medium.hGlobal));
                GlobalUnlock(medium.hGlobal);
                ReleaseStgMedium(&medium);
            }
        }
        return DROPEFFECT_COPY;
    };
    // Held without a release: the drag starts after the drag delay.
    SendMessageW(View(), WM_LBUTTONDOWN, MK_LBUTTON, PointArgument(100, 38 + 19));
    ASSERT_EQ(calls, 1);
    EXPECT_EQ(marker.substr(0, 9), "VELMARON1");
    const std::string a = D() + "r0\\a.txt";
    const std::string b = D() + "r0\\b.pdf";
    const std::string header("\x14\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 20);
    EXPECT_EQ(files.substr(0, 20 + a.size() + b.size() + 3), header + a + '\0' + b + '\0' + '\0');
    // The drag kept the selection as it was.
    EXPECT_EQ(Store().m_arrSelected, (std::vector<std::uint16_t>{1, 1}));
}

TEST_F(ListViewTest, ScrollBarsAndKeysMoveTheView) {
    std::vector<std::pair<std::string, std::vector<std::string>>> records;
    for (int i = 0; i < 40; ++i) {
        records.push_back({"r" + std::to_string(i), {"a.txt"}});
    }
    MakeView(records);
    const list::Point limit = m_pView->GetLayout().GetScrollLimit();
    ASSERT_GT(limit.y, 38);
    SendMessageW(View(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(m_pView->GetLayout().GetScrollPosition().y, 38);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS | SIF_RANGE;
    GetScrollInfo(View(), SB_VERT, &info);
    EXPECT_EQ(info.nPos, 38);
    EXPECT_EQ(info.nMax, 41 * 38 - 1);
    SendMessageW(View(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(m_pView->GetLayout().GetScrollPosition().y, limit.y);
    // The down arrow from the first record's attachment opens the second record and brings
    // its block into view at the top.
    Store().m_bRecordRowSelected = false;
    Store().m_arrSelected = {1};
    SendMessageW(View(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Store().m_strOpenRecord, Att("r1"));
    EXPECT_EQ(m_pView->GetLayout().GetScrollPosition().y, 38);
    PumpMessages();
}

TEST_F(ListViewTest, ADropOnTheListExtractsAndListsTheMessage) {
    MakeView({{"r0", {"a.txt"}}});
    test::WriteFile(D() + "dropped.eml",
                    "From: a@example.jp\r\nSubject: report\r\n"
                    "Date: Mon, 6 Dec 2004 10:20:30 +0900\r\n"
                    "Content-Type: multipart/mixed; boundary=\"B\"\r\n\r\n"
                    "--B\r\nContent-Type: text/plain\r\n\r\nhello\r\n"
                    "--B\r\nContent-Type: text/plain\r\n"
                    "Content-Disposition: attachment; filename=\"note.txt\"\r\n\r\nnote\r\n"
                    "--B--\r\n");
    m_pView->GetDropSite().GetPendingList() = {D() + "dropped.eml"};
    EXPECT_TRUE(m_pView->GetDropSite().RunExtraction());
    // The new record is at the top and open with its row selected.
    ASSERT_EQ(Store().m_arrRecords.size(), 2u);
    EXPECT_EQ(Store().m_arrRecords[0], Att("dropped"));
    EXPECT_EQ(Store().m_strOpenRecord, Att("dropped"));
    EXPECT_TRUE(Store().m_bRecordRowSelected);
    EXPECT_EQ(Store().m_arrAttachments, (std::vector<std::string>{D() + "dropped\\note.txt"}));
    EXPECT_EQ(test::ListFileOf(D()), Store().m_arrRecords);
    // Once the run is over, drops are taken again.
    EXPECT_EQ(m_pView->GetDropSite().TestDropZone(DropPoint{0, 0}), DropZone::Extraction);
    PumpMessages();
}

// The list on a display of 144 dots per inch (set for the window: Wine gives a process one
// resolution, fixed at its start): rows of 58 with their frame, fonts and icons scaled,
// and the texts inside their rows; back at 96 the design's rows again.
TEST_F(ListViewTest, AtAnotherResolutionRowsFontsAndIconsScale) {
    display::SetDpiForTests(144);
    MakeView({{"r0", {"a.txt", "b.pdf"}}, {"r1", {"c.txt"}}});
    std::unique_ptr<CCapture> shot = Paint();
    const int x = 560;  // right of every text
    EXPECT_EQ(shot->At(x, 29), kBlue);
    EXPECT_EQ(shot->At(x, 58 + 29), kGrey);
    EXPECT_EQ(shot->At(x, 116 + 29), kGrey);
    EXPECT_EQ(shot->At(x, 174 + 29), kWhite);
    EXPECT_EQ(shot->At(x, 232 + 5), GetSysColor(COLOR_WINDOW));  // below the last row
    // The frame is twice as thick; the fill starts 4 pixels in.
    EXPECT_EQ(shot->At(x, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_NE(shot->At(x, 3), kBlue);
    EXPECT_EQ(shot->At(x, 5), kBlue);
    // The attachment rows' indent is 60, their fill 4 pixels inside it.
    EXPECT_EQ(shot->At(59, 58 + 29), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(shot->At(64, 58 + 29), kGrey);
    // Both lines of the record row lie inside its fill, the second well below the first
    // (the fonts are 22 and 20 pixels high).
    EXPECT_TRUE(shot->HoldsText(kBlue, false, 65, 5, 400, 28));
    EXPECT_TRUE(shot->HoldsText(kBlue, false, 65, 30, 400, 54));
    // The record icon is 48 pixels: its green reaches below the 32nd pixel of the row.
    bool bGreenLow = false;
    for (int xx = 5; xx < 53 && !bGreenLow; ++xx) {
        const COLORREF pixel = shot->At(xx, 5 + 36);
        bGreenLow = GetGValue(pixel) > GetRValue(pixel) + 40 && GetGValue(pixel) > GetBValue(pixel);
    }
    EXPECT_TRUE(bGreenLow);
    // A click lands on the scaled rows: the second attachment.
    Click(200, 116 + 29);
    EXPECT_EQ(Store().m_arrSelected, (std::vector<std::uint16_t>{0, 1}));

    // Moved to a monitor of 96 dots per inch.
    display::SetDpiForTests(96);
    SendMessageW(View(), WM_DPICHANGED_AFTERPARENT, 0, 0);
    shot = Paint();
    EXPECT_EQ(shot->At(500, 19), kGrey);
    EXPECT_EQ(shot->At(500, 38 + 19), kWhite);
    EXPECT_EQ(shot->At(500, 76 + 19), kBlue);
    display::SetDpiForTests(std::nullopt);
}

// Under a high-contrast theme the rows take the system's colours and follow their changes.
// On Windows the test turns the theme on itself; Wine has no such setting, so there the
// window is told the theme is on.
TEST_F(ListViewTest, UnderHighContrastTheRowsTakeTheSystemColours) {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0);
    const DWORD before = contrast.dwFlags;
    contrast.dwFlags |= HCF_HIGHCONTRASTON;
    const bool bSystem =
        SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof contrast, &contrast, 0) != 0 &&
        display::IsHighContrast();
    if (!bSystem) {
        display::SetHighContrastForTests(true);
    }
    MakeView({{"r0", {"a.txt", "b.pdf"}}, {"r1", {"c.txt"}}});
    std::unique_ptr<CCapture> shot = Paint();
    EXPECT_EQ(shot->At(500, 19), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(shot->At(500, 38 + 19), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(shot->At(500, 114 + 19), GetSysColor(COLOR_WINDOW));
    EXPECT_TRUE(shot->HoldsText(GetSysColor(COLOR_WINDOW), true, 43, 117, 300, 149));

    // The theme goes off: the design's colours come back with the change's message.
    if (bSystem) {
        contrast.dwFlags = before;
        SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof contrast, &contrast, 0);
    } else {
        display::SetHighContrastForTests(false);
    }
    SendMessageW(View(), WM_SYSCOLORCHANGE, 0, 0);
    shot = Paint();
    EXPECT_EQ(shot->At(500, 19), kBlue);
    EXPECT_EQ(shot->At(500, 38 + 19), kGrey);
    display::SetHighContrastForTests(std::nullopt);
}

// A screen reader's view of the list: the window's accessible object, read through the
// platform, follows the keyboard; every move raises the focus and selection events.
TEST_F(ListViewTest, AnAccessibilityClientReadsTheListAndFollowsTheKeyboard) {
    MakeView({{"r0", {"a.txt", "b.pdf"}}, {"r1", {"c.txt"}}});
    SetFocus(View());
    IAccessible* accessible = nullptr;
    ASSERT_EQ(
        AccessibleObjectFromWindow(View(), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                   reinterpret_cast<void**>(&accessible)),
        S_OK);
    ASSERT_NE(accessible, nullptr);
    auto childCount = [&] {
        long count = 0;
        accessible->get_accChildCount(&count);
        return count;
    };
    auto name = [&](long id) {
        VARIANT child;
        child.vt = VT_I4;
        child.lVal = id;
        BSTR text = nullptr;
        std::wstring result;
        if (accessible->get_accName(child, &text) == S_OK && text != nullptr) {
            result.assign(text, SysStringLen(text));
            SysFreeString(text);
        }
        return result;
    };
    auto selected = [&] {
        VARIANT selection;
        VariantInit(&selection);
        accessible->get_accSelection(&selection);
        const long id = selection.vt == VT_I4 ? selection.lVal : -1;
        VariantClear(&selection);
        return id;
    };
    EXPECT_EQ(childCount(), 4);  // r0, a.txt, b.pdf, r1
    EXPECT_EQ(name(1), L"2004年12月06日 10:20:30、from、subject");
    EXPECT_EQ(name(2).rfind(L"a.txt、", 0), 0u);
    EXPECT_EQ(name(3).rfind(L"b.pdf、", 0), 0u);
    EXPECT_EQ(selected(), 1);

    // The events a screen reader hears from the list, recorded in this thread.
    static std::vector<std::pair<DWORD, LONG>> events;
    static HWND list;
    events.clear();
    list = View();
    const HWINEVENTHOOK hook = SetWinEventHook(
        EVENT_OBJECT_REORDER, EVENT_OBJECT_SELECTIONWITHIN, nullptr,
        [](HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
            if (hwnd == list && object == OBJID_CLIENT) {
                events.emplace_back(event, child);
            }
        },
        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    ASSERT_EQ(GetFocus(), View());
    SendMessageW(View(), WM_KEYDOWN, VK_DOWN, 0);
    PumpMessages();
    EXPECT_EQ(selected(), 2);
    SendMessageW(View(), WM_KEYDOWN, VK_DOWN, 0);
    PumpMessages();
    EXPECT_EQ(selected(), 3);
    // Down from the last attachment opens the next record: the rows change.
    SendMessageW(View(), WM_KEYDOWN, VK_DOWN, 0);
    PumpMessages();
    EXPECT_EQ(childCount(), 3);  // r0, r1, c.txt
    EXPECT_EQ(selected(), 2);
    EXPECT_EQ(name(2), L"2004年12月06日 10:20:30、from、subject");
    UnhookWinEvent(hook);
    const std::vector<std::pair<DWORD, LONG>> expected{
        {EVENT_OBJECT_FOCUS, 2},     {EVENT_OBJECT_SELECTION, 2}, {EVENT_OBJECT_FOCUS, 3},
        {EVENT_OBJECT_SELECTION, 3}, {EVENT_OBJECT_REORDER, 0},   {EVENT_OBJECT_FOCUS, 2},
        {EVENT_OBJECT_SELECTION, 2}};
    EXPECT_EQ(events, expected);
    // The window gone, the object the client still holds answers nothing.
    m_pView.reset();
    long count = 0;
    EXPECT_NE(accessible->get_accChildCount(&count), S_OK);
    accessible->Release();
}

}  // namespace
