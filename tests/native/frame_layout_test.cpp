#include "wizard/frame_layout.h"

#include <gtest/gtest.h>

namespace {

using wizard::Rect;

TEST(FrameLayout, GrowsToTheLargestPageAndGivesEveryPageItsGrowth) {
    const Rect area{100, 0, 400, 180}; // 300 x 180
    const wizard::FrameLayout layout =
        wizard::layoutPages(area, {{0, 0, 250, 120}, {0, 0, 420, 100}, {0, 0, 200, 200}});
    EXPECT_EQ(layout.dx, 120);
    EXPECT_EQ(layout.dy, 20);
    EXPECT_EQ(layout.pageRect, (Rect{100, 0, 520, 200}));
    EXPECT_EQ(layout.pageDx, (std::vector<int>{170, 0, 220}));
    EXPECT_EQ(layout.pageDy, (std::vector<int>{80, 100, 0}));
}

TEST(FrameLayout, SmallPagesFillTheAreaWithoutGrowingTheFrame) {
    const Rect area{90, 0, 400, 160};
    const wizard::FrameLayout layout = wizard::layoutPages(area, {{5, 5, 105, 65}});
    EXPECT_EQ(layout.dx, 0);
    EXPECT_EQ(layout.dy, 0);
    EXPECT_EQ(layout.pageRect, area);
    EXPECT_EQ(layout.pageDx, (std::vector<int>{210}));
    EXPECT_EQ(layout.pageDy, (std::vector<int>{100}));
}

} // namespace
