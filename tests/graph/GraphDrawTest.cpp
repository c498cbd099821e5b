#include "base/Convert.h"
#include "base/mBenchmark.h"
#include "graph/GraphTestUtil.h"
#include "graph/cGraph.h"
#include "support/RasterSurface.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

namespace {
constexpr int32_t kWhite = 0xFFFFFF, kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00, kGrey = 0xB0B0B0;

// A Standard graph without grid whose scale is the graph height, so that a sample is its height in pixels.
struct Fixture {
    explicit Fixture(int width = 200, int height = 116) : surface(width, height) {
        graph.SetPicture(&surface);
        graph.SetShowGrid(false);
        graph.SetScaleValue(height - 16);
    }
    int G() const { return surface.Height() - 16; }
    // The rows of column x in `colour`, from the top.
    std::vector<int> Rows(int x, int32_t colour) const {
        std::vector<int> rows;
        for (int y = 0; y < surface.Height(); ++y)
            if (surface.Pixel(x, y) == colour)
                rows.push_back(y);
        return rows;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& t : surface.Texts())
            texts.push_back(t.Text);
        return texts;
    }
    RasterSurface surface;
    cGraph graph;
};

// Ticks of 7 ms, the first drawing's across the counter's wrap after 49.7 days.
uint32_t g_tick = 0xFFFFFFF5u;
} // namespace

TEST(DrawGraph, FillModeDrawsTheNewestSamplesFromTheRightAsTheirThreeLinesOverEachOther) {
    // Column W - i shows sample i counted from the newest: its incoming, outgoing and shared lines drawn
    // over each other (the drawing sends only their visible parts, one batch per colour).
    Fixture f(300, 139);
    f.graph.SetScaleValue(977);
    std::mt19937 random(42);
    std::uniform_int_distribution<int32_t> value(-200, 1400);
    // More samples than columns: some of them nothing, below nothing or at most a pixel high, and the
    // newest a steady run, whose shared rows are filled in one go.
    for (int j = 0; j < 370; ++j)
        f.graph.AddData(j % 7 ? value(random) : j % 9, j % 5 ? value(random) : value(random) / 3);
    for (int j = 370; j < 400; ++j)
        f.graph.AddData(700, 300);
    f.graph.DrawGraph(true, false);
    Fixture expected(300, 139);
    expected.graph.DrawGraph(false, false); // background and separator only
    const double g = 123;
    for (int i = 1; i <= 300; ++i) {
        const double yIn = ItemValue(f.graph.InQueue().Contents()[400 - i]) / 977.0 * g;
        const double yOut = ItemValue(f.graph.OutQueue().Contents()[400 - i]) / 977.0 * g;
        const std::pair<int32_t, double> lines[] = {
            {kRed, yIn}, {kBlue, yOut}, {kGreen, std::min(yIn, yOut)}};
        for (const auto& [colour, y] : lines) {
            expected.surface.SetPenColor(colour);
            if (y > 0)
                expected.surface.Line(300.0f - i, 123, 300.0f - i, static_cast<float>(g - y));
        }
    }
    const auto& pixels = f.surface.Pixels();
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.begin() + 300 * 124, expected.surface.Pixels().begin()));
}

TEST(DrawGraph, LineModeJoinsSamplesAndZeroStillReachesTheBaseLine) {
    Fixture f;
    const int g = f.G();
    f.graph.FillUnderGraph = false;
    f.graph.AddData(50, 30); // column 198
    f.graph.AddData(0, 30);  // column 199, the newest: a single pixel each
    f.graph.DrawGraph(true, false);
    // The segment from (199, 100) to (198, 50) leaves out its end pixel.
    const std::vector<int> recv198 = f.Rows(198, kRed), recv199 = f.Rows(199, kRed);
    EXPECT_EQ(recv198.front(), g - 50 + 1);
    EXPECT_EQ(recv199.back(), g) << "a sample of 0 still reaches the base line";
    EXPECT_EQ(recv198.size() + recv199.size(), 50u);
    EXPECT_EQ(f.Rows(199, kBlue), std::vector<int>{g - 30});
    EXPECT_TRUE(f.Rows(198, kBlue).empty()) << "the oldest sample shows only as the start of the next";

    // The drop from far below to far above crosses every row, and neither hangs nor overflows.
    f.graph.SetScaleValue(1);
    f.graph.AddData(INT_MAX, INT_MAX);
    f.graph.AddData(INT_MIN, INT_MAX);
    f.graph.DrawGraph(true, false);
    for (int y = 0; y < 116; ++y)
        ASSERT_THAT(kRed, testing::AnyOf(f.surface.Pixel(198, y), f.surface.Pixel(199, y))) << y;
}

TEST(DrawGraph, TheReadoutIsCentredInItsBandAndTheBandFollowsTheSwitches) {
    Fixture f;
    f.graph.DrawGraph(true, false);
    ASSERT_EQ(f.Texts(), std::vector<std::string>{"In: 0kb/s   Out: 0kb/s"}) << "before any sample";
    f.graph.AddData(1536, 102);
    f.graph.DrawGraph(true, false);
    const auto& t = f.surface.Texts().at(0);
    EXPECT_EQ(t.Text, "In: 1.5kb/s   Out: 0.1kb/s");
    EXPECT_EQ(t.Colour, 0x000000);
    EXPECT_FLOAT_EQ(t.X, (200 - 26 * 6) / 2.0f);
    EXPECT_FLOAT_EQ(t.Y, 100 + (16 - 13) / 2.0f);
    EXPECT_EQ(ReadoutText(256, 768), "In: 0.2kb/s   Out: 0.8kb/s") << "0.25 and 0.75 round to even";
    // Every value reads as the shared conversion writes it (the read-out formats without a print).
    const auto kb = [](int32_t v) { return FormatNumber(RoundDecimals(v / 1024.0, 1)) + "kb/s"; };
    for (int32_t v : {INT_MIN, INT_MAX, -51, 51, -52, 52, 0, -1, 1536, -1023987, 987654321})
        ASSERT_EQ(ReadoutText(v, v / -2), "In: " + kb(v) + "   Out: " + kb(v / -2)) << v;

    f.graph.DrawGraph(false, false);
    EXPECT_EQ(f.Rows(0, kGrey), std::vector<int>{101}) << "the separator at G + 1";
    EXPECT_EQ(f.Rows(199, kGrey), std::vector<int>{101});
    EXPECT_TRUE(f.Rows(199, kRed).empty()) << "no history, no line";
    EXPECT_TRUE(f.surface.Texts().empty()) << "no history, no read-out";
    EXPECT_FALSE(f.surface.Drawing());

    f.graph.SetShowNum(false);
    f.graph.SetScaleValue(116);
    f.graph.DrawGraph(true, false);
    EXPECT_TRUE(f.surface.Texts().empty());
    const std::vector<int> both = f.Rows(199, kGreen);
    ASSERT_FALSE(both.empty());
    EXPECT_EQ(both.front(), 15);
    EXPECT_EQ(both.back(), 115) << "the base line at row 116, just below the surface";
    // The band grows with the DPI the surface's font is sized for.
    for (const auto& [dpi, band] : {std::pair{96, 16}, {100, 17}, {144, 24}, {0, 16}})
        EXPECT_EQ(ReadoutBandHeight(dpi), band) << dpi;

    f.graph.SetPicture(nullptr); // no surface is no error
    f.graph.DrawGraph(true, true);
}

TEST(DrawGraph, GridLinesAndLabelsDependOnTheHeight) {
    for (int h : {50, 51, 120, 121}) {
        Fixture f(200, h);
        f.graph.SetShowGrid(true);
        f.graph.SetShowNum(false);
        const auto onLine = [&](int y) {
            std::string dashes;
            for (int x = 100; x < 130; ++x)
                dashes += f.surface.Pixel(x, y) == kGrey ? '#' : '.';
            return dashes;
        };
        f.graph.DrawGraph(false, false);
        // The middle line is dashed, 18 on and 6 off from its start at x = 0 (so from x = 100: 14 on).
        EXPECT_EQ(onLine(static_cast<int>(RoundHalfEven(h / 2.0))), "##############......##########") << h;
        // Quarter lines only above 120 pixels, dotted 3 on and 3 off.
        EXPECT_EQ(onLine(static_cast<int>(RoundHalfEven(h / 4.0 * 3))),
                  h > 120 ? "..###...###...###...###...###." : std::string(30, '.'))
            << h;
        // Labels: half and full above 50 pixels, the quarters above 120, each just below its line.
        const std::vector<double> ys = {h / 2.0 + 1, 1, h / 4.0 * 3 + 1, h / 4.0 + 1};
        ASSERT_EQ(f.surface.Texts().size(), h > 120 ? 4u : h > 50 ? 2u : 0u) << h;
        for (size_t i = 0; i < f.surface.Texts().size(); ++i)
            EXPECT_FLOAT_EQ(f.surface.Texts()[i].Y, static_cast<float>(ys[i])) << h;
    }
}

TEST(DrawGraph, ScaleLabelsAndReadoutFollowTheScaleValuesAndSeparatorOfEachDrawing) {
    // A drawing shows the labels and read-out of the scale, values and separator it has at that moment.
    Fixture f(200, 140);
    f.graph.SetShowGrid(true);
    f.graph.SetScaleValue(1);
    f.graph.SetAutoScale(true);
    f.graph.DrawGraph(true, false); // labels of the scale 1, then of the scale that auto-scaling sets
    f.graph.AddData(987, 0);
    f.graph.DrawGraph(true, false);
    EXPECT_EQ(f.Texts(), (std::vector<std::string>{"In: 1kb/s   Out: 0kb/s", "518.175b/s", "1kb/s", "259b/s",
                                                   "777.3b/s"}));
    f.graph.SetScaleValue(2048);
    f.graph.AddData(0, 1536);
    f.graph.DrawGraph(true, false);
    EXPECT_EQ(f.Texts(),
              (std::vector<std::string>{"In: 0kb/s   Out: 1.5kb/s", "1kb/s", "2kb/s", "512b/s", "1.5kb/s"}));
    SetDecimalSeparator(',');
    f.graph.DrawGraph(true, false);
    SetDecimalSeparator('.');
    EXPECT_EQ(f.Texts(),
              (std::vector<std::string>{"In: 0kb/s   Out: 1,5kb/s", "1kb/s", "2kb/s", "512b/s", "1,5kb/s"}));
    f.graph.SetScaleValue(10);
    f.graph.DrawGraph(true, false);
    EXPECT_EQ(f.Texts(),
              (std::vector<std::string>{"In: 0kb/s   Out: 1.5kb/s", "5b/s", "10b/s", "2b/s", "7.5b/s"}))
        << "2.5 rounds to even";
}

TEST(DrawGraph, BackgroundIsRenderedWhenForcedOrResizedTimedAndKeptWhileIgnored) {
    std::vector<uint32_t> glass(100 * 50, 0x80336699); // half transparent, its corner black
    glass[0] = 0xFF000000;
    FakePictureLoader loader;
    loader.files["C:\\glass.ico"].picture =
        std::make_shared<GraphPicture>(100, 50, glass, PixelsToHimetric(100, 96), PixelsToHimetric(50, 96));
    ScopedLoader scoped(&loader);
    const ScopedSeam<TickSource> ticks{CurrentTickSource, SetTickSource, [] { return g_tick += 7; }};
    Fixture f(250, 120);
    f.graph.SetBackgroundPicture("C:\\glass.ico");
    f.graph.AddData(20, 0);
    // Only a rendering of the background times itself.
    const auto rendered = [&](bool force) {
        f.graph.LastBench = -1;
        f.graph.DrawGraph(true, force);
        return f.graph.LastBench != -1;
    };
    EXPECT_TRUE(rendered(false)) << "the size differs from the cached 0 x 0";
    EXPECT_EQ(f.graph.LastBench, 7) << "the ticks' difference, also across the wrap";
    const int32_t tinted = 0x99B2CC; // half the picture's colour over white
    EXPECT_EQ(f.surface.Pixel(249, 10), tinted);
    EXPECT_EQ(f.surface.Pixel(200, 100), 0) << "tiled from the corner";
    EXPECT_EQ(f.surface.Pixel(249, f.G() - 5), kRed) << "the history lies over the picture";
    EXPECT_FALSE(rendered(false)) << "same size, not forced: the persistent image is reused";
    EXPECT_EQ(f.surface.Pixel(10, 10), tinted);
    EXPECT_TRUE(rendered(true));
    EXPECT_EQ(f.surface.Pixel(10, 10), tinted) << "rendered over the back colour, not the last rendering";
    // Resized while ignored: nothing rendered, and the old image is not fitted to the new size.
    f.graph.IgnoreBack = true;
    f.surface.Resize(300, 120);
    EXPECT_FALSE(rendered(true));
    EXPECT_EQ(f.surface.Pixel(280, 10), kWhite);
    f.graph.IgnoreBack = false;
    EXPECT_TRUE(rendered(false)) << "the size changed since the cached one";
    EXPECT_EQ(f.surface.Pixel(280, 10), tinted);
    f.graph.StretchBackground = true;
    f.graph.DrawGraph(true, true);
    EXPECT_EQ(f.surface.Pixel(100, 0), tinted) << "stretched: one picture, no tile's corner";
    EXPECT_EQ(f.surface.Pixel(2, 1), 0) << "its corner three times as wide";
    f.graph.SetBackgroundPicture("");
    f.graph.DrawGraph(true, false);
    EXPECT_EQ(f.surface.Pixel(10, 10), kWhite);
}
