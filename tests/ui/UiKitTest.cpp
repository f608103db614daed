// The user-interface kit under the system's own window manager (headless under Wine).

#include "ui/ComObject.h"
#include "ui/DialogBase.h"
#include "ui/ScopedGdi.h"
#include "ui/WindowBase.h"

#include <gtest/gtest.h>

#include <ole2.h>

#include <cstring>
#include <memory>
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

// Counts its WM_DESTROY, which releases what the window holds.
class CReleasingWindow : public ui::CWindowBase {
public:
    explicit CReleasingWindow(int& nDestroyed) : m_nDestroyed(nDestroyed) {}
    ~CReleasingWindow() override { DestroyBoundWindow(); }

protected:
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) override {
        if (message == WM_DESTROY) {
            ++m_nDestroyed;
            result = 0;
            return true;
        }
        return false;
    }

private:
    int& m_nDestroyed;
};

TEST(UiKit, TheDestroyHandlerRunsOnceWhicheverEndsFirst) {
    for (const bool bWindowFirst : {true, false}) {
        int nDestroyed = 0;
        auto window = std::make_unique<CReleasingWindow>(nDestroyed);
        ASSERT_TRUE(window->Create(L"MorvekReleasingWindow", 0, WS_POPUP, L"test",
                                   RECT{0, 0, 50, 50}, nullptr));
        const HWND hwnd = window->GetHwnd();
        if (bWindowFirst) {
            DestroyWindow(hwnd);
            EXPECT_EQ(nDestroyed, 1);
        }
        window.reset();
        EXPECT_EQ(nDestroyed, 1) << (bWindowFirst ? "window first" : "object first");
        EXPECT_FALSE(IsWindow(hwnd));
    }
}

// A COM object of the kit's base that reports its end.
class CTestSource final : public ui::CComObject<IDropSource> {
public:
    static ui::ComPtr<CTestSource> Create(bool& bDeleted) {
        return ui::ComPtr<CTestSource>::Adopt(new CTestSource(bDeleted));
    }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return S_OK; }

private:
    explicit CTestSource(bool& bDeleted) : m_bDeleted(bDeleted) {}
    ~CTestSource() override { m_bDeleted = true; }
    bool& m_bDeleted;
};

TEST(UiKit, ComObjectsAnswerTheirInterfacesAndEndWithTheLastReference) {
    bool bDeleted = false;
    {
        const ui::ComPtr<CTestSource> source = CTestSource::Create(bDeleted);
        void* unknown = nullptr;
        void* dropSource = nullptr;
        void* dataObject = reinterpret_cast<void*>(1);
        EXPECT_EQ(source->QueryInterface(IID_IUnknown, &unknown), S_OK);
        EXPECT_EQ(source->QueryInterface(IID_IDropSource, &dropSource), S_OK);
        EXPECT_EQ(unknown, static_cast<IDropSource*>(source.Get()));
        EXPECT_EQ(dropSource, unknown);
        EXPECT_EQ(source->QueryInterface(IID_IDataObject, &dataObject), E_NOINTERFACE);
        EXPECT_EQ(dataObject, nullptr);
        EXPECT_EQ(source->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
        // Two references handed out, one shared, one owned: each release counts down.
        const ui::ComPtr<CTestSource> shared = ui::ComPtr<CTestSource>::Share(source.Get());
        EXPECT_EQ(static_cast<IUnknown*>(unknown)->Release(), 3u);
        EXPECT_EQ(static_cast<IDropSource*>(dropSource)->Release(), 2u);
        EXPECT_FALSE(bDeleted);
    }
    EXPECT_TRUE(bDeleted);
}

TEST(UiKit, MenusIconsAndGlobalMemoryAreFreedWithTheirOwnersUnlessHandedOn) {
    HMENU rawMenu = nullptr;
    {
        const ui::ScopedMenu menu(CreatePopupMenu());
        rawMenu = menu.Get();
        EXPECT_TRUE(IsMenu(rawMenu));
    }
    EXPECT_FALSE(IsMenu(rawMenu));

    HICON rawIcon = nullptr;
    {
        const ui::ScopedIcon icon(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)));
        ASSERT_TRUE(icon);
        rawIcon = icon.Get();
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(rawIcon, &info));
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    ICONINFO gone{};
    EXPECT_FALSE(GetIconInfo(rawIcon, &gone));

    const char bytes[] = "VELMARON1";
    ui::ScopedGlobal block = ui::CopyToGlobal(bytes, 9);
    ASSERT_TRUE(block);
    EXPECT_EQ(GlobalSize(block.Get()), 9u);
    const void* copied = GlobalLock(block.Get());
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(std::memcmp(copied, bytes, 9), 0);
    GlobalUnlock(block.Get());
    const HGLOBAL handedOn = block.Detach();
    EXPECT_FALSE(block);
    EXPECT_EQ(GlobalSize(handedOn), 9u);
    EXPECT_EQ(GlobalFree(handedOn), nullptr);
}

}  // namespace
