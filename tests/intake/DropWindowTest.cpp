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
