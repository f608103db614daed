// Rows, scroll extent, hit tests and the paint plan of the attachment list.

#include "view/ListFixture.h"

namespace {

using list::Rect;
using list::RowFill;

class ListLayoutTest : public test::ListFixture {
protected:
    // Three records, the second open with four attachments.
    void SetUp() override {
        MakeStore(
            {{"r0", {"x.txt"}}, {"r1", {"a.txt", "b.txt", "c.txt", "d.txt"}}, {"r2", {"y.txt"}}});
        Open(1);
    }
};

TEST_F(ListLayoutTest, OpenRecordPushesTheRecordsBelowItDown) {
    EXPECT_EQ(m_layout.GetTotalSize(), (list::Size{600, 7 * 38}));
    EXPECT_EQ(m_layout.GetLineSize(), (list::Size{40, 38}));
    EXPECT_EQ(m_layout.GetPageSize(), (list::Size{60, 26}));

    const std::vector<list::PaintRow> rows = m_layout.PlanPaint({0, 0, 3000, 3000});
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0].rect, (Rect{0, 0, 2000, 38}));
    EXPECT_EQ(rows[1].rect, (Rect{0, 38, 2000, 76}));
    for (int j = 0; j < 4; ++j) {
        const list::PaintRow& row = rows[static_cast<std::size_t>(2 + j)];
        EXPECT_FALSE(row.bRecord);
        EXPECT_EQ(row.nIndex, static_cast<std::size_t>(j));
        // Attachment rows are indented by 40 and as wide as the others.
        EXPECT_EQ(row.rect, (Rect{40, 76 + 38 * j, 2040, 114 + 38 * j}));
    }
    EXPECT_TRUE(rows[6].bRecord);
    EXPECT_EQ(rows[6].nIndex, 2u);
    EXPECT_EQ(rows[6].rect.top, 228);

    // Only the rows that meet the clip are planned.
    const std::vector<list::PaintRow> some = m_layout.PlanPaint({0, 100, 50, 160});
    ASSERT_EQ(some.size(), 3u);
    EXPECT_EQ(some[0].nIndex, 0u);  // attachment rows 76-114, 114-152, 152-190
    EXPECT_EQ(some[2].nIndex, 2u);
}

TEST_F(ListLayoutTest, FillsFollowTheSelectionForm) {
    // Record row selected: the record blue, every attachment grey, whatever the flags hold.
    m_store.m_arrSelected[2] = 1;
    std::vector<list::PaintRow> rows = m_layout.PlanPaint({0, 0, 3000, 3000});
    EXPECT_EQ(rows[0].fill, RowFill::Plain);
    EXPECT_EQ(rows[1].fill, RowFill::Selected);
    for (int j = 2; j < 6; ++j) {
        EXPECT_EQ(rows[static_cast<std::size_t>(j)].fill, RowFill::Open);
    }
    // Attachments selected: the record grey, selected attachments blue, the others white.
    Select({2});
    rows = m_layout.PlanPaint({0, 0, 3000, 3000});
    EXPECT_EQ(rows[1].fill, RowFill::Open);
    EXPECT_EQ(rows[3].fill, RowFill::Plain);
    EXPECT_EQ(rows[4].fill, RowFill::Selected);
    EXPECT_EQ(rows[6].fill, RowFill::Plain);
    EXPECT_EQ(list::FillColour(RowFill::Selected), (list::Colour{49, 106, 197}));
    EXPECT_EQ(list::TextColour(RowFill::Selected), list::kWhite);
    EXPECT_EQ(list::FillColour(RowFill::Open), (list::Colour{210, 210, 210}));
    EXPECT_EQ(list::TextColour(RowFill::Open), list::kBlack);
}

TEST_F(ListLayoutTest, HitTestsMapPointsOntoRows) {
    struct Case {
        list::Point point;
        int index;
        bool isRecord;
        bool isAttachment;
    };
    const Case cases[] = {
        {{5, 5}, 0, true, false},
        {{5, 40}, 1, true, false},
        {{2500, 40}, 1, true, false},  // right of the rows still hits the record
        {{40, 76}, 0, false, true},
        {{39, 76}, -1, false, false},  // the indent is no part of an attachment row
        {{100, 227}, 3, false, true},
        {{100, 228}, 2, true, false},
        {{100, 265}, 2, true, false},
        {{100, 266}, -1, false, false},  // below the last row
        {{100, -1}, -1, false, false},
    };
    for (const Case& c : cases) {
        bool isRecord = true;
        bool isAttachment = true;
        EXPECT_EQ(m_layout.HitTest(c.point, isRecord, isAttachment), c.index)
            << c.point.x << "," << c.point.y;
        EXPECT_EQ(isRecord, c.isRecord);
        EXPECT_EQ(isAttachment, c.isAttachment);
    }
    // The scroll position is added to the point.
    m_layout.SetClientSize({300, 100});
    m_layout.ScrollToPosition({0, 152});
    bool isRecord = false;
    bool isAttachment = false;
    EXPECT_EQ(m_layout.HitTest({100, 76}, isRecord, isAttachment), 2);
    EXPECT_TRUE(isRecord);
}

TEST_F(ListLayoutTest, ScrollingStaysWithinTheExtent) {
    m_layout.SetClientSize({300, 100});
    EXPECT_EQ(m_layout.GetScrollLimit(), (list::Point{300, 166}));
    m_layout.ScrollToPosition({1000, 1000});
    EXPECT_EQ(m_layout.GetScrollPosition(), (list::Point{300, 166}));
    EXPECT_TRUE(m_layout.TakeUpdate().bScrolled);
    m_layout.ScrollToPosition({300, 166});
    EXPECT_FALSE(m_layout.TakeUpdate().bScrolled);
    // Three lines per notch, but no more than a page (26).
    m_layout.ScrollByWheel(120, 3);
    EXPECT_EQ(m_layout.GetScrollPosition().y, 140);
    m_layout.ScrollByWheel(-120, 0);
    EXPECT_EQ(m_layout.GetScrollPosition().y, 140);
    m_layout.ScrollByWheel(-240, -1);  // a page per notch
    EXPECT_EQ(m_layout.GetScrollPosition().y, 166);
    // A larger window shows everything from the top.
    m_layout.SetClientSize({800, 400});
    EXPECT_EQ(m_layout.GetScrollPosition(), (list::Point{0, 0}));
}

TEST_F(ListLayoutTest, BlockAndRowRectanglesAreShiftedAndClipped) {
    m_layout.SetClientSize({300, 100});
    EXPECT_EQ(m_layout.RecordBlockRect(1), (Rect{0, 38, 300, 100}));
    EXPECT_EQ(m_layout.AttachmentRowRect(0, true), (Rect{0, 38, 300, 100}));
    EXPECT_EQ(m_layout.AttachmentRowRect(0, false), (Rect{0, 76, 300, 100}));
    EXPECT_TRUE(m_layout.AttachmentRowRect(3, false).IsEmpty());
    m_layout.ScrollToPosition({0, 100});
    EXPECT_EQ(m_layout.AttachmentRowRect(3, false), (Rect{0, 90, 300, 100}));
    EXPECT_EQ(m_layout.RecordBlockRect(1), (Rect{0, 0, 300, 100}));
    EXPECT_EQ(m_layout.RowRectInClient(0), (Rect{0, -100, 2000, -62}));
}

TEST(ListGeometry, FontHeightsFollowTheScreenResolution) {
    EXPECT_EQ(list::FontHeight(10, 96), -13);
    EXPECT_EQ(list::FontHeight(11, 96), -15);
    EXPECT_EQ(list::FontHeight(10, 120), -17);
    EXPECT_EQ(list::FontHeight(11, 120), -18);
    EXPECT_EQ(list::FontHeight(10, 144), -20);
}

}  // namespace
