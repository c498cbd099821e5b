#include "meter/MeterGeometry.h"

#include <gtest/gtest.h>

TEST(MeterGeometry, TwipsFollowTheScreenResolution) {
    EXPECT_EQ(TwipsToPixels(3000, 96), 200);
    EXPECT_EQ(TwipsToPixels(1200, 96), 80);
    EXPECT_EQ(TwipsToPixels(100, 96), 7); // 6.67 pixels
    EXPECT_EQ(TwipsToPixels(3000, 120), 250);
    EXPECT_EQ(TwipsToPixels(22.5, 96), 2); // 1.5 pixels: ties to even
    EXPECT_EQ(PixelsToTwips(200, 96), 3000);
    EXPECT_EQ(PixelsToTwips(7, 96), 105);
    // Garbage that converted to a number must not become a window size.
    EXPECT_FALSE(TwipsToPixels(-1e30, 96).has_value());
    EXPECT_FALSE(TwipsToPixels(1e12, 96).has_value());
    EXPECT_FALSE(TwipsToPixels(3000, 0).has_value());
}

TEST(MeterGeometry, AWindowOffEveryWorkAreaComesBackOntoIt) {
    const PixelRect work{0, 0, 1000, 660};
    // Partly visible: left alone, the user put it there.
    const PixelRect partly{950, 600, 1150, 680};
    const PixelRect kept = KeepOnWorkArea(partly, work);
    EXPECT_EQ(kept.Left, 950);
    EXPECT_EQ(kept.Top, 600);
    // On a monitor to the right that is gone: to the nearest edge, same size.
    const PixelRect gone = KeepOnWorkArea({1500, 100, 1700, 180}, work);
    EXPECT_EQ(gone.Left, 800);
    EXPECT_EQ(gone.Top, 100);
    EXPECT_EQ(gone.Right - gone.Left, 200);
    EXPECT_EQ(gone.Bottom - gone.Top, 80);
    // Far above and to the left.
    const PixelRect above = KeepOnWorkArea({-5000, -900, -4800, -820}, work);
    EXPECT_EQ(above.Left, 0);
    EXPECT_EQ(above.Top, 0);
    // Larger than the work area: it fits into it.
    const PixelRect huge = KeepOnWorkArea({3000, 0, 6000, 2000}, work);
    EXPECT_EQ(huge.Left, 0);
    EXPECT_EQ(huge.Right, 1000);
    EXPECT_EQ(huge.Bottom, 660);
}
