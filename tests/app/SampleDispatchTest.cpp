#include "app/SampleDispatch.h"
#include "base/Convert.h"

#include <gtest/gtest.h>

#include <climits>

TEST(SampleDispatch, PictureFollowsWhichDirectionsCarriedTraffic) {
    EXPECT_EQ(TrayPictureFor(0, 0), TrayPicture::None);
    EXPECT_EQ(TrayPictureFor(1, 0), TrayPicture::In);
    EXPECT_EQ(TrayPictureFor(0, 1), TrayPicture::Out);
    EXPECT_EQ(TrayPictureFor(5, 7), TrayPicture::InOut);
    // A negative difference (an interface that went away) is no traffic.
    EXPECT_EQ(TrayPictureFor(-7048, 10), TrayPicture::Out);
    EXPECT_EQ(TrayPictureFor(INT_MIN, INT_MIN), TrayPicture::None);
}

TEST(SampleDispatch, TooltipRatesRoundToOneDecimalWithTiesToEvenAndTheUsersSeparator) {
    EXPECT_EQ(TrayTooltipText(0, 0), "Vantorel In: 0kb/s Out: 0kb/s");
    EXPECT_EQ(TrayTooltipText(1536, 0), "Vantorel In: 1.5kb/s Out: 0kb/s");
    EXPECT_EQ(TrayTooltipText(256, 768), "Vantorel In: 0.2kb/s Out: 0.8kb/s");
    EXPECT_EQ(TrayTooltipText(1075, -1536), "Vantorel In: 1kb/s Out: -1.5kb/s");
    // The largest values still fit the tray's 127 characters.
    EXPECT_LT(TrayTooltipText(INT_MAX, INT_MIN).size(), 128u);
    SetDecimalSeparator(',');
    EXPECT_EQ(TrayTooltipText(1536, 2560), "Vantorel In: 1,5kb/s Out: 2,5kb/s");
    SetDecimalSeparator('.');
}
