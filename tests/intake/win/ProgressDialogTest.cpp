// The progress dialog under the system's own window manager (headless under Wine).

#include "intake/win/ProgressDialog.h"
#include "platform/win32/WideText.h"
#include "res/resource.h"
#include "ui/WindowBase.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

constexpr UINT kPing = WM_APP + 50;

class COwnerWindow : public ui::CWindowBase {
public:
    int m_nPings = 0;

protected:
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) override {
        if (message == kPing) {
            ++m_nPings;
            result = 0;
            return true;
        }
        return false;
    }
};

class ProgressDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_owner.Create(L"MorvekProgressOwner", 0, WS_OVERLAPPEDWINDOW, L"owner",
                                   RECT{0, 0, 300, 200}, nullptr));
    }
    void TearDown() override { DestroyWindow(m_owner.GetHwnd()); }

    static std::string ItemText(HWND dialog, int id) {
        wchar_t text[256] = {};
        GetDlgItemTextW(dialog, id, text, 256);
        return platform::win32::FromWide(text);
    }
    static std::string Percent(const CProgressDialog& dialog) {
        return ItemText(dialog.GetHwnd(), IDC_PROGRESS_PERCENT);
    }
    static int BarPosition(const CProgressDialog& dialog) {
        return static_cast<int>(
            SendDlgItemMessageW(dialog.GetHwnd(), IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
    }

    COwnerWindow m_owner;
};

TEST_F(ProgressDialogTest, ShowsTheCaptionMessageAndPercent) {
    CProgressDialog dialog;
    ASSERT_TRUE(dialog.Create(m_owner.GetHwnd()));
    const HWND hwnd = dialog.GetHwnd();
    EXPECT_TRUE(IsWindowVisible(hwnd));
    wchar_t caption[128] = {};
    GetWindowTextW(hwnd, caption, 128);
    EXPECT_EQ(platform::win32::FromWide(caption), "Morveｋ Attachment Extractor");
    EXPECT_EQ(Percent(dialog), " 0 %");
    dialog.SetStatusText("メールを読み込んでいます。\nしばらくお待ちください。");
    EXPECT_EQ(ItemText(hwnd, IDC_PROGRESS_MESSAGE),
              "メールを読み込んでいます。\nしばらくお待ちください。");

    dialog.SetPosition(20);
    dialog.SetPosition(50);
    EXPECT_EQ(Percent(dialog), "50%");
    EXPECT_EQ(dialog.GetPreviousPosition(), 20);
    EXPECT_EQ(BarPosition(dialog), 50);
}

TEST_F(ProgressDialogTest, StepsReachAHundredAndThenWrap) {
    CProgressDialog dialog;
    ASSERT_TRUE(dialog.Create(m_owner.GetHwnd()));
    for (int i = 0; i < 100; ++i) {
        dialog.StepIt();
    }
    EXPECT_EQ(Percent(dialog), "100%");
    EXPECT_EQ(dialog.GetPreviousPosition(), 99);
    dialog.StepIt();
    EXPECT_EQ(Percent(dialog), "1%");
    EXPECT_EQ(dialog.GetPreviousPosition(), 100);
    EXPECT_LE(BarPosition(dialog), 1);  // the bar has wrapped
}

TEST_F(ProgressDialogTest, CancelIsReportedOnceAndNeverClosesTheDialog) {
    CProgressDialog dialog;
    ASSERT_TRUE(dialog.Create(m_owner.GetHwnd()));
    const HWND hwnd = dialog.GetHwnd();
    EXPECT_FALSE(dialog.CheckCancel());

    // The button and Esc, both before the next check: one report.
    PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
    PostMessageW(GetDlgItem(hwnd, IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(dialog.CheckCancel());
    EXPECT_FALSE(dialog.CheckCancel());
    EXPECT_TRUE(IsWindow(hwnd));

    // The close box asks for a cancel as well.
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(dialog.CheckCancel());
    EXPECT_TRUE(IsWindow(hwnd));

    // OK does nothing; Enter goes to the default button, never closing the dialog.
    PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(dialog.CheckCancel());
    PostMessageW(GetDlgItem(hwnd, IDCANCEL), WM_KEYDOWN, VK_RETURN, 0);
    dialog.CheckCancel();
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(dialog.GetHwnd(), hwnd);
}

TEST_F(ProgressDialogTest, TheTopLevelOwnerIsDisabledWhileTheDialogExists) {
    const HWND child =
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, m_owner.GetHwnd(),
                        nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(child, nullptr);
    {
        CProgressDialog dialog;
        ASSERT_TRUE(dialog.Create(child));
        EXPECT_FALSE(IsWindowEnabled(m_owner.GetHwnd()));
        EXPECT_TRUE(IsWindowEnabled(child));
    }
    EXPECT_TRUE(IsWindowEnabled(m_owner.GetHwnd()));

    // An owner that was disabled already stays so.
    EnableWindow(m_owner.GetHwnd(), FALSE);
    {
        CProgressDialog dialog;
        ASSERT_TRUE(dialog.Create(m_owner.GetHwnd()));
    }
    EXPECT_FALSE(IsWindowEnabled(m_owner.GetHwnd()));
    EnableWindow(m_owner.GetHwnd(), TRUE);
}

TEST_F(ProgressDialogTest, ProgressCallsServeEveryWindowOfTheThread) {
    CProgressDialog dialog;
    ASSERT_TRUE(dialog.Create(m_owner.GetHwnd()));
    PostMessageW(m_owner.GetHwnd(), kPing, 0, 0);
    dialog.StepIt();
    EXPECT_EQ(m_owner.m_nPings, 1);
    PostMessageW(m_owner.GetHwnd(), kPing, 0, 0);
    dialog.SetPosition(3);
    PostMessageW(m_owner.GetHwnd(), kPing, 0, 0);
    dialog.CheckCancel();
    EXPECT_EQ(m_owner.m_nPings, 3);
}

TEST_F(ProgressDialogTest, WithoutItsWindowEveryCallIsHarmless) {
    CProgressDialog dialog;
    dialog.SetStatusText("x");
    dialog.SetPosition(40);
    dialog.StepIt();
    dialog.PumpMessages();
    EXPECT_FALSE(dialog.CheckCancel());
    EXPECT_EQ(dialog.GetHwnd(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(m_owner.GetHwnd()));
}

}  // namespace
