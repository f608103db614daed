// The drop window's decisions: zones, dragging, clicks, tooltips, placement; and its unsent
// run over the pending list.

#include "intake/DropDoubles.h"
#include "intake/DropWindowLayout.h"
#include "run/UnsentRun.h"
#include "platform/FileSystem.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

using Layout = CDropWindowLayout;

TEST(DropWindowLayoutTest, ZonesAreHalfOpenAndTheUnsentZoneNeedsTheFunction) {
    struct Case {
        DropPoint point;
        DropZone withoutUnsent;
        DropZone withUnsent;
    };
    const Case cases[] = {
        {{17, 38}, DropZone::Extraction, DropZone::Extraction},  // top-left corner is in
        {{99, 84}, DropZone::Extraction, DropZone::Extraction},
        {{100, 60}, DropZone::None, DropZone::None},  // right edge is out
        {{50, 85}, DropZone::None, DropZone::None},   // bottom edge is out
        {{16, 60}, DropZone::None, DropZone::None},
        {{17, 100}, DropZone::None, DropZone::Unsent},
        {{99, 129}, DropZone::None, DropZone::Unsent},
        {{50, 130}, DropZone::None, DropZone::None},
        {{110, 10}, DropZone::None, DropZone::None},  // the close mark takes no drop
        {{60, 90}, DropZone::None, DropZone::None},   // between the zones
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Layout::TestZone(c.point, false), c.withoutUnsent) << c.point.x << "," << c.point.y;
        EXPECT_EQ(Layout::TestZone(c.point, true), c.withUnsent) << c.point.x << "," << c.point.y;
    }
}

TEST(DropWindowLayoutTest, OnlyTheMainZoneAndTheCloseMarkAreClientArea) {
    EXPECT_TRUE(Layout::IsClientPoint({50, 50}));
    EXPECT_TRUE(Layout::IsClientPoint({100, 1}));
    EXPECT_TRUE(Layout::IsClientPoint({118, 19}));
    // The lower zone and the rest of the capsule drag the window.
    EXPECT_FALSE(Layout::IsClientPoint({50, 110}));
    EXPECT_FALSE(Layout::IsClientPoint({5, 5}));
    EXPECT_FALSE(Layout::IsClientPoint({119, 10}));
}

TEST(DropWindowLayoutTest, AClickActsOnlyWhenPressAndReleaseAreInTheSameZone) {
    using Action = Layout::ClickAction;
    EXPECT_EQ(Layout::Click({20, 40}, {90, 80}), Action::OpenList);
    EXPECT_EQ(Layout::Click({105, 5}, {110, 15}), Action::Exit);
    EXPECT_EQ(Layout::Click({20, 40}, {20, 90}), Action::None);  // released outside
    EXPECT_EQ(Layout::Click({20, 40}, {105, 5}), Action::None);  // released on the close mark
    EXPECT_EQ(Layout::Click({105, 5}, {50, 50}), Action::None);
    EXPECT_EQ(Layout::Click({20, 110}, {20, 110}), Action::None);  // the lower zone
}

TEST(DropWindowLayoutTest, TooltipsNumberTheCloseMarkAfterTheZonesShown) {
    const auto without = Layout::Tooltips(false);
    ASSERT_EQ(without.size(), 2u);
    EXPECT_EQ(without[0].id, 1u);
    EXPECT_EQ(without[0].text, "メールをドラッグ、\nここをクリックでリストが開きます。");
    EXPECT_EQ(without[1].id, 2u);
    EXPECT_EQ(without[1].text, "閉じる");
    EXPECT_EQ(without[1].zone.left, 100);

    const auto with = Layout::Tooltips(true);
    ASSERT_EQ(with.size(), 3u);
    EXPECT_EQ(with[1].id, 2u);
    EXPECT_EQ(with[1].text, "未送信状態にするメールをドラッグ");
    EXPECT_EQ(with[1].zone.top, 100);
    EXPECT_EQ(with[2].id, 3u);
    EXPECT_EQ(with[2].text, "閉じる");
}

TEST(DropWindowLayoutTest, PlacementNearTheRightEdgeAQuarterDown) {
    const ScreenPosition p = Layout::Place({0, 0, 1024, 738}, 120);
    EXPECT_EQ(p.x, 883);
    EXPECT_EQ(p.y, 184);
    // A work area that does not start at the origin (task bar at the top).
    const ScreenPosition q = Layout::Place({0, 30, 1024, 768}, 120);
    EXPECT_EQ(q.x, 883);
    EXPECT_EQ(q.y, 30 + 738 / 4);
}

TEST(DropWindowLayoutTest, SizeShapeAndZonesScaleWithTheDisplay) {
    struct Case {
        int dpi;
        int width;
        int height;
        ZoneRect main;
        ZoneRect close;
    };
    const Case cases[] = {
        {96, 120, 150, {17, 38, 100, 85}, {100, 1, 119, 20}},
        {120, 150, 188, {21, 48, 125, 106}, {125, 1, 149, 25}},
        {144, 180, 225, {26, 57, 150, 128}, {150, 2, 179, 30}},
        {192, 240, 300, {34, 76, 200, 170}, {200, 2, 238, 40}},
        {288, 300, 375, {43, 95, 250, 213}, {250, 3, 298, 50}},  // the 250 % picture's size
    };
    for (const Case& c : cases) {
        const Layout::Scale scale(c.dpi);
        const WindowSize size = Layout::Size(scale);
        EXPECT_EQ(size.cx, c.width) << c.dpi;
        EXPECT_EQ(size.cy, c.height) << c.dpi;
        const ZoneRect main = Layout::MainZone(scale);
        const ZoneRect close = Layout::CloseZone(scale);
        EXPECT_EQ((std::vector<int>{main.left, main.top, main.right, main.bottom}),
                  (std::vector<int>{c.main.left, c.main.top, c.main.right, c.main.bottom}))
            << c.dpi;
        EXPECT_EQ((std::vector<int>{close.left, close.top, close.right, close.bottom}),
                  (std::vector<int>{c.close.left, c.close.top, c.close.right, c.close.bottom}))
            << c.dpi;
        // The capsule's ends are half circles of the window's width.
        const std::vector<RegionPart> shape = Layout::Shape(scale);
        ASSERT_EQ(shape.size(), 2u);
        EXPECT_EQ(shape[0].rect.right, c.width);
        EXPECT_EQ(shape[0].rect.bottom, c.height);
        EXPECT_EQ(shape[0].nEllipse, c.width);
        EXPECT_EQ(shape[1].rect.left, c.close.left);
        // Zone tests, clicks and tooltips use the scaled zones.
        EXPECT_EQ(Layout::TestZone({c.main.left, c.main.top}, false, scale), DropZone::Extraction);
        EXPECT_EQ(Layout::TestZone({c.main.right, c.main.top}, false, scale), DropZone::None);
        EXPECT_TRUE(Layout::IsClientPoint({c.close.right - 1, c.close.top}, scale));
        EXPECT_EQ(Layout::Click({c.close.left, c.close.top}, {c.close.left, c.close.top}, scale),
                  Layout::ClickAction::Exit);
        EXPECT_EQ(Layout::Tooltips(false, scale)[1].zone.left, c.close.left);
    }
    // The unsent zone at 150 %: 17, 100, 100, 130 scaled.
    const ZoneRect unsent = Layout::UnsentZone(Layout::Scale(144));
    EXPECT_EQ((std::vector<int>{unsent.left, unsent.top, unsent.right, unsent.bottom}),
              (std::vector<int>{26, 150, 150, 195}));
    EXPECT_EQ(Layout::TestZone({26, 150}, true, Layout::Scale(144)), DropZone::Unsent);
    EXPECT_EQ(Layout::TestZone({26, 149}, true, Layout::Scale(144)), DropZone::None);
}

TEST(DropWindowLayoutTest, PlacementAndMovesBetweenMonitorsKeepTheEdge) {
    // At 150 % the gap to the right edge is 32 (21 scaled).
    const ScreenPosition p = Layout::Place({0, 0, 1536, 1107}, 180, Layout::Scale(144));
    EXPECT_EQ(p.x, 1536 - 32 - 180);
    EXPECT_EQ(p.y, 1107 / 4);

    // From a 96 dots-per-inch monitor, 21 from its right edge, to a 144 one on its right:
    // 32 from the new right edge, at the suggested top.
    const WorkArea left{0, 0, 1024, 738};
    const WorkArea right{1024, 0, 1024 + 1536, 1107};
    const ScreenPosition moved = Layout::Follow(left, {883, 184, 1003, 334}, Layout::Scale(96),
                                                right, Layout::Scale(144), 276);
    EXPECT_EQ(moved.x, 1024 + 1536 - 32 - 180);
    EXPECT_EQ(moved.y, 276);
    // Near the left edge it keeps to the left edge; a suggested top too low is pulled up.
    const ScreenPosition back = Layout::Follow(right, {1024 + 30, 900, 1024 + 210, 1125},
                                               Layout::Scale(144), left, Layout::Scale(96), 700);
    EXPECT_EQ(back.x, 20);
    EXPECT_EQ(back.y, 738 - 150);
}

class UnsentRunTest : public ::testing::Test {
protected:
    PendingMessageList Copies(int count) {
        PendingMessageList list;
        for (int i = 0; i < count; ++i) {
            const std::string path = m_folder / ("m" + std::to_string(i) + ".eml");
            test::WriteFile(path, "Subject: x\r\n\r\nbody\r\n");
            list.push_back(path);
        }
        return list;
    }

    test::ScratchFolder m_folder;
    test::ProgressLog m_log;
};

TEST_F(UnsentRunTest, EachCopyIsConvertedThenDeletedAndTheListEmptied) {
    PendingMessageList pending = Copies(3);
    const PendingMessageList copies = pending;
    std::vector<std::string> converted;
    test::RecordingProgressSink progress(m_log);
    RunUnsentConversion(pending, progress, [&](const std::string& path) {
        EXPECT_TRUE(platform::QueryAttributes(path).has_value()) << "converted before deletion";
        converted.push_back(path);
    });
    EXPECT_EQ(converted, copies);
    EXPECT_TRUE(pending.empty());
    for (const std::string& copy : copies) {
        EXPECT_FALSE(platform::QueryAttributes(copy).has_value());
    }
    const std::vector<std::string> expected{
        "text:メールを未送信状態に戻します。\nしばらくお待ちください。",
        "position:0", "check", "position:33", "check", "position:66", "check"};
    EXPECT_EQ(m_log.calls, expected);
}

TEST_F(UnsentRunTest, ACancelKeepsTheCopiesNotReachedButEmptiesTheList) {
    PendingMessageList pending = Copies(3);
    const PendingMessageList copies = pending;
    m_log.nCancelAtCheck = 2;
    test::RecordingProgressSink progress(m_log);
    int conversions = 0;
    RunUnsentConversion(pending, progress, [&](const std::string&) { ++conversions; });
    EXPECT_EQ(conversions, 1);
    EXPECT_TRUE(pending.empty());
    EXPECT_FALSE(platform::QueryAttributes(copies[0]).has_value());
    EXPECT_TRUE(platform::QueryAttributes(copies[1]).has_value());
    EXPECT_TRUE(platform::QueryAttributes(copies[2]).has_value());
}

}  // namespace
