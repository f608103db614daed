// Presses, releases, right presses, arrow keys and the drag-out file list of the attachment
// list.

#include "view/ListFixture.h"

#include <cstring>

namespace {

using list::Key;
using list::Rect;

class ListSelectionTest : public test::ListFixture {
protected:
    // Three records: r0 with three attachments (open, row selected), r1 with two, r2 with
    // one.
    void SetUp() override {
        MakeStore(
            {{"r0", {"a.txt", "b.txt", "c.txt"}}, {"r1", {"d.txt", "e.txt"}}, {"r2", {"f.txt"}}});
    }
    // Row of attachment j of the open record r0.
    static list::Point Attachment(int j) { return RowPoint(1 + j); }
};

TEST_F(ListSelectionTest, APlainPressInAMultipleSelectionWaitsForTheRelease) {
    Select({0, 1, 2});
    const list::PressResult press = m_selection.OnLeftPress(Attachment(1), false);
    EXPECT_TRUE(press.bHit);
    EXPECT_TRUE(press.bDeferred);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(m_layout.TakeUpdate().IsEmpty());
    // A drag now carries all three.
    EXPECT_EQ(m_selection.BuildDropFileList().size(),
              20 + m_store.m_arrAttachments[0].size() + m_store.m_arrAttachments[1].size() +
                  m_store.m_arrAttachments[2].size() + 3 + 1);
    // The release the window posts when no drag began leaves the pressed one alone.
    m_selection.OnLeftRelease(Attachment(1), false);
    EXPECT_EQ(Selected(), (std::vector<int>{1}));
    EXPECT_TRUE(m_layout.TakeUpdate().bInvalidateAll);
}

TEST_F(ListSelectionTest, ControlClicksAddAndRemoveSingleAttachments) {
    // Added to the record row's selection: the row is deselected, the whole block repainted.
    EXPECT_TRUE(m_store.m_bRecordRowSelected);
    EXPECT_FALSE(m_selection.OnLeftPress(Attachment(2), true).bDeferred);
    EXPECT_FALSE(m_store.m_bRecordRowSelected);
    EXPECT_EQ(Selected(), (std::vector<int>{2}));
    list::Update update = m_layout.TakeUpdate();
    ASSERT_EQ(update.arrInvalid.size(), 1u);
    EXPECT_EQ(update.arrInvalid[0], (Rect{0, 0, 800, 152}));

    EXPECT_FALSE(m_selection.OnLeftPress(Attachment(0), true).bDeferred);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 2}));
    update = m_layout.TakeUpdate();
    ASSERT_EQ(update.arrInvalid.size(), 1u);
    EXPECT_EQ(update.arrInvalid[0], (Rect{0, 38, 800, 76}));

    // On a selected one the press waits; its release removes it.
    EXPECT_TRUE(m_selection.OnLeftPress(Attachment(2), true).bDeferred);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 2}));
    m_selection.OnLeftRelease(Attachment(2), true);
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
}

TEST_F(ListSelectionTest, PressesOutsideAttachmentsAreNotOpenedByTheirRelease) {
    Select({0});
    // In the indent of an attachment row: nothing changes, releases are ignored.
    EXPECT_FALSE(m_selection.OnLeftPress(RowPoint(2, 39), false).bHit);
    EXPECT_TRUE(m_selection.IsPressOffAttachment());
    Select({0, 1});
    m_selection.OnLeftRelease(Attachment(1), false);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1}));
    // Below the last row: nothing.
    EXPECT_FALSE(m_selection.OnLeftPress({100, 38 * 6 + 1}, false).bHit);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1}));
}

TEST_F(ListSelectionTest, PressingARecordOpensItAndBringsItsBlockIntoView) {
    // A window of four rows, scrolled to the top: r0 (3 attachments) fills it.
    m_layout.SetClientSize({800, 4 * 38});
    m_layout.TakeUpdate();
    // r1 at row 4 has two attachments: its block (rows 4-6) meets the window's bottom.
    m_selection.OnLeftPress(RowPoint(3, 100), false);  // attachment c.txt of r0
    m_layout.ScrollToPosition({0, 38 * 2});
    m_layout.TakeUpdate();
    m_selection.OnLeftPress({100, 38 * 4 - 76 + 5}, false);  // record r1
    EXPECT_EQ(m_store.m_strOpenRecord, Att("r1"));
    EXPECT_TRUE(m_store.m_bRecordRowSelected);
    EXPECT_EQ(m_layout.GetTotalSize().cy, 5 * 38);
    // r1 is at row 1 now; the shorter extent keeps the position at 38, and r1's block
    // (rows 1 to 3) is in view there.
    EXPECT_EQ(m_layout.GetScrollPosition().y, 38);
    EXPECT_TRUE(m_layout.TakeUpdate().bInvalidateAll);

    // A block taller than the window puts the record's row at the top.
    m_layout.SetClientSize({800, 2 * 38});
    m_layout.ScrollToPosition({0, 0});
    m_selection.OnLeftPress(RowPoint(0), false);  // r0 with three attachments
    EXPECT_EQ(m_store.m_strOpenRecord, Att("r0"));
    EXPECT_EQ(m_layout.GetScrollPosition().y, 0);
    m_layout.ScrollToPosition({0, 38 * 3});
    m_selection.OnLeftPress({100, 38 * 4 - 38 * 3 + 5}, false);  // r1 at row 4
    EXPECT_EQ(m_store.m_strOpenRecord, Att("r1"));
    EXPECT_EQ(m_layout.GetScrollPosition().y, 38);  // row 1 at the top (r1 is record 1)

    // Pressing the open record's row again selects it without reopening.
    Select({0});
    m_layout.ScrollToPosition({0, 0});
    m_layout.TakeUpdate();
    m_selection.OnLeftPress(RowPoint(1), false);
    EXPECT_TRUE(m_store.m_bRecordRowSelected);
    EXPECT_TRUE(Selected().empty());
    const list::Update update = m_layout.TakeUpdate();
    EXPECT_FALSE(update.bInvalidateAll);
    ASSERT_EQ(update.arrInvalid.size(), 1u);
    EXPECT_EQ(update.arrInvalid[0], (Rect{0, 38, 800, 76}));
}

TEST_F(ListSelectionTest, RightPressesSelectWithoutBreakingAMultipleSelection) {
    Select({0, 2});
    m_selection.OnRightPress(Attachment(2), false);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 2}));
    m_selection.OnRightPress(Attachment(1), false);
    EXPECT_EQ(Selected(), (std::vector<int>{1}));
    m_selection.OnRightPress(Attachment(0), true);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1}));
    m_selection.OnRightPress(Attachment(0), true);  // a set flag stays set
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1}));
    // The press leaves the release rule alone.
    EXPECT_TRUE(m_selection.IsPressOffAttachment());
    // On another record: opened, not scrolled.
    m_layout.SetClientSize({800, 38});
    m_layout.ScrollToPosition({0, 38 * 4});
    m_selection.OnRightPress({100, 5}, false);
    EXPECT_EQ(m_store.m_strOpenRecord, Att("r1"));
    EXPECT_EQ(m_layout.GetScrollPosition().y, 38 * 4);
}

TEST_F(ListSelectionTest, ArrowKeysWalkAttachmentsAndRecords) {
    // r0 open, record row selected: down goes through its attachments to r1.
    EXPECT_TRUE(m_selection.OnKeyDown(Key::Down));
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    EXPECT_FALSE(m_store.m_bRecordRowSelected);
    m_selection.OnKeyDown(Key::Down);
    m_selection.OnKeyDown(Key::Down);
    EXPECT_EQ(Selected(), (std::vector<int>{2}));
    m_selection.OnKeyDown(Key::Down);
    EXPECT_EQ(m_store.m_strOpenRecord, Att("r1"));
    EXPECT_TRUE(m_store.m_bRecordRowSelected);
    // Up from r1's row opens r0 again, with its row selected.
    m_selection.OnKeyDown(Key::Up);
    EXPECT_EQ(m_store.m_strOpenRecord, Att("r0"));
    EXPECT_TRUE(m_store.m_bRecordRowSelected);
    // Up on the first record's row does nothing, not even the default handling.
    EXPECT_FALSE(m_selection.OnKeyDown(Key::Up));
    // Up from the first attachment selects the record row.
    SortAttachments();
    Select({0});
    m_selection.OnKeyDown(Key::Up);
    EXPECT_TRUE(m_store.m_bRecordRowSelected);
    EXPECT_TRUE(Selected().empty());
    // Up from the second attachment selects the first.
    Select({1});
    m_selection.OnKeyDown(Key::Up);
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    // Down on the last record's last attachment does nothing.
    Open(2);
    Select({0});
    EXPECT_FALSE(m_selection.OnKeyDown(Key::Down));
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    EXPECT_TRUE(m_selection.OnKeyDown(Key::Other));
}

TEST_F(ListSelectionTest, UpFromARecordWithoutAttachmentsOpensThePreviousOne) {
    Open(1);
    m_store.m_arrAttachments.clear();
    m_store.m_arrSelected.clear();
    m_store.m_bRecordRowSelected = false;
    m_selection.OnKeyDown(Key::Up);
    EXPECT_EQ(m_store.m_strOpenRecord, Att("r0"));
    EXPECT_TRUE(m_store.m_bRecordRowSelected);
}

TEST_F(ListSelectionTest, UpWithNothingSelectedSelectsTheRecordRow) {
    Select({});
    m_selection.OnKeyDown(Key::Up);
    EXPECT_TRUE(m_store.m_bRecordRowSelected);
    EXPECT_EQ(m_store.m_strOpenRecord, Att("r0"));
}

TEST_F(ListSelectionTest, ArrowKeysScrollTheSelectedRowIntoView) {
    m_layout.SetClientSize({800, 2 * 38});
    // Down twice: attachment 1 at row 2 overhangs the window's bottom by one row.
    m_selection.OnKeyDown(Key::Down);
    EXPECT_EQ(m_layout.GetScrollPosition().y, 0);
    m_selection.OnKeyDown(Key::Down);
    EXPECT_EQ(m_layout.GetScrollPosition().y, 38);
    // Scrolled far down, up brings the row's top to the window's top.
    m_layout.ScrollToPosition({0, 38 * 4});
    m_selection.OnKeyDown(Key::Up);  // attachment 0 at row 1
    EXPECT_EQ(m_layout.GetScrollPosition().y, 38);
}

TEST_F(ListSelectionTest, SingleSelectionNeedsExactlyOneAttachment) {
    EXPECT_EQ(m_selection.GetSingleSelection(), "");  // the record row
    Select({1});
    EXPECT_EQ(m_selection.GetSingleSelection(), m_store.m_arrAttachments[1]);
    Select({1, 2});
    EXPECT_TRUE(m_selection.HasMultipleSelection());
    EXPECT_EQ(m_selection.GetSingleSelection(), "");
}

TEST_F(ListSelectionTest, TheDropFileListHoldsTheSelectionAsEightBitNames) {
    const std::string header("\x14\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 20);
    // The record row: its folder, without trailing backslash.
    std::string block = m_selection.BuildDropFileList();
    EXPECT_EQ(block, header + D() + "r0" + std::string(2, '\0'));

    // Two attachments, in list order.
    Select({2, 0});
    const std::string& a = m_store.m_arrAttachments[0];
    const std::string& c = m_store.m_arrAttachments[2];
    block = m_selection.BuildDropFileList();
    EXPECT_EQ(block.size(), 20 + a.size() + 1 + c.size() + 1 + 1);
    EXPECT_EQ(block, header + a + '\0' + c + '\0' + '\0');
}

}  // namespace
