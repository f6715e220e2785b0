#include "install/install_progress.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(ProgressPercent, RoundsHalvesUp) {
    EXPECT_EQ(progressPercent(0, 1000), 0);
    EXPECT_EQ(progressPercent(4, 1000), 0);    // 0.4
    EXPECT_EQ(progressPercent(5, 1000), 1);    // 0.5
    EXPECT_EQ(progressPercent(994, 1000), 99); // 99.4
    EXPECT_EQ(progressPercent(1, 3), 33);
    EXPECT_EQ(progressPercent(2, 3), 67);
}

TEST(ProgressPercent, HundredOnlyWhenComplete) {
    EXPECT_EQ(progressPercent(995, 1000), 99); // would round to 100
    EXPECT_EQ(progressPercent(999, 1000), 99);
    EXPECT_EQ(progressPercent(1000, 1000), 100);
    EXPECT_EQ(progressPercent(15016556, 15016557), 99);
}

TEST(ProgressPercent, ExtremesDoNotOverflow) {
    constexpr std::uint64_t huge = std::numeric_limits<std::uint64_t>::max();
    EXPECT_EQ(progressPercent(huge / 2, huge), 50);
    EXPECT_EQ(progressPercent(huge, huge), 100);
    EXPECT_EQ(progressPercent(0, 0), 0);
}

} // namespace
