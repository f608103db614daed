// The user-interface kit under the system's own window manager (headless under Wine).

#include "ui/DialogBase.h"
#include "ui/ScopedGdi.h"
#include "ui/WindowBase.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

constexpr UINT kAnswer = WM_APP + 10;
constexpr UINT kThrow = WM_APP + 11;

class CCountingWindow : public ui::CWindowBase {
public:
    int m_nCreated = 0;
    int m_nFinal = 0;

protected:
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) override {
        switch (message) {
            case WM_CREATE:
                ++m_nCreated;
                result = 0;
                return true;
            case kAnswer:
                result = 42;
                return true;
            case kThrow:
                throw std::runtime_error("a handler failed");
            default:
                return false;
        }
    }
    void OnFinalMessage() override { ++m_nFinal; }
};

TEST(UiKit, WindowsAreBoundFromCreationToTheirLastMessage) {
    CCountingWindow window;
    ASSERT_TRUE(window.Create(L"MorvekTestWindow", 0, WS_OVERLAPPEDWINDOW, L"test",
                              RECT{0, 0, 200, 100}, nullptr));
    const HWND hwnd = window.GetHwnd();
    EXPECT_EQ(window.m_nCreated, 1);
    EXPECT_EQ(ui::CWindowBase::FromHandle(hwnd), &window);
    EXPECT_EQ(SendMessageW(hwnd, kAnswer, 0, 0), 42);
    // An exception ends at the window procedure: the message gets the default result.
    EXPECT_EQ(SendMessageW(hwnd, kThrow, 0, 0), 0);
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_EQ(window.m_nFinal, 1);
    EXPECT_EQ(window.GetHwnd(), nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
}

// A dialog template without controls, built in memory.
struct alignas(4) EmptyTemplate {
    DLGTEMPLATE dialog{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 0, 0, 120, 60};
    WORD menu = 0;
    WORD windowClass = 0;
    WORD title = 0;
};

class CTestDialog : public ui::CDialogBase {
public:
    CTestDialog(const DLGTEMPLATE* dialogTemplate, UINT postedCommand)
        : CDialogBase(dialogTemplate), m_nPostedCommand(postedCommand) {}
    bool m_bInitialised = false;
    bool m_bOK = false;

protected:
    BOOL OnInitDialog() override {
        m_bInitialised = true;
        if (m_nPostedCommand != 0) {
            PostMessageW(m_hWnd, WM_COMMAND, m_nPostedCommand, 0);
        }
        return TRUE;
    }
    void OnOK() override {
        m_bOK = true;
        EndDialog(7);
    }

private:
    UINT m_nPostedCommand;
};

TEST(UiKit, DialogsRunModallyAndModelessly) {
    static const EmptyTemplate kTemplate;
    CTestDialog cancelled(&kTemplate.dialog, IDCANCEL);
    EXPECT_EQ(cancelled.DoModal(nullptr), IDCANCEL);
    EXPECT_TRUE(cancelled.m_bInitialised);
    EXPECT_FALSE(cancelled.m_bOK);

    CTestDialog accepted(&kTemplate.dialog, IDOK);
    EXPECT_EQ(accepted.DoModal(nullptr), 7);
    EXPECT_TRUE(accepted.m_bOK);

    CTestDialog modeless(&kTemplate.dialog, 0);
    ASSERT_TRUE(modeless.CreateModeless(nullptr));
    const HWND hwnd = modeless.GetHwnd();
    EXPECT_TRUE(IsWindow(hwnd));
    SendMessageW(hwnd, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(modeless.m_bOK);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(modeless.GetHwnd(), nullptr);
}

TEST(UiKit, GdiObjectsAreDeletedWithTheirOwners) {
    HFONT raw = nullptr;
    {
        ui::ScopedFont font(CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0,
                                        0, L"MS UI Gothic"));
        ASSERT_TRUE(font);
        raw = font.Get();
        EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_FONT));
        const HDC dc = CreateCompatibleDC(nullptr);
        {
            ui::ScopedSelect select(dc, font.Get());
            EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), raw);
        }
        EXPECT_NE(GetCurrentObject(dc, OBJ_FONT), raw);
        DeleteDC(dc);
    }
    EXPECT_EQ(GetObjectType(raw), 0u);
}

}  // namespace
