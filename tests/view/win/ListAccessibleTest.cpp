// The list's accessible object as a client reaches it through the platform: a window that
// answers WM_GETOBJECT with it, read with AccessibleObjectFromWindow (child count, names,
// roles, states, selection, focus, places, hit tests, navigation), and after the window is
// gone a disconnected object that fails every call.

#include <windows.h>

#include <oleacc.h>

#include "policy/ExtensionList.h"
#include "store/RecordStore.h"
#include "store/StoreFixtures.h"
#include "support/ScratchFolder.h"
#include "ui/WindowBase.h"
#include "view/ListAccessibility.h"
#include "view/ListLayout.h"
#include "view/ListSelection.h"
#include "view/win/ListAccessible.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// A window that hands out the accessible object, as the list window does.
class CAccessibleWindow : public ui::CWindowBase {
public:
    CListAccessible* m_pAccessible = nullptr;

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT &&
            m_pAccessible != nullptr) {
            result = m_pAccessible->AnswerGetObject(wParam);
            return true;
        }
        return false;
    }
};

VARIANT Child(long id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::wstring NameOf(IAccessible* accessible, long id) {
    BSTR name = nullptr;
    if (accessible->get_accName(Child(id), &name) != S_OK || name == nullptr) {
        return L"";
    }
    std::wstring text(name, SysStringLen(name));
    SysFreeString(name);
    return text;
}

long LongOf(HRESULT (IAccessible::*getter)(VARIANT, VARIANT*), IAccessible* accessible, long id) {
    VARIANT value;
    VariantInit(&value);
    if ((accessible->*getter)(Child(id), &value) != S_OK || value.vt != VT_I4) {
        return -1;
    }
    return value.lVal;
}

class ListAccessibleTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        for (const auto& [name, files] :
             std::vector<std::pair<std::string, std::vector<std::string>>>{
                 {"r0", {"x.txt"}}, {"r1", {"a.txt", "setup.exe.alert"}}}) {
            test::MakeRecord(D(), name, files);
            m_store.m_arrRecords.push_back(D() + name + ".att");
        }
        m_store.OpenRecordAt(1);
        m_store.m_bRecordRowSelected = true;
        std::sort(m_store.m_arrAttachments.begin(), m_store.m_arrAttachments.end());
        m_layout.SetClientSize({400, 300});
        m_layout.SetScrollExtent();
        ASSERT_TRUE(m_window.Create(L"MorvekAccessibleTest", 0, WS_POPUP | WS_VISIBLE, L"",
                                    RECT{50, 60, 450, 360}, nullptr));
        m_pAccessible = CListAccessible::Create(m_window.GetHwnd(), m_model,
                                                [this](int child) { m_selected.push_back(child); });
        m_window.m_pAccessible = m_pAccessible;
    }
    void TearDown() override {
        m_window.m_pAccessible = nullptr;
        if (m_pAccessible != nullptr) {
            m_pAccessible->Disconnect();
            m_pAccessible->Release();
        }
        DestroyWindow(m_window.GetHwnd());
        CoUninitialize();
    }

    // The object as a client gets it.
    IAccessible* Client() {
        IAccessible* accessible = nullptr;
        EXPECT_EQ(AccessibleObjectFromWindow(m_window.GetHwnd(), static_cast<DWORD>(OBJID_CLIENT),
                                             __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&accessible)),
                  S_OK);
        return accessible;
    }

    std::string D() const { return m_scratch.Path() + "\\"; }

    test::ScratchFolder m_scratch;
    CRecordStore m_store{D()};
    CListLayout m_layout{m_store};
    CListSelection m_selection{m_store, m_layout};
    CExtensionList m_allowed;
    CListAccessibility m_model{m_store, m_layout, m_allowed};
    CAccessibleWindow m_window;
    CListAccessible* m_pAccessible = nullptr;
    std::vector<int> m_selected;
};

TEST_F(ListAccessibleTest, AClientReadsTheRowsNamesRolesAndStates) {
    IAccessible* accessible = Client();
    ASSERT_NE(accessible, nullptr);
    long count = 0;
    EXPECT_EQ(accessible->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(NameOf(accessible, CHILDID_SELF), L"添付ファイル一覧");
    EXPECT_EQ(NameOf(accessible, 1), L"2004年12月06日 10:20:30、from、subject");
    EXPECT_EQ(NameOf(accessible, 3).rfind(L"a.txt、", 0), 0u) << NameOf(accessible, 3).size();
    EXPECT_EQ(NameOf(accessible, 4).rfind(L"setup.exe、このファイルは取り出し禁止です。", 0), 0u);
    EXPECT_EQ(LongOf(&IAccessible::get_accRole, accessible, CHILDID_SELF), ROLE_SYSTEM_LIST);
    EXPECT_EQ(LongOf(&IAccessible::get_accRole, accessible, 2), ROLE_SYSTEM_LISTITEM);
    EXPECT_NE(LongOf(&IAccessible::get_accState, accessible, 2) & STATE_SYSTEM_SELECTED, 0);
    EXPECT_EQ(LongOf(&IAccessible::get_accState, accessible, 3) & STATE_SYSTEM_SELECTED, 0);
    BSTR name = nullptr;
    EXPECT_EQ(accessible->get_accName(Child(5), &name), E_INVALIDARG);
    IDispatch* child = nullptr;
    EXPECT_EQ(accessible->get_accChild(Child(2), &child), S_FALSE);  // a simple element

    // The selection: the record row alone, then two attachments as an enumeration.
    VARIANT selection;
    EXPECT_EQ(accessible->get_accSelection(&selection), S_OK);
    EXPECT_EQ(selection.vt, VT_I4);
    EXPECT_EQ(selection.lVal, 2);
    m_store.m_bRecordRowSelected = false;
    m_store.m_arrSelected = {1, 1};
    EXPECT_EQ(accessible->get_accSelection(&selection), S_OK);
    ASSERT_EQ(selection.vt, VT_UNKNOWN);
    IEnumVARIANT* items = nullptr;
    ASSERT_EQ(
        selection.punkVal->QueryInterface(__uuidof(IEnumVARIANT), reinterpret_cast<void**>(&items)),
        S_OK);
    VARIANT fetched[3];
    ULONG n = 0;
    EXPECT_EQ(items->Next(3, fetched, &n), S_FALSE);
    ASSERT_EQ(n, 2u);
    EXPECT_EQ(fetched[0].lVal, 3);
    EXPECT_EQ(fetched[1].lVal, 4);
    items->Release();
    VariantClear(&selection);
    accessible->Release();
}

TEST_F(ListAccessibleTest, PlacesHitTestsNavigationFocusAndSelectionRequests) {
    IAccessible* accessible = Client();
    ASSERT_NE(accessible, nullptr);
    long left = 0;
    long top = 0;
    long width = 0;
    long height = 0;
    // The first attachment row: indented by 40, the third row, on the screen.
    EXPECT_EQ(accessible->accLocation(&left, &top, &width, &height, Child(3)), S_OK);
    EXPECT_EQ(left, 50 + 40);
    EXPECT_EQ(top, 60 + 76);
    EXPECT_EQ(width, 2000);
    EXPECT_EQ(height, 38);
    VARIANT hit;
    EXPECT_EQ(accessible->accHitTest(50 + 100, 60 + 80, &hit), S_OK);
    EXPECT_EQ(hit.lVal, 3);
    EXPECT_EQ(accessible->accHitTest(50 + 100, 60 + 250, &hit), S_OK);
    EXPECT_EQ(hit.lVal, CHILDID_SELF);                         // below the rows
    EXPECT_EQ(accessible->accHitTest(10, 10, &hit), S_FALSE);  // outside the window
    VARIANT next;
    EXPECT_EQ(accessible->accNavigate(NAVDIR_NEXT, Child(3), &next), S_OK);
    EXPECT_EQ(next.lVal, 4);
    EXPECT_EQ(accessible->accNavigate(NAVDIR_NEXT, Child(4), &next), S_FALSE);
    EXPECT_EQ(accessible->accNavigate(NAVDIR_LASTCHILD, Child(CHILDID_SELF), &next), S_OK);
    EXPECT_EQ(next.lVal, 4);

    // Focus: the selected row while the window has the keyboard.
    SetFocus(m_window.GetHwnd());
    VARIANT focus;
    if (GetFocus() == m_window.GetHwnd()) {
        EXPECT_EQ(accessible->get_accFocus(&focus), S_OK);
        EXPECT_EQ(focus.lVal, 2);
        EXPECT_NE(LongOf(&IAccessible::get_accState, accessible, 2) & STATE_SYSTEM_FOCUSED, 0);
    }
    // A client's selection request reaches the window's selection.
    EXPECT_EQ(accessible->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Child(4)), S_OK);
    EXPECT_EQ(m_selected, (std::vector<int>{4}));
    EXPECT_EQ(accessible->accSelect(SELFLAG_TAKESELECTION, Child(9)), E_INVALIDARG);
    accessible->Release();
}

TEST_F(ListAccessibleTest, AnObjectHeldPastTheWindowFailsEveryCall) {
    IAccessible* accessible = Client();
    ASSERT_NE(accessible, nullptr);
    m_pAccessible->Disconnect();
    long count = 0;
    EXPECT_EQ(accessible->get_accChildCount(&count), RPC_E_DISCONNECTED);
    BSTR name = nullptr;
    EXPECT_EQ(accessible->get_accName(Child(1), &name), RPC_E_DISCONNECTED);
    VARIANT state;
    EXPECT_EQ(accessible->get_accState(Child(1), &state), RPC_E_DISCONNECTED);
    accessible->Release();
}

}  // namespace
