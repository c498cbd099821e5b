#include "meter/TranslucentAlpha.h"

#include <gtest/gtest.h>

#include <limits>

TEST(AlphaFromPercent, RoundsToNearestWithTiesToEven) {
    EXPECT_EQ(AlphaFromPercent(50), 128); // 127.5
    EXPECT_EQ(AlphaFromPercent(70), 178); // 178.5
    EXPECT_EQ(AlphaFromPercent(10), 26);  // 25.5
    EXPECT_EQ(AlphaFromPercent(30), 76);  // 76.5
    EXPECT_EQ(AlphaFromPercent(99), 252); // 252.45
    EXPECT_EQ(AlphaFromPercent(5), 13);   // 12.75
    EXPECT_EQ(AlphaFromPercent(95), 242); // 242.25
    EXPECT_EQ(AlphaFromPercent(100), 255);
    EXPECT_EQ(AlphaFromPercent(0), 0);
}

TEST(AlphaFromPercent, OutOfRangeValuesAreClampedNotWrapped) {
    EXPECT_EQ(AlphaFromPercent(-5), 0);
    EXPECT_EQ(AlphaFromPercent(-0.1), 0);
    EXPECT_EQ(AlphaFromPercent(100.2), 255);
    EXPECT_EQ(AlphaFromPercent(250), 255);
    EXPECT_EQ(AlphaFromPercent(1e300), 255);
    EXPECT_EQ(AlphaFromPercent(-std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(AlphaFromPercent(std::numeric_limits<double>::quiet_NaN()), 255);
}
