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
    EXPECT_EQ(list::FontHeight(11, 144), -22);
    EXPECT_EQ(list::FontHeight(10, 192), -27);
    EXPECT_EQ(list::FontHeight(11, 192), -29);
}

TEST(ListGeometry, EveryNumberIsTheDesignsAt96DotsPerInchAndScaledElsewhere) {
    // At 96 dots per inch exactly the design's numbers.
    const list::Metrics base = list::Metrics::At(dpi::CDpiScale(96));
    EXPECT_EQ(base, list::Metrics{});
    EXPECT_EQ(base.nRowHeight, 38);
    EXPECT_EQ(base.nIndent, 40);
    EXPECT_EQ(base.nRowInset, 3);
    EXPECT_EQ(base.nIconSize, 32);
    EXPECT_EQ(base.RecordRowRect(2), (Rect{0, 76, 2000, 114}));

    struct Case {
        int dpi;
        int rowHeight;
        int indent;
        int inset;
        int icon;
        int extent;
        int subjectTop;
        int detailsStep;
    };
    const Case cases[] = {
        {120, 48, 50, 4, 40, 750, 3, 20},
        {144, 58, 60, 5, 48, 900, 3, 24},
        {192, 76, 80, 6, 64, 1200, 4, 32},
        {240, 96, 100, 8, 80, 1500, 5, 40},
    };
    for (const Case& c : cases) {
        const list::Metrics m = list::Metrics::At(dpi::CDpiScale(c.dpi));
        EXPECT_EQ(m.nRowHeight, c.rowHeight) << c.dpi;
        EXPECT_EQ(m.nIndent, c.indent) << c.dpi;
        EXPECT_EQ(m.nRowInset, c.inset) << c.dpi;
        EXPECT_EQ(m.nIconSize, c.icon) << c.dpi;
        // The icon fills the inner height of a row.
        EXPECT_EQ(m.nIconSize, m.nRowHeight - 2 * m.nRowInset) << c.dpi;
        EXPECT_EQ(m.nExtentWidth, c.extent) << c.dpi;
        EXPECT_EQ(m.nSubjectTop, c.subjectTop) << c.dpi;
        EXPECT_EQ(m.nDetailsStep, c.detailsStep) << c.dpi;
        EXPECT_EQ(m.AttachmentRowRectAt(1).left, c.indent) << c.dpi;
    }
}

TEST_F(ListLayoutTest, AtAnotherScaleRowsExtentAndHitTestsScaleTogether) {
    m_layout.SetClientSize({300, 100});
    m_layout.ScrollToPosition({30, 76});  // record row 2 at the top
    m_layout.TakeUpdate();
    m_layout.SetDpi(144);
    const list::Update update = m_layout.TakeUpdate();
    EXPECT_TRUE(update.bInvalidateAll);
    EXPECT_TRUE(update.bExtentChanged);

    EXPECT_EQ(m_layout.GetTotalSize(), (list::Size{900, 7 * 58}));
    EXPECT_EQ(m_layout.GetLineSize(), (list::Size{60, 58}));
    // The same row stays at the top; the horizontal position keeps its share.
    EXPECT_EQ(m_layout.GetScrollPosition(), (list::Point{45, 116}));

    const std::vector<list::PaintRow> rows = m_layout.PlanPaint({0, 0, 5000, 5000});
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[1].rect, (Rect{0, 58, 3000, 116}));
    EXPECT_EQ(rows[2].rect, (Rect{60, 116, 3060, 174}));
    EXPECT_EQ(rows[6].rect.top, 6 * 58);

    m_layout.ScrollToPosition({0, 0});
    bool isRecord = false;
    bool isAttachment = false;
    EXPECT_EQ(m_layout.HitTest({70, 116 + 57}, isRecord, isAttachment), 0);
    EXPECT_TRUE(isAttachment);
    EXPECT_EQ(m_layout.HitTest({59, 130}, isRecord, isAttachment), -1);  // the wider indent
    EXPECT_EQ(m_layout.HitTest({70, 174}, isRecord, isAttachment), 1);

    // Keyboard steps scroll by the scaled rows: the last record opens, and its block (taller
    // than the window) comes to the top.
    m_selection.SelectRecordAt(2);
    EXPECT_EQ(m_layout.GetScrollPosition().y, 2 * 58);

    // Back at 96 dots per inch everything is the design's again.
    m_layout.SetDpi(96);
    EXPECT_EQ(m_layout.GetTotalSize(), (list::Size{600, 4 * 38}));
    EXPECT_EQ(m_layout.GetMetrics(), list::Metrics{});
    m_layout.TakeUpdate();
    m_layout.SetDpi(96);
    EXPECT_TRUE(m_layout.TakeUpdate().IsEmpty());
}

}  // namespace
