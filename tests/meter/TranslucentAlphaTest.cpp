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

TEST(OpacitySteps, StepsStoreTheirPercentageAndAStoredOpacityShowsAsTheNearestStep) {
    EXPECT_EQ(OpacityStepText(0) + OpacityStepText(kDefaultOpacityStep) + OpacityStepText(18), "5%70%95%");
    EXPECT_EQ(PercentForOpacityStep(0) + PercentForOpacityStep(18), 5 + 95);
    EXPECT_EQ(PercentForOpacityStep(-1), 100) << "no step chosen stores opaque";
    EXPECT_EQ(OpacityStepForStored("73"), 14);
    EXPECT_EQ(OpacityStepForStored("72.5"), 13) << "read as 72: ties to even";
    EXPECT_EQ(OpacityStepForStored("77.5"), 15) << "read as 78";
    EXPECT_EQ(OpacityStepForStored("0"), 0) << "translucent below the list: its lowest step";
    EXPECT_EQ(OpacityStepForStored("99.7"), 18) << "translucent though it reads as 100";
    for (const char* opaque : {"100", "250", "1e9", "-5", "abc"})
        EXPECT_EQ(OpacityStepForStored(opaque), std::nullopt) << opaque;
}
