#include "app/AppError.h"
#include "app/mMisc.h"
#include "graph/GraphTestUtil.h"
#include "graph/cGraph.h"

#include <gtest/gtest.h>

#include <climits>

namespace {
void ExpectStandardColours(const cGraph& g) {
    EXPECT_EQ(g.NumColor, 0x000000);
    EXPECT_EQ(g.BackColor, 0xFFFFFF);
    EXPECT_EQ(g.SendColor, 0xFF0000);
    EXPECT_EQ(g.RecvColor, 0x0000FF);
    EXPECT_EQ(g.BothColor, 0x00FF00);
    EXPECT_EQ(g.ChartColor, 0xB0B0B0);
    EXPECT_TRUE(g.FillUnderGraph);
    EXPECT_FALSE(g.StretchBackground);
    EXPECT_EQ(g.BackgroundPicture(), "");
}
} // namespace

TEST(cGraph, FreshGraphHasTheDefaultsAndLogsItsLife) {
    LogCapture log;
    {
        cGraph g;
        EXPECT_EQ(g.CurHistorySize(), 0);
        EXPECT_EQ(g.ScaleValue(), 1);
        EXPECT_EQ(g.History(), 1000);
        EXPECT_TRUE(g.ShowNum());
        EXPECT_TRUE(g.ShowGrid());
        EXPECT_FALSE(g.AutoScale());
        EXPECT_FALSE(g.IgnoreBack);
        EXPECT_EQ(g.LastBench, 0);
        EXPECT_EQ(g.Style(), 0);
        ExpectStandardColours(g);
        EXPECT_EQ(log.Text(), "cGraph_Initialize\r\n");
    }
    EXPECT_EQ(log.Text(), "cGraph_Initialize\r\ncGraph_Terminate\r\n");
}

TEST(cGraph, HistoryKeepsTheNewestThousandPairsInStep) {
    cGraph g;
    for (int32_t k = 1; k <= 1500; ++k)
        g.AddData(k, -k);
    EXPECT_EQ(g.CurHistorySize(), 1000);
    EXPECT_EQ(g.OutQueue().Count(), 1000);
    EXPECT_EQ(g.InQueue().Peek(), QueueItem(501));
    EXPECT_EQ(g.OutQueue().Peek(), QueueItem(-501));
    EXPECT_EQ(ItemValue(g.InQueue().Contents().back()), 1500);

    g.SetHistory(10);
    EXPECT_EQ(g.CurHistorySize(), 10);
    EXPECT_EQ(g.OutQueue().Peek(), QueueItem(-1491));
    // A negative length empties the history instead of popping past its end.
    g.SetHistory(-4);
    EXPECT_EQ(g.History(), -4);
    EXPECT_EQ(g.CurHistorySize(), 0);
    EXPECT_EQ(g.OutQueue().Count(), 0);
    g.AddData(1, 1);
    EXPECT_EQ(g.CurHistorySize(), 0);
}

TEST(cGraph, AutoScaleRaisesByFivePercentOnStrictlyLargerSamplesOnly) {
    cGraph g;
    g.SetScaleValue(1000);
    g.AddData(5000, 5000); // auto-scaling is off
    EXPECT_EQ(g.ScaleValue(), 1000);

    g.SetAutoScale(true);
    g.AddData(1000, 0);
    EXPECT_EQ(g.ScaleValue(), 1000) << "equal is not larger";
    g.AddData(2000, 3000);
    EXPECT_DOUBLE_EQ(g.ScaleExact(), 3150) << "2000 raises to 2100, then 3000 against 2100 to 3150";
    g.AddData(3100, 3149);
    EXPECT_DOUBLE_EQ(g.ScaleExact(), 3150) << "nothing lowers or raises below the scale";
    g.SetScaleValue(10);
    EXPECT_EQ(g.ScaleValue(), 10) << "an assignment may lower it";
}

TEST(cGraph, ScaleValueRoundsHalvesToEvenAndNeverOverflows) {
    cGraph g;
    g.SetAutoScale(true);
    g.AddData(1990, 0); // 2089.5
    EXPECT_EQ(g.ScaleValue(), 2090);
    g.SetScaleValue(1);
    g.AddData(2010, 0); // 2110.5
    EXPECT_EQ(g.ScaleValue(), 2110);
    g.AddData(INT_MAX, INT_MAX); // far beyond the 32-bit range after the 5 %
    EXPECT_EQ(g.ScaleValue(), INT_MAX);
}

TEST(cGraph, AScaleOfZeroOrLessIsRefusedAndThePreviousKept) {
    cGraph g;
    g.SetScaleValue(0);
    EXPECT_EQ(g.ScaleValue(), 1);
    g.SetScaleValue(500);
    g.SetScaleValue(-5);
    EXPECT_EQ(g.ScaleValue(), 500);
    g.SetScaleValue(INT_MIN);
    EXPECT_EQ(g.ScaleValue(), 500);
}

TEST(cGraph, StylesSetTheirPaletteAndOtherValuesOnlyAreStored) {
    FakePictureLoader loader;
    loader.resources["Clouds"].picture = SolidPicture(4, 4, 0xFFFFFFFF);
    loader.resources["River"].picture = SolidPicture(4, 4, 0xFF808080);
    ScopedLoader scoped(&loader);
    cGraph g;
    struct Row {
        int32_t num, back, send, recv, both, chart;
        bool fill, stretch;
        const char* background;
    };
    const Row rows[] = {{0, 16777215, 16711680, 255, 65280, 11579568, true, false, ""},
                        {65280, 0, 16742263, 255, 65280, 24576, false, false, ""},
                        {16711680, 16777215, 16711680, 255, 65280, 8388608, false, true, "res:Clouds"},
                        {0, 16777215, 16711680, 255, 16777215, 8421504, false, true, "res:River"}};
    for (int style : {1, 2, 3, 0}) {
        g.SetStyle(style);
        const Row& r = rows[style];
        EXPECT_EQ((std::vector<int32_t>{g.NumColor, g.BackColor, g.SendColor, g.RecvColor, g.BothColor,
                                        g.ChartColor}),
                  (std::vector<int32_t>{r.num, r.back, r.send, r.recv, r.both, r.chart}))
            << style;
        EXPECT_EQ(g.FillUnderGraph, r.fill) << style;
        EXPECT_EQ(g.StretchBackground, r.stretch) << style;
        EXPECT_EQ(g.BackgroundPicture(), r.background) << style;
        EXPECT_EQ(g.BackgroundImage() != nullptr, *r.background != 0) << style;
    }
    g.SetStyle(2);
    g.SetStyle(1);
    EXPECT_EQ(g.BackgroundImage(), nullptr) << "Task Manager clears the clouds";

    g.NumColor = 123;
    for (int32_t other : {7, -1}) {
        g.SetStyle(other);
        EXPECT_EQ(g.Style(), other);
        EXPECT_EQ(g.NumColor, 123);
        EXPECT_EQ(g.SendColor, 16742263);
    }
}

TEST(BackgroundPicture, ResourceNamesAreLoadedAsResourcesAndLogged) {
    FakePictureLoader loader;
    loader.resources["Clouds"].picture = SolidPicture(2, 2, 0xFFFFFFFF);
    ScopedLoader scoped(&loader);
    cGraph g;
    LogCapture log;
    g.SetBackgroundPicture("res:Clouds");
    EXPECT_EQ(loader.asked, std::vector<std::string>{"res:Clouds"});
    EXPECT_EQ(log.Text(), "cGraph_BackgrounPicture: LoadResPicture 0,res:Clouds\r\n");
    EXPECT_NE(g.BackgroundImage(), nullptr);

    // Only the exact lower-case prefix names a resource.
    SetExecutablePath("C:\\Meter\\Vantorel.exe");
    LogCapture log2;
    g.SetBackgroundPicture("RES:Clouds");
    EXPECT_EQ(loader.asked.back(), "file:C:\\Meter\\RES:Clouds");
    EXPECT_EQ(g.BackgroundPicture(), "C:\\Meter\\RES:Clouds");
    EXPECT_EQ(log2.Text(), "cGraph_BackgrounPicture: LoadPicture 53,C:\\Meter\\RES:Clouds\r\n");
    EXPECT_NE(g.BackgroundImage(), nullptr) << "the failed load keeps the clouds";
}

TEST(BackgroundPicture, BareNamesLiveInTheProgramFolderAndFullPathsStayAsGiven) {
    FakePictureLoader loader;
    const auto sky = SolidPicture(3, 3, 0xFF0000FF);
    loader.files["C:\\Meter\\sky.jpg"].picture = sky;
    ScopedLoader scoped(&loader);
    SetExecutablePath("C:\\Meter\\Vantorel.exe");
    cGraph g;
    LogCapture log;
    g.SetBackgroundPicture("sky.jpg");
    EXPECT_EQ(g.BackgroundPicture(), "C:\\Meter\\sky.jpg");
    EXPECT_EQ(g.BackgroundImage(), sky.get());
    g.SetBackgroundPicture("C:\\Pics\\sky.jpg");
    EXPECT_EQ(loader.asked.back(), "file:C:\\Pics\\sky.jpg");
    EXPECT_EQ(g.BackgroundPicture(), "C:\\Pics\\sky.jpg");
    EXPECT_EQ(g.BackgroundImage(), sky.get()) << "the missing file keeps the previous image";
    EXPECT_EQ(log.Text(), "cGraph_BackgrounPicture: LoadPicture 0,C:\\Meter\\sky.jpg\r\n"
                          "cGraph_BackgrounPicture: LoadPicture 53,C:\\Pics\\sky.jpg\r\n");
}

TEST(BackgroundPicture, ShortTextsLoadNothingAndEmptyClears) {
    FakePictureLoader loader;
    loader.resources["Clouds"].picture = SolidPicture(2, 2, 0xFFFFFFFF);
    ScopedLoader scoped(&loader);
    cGraph g;
    g.SetBackgroundPicture("res:Clouds");
    loader.asked.clear();
    LogCapture log;
    for (const char* text : {"res:", "a", "x.jp"}) {
        g.SetBackgroundPicture(text);
        EXPECT_EQ(g.BackgroundPicture(), text);
        EXPECT_NE(g.BackgroundImage(), nullptr);
    }
    EXPECT_TRUE(loader.asked.empty());
    EXPECT_EQ(log.Text(), "");
    g.SetBackgroundPicture("");
    EXPECT_EQ(g.BackgroundImage(), nullptr);
}

TEST(BackgroundPicture, ALoaderThatFailsOrIsMissingKeepsThePreviousImage) {
    FakePictureLoader loader;
    const auto first = SolidPicture(2, 2, 0xFFFFFFFF);
    loader.files["C:\\a.bmp"].picture = first;
    loader.files["C:\\bad.gif"] = {static_cast<int32_t>(0x80004005u), nullptr};
    loader.files["C:\\odd.gif"] = {0, nullptr}; // success without a picture is no success
    ScopedLoader scoped(&loader);
    cGraph g;
    g.SetBackgroundPicture("C:\\a.bmp");
    LogCapture log;
    g.SetBackgroundPicture("C:\\bad.gif");
    g.SetBackgroundPicture("C:\\odd.gif");
    loader.throwOnLoad = true;
    g.SetBackgroundPicture("C:\\throws.jpg");
    EXPECT_EQ(g.BackgroundImage(), first.get());
    EXPECT_EQ(g.BackgroundPicture(), "C:\\throws.jpg");
    SetPictureLoader(nullptr);
    g.SetBackgroundPicture("C:\\none.jpg");
    EXPECT_EQ(g.BackgroundImage(), first.get());
    EXPECT_EQ(log.Text(), "cGraph_BackgrounPicture: LoadPicture -2147467259,C:\\bad.gif\r\n"
                          "cGraph_BackgrounPicture: LoadPicture -2146827807,C:\\odd.gif\r\n"
                          "cGraph_BackgrounPicture: LoadPicture -2147467259,C:\\throws.jpg\r\n"
                          "cGraph_BackgrounPicture: LoadPicture -2147467262,C:\\none.jpg\r\n");
}

TEST(GraphPicture, SidesBeyondTheSixteenBitRangeAreRefused) {
    EXPECT_THROW(GraphPicture(32768, 1, std::vector<uint32_t>(32768), 0, 0), AppError);
    EXPECT_THROW(GraphPicture(2, 2, std::vector<uint32_t>(3), 0, 0), AppError);
    EXPECT_THROW(GraphPicture(-1, 2, {}, 0, 0), AppError);
    const GraphPicture empty(0, 0, {}, 0, 0);
    EXPECT_FALSE(empty.HasAlpha());
    EXPECT_TRUE(GraphPicture(1, 1, {0x80FFFFFF}, 26, 26).HasAlpha());
    EXPECT_NE(SolidPicture(1, 1, 0xFF000000)->Id(), SolidPicture(1, 1, 0xFF000000)->Id());
    EXPECT_EQ(HimetricToPixels(PixelsToHimetric(657, 96), 96), 657);
    EXPECT_EQ(PixelsToHimetric(96, 96), 2540);
    EXPECT_EQ(HimetricToPixels(2540, 120), 120);
}
