// The list window and the drop window together, headless under Wine: creation and
// placement, hiding instead of closing, exit, minimising, the command route with its enable
// states, the drop window's zones, hit test, clicks and tooltips, and start-up as a single
// instance.

#include "app/FramePlacement.h"
#include "app/Settings.h"
#include "app/Velmaron1App.h"
#include "gui/DropWindow.h"
#include "gui/MainFrame.h"
#include "gui/Velmaron1WinApp.h"
#include "intake/DropWindowLayout.h"
#include "intake/win/Display.h"
#include "platform/FileSystem.h"
#include "platform/NamedMutex.h"
#include "res/resource.h"
#include "store/InterruptedRun.h"
#include "support/ScratchFolder.h"
#include "ui/AppMessages.h"
#include "ui/FrameView.h"
#include "ui/ScopedGdi.h"
#include "ui/support/DialogDriver.h"

#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// A stand-in for the list view: records what the frame sends it and decides the enable
// state of the delete command.
class CRecordingView final : public ui::CFrameView {
public:
    bool CreateView(HWND frame) override {
        const RECT rect{0, 0, 10, 10};
        return Create(L"MorvekRecordingView", 0, WS_CHILD | WS_VISIBLE, L"", rect, frame,
                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDW_PANE_FIRST)));
    }
    bool OnCommand(UINT id) override {
        if (id != ID_DELETE_SELECTION) {
            return false;
        }
        m_arrCommands.push_back(id);
        return true;
    }
    std::optional<bool> QueryCommandEnabled(UINT id) override {
        if (id == ID_DELETE_SELECTION) {
            return m_bDeleteEnabled;
        }
        return std::nullopt;
    }

    std::vector<UINT> m_arrCommands;
    std::vector<UINT> m_arrMessages;
    bool m_bDeleteEnabled = false;

protected:
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) override {
        if (message >= WM_APP && message <= WM_APP + 8) {
            m_arrMessages.push_back(message);
            result = 1;
            return true;
        }
        return false;
    }
};

void SetSetting(bool exitOnCloseList, bool useUnsent) {
    CSettings settings;
    SettingsValues values = settings.Read();
    values.exitOnCloseList = exitOnCloseList;
    values.useUnsendMailFunc = useUnsent;
    settings.Write(values);
}

RECT WorkArea() {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        SetSetting(false, false);
        m_pApp = std::make_unique<CVelmaron1App>(m_program / "morvek.exe");
    }
    void TearDown() override {
        m_pFrame.reset();
        SetSetting(false, false);
        OleUninitialize();
    }

    void CreateFrame() {
        m_pFrame = std::make_unique<CMainFrame>(
            *m_pApp,
            [this]() {
                auto view = std::make_unique<CRecordingView>();
                m_pView = view.get();
                return view;
            },
            nullptr);
        ASSERT_TRUE(m_pFrame->CreateFrame());
        ASSERT_NE(m_pFrame->GetDropWindow(), nullptr);
    }

    HWND Frame() const { return m_pFrame->GetHwnd(); }
    HWND Drop() const { return m_pFrame->GetDropWindow()->GetHwnd(); }

    DropZone ZoneTest(int x, int y) {
        return m_pFrame->GetDropWindow()->GetDropSite().TestDropZone(DropPoint{x, y});
    }

    LRESULT HitTest(int x, int y) {
        POINT point{x, y};
        ClientToScreen(Drop(), &point);
        return SendMessageW(Drop(), WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    }

    void Click(POINT down, POINT up) {
        SendMessageW(Drop(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
        SendMessageW(Drop(), WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
    }

    test::ScratchFolder m_program;
    std::unique_ptr<CVelmaron1App> m_pApp;
    std::unique_ptr<CMainFrame> m_pFrame;
    CRecordingView* m_pView = nullptr;
};

TEST_F(MainFrameTest, TheListWindowStartsHiddenBehindAVisibleDropWindow) {
    CreateFrame();
    EXPECT_EQ(test::WindowText(Frame()), "Morvek Attachment Extractor");
    EXPECT_FALSE(IsWindowVisible(Frame()));
    EXPECT_TRUE(IsWindowVisible(Drop()));

    // Half the work area, centred.
    const RECT area = WorkArea();
    const FrameBounds expected = PlaceMainFrame(area.left, area.top, area.right, area.bottom);
    RECT frame{};
    GetWindowRect(Frame(), &frame);
    EXPECT_EQ(frame.left, expected.x);
    EXPECT_EQ(frame.top, expected.y);
    EXPECT_EQ(frame.right - frame.left, expected.width);
    EXPECT_EQ(frame.bottom - frame.top, expected.height);

    // The toolbar holds delete, unsent and about with separators; the status bar is idle.
    const HWND toolbar = GetDlgItem(Frame(), IDW_TOOLBAR);
    ASSERT_NE(toolbar, nullptr);
    ASSERT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 5);
    const int expectedCommands[] = {ID_DELETE_SELECTION, 0, ID_MAKE_UNSENT, 0, ID_APP_ABOUT};
    for (int i = 0; i < 5; ++i) {
        TBBUTTON button{};
        SendMessageW(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ((button.fsStyle & BTNS_SEP) != 0 ? 0 : button.idCommand, expectedCommands[i]);
    }
    EXPECT_EQ(test::WindowText(GetDlgItem(Frame(), IDW_STATUSBAR)), "ﾚﾃﾞｨ");
    EXPECT_EQ(GetDlgCtrlID(m_pFrame->GetActiveViewWindow()), IDW_PANE_FIRST);

    // The capsule: topmost tool window, 120 by 150, a quarter down by the right edge.
    const LONG_PTR exStyle = GetWindowLongPtrW(Drop(), GWL_EXSTYLE);
    EXPECT_NE(exStyle & WS_EX_TOOLWINDOW, 0);
    EXPECT_NE(exStyle & WS_EX_TOPMOST, 0);
    RECT drop{};
    GetWindowRect(Drop(), &drop);
    EXPECT_EQ(drop.right - drop.left, 120);
    EXPECT_EQ(drop.bottom - drop.top, 150);
    const ScreenPosition place =
        CDropWindowLayout::Place({area.left, area.top, area.right, area.bottom}, 120);
    EXPECT_EQ(drop.left, place.x);
    EXPECT_EQ(drop.top, place.y);
    const HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(Drop(), region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 2, 2)) << "the corner lies outside the capsule";
    EXPECT_TRUE(PtInRegion(region, 60, 75));
    EXPECT_TRUE(PtInRegion(region, 110, 10)) << "the close square sticks out";
    DeleteObject(region);
}

// The drop window on a monitor of 144 dots per inch (set for the window: Wine gives a process
// one resolution), then moved to one of 96 and back (WM_DPICHANGED, which Wine never sends
// by itself): size, shape, picture, zones and toolbar follow, and the window keeps its edge.
TEST_F(MainFrameTest, TheDropWindowAndToolbarTakeTheMonitorsScale) {
    display::SetDpiForTests(144);
    CreateFrame();
    display::SetDpiForTests(std::nullopt);
    const RECT area = WorkArea();
    RECT drop{};
    GetWindowRect(Drop(), &drop);
    EXPECT_EQ(drop.right - drop.left, 180);
    EXPECT_EQ(drop.bottom - drop.top, 225);
    EXPECT_EQ(drop.right, area.right - 32);  // 21 scaled
    auto pictureSize = [this] {
        BITMAP info{};
        const auto picture = reinterpret_cast<HBITMAP>(
            SendDlgItemMessageW(Drop(), IDC_DROP_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
        GetObjectW(picture, sizeof info, &info);
        return SIZE{info.bmWidth, info.bmHeight};
    };
    EXPECT_EQ(pictureSize().cx, 180);
    EXPECT_EQ(pictureSize().cy, 225);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(Drop(), region);
    EXPECT_TRUE(PtInRegion(region, 90, 112));
    EXPECT_TRUE(PtInRegion(region, 165, 15)) << "the close square at its scaled place";
    EXPECT_FALSE(PtInRegion(region, 3, 3));
    // Zones and clicks at the scale: the main zone reaches 150 to the right, not 100.
    EXPECT_EQ(ZoneTest(140, 100), DropZone::Extraction);
    EXPECT_EQ(HitTest(140, 100), HTCLIENT);
    EXPECT_EQ(HitTest(140, 170), HTCAPTION);
    // The toolbar's buttons hold pictures of 24 by 23.
    const HWND toolbar = GetDlgItem(Frame(), IDW_TOOLBAR);
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(images, &width, &height);
    EXPECT_EQ(width, 24);
    EXPECT_EQ(height, 23);

    // To a monitor of 96 dots per inch: 120 by 150, still 21 from the right edge.
    RECT suggested{drop.left, drop.top, drop.left + 120, drop.top + 150};
    SendMessageW(Drop(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(Drop(), &drop);
    EXPECT_EQ(drop.right - drop.left, 120);
    EXPECT_EQ(drop.bottom - drop.top, 150);
    EXPECT_EQ(drop.right, area.right - 21);
    EXPECT_EQ(drop.top, suggested.top);
    EXPECT_EQ(pictureSize().cx, 120);
    GetWindowRgn(Drop(), region);
    EXPECT_FALSE(PtInRegion(region, 165, 15));
    EXPECT_TRUE(PtInRegion(region, 110, 10));
    EXPECT_EQ(ZoneTest(140, 100), DropZone::None);
    // And to 192: 240 by 300 at the same edge.
    SendMessageW(Drop(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(Drop(), &drop);
    EXPECT_EQ(drop.right - drop.left, 240);
    EXPECT_EQ(drop.bottom - drop.top, 300);
    EXPECT_EQ(drop.right, area.right - 42);
    EXPECT_EQ(pictureSize().cy, 300);
    DeleteObject(region);
}

// Under a high-contrast theme the capsule is drawn in the system's colours.
TEST_F(MainFrameTest, UnderHighContrastTheDropWindowTakesTheSystemColours) {
    display::SetHighContrastForTests(true);
    CreateFrame();
    display::SetHighContrastForTests(std::nullopt);
    const auto picture = reinterpret_cast<HBITMAP>(
        SendDlgItemMessageW(Drop(), IDC_DROP_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(picture, nullptr);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, picture);
    EXPECT_EQ(GetPixel(dc, 60, 30), GetSysColor(COLOR_WINDOW));     // the capsule's face
    EXPECT_EQ(GetPixel(dc, 102, 3), GetSysColor(COLOR_HIGHLIGHT));  // the close square
    SelectObject(dc, previous);
    DeleteDC(dc);
    // The theme goes off: the artwork again.
    SendMessageW(Drop(), WM_SYSCOLORCHANGE, 0, 0);
    const auto artwork = reinterpret_cast<HBITMAP>(
        SendDlgItemMessageW(Drop(), IDC_DROP_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
    const HDC art = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(art, artwork);
    EXPECT_NE(GetPixel(art, 60, 30), GetSysColor(COLOR_WINDOW));
    SelectObject(art, old);
    DeleteDC(art);
}

TEST_F(MainFrameTest, ClosingHidesTheListUnlessExitWasAskedOrTheSettingSaysSo) {
    CreateFrame();
    SendMessageW(Frame(), WM_COMMAND, ID_OPEN_LIST, 0);
    EXPECT_TRUE(IsWindowVisible(Frame()));
    EXPECT_FALSE(IsWindowVisible(Drop()));

    SendMessageW(Frame(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(IsWindow(Frame()));
    EXPECT_FALSE(IsWindowVisible(Frame()));
    EXPECT_TRUE(IsWindowVisible(Drop()));

    SetSetting(true, false);
    const HWND frame = Frame();
    SendMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(frame));
}

TEST_F(MainFrameTest, ExitEndsTheProgramWhateverTheSetting) {
    CreateFrame();
    const HWND frame = Frame();
    const HWND drop = Drop();
    SendMessageW(frame, WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_FALSE(IsWindow(drop));

    CreateFrame();
    const HWND second = Frame();
    EXPECT_EQ(SendMessageW(second, ui::WM_EXIT_APPLICATION, 0, 0), 1);
    EXPECT_FALSE(IsWindow(second));
}

TEST_F(MainFrameTest, MinimisingTheListShowsTheDropWindow) {
    CreateFrame();
    SendMessageW(Frame(), WM_COMMAND, ID_OPEN_LIST, 0);
    ShowWindow(Frame(), SW_MINIMIZE);
    EXPECT_FALSE(IsWindowVisible(Frame()));
    EXPECT_TRUE(IsWindowVisible(Drop()));
}

TEST_F(MainFrameTest, CommandsGoToTheViewFirstAndItDecidesTheirEnableState) {
    CreateFrame();
    SendMessageW(Frame(), WM_COMMAND, ID_DELETE_SELECTION, 0);
    EXPECT_EQ(m_pView->m_arrCommands, std::vector<UINT>{ID_DELETE_SELECTION});

    const HMENU file = GetSubMenu(GetMenu(Frame()), 0);
    SendMessageW(Frame(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    EXPECT_NE(GetMenuState(file, ID_DELETE_SELECTION, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(GetMenuState(file, ID_APP_EXIT, MF_BYCOMMAND) & MF_GRAYED, 0u);

    m_pView->m_bDeleteEnabled = true;
    SendMessageW(Frame(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    EXPECT_EQ(GetMenuState(file, ID_DELETE_SELECTION, MF_BYCOMMAND) & MF_GRAYED, 0u);

    // The toolbar follows the same rule when the thread is idle.
    SendMessageW(Frame(), WM_COMMAND, ID_OPEN_LIST, 0);
    const HWND toolbar = GetDlgItem(Frame(), IDW_TOOLBAR);
    m_pView->m_bDeleteEnabled = false;
    m_pFrame->OnIdle();
    EXPECT_FALSE(SendMessageW(toolbar, TB_ISBUTTONENABLED, ID_DELETE_SELECTION, 0));
    m_pView->m_bDeleteEnabled = true;
    m_pFrame->OnIdle();
    EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, ID_DELETE_SELECTION, 0));
    // Nobody handles the about command without the application: it is disabled.
    EXPECT_FALSE(SendMessageW(toolbar, TB_ISBUTTONENABLED, ID_APP_ABOUT, 0));
}

TEST_F(MainFrameTest, TheDropZonesFollowTheSettingAtEachTest) {
    CreateFrame();
    EXPECT_EQ(ZoneTest(50, 50), DropZone::Extraction);
    EXPECT_EQ(ZoneTest(50, 110), DropZone::None);
    EXPECT_EQ(ZoneTest(110, 10), DropZone::None);
    SetSetting(false, true);
    EXPECT_EQ(ZoneTest(50, 110), DropZone::Unsent);
    // The tooltips were fixed at creation: still two tools.
    EXPECT_EQ(SendMessageW(m_pFrame->GetDropWindow()->GetTooltipWindow(), TTM_GETTOOLCOUNT, 0, 0),
              2);
}

TEST_F(MainFrameTest, TheUnsentToolIsThereWhenTheFunctionIsOnAtCreation) {
    SetSetting(false, true);
    CreateFrame();
    const HWND tooltip = m_pFrame->GetDropWindow()->GetTooltipWindow();
    ASSERT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 3);
    wchar_t text[128] = {};
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = Drop();
    info.uId = 3;
    info.lpszText = text;
    ASSERT_TRUE(SendMessageW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(info.rect.left, 100);
    EXPECT_STREQ(text, L"閉じる");
}

TEST_F(MainFrameTest, EveryZonesTipShowsWhenTheMouseRestsOnIt) {
    SetSetting(false, true);
    CreateFrame();
    ShowWindow(Drop(), SW_SHOWNOACTIVATE);
    CDropWindow& drop = *m_pFrame->GetDropWindow();
    const HWND tooltip = drop.GetTooltipWindow();
    // The unsent zone is non-client (it drags the window): its moves come as WM_NCMOUSEMOVE
    // with screen coordinates, through the message loop's PreTranslateMessage.
    const struct {
        POINT point;
        UINT id;
    } cases[] = {{{50, 50}, 1}, {{50, 110}, 2}, {{110, 10}, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        SendMessageW(tooltip, TTM_POP, 0, 0);
        POINT screen = c.point;
        ClientToScreen(Drop(), &screen);
        SetCursorPos(screen.x, screen.y);
        const LRESULT hit = SendMessageW(Drop(), WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
        MSG msg{};
        msg.hwnd = Drop();
        msg.time = GetTickCount();
        msg.pt = screen;
        if (hit == HTCLIENT) {
            msg.message = WM_MOUSEMOVE;
            msg.lParam = MAKELPARAM(c.point.x, c.point.y);
        } else {
            msg.message = WM_NCMOUSEMOVE;
            msg.wParam = static_cast<WPARAM>(hit);
            msg.lParam = MAKELPARAM(screen.x, screen.y);
        }
        drop.PreTranslateMessage(msg);
        test::PumpFor(300);
        TTTOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        ASSERT_TRUE(SendMessageW(tooltip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&info)));
        EXPECT_EQ(info.uId, c.id);
        EXPECT_TRUE(IsWindowVisible(tooltip));
    }
}

TEST_F(MainFrameTest, OnlyTheMainZoneAndCloseMarkAreClientAreaTheRestDragsTheWindow) {
    CreateFrame();
    EXPECT_EQ(HitTest(50, 50), HTCLIENT);
    EXPECT_EQ(HitTest(110, 10), HTCLIENT);
    EXPECT_EQ(HitTest(50, 110), HTCAPTION);
    EXPECT_EQ(HitTest(60, 20), HTCAPTION);
}

TEST_F(MainFrameTest, AClickOnTheMainZoneOpensTheListAndTheDropWindowHidesItself) {
    CreateFrame();
    Click({20, 40}, {20, 90});  // released outside the zone: nothing
    EXPECT_FALSE(IsWindowVisible(Frame()));
    Click({20, 40}, {105, 5});  // released on the close mark: nothing
    EXPECT_TRUE(IsWindow(Frame()));

    Click({20, 40}, {90, 80});
    EXPECT_TRUE(IsWindowVisible(Frame()));
    EXPECT_TRUE(IsWindowVisible(Drop())) << "the drop window hides itself a little later";
    test::PumpFor(200);
    EXPECT_FALSE(IsWindowVisible(Drop()));
}

TEST_F(MainFrameTest, AClickOnTheCloseMarkExits) {
    CreateFrame();
    const HWND frame = Frame();
    Click({105, 5}, {110, 15});
    EXPECT_FALSE(IsWindow(frame));
}

TEST_F(MainFrameTest, TheDropWindowsOpenListCommandRefreshesTheView) {
    CreateFrame();
    // The drop window's menu: its own command route enables the items it handles.
    const ui::ScopedMenu menus(
        LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_POPUPMENUS)));
    const HMENU table = GetSubMenu(menus.Get(), 1);
    ASSERT_NE(table, nullptr);
    for (const UINT id : {ID_OPEN_LIST, ID_SETTINGS, ID_APP_ABOUT}) {
        EnableMenuItem(table, id, MF_BYCOMMAND | MF_GRAYED);
    }
    SendMessageW(Drop(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(table), 0);
    for (const UINT id : {ID_OPEN_LIST, ID_SETTINGS, ID_APP_ABOUT}) {
        EXPECT_EQ(GetMenuState(table, id, MF_BYCOMMAND) & MF_GRAYED, 0u) << id;
    }

    SendMessageW(Drop(), WM_COMMAND, ID_OPEN_LIST, 0);
    EXPECT_EQ(m_pView->m_arrMessages, std::vector<UINT>{ui::WM_REFRESH_RECORDS});
    EXPECT_TRUE(IsWindowVisible(Frame()));
    test::PumpFor(200);
    EXPECT_FALSE(IsWindowVisible(Drop()));
}

TEST_F(MainFrameTest, AKeptExtractionOnTheDropWindowAddsTheRecordAndOpensTheList) {
    CreateFrame();
    const std::string copy = m_pApp->GetDataFolder() + "note.eml";
    test::WriteFile(copy,
                    "Subject: note\r\nMIME-Version: 1.0\r\n"
                    "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n"
                    "--b\r\nContent-Type: text/plain\r\n\r\nhello\r\n"
                    "--b\r\nContent-Type: text/plain; name=\"a.txt\"\r\n"
                    "Content-Disposition: attachment; filename=\"a.txt\"\r\n\r\nA\r\n--b--\r\n");
    m_pFrame->GetDropWindow()->GetDropSite().GetPendingList() = {copy};
    ASSERT_TRUE(m_pFrame->GetDropWindow()->GetDropSite().RunExtraction());
    const std::vector<UINT> expected{ui::WM_ADD_RECORD, ui::WM_REFRESH_RECORDS};
    EXPECT_EQ(m_pView->m_arrMessages, expected);
    EXPECT_TRUE(platform::QueryAttributes(m_pApp->GetDataFolder() + "note.att").has_value());
    EXPECT_TRUE(IsWindowVisible(Frame()));
    test::PumpFor(200);
    EXPECT_FALSE(IsWindowVisible(Drop()));
    EXPECT_TRUE(IsWindowEnabled(Drop())) << "the progress dialog gave the window back";
}

TEST_F(MainFrameTest, DestroyingTheFrameEmptiesTheTemporaryFolder) {
    CreateFrame();
    const std::string draft = CVelmaron1App::GetTemporaryFolder() + "draft.eml";
    test::WriteFile(draft, "X-Unsent: 1\r\n\r\n");
    m_pFrame.reset();
    EXPECT_FALSE(platform::QueryAttributes(draft).has_value());
}

// Start-up as a single instance.
class StartupTest : public MainFrameTest {};

TEST_F(StartupTest, ASecondInstanceRaisesOnlyAVisibleListWindow) {
    platform::NamedMutex first(CVelmaron1WinApp::kMutexName);
    ASSERT_TRUE(first.IsValid());
    CreateFrame();  // stands for the running instance's windows

    const std::string draft = CVelmaron1App::GetTemporaryFolder() + "draft.eml";
    test::WriteFile(draft, "X-Unsent: 1\r\n\r\n");
    CVelmaron1WinApp second(*m_pApp, nullptr);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(second.InitInstance());
    EXPECT_TRUE(platform::QueryAttributes(draft).has_value()) << "the first one's draft stays";
    EXPECT_LT(GetTickCount() - start, 2000u) << "no splash window in a second instance";
    EXPECT_FALSE(IsWindowVisible(Frame())) << "a hidden list window stays hidden";
    EXPECT_FALSE(CVelmaron1WinApp::RaiseRunningInstance());

    SendMessageW(Frame(), WM_COMMAND, ID_OPEN_LIST, 0);
    SetForegroundWindow(Drop());
    EXPECT_TRUE(CVelmaron1WinApp::RaiseRunningInstance());
    EXPECT_EQ(GetForegroundWindow(), Frame());
}

TEST_F(StartupTest, TheFirstInstanceRunsUntilExitAndCleansUp) {
    ClearInterruptedRuns(m_pApp->GetDataFolder());  // what earlier tests left: no notice
    const std::string left = CVelmaron1App::GetTemporaryFolder() + "left.eml";
    test::WriteFile(left, "X-Unsent: 1\r\n\r\n");
    CVelmaron1WinApp app(*m_pApp, [this]() -> std::unique_ptr<ui::CFrameView> {
        auto view = std::make_unique<CRecordingView>();
        m_pView = view.get();
        return view;
    });
    app.SetSplashMilliseconds(0);
    ASSERT_TRUE(app.InitInstance());
    EXPECT_FALSE(platform::QueryAttributes(left).has_value()) << "the owner empties the folder";
    CMainFrame* frame = app.GetMainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(IsWindowVisible(frame->GetHwnd()));
    EXPECT_TRUE(IsWindowVisible(frame->GetDropWindow()->GetHwnd()));
    EXPECT_EQ(test::FindThreadWindow(L"#32770", frame->GetDropWindow()->GetHwnd()), nullptr)
        << "the splash window is gone";

    // While it runs, the mutex marks it.
    {
        platform::NamedMutex probe(CVelmaron1WinApp::kMutexName);
        EXPECT_TRUE(probe.AlreadyExisted());
    }
    const std::string draft = CVelmaron1App::GetTemporaryFolder() + "draft.eml";
    test::WriteFile(draft, "X-Unsent: 1\r\n\r\n");
    PostMessageW(frame->GetHwnd(), ui::WM_EXIT_APPLICATION, 0, 0);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.GetMainFrame(), nullptr);
    EXPECT_FALSE(platform::QueryAttributes(draft).has_value());
}

// What a run that never ended left is cleared by the instance that owns the mutex, and the
// user is told once, over the drop window, how many messages to drop again.
TEST_F(StartupTest, TheFirstInstanceTellsOfAnInterruptedRun) {
    const std::string data = m_pApp->GetDataFolder();
    ClearInterruptedRuns(data);
    test::WriteFile(data + "left.eml", "Subject: s\r\n\r\n");
    ASSERT_NE(platform::MakeFolder(data + "scanvirus\\staged"), platform::MakeFolderResult::Failed);
    test::WriteFile(data + "scanvirus\\staged\\a.txt", "a");
    test::WriteFile(data + "staged.att", "record");

    CVelmaron1WinApp app(*m_pApp, [this]() -> std::unique_ptr<ui::CFrameView> {
        auto view = std::make_unique<CRecordingView>();
        m_pView = view.get();
        return view;
    });
    app.SetSplashMilliseconds(0);
    std::string text;
    test::CDialogDriver driver;
    driver.Then([&] {
        const HWND message = test::FindProgramMessage();
        if (message == nullptr) {
            return false;
        }
        text = test::MessageText(message);
        test::PostCommand(message, IDOK);
        return true;
    });
    driver.Start();
    ASSERT_TRUE(app.InitInstance());
    EXPECT_TRUE(driver.IsDone());
    EXPECT_EQ(text, InterruptedRunText(2));
    for (const char* gone : {"left.eml", "scanvirus\\staged", "staged.att"}) {
        EXPECT_FALSE(platform::QueryAttributes(data + gone).has_value()) << gone;
    }
    PostMessageW(app.GetMainFrame()->GetHwnd(), ui::WM_EXIT_APPLICATION, 0, 0);
    EXPECT_EQ(app.Run(), 0);
}

}  // namespace
