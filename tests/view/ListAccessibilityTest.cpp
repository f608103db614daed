// What assistive technology reads of the attachment list: its rows as children with names,
// places, selection and focus, and the events that follow the keyboard.

#include "view/ListFixture.h"

#include "app/FilePath.h"
#include "platform/FileSystem.h"
#include "policy/ExtensionList.h"
#include "view/ListAccessibility.h"
#include "view/RowContent.h"

namespace {

using list::AccessibleChange;
using list::AccessibleEvent;
using list::AccessibleState;

class ListAccessibilityTest : public test::ListFixture {
protected:
    // Two records, the second open (its row selected) with a file and an alert file.
    void SetUp() override {
        MakeStore({{"r0", {"x.txt"}}, {"r1", {"a.txt", "setup.exe.alert"}}});
        Open(1);
    }

    std::string SizeOf(const std::string& path) const { return CFilePath(path).GetSizeText(); }

    CExtensionList m_allowed;
    CListAccessibility m_access{m_store, m_layout, m_allowed};
};

TEST_F(ListAccessibilityTest, ChildrenAreTheRowsInOrderWithTheirNames) {
    ASSERT_EQ(m_access.GetChildCount(), 4);
    list::AccessibleRow row;
    ASSERT_TRUE(m_access.GetChild(3, row));
    EXPECT_FALSE(row.bRecord);
    EXPECT_EQ(row.nIndex, 0u);
    EXPECT_FALSE(m_access.GetChild(0, row));
    EXPECT_FALSE(m_access.GetChild(5, row));

    // A record: date, sender and subject (the subject's stored CR dropped).
    EXPECT_EQ(m_access.GetName(1), "2004年12月06日 10:20:30、from、subject");
    EXPECT_EQ(m_access.GetName(2), m_access.GetName(1));
    // An attachment: its name and size; an alert file: the name it replaces and the warning.
    const std::string size = SizeOf(m_store.m_arrAttachments[0]);
    ASSERT_FALSE(size.empty());
    EXPECT_EQ(m_access.GetName(3), "a.txt、" + size);
    EXPECT_EQ(m_access.GetName(4), std::string("setup.exe、") + list::kAlertRowText);
    EXPECT_EQ(m_access.GetName(0), "");
    EXPECT_EQ(m_access.GetName(9), "");
}

TEST_F(ListAccessibilityTest, AMessageAttachmentIsReadByItsSummaryAndAGoneFileHasNoName) {
    const std::string message = D() + "r1\\note.eml";
    test::WriteFile(message,
                    "From: sender@example.com\r\nSubject: hello\r\n"
                    "Date: Mon, 06 Dec 2004 10:20:30 +0900\r\n\r\nbody\r\n");
    m_store.m_arrAttachments.push_back(message);
    m_store.m_arrSelected.push_back(0);
    m_layout.SetScrollExtent();
    const std::string name = m_access.GetName(5);
    EXPECT_EQ(name.rfind("hello、", 0), 0u) << name;
    EXPECT_NE(name.find("sender@example.com"), std::string::npos) << name;

    platform::RemoveFile(message);
    EXPECT_EQ(m_access.GetName(5), "");
}

TEST_F(ListAccessibilityTest, SelectionAndFocusFollowTheSelectionForm) {
    EXPECT_EQ(m_access.GetFocus(), 2);
    EXPECT_EQ(m_access.GetSelection(), (std::vector<int>{2}));
    EXPECT_TRUE(m_access.IsSelected(2));
    EXPECT_FALSE(m_access.IsSelected(3));

    Select({1});
    EXPECT_EQ(m_access.GetFocus(), 4);
    EXPECT_EQ(m_access.GetSelection(), (std::vector<int>{4}));
    Select({0, 1});
    EXPECT_EQ(m_access.GetFocus(), 3);
    EXPECT_EQ(m_access.GetSelection(), (std::vector<int>{3, 4}));
    Select({});
    EXPECT_EQ(m_access.GetFocus(), 0);
    EXPECT_TRUE(m_access.GetSelection().empty());
}

TEST_F(ListAccessibilityTest, PlacesAndHitTestsFollowTheLayoutAndTheScroll) {
    EXPECT_EQ(m_access.GetChildRect(3), (list::Rect{40, 76, 2040, 114}));
    EXPECT_EQ(m_access.HitTest({50, 80}), 3);
    EXPECT_EQ(m_access.HitTest({10, 80}), 0);  // the indent of an attachment row
    EXPECT_EQ(m_access.HitTest({10, 500}), 0);
    m_layout.SetClientSize({300, 60});
    m_layout.ScrollToPosition({0, 76});
    EXPECT_EQ(m_access.GetChildRect(3), (list::Rect{40, 0, 2040, 38}));
    EXPECT_EQ(m_access.HitTest({50, 40}), 4);
    EXPECT_FALSE(m_access.IsVisible(1));
    EXPECT_TRUE(m_access.IsVisible(4));
    // At 144 dots per inch the rows are 58 high.
    m_layout.SetDpi(144);
    m_layout.ScrollToPosition({0, 0});
    EXPECT_EQ(m_access.GetChildRect(3), (list::Rect{60, 116, 3060, 174}));
}

TEST_F(ListAccessibilityTest, KeyboardMovesRaiseFocusAndSelectionEvents) {
    AccessibleState before = m_access.Snapshot();
    EXPECT_EQ(before.nChildren, 4u);
    EXPECT_EQ(before.nOpenRecord, 2);

    // Down from the record row: the first attachment alone.
    m_selection.OnKeyDown(list::Key::Down);
    AccessibleState after = m_access.Snapshot();
    EXPECT_EQ(CListAccessibility::Changes(before, after),
              (std::vector<AccessibleChange>{{AccessibleEvent::Focus, 3},
                                             {AccessibleEvent::Selection, 3}}));
    // Nothing changed, nothing raised.
    EXPECT_TRUE(CListAccessibility::Changes(after, m_access.Snapshot()).empty());

    // Up to the record row, then up again: the first record opens and the rows change.
    before = after;
    m_selection.OnKeyDown(list::Key::Up);
    after = m_access.Snapshot();
    EXPECT_EQ(CListAccessibility::Changes(before, after),
              (std::vector<AccessibleChange>{{AccessibleEvent::Focus, 2},
                                             {AccessibleEvent::Selection, 2}}));
    before = after;
    m_selection.OnKeyDown(list::Key::Up);
    after = m_access.Snapshot();
    EXPECT_EQ(after.nChildren, 3u);
    EXPECT_EQ(after.nOpenRecord, 1);
    EXPECT_EQ(CListAccessibility::Changes(before, after),
              (std::vector<AccessibleChange>{{AccessibleEvent::Reorder, 0},
                                             {AccessibleEvent::Focus, 1},
                                             {AccessibleEvent::Selection, 1}}));
}

TEST(ListAccessibilityChanges, TheControlKeyAddsAndRemovesSingleChildren) {
    const AccessibleState one{4, 2, 3, {3}};
    const AccessibleState two{4, 2, 3, {3, 4}};
    const AccessibleState other{4, 2, 4, {4}};
    const AccessibleState none{4, 2, 0, {}};
    using E = AccessibleEvent;
    EXPECT_EQ(CListAccessibility::Changes(one, two),
              (std::vector<AccessibleChange>{{E::SelectionAdd, 4}}));
    EXPECT_EQ(CListAccessibility::Changes(two, one),
              (std::vector<AccessibleChange>{{E::Selection, 3}}));
    EXPECT_EQ(CListAccessibility::Changes(two, other),
              (std::vector<AccessibleChange>{{E::Focus, 4}, {E::Selection, 4}}));
    EXPECT_EQ(CListAccessibility::Changes(one, none),
              (std::vector<AccessibleChange>{{E::SelectionRemove, 3}}));
    EXPECT_EQ(CListAccessibility::Changes(two, none),
              (std::vector<AccessibleChange>{{E::SelectionWithin, 0}}));
}

}  // namespace
