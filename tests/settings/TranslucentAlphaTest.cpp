#include "settings/TranslucentAlpha.h"

#include <gtest/gtest.h>

#include <limits>

TEST(AlphaFromPercent, RoundsToNearestWithTiesToEvenAndClampsWhatIsOutOfRange) {
    const double nan = std::numeric_limits<double>::quiet_NaN(),
                 inf = std::numeric_limits<double>::infinity();
    const struct {
        double percent;
        int alpha;
    } cases[] = {{50, 128}, {70, 178},    {10, 26},     {30, 76},  {99, 252},
                 {5, 13},   {95, 242},    {100, 255},   {0, 0},    {-5, 0},
                 {-0.1, 0}, {100.2, 255}, {1e300, 255}, {-inf, 0}, {nan, 255}};
    for (const auto& c : cases)
        EXPECT_EQ(AlphaFromPercent(c.percent), c.alpha) << c.percent;
}

// The percentage a chosen step stores is shown by the settings tests.
TEST(OpacitySteps, AStoredOpacityShowsAsTheNearestStep) {
    EXPECT_EQ(OpacityStepText(0), "5%");
    EXPECT_EQ(OpacityStepText(kDefaultOpacityStep), "70%");
    EXPECT_EQ(OpacityStepText(18), "95%");
    EXPECT_EQ(PercentForOpacityStep(0), 5);
    EXPECT_EQ(PercentForOpacityStep(18), 95);
    EXPECT_EQ(PercentForOpacityStep(19), 100);
    EXPECT_EQ(PercentForOpacityStep(-1), 100);
    EXPECT_EQ(OpacityStepForStored("73"), 14);
    EXPECT_EQ(OpacityStepForStored("72.5"), 13) << "read as 72: ties to even";
    EXPECT_EQ(OpacityStepForStored("77.5"), 15) << "read as 78";
    EXPECT_EQ(OpacityStepForStored("0"), 0) << "translucent below the list: its lowest step";
    EXPECT_EQ(OpacityStepForStored("99.7"), 18) << "translucent though it reads as 100";
    for (const char* opaque : {"100", "250", "1e9", "-5", "abc"})
        EXPECT_EQ(OpacityStepForStored(opaque), std::nullopt) << opaque;
}
