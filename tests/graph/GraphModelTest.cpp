#include "base/AppError.h"
#include "base/mMisc.h"
#include "graph/GraphTestUtil.h"
#include "graph/cGraph.h"
#include "support/RaisedError.h"

#include <gtest/gtest.h>

#include <climits>

TEST(cGraph, HistoryKeepsTheNewestEntriesOfBothQueuesInStep) {
    cGraph g;
    for (int32_t k = 1; k <= 1500; ++k)
        g.AddData(k, -k);
    EXPECT_EQ(g.OutQueue().Count(), 1000);
    EXPECT_EQ(g.InQueue().Peek(), QueueItem(501));
    g.SetHistory(10);
    EXPECT_EQ(g.OutQueue().Peek(), QueueItem(-1491));
    EXPECT_EQ(g.CurHistorySize(), 10);
    // A negative length empties the history instead of popping past its end.
    g.SetHistory(-4);
    g.AddData(1, 1);
    EXPECT_EQ(g.CurHistorySize(), 0);
    EXPECT_EQ(g.OutQueue().Count(), 0);
    // Popping an empty queue is the subscript error.
    EXPECT_RAISES(9, "", "Subscript out of range", [] { cQueue().Pop(); });
}

TEST(cGraph, ScaleRisesByFivePercentOnLargerSamplesAndRefusesZeroOrLess) {
    cGraph g;
    g.SetScaleValue(1000);
    g.AddData(5000, 5000);
    EXPECT_EQ(g.ScaleValue(), 1000) << "auto-scaling is off";
    g.SetAutoScale(true);
    g.AddData(1000, 0);
    EXPECT_EQ(g.ScaleValue(), 1000) << "equal is not larger";
    g.AddData(2000, 3000);
    EXPECT_DOUBLE_EQ(g.ScaleExact(), 3150) << "2000 raises to 2100, then 3000 against 2100 to 3150";
    for (int32_t refused : {0, INT_MIN}) {
        g.SetScaleValue(refused);
        EXPECT_DOUBLE_EQ(g.ScaleExact(), 3150) << refused;
    }
    // The getter rounds halves to even and stops at the 32-bit range.
    for (const auto& [sample, scale] : {std::pair{1990, 2090}, {2010, 2110}, {INT_MAX, INT_MAX}}) {
        g.SetScaleValue(1);
        g.AddData(sample, 0);
        EXPECT_EQ(g.ScaleValue(), scale) << sample;
    }
}

TEST(cGraph, StylesSetTheirPaletteAndOtherValuesAreOnlyStored) {
    FakePictureLoader loader;
    loader.resources["Clouds"].picture = SolidPicture(4, 4, 0xFFFFFFFF);
    loader.resources["River"].picture = SolidPicture(4, 4, 0xFF808080);
    ScopedLoader scoped(&loader);
    cGraph g;
    // Number, back, send, receive, both and chart colours, fill, stretch; then the background.
    const std::pair<std::vector<int32_t>, std::string> rows[] = {
        {{0, 16777215, 16711680, 255, 65280, 11579568, 1, 0}, ""},
        {{65280, 0, 16742263, 255, 65280, 24576, 0, 0}, ""},
        {{16711680, 16777215, 16711680, 255, 65280, 8388608, 0, 1}, "res:Clouds"},
        {{0, 16777215, 16711680, 255, 16777215, 8421504, 0, 1}, "res:River"}};
    for (int style : {-1, 2, 1, 3}) { // -1: as made, Standard
        if (style >= 0)
            g.SetStyle(style);
        const auto& [values, background] = rows[std::max(style, 0)];
        EXPECT_EQ((std::vector<int32_t>{g.NumColor, g.BackColor, g.SendColor, g.RecvColor, g.BothColor,
                                        g.ChartColor, g.FillUnderGraph, g.StretchBackground}),
                  values)
            << style;
        EXPECT_EQ(g.BackgroundPicture(), background) << style;
        EXPECT_EQ(g.BackgroundImage() != nullptr, !background.empty()) << style << " (1 clears the clouds)";
    }
    for (int32_t other : {4, -1}) {
        g.SetStyle(other);
        EXPECT_EQ(g.Style(), other);
        EXPECT_EQ(g.BothColor, 16777215) << "River's colours stay";
    }
}

TEST(BackgroundPicture, LoadsResourcesAndFilesKeepsTheImageOnFailureAndChecksItsSides) {
    FakePictureLoader loader;
    const auto clouds = SolidPicture(2, 2, 0xFFFFFFFF), sky = SolidPicture(3, 3, 0xFF0000FF);
    loader.resources["Clouds"].picture = clouds;
    loader.files["C:\\Meter\\sky.jpg"].picture = sky;
    loader.files["C:\\bad.gif"].error = static_cast<int32_t>(0x80004005u);
    loader.files["C:\\odd.gif"] = {}; // success without a picture is no success
    loader.files["C:\\throws.jpg"].throws = true;
    ScopedLoader scoped(&loader);
    SetExecutablePath("C:\\Meter\\Vantorel.exe");
    cGraph g;
    const std::tuple<const char*, std::string, const GraphPicture*> steps[] = {
        {"res:Clouds", "res:Clouds", clouds.get()},
        // Only the exact lower-case prefix names a resource; a bare name lives in the program's folder.
        {"RES:Clouds", "C:\\Meter\\RES:Clouds", clouds.get()},
        {"sky.jpg", "C:\\Meter\\sky.jpg", sky.get()},
        {"C:\\bad.gif", "C:\\bad.gif", sky.get()},
        {"C:\\odd.gif", "C:\\odd.gif", sky.get()},
        {"C:\\throws.jpg", "C:\\throws.jpg", sky.get()},
        {"res:", "res:", sky.get()}, // four characters or fewer load nothing
        {"", "", nullptr},
    };
    for (const auto& [given, stored, image] : steps) {
        g.SetBackgroundPicture(given);
        EXPECT_EQ(g.BackgroundPicture(), stored);
        EXPECT_EQ(g.BackgroundImage(), image) << given;
    }
    SetPictureLoader(nullptr);
    g.SetBackgroundPicture("C:\\none.jpg"); // no loader is no crash
    EXPECT_EQ(g.BackgroundPicture(), "C:\\none.jpg");

    // A picture refuses sides beyond the 16-bit range and pixels that do not fill them.
    EXPECT_RAISES(6, "", "Overflow", [] { GraphPicture(32768, 1, std::vector<uint32_t>(32768), 0, 0); });
    EXPECT_RAISES(5, "", "Invalid procedure call or argument",
                  [] { GraphPicture(2, 2, std::vector<uint32_t>(3), 0, 0); });
    EXPECT_THROW(GraphPicture(-1, 2, {}, 0, 0), AppError);
    EXPECT_NO_THROW(GraphPicture(32767, 1, std::vector<uint32_t>(32767), 0, 0));
    EXPECT_NO_THROW(GraphPicture(1, 32767, std::vector<uint32_t>(32767), 0, 0));
    EXPECT_TRUE(GraphPicture(1, 1, {0x80FFFFFF}, 26, 26).HasAlpha());
    EXPECT_FALSE(SolidPicture(2, 1, 0xFF123456)->HasAlpha());
    EXPECT_NE(SolidPicture(1, 1, 0xFF000000)->Id(), SolidPicture(1, 1, 0xFF000000)->Id());
    EXPECT_EQ(HimetricToPixels(PixelsToHimetric(657, 96), 96), 657);
    EXPECT_EQ(HimetricToPixels(2540, 120), 120);
    EXPECT_EQ(PixelsToHimetric(1, 1), 2540);
    EXPECT_EQ(PixelsToHimetric(5, 0), 0) << "no resolution, no size";
}
