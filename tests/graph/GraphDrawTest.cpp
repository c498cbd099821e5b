#include "app/Convert.h"
#include "app/mBenchmark.h"
#include "graph/GraphTestUtil.h"
#include "graph/RasterSurface.h"
#include "graph/cGraph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>

namespace {
constexpr int32_t kWhite = 0xFFFFFF;

// A Standard graph whose scale equals the graph height, so a sample is its height in pixels.
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
    // The highest row of column x above the base line that is not background, or G + 1 when none.
    int Top(int x) const {
        for (int y = 0; y <= G(); ++y)
            if (surface.Pixel(x, y) != kWhite)
                return y;
        return G() + 1;
    }
    RasterSurface surface;
    cGraph graph;
};

std::vector<int> Span(int first, int last) {
    std::vector<int> v;
    for (int y = first; y <= last; ++y)
        v.push_back(y);
    return v;
}

const RasterSurface::DrawnText* FindText(const RasterSurface& s, const std::string& prefix) {
    for (const auto& t : s.Texts())
        if (t.Text.rfind(prefix, 0) == 0)
            return &t;
    return nullptr;
}

std::vector<std::string> TextsOf(const RasterSurface& s) {
    std::vector<std::string> v;
    for (const auto& t : s.Texts())
        v.push_back(t.Text);
    return v;
}

uint32_t g_tick = 0;
uint32_t FakeTick() {
    return g_tick;
}
} // namespace

TEST(DrawGraph, NewestSampleIsInTheRightmostColumnAndOnlyTheNewestWidthAreDrawn) {
    Fixture f;
    // 100 old full-height pairs that must have scrolled out of sight, then 200 of height j % 50 + 1.
    for (int j = 0; j < 100; ++j)
        f.graph.AddData(f.G(), 0);
    for (int j = 1; j <= 200; ++j)
        f.graph.AddData(j % 50 + 1, 0);
    f.graph.DrawGraph(true, false);
    for (int x = 0; x < 200; ++x) {
        const int j = x + 1; // column 199 holds pair 200
        ASSERT_EQ(f.Top(x), f.G() - (j % 50 + 1) + 1) << "column " << x;
        ASSERT_EQ(f.surface.Pixel(x, f.G()), 0x0000FF);
    }
    // One more sample scrolls everything one column to the left.
    f.graph.AddData(10, 0);
    f.graph.DrawGraph(true, false);
    for (int x = 0; x < 199; ++x)
        ASSERT_EQ(f.Top(x), f.G() - ((x + 2) % 50 + 1) + 1) << "column " << x;
    EXPECT_EQ(f.Top(199), f.G() - 10 + 1);
}

TEST(DrawGraph, AShortHistoryFillsOnlyTheRightmostColumns) {
    Fixture f;
    for (int j = 0; j < 50; ++j)
        f.graph.AddData(30, 20);
    f.graph.DrawGraph(true, false);
    for (int x = 0; x < 150; ++x)
        ASSERT_EQ(f.Top(x), f.G() + 1) << "column " << x << " must stay empty";
    for (int x = 150; x < 200; ++x)
        ASSERT_EQ(f.Top(x), f.G() - 29) << "column " << x;
}

TEST(DrawGraph, FillModeShowsTheSharedPartInBothColorAndTheExcessInItsOwn) {
    Fixture f;
    f.graph.SetScaleValue(1000); // G = 100
    f.graph.AddData(600, 200);   // column 197
    f.graph.AddData(200, 600);   // column 198
    f.graph.AddData(0, 0);       // column 199: nothing at all
    f.graph.DrawGraph(true, false);
    EXPECT_EQ(f.Rows(197, 0x00FF00), Span(81, 100));
    EXPECT_EQ(f.Rows(197, 0x0000FF), Span(41, 80));
    EXPECT_EQ(f.Rows(198, 0x00FF00), Span(81, 100));
    EXPECT_EQ(f.Rows(198, 0xFF0000), Span(41, 80));
    EXPECT_EQ(f.Top(199), 101);
    EXPECT_EQ(f.surface.Pixel(199, 100), kWhite) << "a zero sample leaves even the base line empty";
}

TEST(DrawGraph, FillModeMatchesDrawingTheThreeLinesOverEachOther) {
    // The drawing sends only the visible part of each column; the pixels must be those of drawing
    // the incoming, outgoing and shared lines column by column, including fractional heights.
    Fixture f(300, 139);
    f.graph.SetScaleValue(977);
    std::mt19937 random(42);
    std::uniform_int_distribution<int32_t> value(-200, 1400);
    for (int j = 0; j < 400; ++j)
        f.graph.AddData(j % 7 == 0 ? 0 : value(random), j % 5 == 0 ? value(random) / 3 : value(random));
    f.graph.DrawGraph(true, false);

    RasterSurface expected(300, 139);
    cGraph frame; // background and separator only
    frame.SetShowGrid(false);
    frame.SetPicture(&expected);
    frame.DrawGraph(false, false);
    const double g = 139 - 16, s = 977;
    const auto& in = f.graph.InQueue().Contents();
    const auto& out = f.graph.OutQueue().Contents();
    const int n = static_cast<int>(in.size());
    for (int i = 1; i <= 300; ++i) {
        const float x = static_cast<float>(300 - i);
        const double yIn = ItemValue(in[n - i]) / s * g, yOut = ItemValue(out[n - i]) / s * g;
        expected.SetPenColor(0x0000FF);
        if (yIn > 0)
            expected.Line(x, static_cast<float>(g), x, static_cast<float>(g - yIn));
        expected.SetPenColor(0xFF0000);
        if (yOut > 0)
            expected.Line(x, static_cast<float>(g), x, static_cast<float>(g - yOut));
        expected.SetPenColor(0x00FF00);
        if (std::min(yIn, yOut) > 0)
            expected.Line(x, static_cast<float>(g), x, static_cast<float>(g - std::min(yIn, yOut)));
    }
    for (int y = 0; y < 123; ++y)
        for (int x = 0; x < 300; ++x)
            ASSERT_EQ(f.surface.Pixel(x, y), expected.Pixel(x, y)) << x << "," << y;
}

TEST(DrawGraph, WithAWidePenTheColumnsAreDrawnLineByLineInTheirOrder) {
    RecordingSurface s;
    s.penWidth = 2;
    s.width = 3;
    s.height = 116;
    cGraph g;
    g.SetShowGrid(false);
    g.SetShowNum(false);
    g.SetScaleValue(116);
    g.AddData(10, 20);
    g.SetPicture(&s);
    g.DrawGraph(true, false);
    const std::vector<std::string> tail(s.calls.end() - 7, s.calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"pen 255", "line 2,116 2,106", "pen 16711680",
                                              "line 2,116 2,96", "pen 65280", "line 2,116 2,106", "end"}));
}

TEST(DrawGraph, LineModeJoinsSamplesAndZeroStillReachesTheBaseLine) {
    Fixture f;
    f.graph.FillUnderGraph = false;
    f.graph.AddData(50, 30); // column 198
    f.graph.AddData(0, 30);  // column 199, the newest: a single pixel each
    f.graph.DrawGraph(true, false);
    const int g = f.G();
    EXPECT_EQ(f.surface.Pixel(199, g), 0x0000FF)
        << "the newest incoming sample is one pixel on the base line";
    EXPECT_EQ(f.surface.Pixel(199, g - 30), 0xFF0000);
    // The incoming segment runs from (199, 100) to (198, 50), without its end pixel.
    const std::vector<int> recv198 = f.Rows(198, 0x0000FF), recv199 = f.Rows(199, 0x0000FF);
    EXPECT_EQ(recv198.front(), g - 50 + 1);
    EXPECT_GT(recv199.size(), 10u);
    EXPECT_EQ(recv199.back(), g);
    EXPECT_EQ(recv198.size() + recv199.size(), 50u) << "the segment's first pixel is the newest sample's";
    // A segment leaves out its end, so the oldest sample drawn shows only as the start of the next.
    EXPECT_EQ(f.Rows(199, 0xFF0000), std::vector<int>{g - 30});
    EXPECT_TRUE(f.Rows(198, 0xFF0000).empty());

    // In line mode a sample of 0 after a peak draws its segment all the way down to the base line.
    Fixture z;
    z.graph.FillUnderGraph = false;
    z.graph.AddData(50, 0);
    z.graph.AddData(0, 0);
    z.graph.AddData(0, 0);
    z.graph.DrawGraph(true, false);
    EXPECT_EQ(z.surface.Pixel(198, z.G() - 1), 0x0000FF) << "the drop reaches the base line";
}

TEST(DrawGraph, ValuesFarAboveTheScaleAreClippedAtTheTop) {
    Fixture f;
    f.graph.SetScaleValue(1);
    f.graph.AddData(INT_MAX, INT_MAX);
    f.graph.AddData(INT_MIN, INT_MAX);
    f.graph.DrawGraph(true, false);
    EXPECT_EQ(f.Rows(198, 0x00FF00), Span(0, 100));
    EXPECT_EQ(f.Rows(199, 0xFF0000), Span(0, 100));
    // The drop from far below to far above crosses every row, and drawing it neither hangs nor overflows.
    f.graph.FillUnderGraph = false;
    f.graph.DrawGraph(true, false);
    for (int y = 0; y < 116; ++y)
        ASSERT_TRUE(f.surface.Pixel(198, y) == 0x0000FF || f.surface.Pixel(199, y) == 0x0000FF) << y;
}

TEST(DrawGraph, ReadoutShowsTheLastValuesCentredInTheBand) {
    Fixture f;
    f.graph.DrawGraph(true, false);
    ASSERT_EQ(TextsOf(f.surface), std::vector<std::string>{"In: 0kb/s   Out: 0kb/s"}) << "before any sample";

    f.graph.AddData(1536, 102);
    f.graph.DrawGraph(true, false);
    const auto* t = FindText(f.surface, "In:");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Text, "In: 1.5kb/s   Out: 0.1kb/s");
    EXPECT_EQ(t->Colour, 0x000000);
    EXPECT_FLOAT_EQ(t->X, (200 - 26 * 6) / 2.0f);
    EXPECT_FLOAT_EQ(t->Y, 100 + (16 - 13) / 2.0f);

    EXPECT_EQ(ReadoutText(2048, 0), "In: 2kb/s   Out: 0kb/s");
    EXPECT_EQ(ReadoutText(-1536, 1075), "In: -1.5kb/s   Out: 1kb/s");
    EXPECT_EQ(ReadoutText(256, 768), "In: 0.2kb/s   Out: 0.8kb/s") << "0.25 and 0.75 round to even";
    SetDecimalSeparator(',');
    EXPECT_EQ(ReadoutText(1536, 2560), "In: 1,5kb/s   Out: 2,5kb/s");
    SetDecimalSeparator('.');

    // Every value reads as the shared conversion writes it (the read-out formats without a print).
    std::mt19937 random(3);
    std::uniform_int_distribution<int32_t> any(INT_MIN, INT_MAX), small(-5000, 5000);
    for (int i = 0; i < 20000; ++i) {
        const int32_t v = i % 2 ? any(random) : small(random);
        const std::string expected = FormatNumber(RoundDecimals(v / 1024.0, 1));
        ASSERT_EQ(ReadoutText(v, 0), "In: " + expected + "kb/s   Out: 0kb/s") << v;
    }
    for (int32_t v : {INT_MIN, INT_MAX, -51, 51, -52, 52, 0, -1})
        EXPECT_EQ(ReadoutText(0, v),
                  "In: 0kb/s   Out: " + FormatNumber(RoundDecimals(v / 1024.0, 1)) + "kb/s");
}

TEST(DrawGraph, WithoutNumbersTheGraphUsesTheFullHeightAndShowsNoText) {
    Fixture f(200, 100);
    f.graph.SetShowNum(false);
    f.graph.SetScaleValue(100);
    f.graph.AddData(50, 0);
    f.graph.DrawGraph(true, false);
    EXPECT_TRUE(f.surface.Texts().empty());
    EXPECT_EQ(f.Rows(199, 0x0000FF), Span(51, 99)) << "base line at row 100, just below the surface";
}

TEST(DrawGraph, TheReadoutBandGrowsWithTheDpiOfTheSurfaceItsFontIsSizedFor) {
    EXPECT_EQ(ReadoutBandHeight(96), 16);
    EXPECT_EQ(ReadoutBandHeight(100), 17) << "16.67 rounds up";
    EXPECT_EQ(ReadoutBandHeight(144), 24);
    EXPECT_EQ(ReadoutBandHeight(192), 32);
    EXPECT_EQ(ReadoutBandHeight(0), 16) << "an unknown DPI draws as at 96";
}

TEST(DrawGraph, SeparatorLiesUnderTheReadoutAndDataFalseDrawsNoHistory) {
    Fixture f;
    f.graph.AddData(50, 50);
    f.graph.DrawGraph(false, false);
    for (int x = 0; x < 200; ++x)
        ASSERT_EQ(f.surface.Pixel(x, 101), 0xB0B0B0);
    EXPECT_EQ(f.Top(199), f.G() + 1) << "no history without data";
    EXPECT_TRUE(f.surface.Texts().empty()) << "no read-out without data";
    EXPECT_FALSE(f.surface.Drawing());
    EXPECT_EQ(f.surface.ShowCount(), 1);
}

TEST(DrawGraph, GridLinesAndLabelsDependOnTheHeight) {
    for (int h : {50, 51, 120, 121}) {
        Fixture f(200, h);
        f.graph.SetShowGrid(true);
        f.graph.SetShowNum(false);
        f.graph.SetScaleValue(1000);
        f.graph.DrawGraph(false, false);
        const auto onLine = [&](int y) {
            std::string dashes;
            for (int x = 0; x < 30; ++x)
                dashes += f.surface.Pixel(x + 100, y) == 0xB0B0B0 ? '#' : '.';
            return dashes;
        };
        // The middle line is dashed, 18 on and 6 off from its start at x = 0 (so from x = 100: 14 on).
        const int middle = static_cast<int>(RoundHalfEven(h / 2.0));
        EXPECT_EQ(onLine(middle), "##############......##########") << h;
        // Quarter lines only above 120 pixels, dotted 3 on and 3 off.
        const int lower = static_cast<int>(RoundHalfEven(h / 4.0 * 3));
        EXPECT_EQ(onLine(lower), h > 120 ? "..###...###...###...###...###." : std::string(30, '.')) << h;
        const std::vector<std::string> labels =
            h <= 50    ? std::vector<std::string>{}
            : h <= 120 ? std::vector<std::string>{"500b/s", "1000b/s"}
                       : std::vector<std::string>{"500b/s", "1000b/s", "250b/s", "750b/s"};
        EXPECT_EQ(TextsOf(f.surface), labels) << h;
        if (h > 120) {
            EXPECT_FLOAT_EQ(f.surface.Texts()[2].Y, static_cast<float>(h / 4.0 * 3 + 1));
            EXPECT_FLOAT_EQ(f.surface.Texts()[3].Y, static_cast<float>(h / 4.0 + 1));
        }
    }
}

TEST(DrawGraph, ScaleLabelsFollowTheirOwnRounding) {
    using L = ScaleLabel;
    EXPECT_EQ(ScaleLabelText(L::Full, 1000), "1000b/s");
    EXPECT_EQ(ScaleLabelText(L::Half, 1000), "500b/s");
    EXPECT_EQ(ScaleLabelText(L::Quarter, 1000), "250b/s");
    EXPECT_EQ(ScaleLabelText(L::ThreeQuarter, 1000), "750b/s");
    EXPECT_EQ(ScaleLabelText(L::Full, 2048), "2kb/s");
    EXPECT_EQ(ScaleLabelText(L::Half, 2048), "1kb/s");
    EXPECT_EQ(ScaleLabelText(L::Quarter, 2048), "512b/s");
    EXPECT_EQ(ScaleLabelText(L::ThreeQuarter, 2048), "1.5kb/s");
    const double s = 987 * 1.05;
    EXPECT_EQ(ScaleLabelText(L::Full, s), "1kb/s");
    EXPECT_EQ(ScaleLabelText(L::Half, s), "518.175b/s");
    EXPECT_EQ(ScaleLabelText(L::Quarter, s), "259b/s");
    EXPECT_EQ(ScaleLabelText(L::ThreeQuarter, s), "777.3b/s");
    EXPECT_EQ(ScaleLabelText(L::Quarter, 10), "2b/s") << "2.5 rounds to even";
    SetDecimalSeparator(',');
    EXPECT_EQ(ScaleLabelText(L::ThreeQuarter, 2048), "1,5kb/s");
    SetDecimalSeparator('.');

    // The labels come from the scale the graph holds after auto-scaling.
    Fixture f(200, 140);
    f.graph.SetShowGrid(true);
    f.graph.SetScaleValue(1);
    f.graph.SetAutoScale(true);
    f.graph.AddData(987, 0);
    f.graph.DrawGraph(true, false);
    EXPECT_EQ(TextsOf(f.surface), (std::vector<std::string>{"In: 1kb/s   Out: 0kb/s", "518.175b/s", "1kb/s",
                                                            "259b/s", "777.3b/s"}));
}

TEST(DrawGraph, BackgroundIsRenderedOnlyWhenForcedOrResizedAndNotWhileIgnored) {
    FakePictureLoader loader;
    loader.files["C:\\tile.bmp"].picture = SolidPicture(100, 50, 0xFF336699);
    ScopedLoader scoped(&loader);
    SetTickSource(FakeTick);
    Fixture f(250, 120);
    f.graph.SetBackgroundPicture("C:\\tile.bmp");
    f.graph.AddData(20, 0);

    g_tick = 1000;
    f.graph.DrawGraph(true, false); // first: the size differs from the cached 0 x 0
    EXPECT_EQ(f.surface.PictureDrawCount(), 9);
    EXPECT_EQ(f.graph.LastBench, 0);
    EXPECT_EQ(f.surface.Pixel(10, 10), 0x336699);
    EXPECT_EQ(f.surface.Pixel(249, 10), 0x336699);
    EXPECT_EQ(f.surface.Pixel(249, f.G() - 5), 0x0000FF) << "the history lies over the picture";

    f.graph.DrawGraph(true, false);
    EXPECT_EQ(f.surface.PictureDrawCount(), 9) << "same size, not forced: the persistent image is reused";
    EXPECT_EQ(f.surface.Pixel(10, 10), 0x336699);

    // A forced rendering is timed.
    SetTickSource([]() -> uint32_t { return g_tick += 7; });
    f.graph.DrawGraph(true, true);
    EXPECT_EQ(f.surface.PictureDrawCount(), 18);
    EXPECT_EQ(f.graph.LastBench, 7);
    SetTickSource(FakeTick);

    // Resized while the background is ignored: nothing rendered, the old image stays.
    f.graph.IgnoreBack = true;
    f.surface.Resize(300, 120);
    f.graph.DrawGraph(true, false);
    EXPECT_EQ(f.surface.PictureDrawCount(), 18);
    EXPECT_EQ(f.surface.Pixel(10, 10), 0x336699);
    EXPECT_EQ(f.surface.Pixel(280, 10), kWhite) << "the old image is not fitted to the new size";
    EXPECT_EQ(f.graph.LastBench, 7);

    f.graph.IgnoreBack = false;
    f.graph.DrawGraph(true, false);
    EXPECT_EQ(f.surface.PictureDrawCount(), 30) << "the size changed since the cached one: 4 x 3 tiles";
    EXPECT_EQ(f.surface.Pixel(280, 10), 0x336699);
    SetTickSource(nullptr);
}

TEST(DrawGraph, WithoutAPictureTheSurfaceShowsOnlyTheBackColour) {
    FakePictureLoader loader;
    loader.resources["Clouds"].picture = SolidPicture(50, 50, 0xFF123456);
    ScopedLoader scoped(&loader);
    Fixture f;
    f.graph.SetStyle(2);
    f.graph.DrawGraph(false, true);
    EXPECT_TRUE(f.surface.HasBackgroundImage());
    EXPECT_EQ(f.surface.Pixel(100, 50), 0x123456) << "stretched over the whole surface";
    EXPECT_EQ(f.surface.Pixel(199, 115), 0x123456);

    f.graph.SetStyle(1);
    f.graph.DrawGraph(false, false);
    EXPECT_FALSE(f.surface.HasBackgroundImage());
    EXPECT_EQ(f.surface.Pixel(100, 50), 0x000000) << "Task Manager's black";
}

TEST(DrawGraph, ARenderingStartsFromTheBackColourNotFromThePreviousOne) {
    // A half-transparent picture drawn again must not darken with every rendering.
    FakePictureLoader loader;
    loader.files["C:\\glass.ico"].picture = SolidPicture(10, 10, 0x80000000);
    ScopedLoader scoped(&loader);
    Fixture f;
    f.graph.SetBackgroundPicture("C:\\glass.ico");
    f.graph.DrawGraph(false, true);
    const int32_t once = f.surface.Pixel(5, 5);
    EXPECT_NE(once, kWhite);
    f.graph.DrawGraph(false, true);
    EXPECT_EQ(f.surface.Pixel(5, 5), once);
}

TEST(DrawGraph, NoSurfaceIsNoError) {
    cGraph g;
    g.AddData(1, 2);
    g.DrawGraph(true, true);
    RecordingSurface s;
    g.SetPicture(&s);
    g.SetPicture(nullptr);
    g.DrawGraph(true, true);
    EXPECT_TRUE(s.calls.empty());
}
