#include "meter/MeterGeometry.h"

#include <gtest/gtest.h>

TEST(MeterGeometry, TwipsFollowTheScreenResolution) {
    EXPECT_EQ(TwipsToPixels(3000, 96), 200);
    EXPECT_EQ(TwipsToPixels(100, 96), 7);  // 6.67 pixels
    EXPECT_EQ(TwipsToPixels(22.5, 96), 2); // 1.5 pixels: ties to even
    EXPECT_TRUE(PixelsToTwips(7, 96) == 105);
    EXPECT_TRUE(PixelsToTwips(1, 1) == 1440);
    EXPECT_TRUE(PixelsToTwips(7, 0) == 0);
    EXPECT_EQ(TwipsToPixels(1440, 1), 1);
    // The ends of the 16-bit range are still coordinates.
    EXPECT_TRUE(TwipsToPixels(-491520, 96) == -32768);
    EXPECT_TRUE(TwipsToPixels(491505, 96) == 32767);
    // Garbage that converted to a number must not become a window size.
    EXPECT_FALSE(TwipsToPixels(-1e30, 96).has_value());
    EXPECT_FALSE(TwipsToPixels(1e12, 96).has_value());
    EXPECT_FALSE(TwipsToPixels(3000, 0).has_value());
}

TEST(MeterGeometry, AWindowOffEveryWorkAreaComesBackOntoItsNearestEdge) {
    const PixelRect work{0, 0, 1000, 660};
    struct Case {
        PixelRect window, want;
    } cases[] = {
        {{950, 600, 1150, 680}, {950, 600, 1150, 680}},   // partly visible: the user put it there
        {{1500, 100, 1700, 180}, {800, 100, 1000, 180}},  // on a monitor to the right that is gone
        {{-5000, -900, -4800, -820}, {0, 0, 200, 80}},    // far above and to the left
        {{3000, 0, 6000, 2000}, {0, 0, 1000, 660}},       // larger than the work area: fitted
        {{1500, 700, 1500, 700}, {1000, 660, 1000, 660}}, // no size at all stays so
        {{-200, 100, 0, 180}, {0, 100, 200, 180}},        // touching the left edge from outside
    };
    for (const Case& c : cases) {
        const PixelRect r = KeepOnWorkArea(c.window, work);
        EXPECT_EQ(r.Left, c.want.Left) << c.window.Left;
        EXPECT_EQ(r.Top, c.want.Top) << c.window.Top;
        EXPECT_EQ(r.Right, c.want.Right) << c.window.Right;
        EXPECT_EQ(r.Bottom, c.want.Bottom) << c.window.Bottom;
    }
}
