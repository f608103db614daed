#include "app/FramePlacement.h"

#include <gtest/gtest.h>

namespace {

TEST(FramePlacementTest, HalfTheWorkAreaCentred) {
    struct Case {
        int left, top, right, bottom;
        FrameBounds expected;
    };
    const Case cases[] = {
        {0, 0, 1024, 768, {256, 192, 512, 384}},
        {40, 0, 1024, 768, {286, 192, 492, 384}},  // task bar of 40 pixels at the left
        {0, 0, 1023, 767, {256, 192, 511, 383}},   // odd sizes round the halves down
        {0, 30, 1280, 1024, {320, 278, 640, 497}},
    };
    for (const Case& c : cases) {
        const FrameBounds r = PlaceMainFrame(c.left, c.top, c.right, c.bottom);
        EXPECT_EQ(r.x, c.expected.x);
        EXPECT_EQ(r.y, c.expected.y);
        EXPECT_EQ(r.width, c.expected.width);
        EXPECT_EQ(r.height, c.expected.height);
    }
}

}  // namespace
