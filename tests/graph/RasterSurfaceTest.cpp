#include "graph/RasterSurface.h"
#include "app/Convert.h"
#include "graph/GraphTestUtil.h"
#include "graph/mTilePicture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iomanip>
#include <random>
#include <set>
#include <utility>

namespace {
using Pixels = std::set<std::pair<int, int>>;

Pixels Drawn(const RasterSurface& s, int32_t colour = 0) {
    Pixels p;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (s.Pixel(x, y) == colour)
                p.insert({x, y});
    return p;
}

RasterSurface Blank(int w, int h) {
    RasterSurface s(w, h);
    s.SetBackColor(0xFFFFFF);
    s.Clear();
    s.SetPenColor(0);
    return s;
}
} // namespace

TEST(RasterSurface, LinesLeaveOutTheirEndPixelInEveryDirection) {
    RasterSurface s = Blank(20, 20);
    s.Line(2, 5, 8, 5);
    EXPECT_EQ(Drawn(s), (Pixels{{2, 5}, {3, 5}, {4, 5}, {5, 5}, {6, 5}, {7, 5}}));
    s.Clear();
    s.Line(8, 5, 2, 5);
    EXPECT_EQ(Drawn(s), (Pixels{{8, 5}, {7, 5}, {6, 5}, {5, 5}, {4, 5}, {3, 5}}));
    s.Clear();
    s.Line(4, 9, 4, 6);
    EXPECT_EQ(Drawn(s), (Pixels{{4, 9}, {4, 8}, {4, 7}}));
    s.Clear();
    s.Line(4, 4, 4, 4);
    EXPECT_TRUE(Drawn(s).empty());
    // Coordinates round to nearest with ties to even: 2.5 -> 2, 3.5 -> 4.
    s.Clear();
    s.Line(2.5f, 1.4f, 3.5f, 1.4f);
    EXPECT_EQ(Drawn(s), (Pixels{{2, 1}, {3, 1}}));
}

TEST(RasterSurface, LinesReachingFarOutsideAreClippedWithoutChangingWhatShows) {
    RasterSurface s = Blank(20, 20);
    s.Line(5, 10, 5, -1e12f); // a value millions of times the scale
    Pixels column;
    for (int y = 0; y <= 10; ++y)
        column.insert({5, y});
    EXPECT_EQ(Drawn(s), column);
    // A one-column step to far above: the visible rows all belong to the start column.
    s.Clear();
    s.Line(6, 10, 5, -3e9f);
    Pixels start;
    for (int y = 0; y <= 10; ++y)
        start.insert({6, y});
    EXPECT_EQ(Drawn(s), start);
    s.Clear();
    s.Line(1e30f, 1e30f, 2e30f, 2e30f);
    s.Line(0, 0, std::numeric_limits<float>::quiet_NaN(), 5);
    s.SetPixel(std::numeric_limits<float>::infinity(), 1);
    EXPECT_TRUE(Drawn(s).empty());
}

TEST(RasterSurface, DashAndDotPatternsStartAtTheLineStart) {
    RasterSurface s = Blank(60, 4);
    s.SetPenStyle(PenStyle::Dash);
    s.Line(0, 1, 60, 1);
    s.SetPenStyle(PenStyle::Dot);
    s.Line(59, 2, -1, 2); // leftwards: the pattern runs from the right end
    for (int x = 0; x < 60; ++x) {
        EXPECT_EQ(s.Pixel(x, 1) == 0, x % 24 < 18) << x;
        EXPECT_EQ(s.Pixel(x, 2) == 0, (59 - x) % 6 < 3) << x;
    }
}

TEST(RasterSurface, ClearRestoresThePersistentImageOverTheBackColour) {
    RasterSurface s = Blank(10, 10);
    s.SetPenColor(0x0000FF);
    s.Line(0, 0, 10, 0);
    s.SnapshotAsBackgroundImage();
    s.SetPenColor(0x00FF00);
    s.Line(0, 5, 10, 5);
    s.Clear();
    EXPECT_EQ(s.Pixel(3, 0), 0x0000FF) << "the persistent image";
    EXPECT_EQ(s.Pixel(3, 5), 0xFFFFFF) << "the drawing layer is gone";
    s.Resize(20, 12);
    EXPECT_EQ(s.Pixel(3, 0), 0x0000FF);
    s.SetBackColor(0x111111);
    s.Clear();
    EXPECT_EQ(s.Pixel(15, 0), 0x111111) << "outside the image the back colour shows";
    EXPECT_EQ(s.Pixel(3, 3), 0xFFFFFF) << "inside it the image as it was";
    s.RemoveBackgroundImage();
    EXPECT_EQ(s.Pixel(3, 0), 0x111111);
    EXPECT_FALSE(s.HasBackgroundImage());
}

TEST(RasterSurface, PicturesDrawAtNaturalSizeClippedStretchedAndBlended) {
    std::vector<uint32_t> px = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0x00000000}; // 2 x 2, last transparent
    const GraphPicture p(2, 2, px, PixelsToHimetric(2, 96), PixelsToHimetric(2, 96));
    RasterSurface s = Blank(5, 5);
    s.DrawPicture(p, 4, 4); // only its top-left pixel is inside
    EXPECT_EQ(s.Pixel(4, 4), 0x0000FF);
    s.DrawPicture(p, 0, 0);
    EXPECT_EQ(s.Pixel(1, 0), 0x00FF00);
    EXPECT_EQ(s.Pixel(0, 1), 0xFF0000);
    EXPECT_EQ(s.Pixel(1, 1), 0xFFFFFF) << "transparent";
    s.Clear();
    s.DrawPicture(p, 0, 0, 4, 4, 0, 0, 2, 2);
    EXPECT_EQ(s.Pixel(1, 1), 0x0000FF);
    EXPECT_EQ(s.Pixel(2, 1), 0x00FF00);
    EXPECT_EQ(s.Pixel(1, 3), 0xFF0000);
    EXPECT_EQ(s.Pixel(3, 3), 0xFFFFFF);
    EXPECT_EQ(s.Pixel(4, 4), 0xFFFFFF);

    // Half-transparent black over white.
    const GraphPicture glass(1, 1, {0x80000000}, 26, 26);
    s.Clear();
    s.DrawPicture(glass, 0, 0);
    EXPECT_EQ(s.Pixel(0, 0), 0x7F7F7F);

    // A natural size that differs from the pixel count (a picture made at another resolution).
    const GraphPicture big(2, 2, px, PixelsToHimetric(4, 96), PixelsToHimetric(4, 96));
    s.Clear();
    s.DrawPicture(big, 0, 0);
    EXPECT_EQ(s.Pixel(3, 0), 0x00FF00);
}

TEST(TilePicture, CopiesCoverTheSurfaceColumnByColumn) {
    const auto p = SolidPicture(100, 50, 0xFF000000);
    RecordingSurface s;
    s.width = 250;
    s.height = 120;
    TilePicture(*p, s);
    EXPECT_EQ(s.calls, (std::vector<std::string>{"picture 0,0", "picture 0,50", "picture 0,100",
                                                 "picture 100,0", "picture 100,50", "picture 100,100",
                                                 "picture 200,0", "picture 200,50", "picture 200,100"}));
    // An exact multiple adds a row and a column that lie wholly outside.
    s.calls.clear();
    s.width = 200;
    s.height = 100;
    TilePicture(*p, s);
    EXPECT_EQ(s.calls.size(), 9u);
    EXPECT_EQ(s.calls.back(), "picture 200,100");
}

TEST(TilePicture, PicturesWithoutSizeDrawNothingAndNeverLoop) {
    RecordingSurface s;
    TilePicture(GraphPicture(0, 0, {}, 0, 0), s);
    TilePicture(GraphPicture(0, 5, {}, 0, 132), s);
    TilePicture(GraphPicture(5, 0, {}, 132, 0), s);
    EXPECT_TRUE(s.calls.empty());
    // A tile of one pixel over a large surface ends, and the counters do not wrap.
    s.width = 40000;
    s.height = 1;
    TilePicture(*SolidPicture(1, 1, 0xFF000000), s);
    EXPECT_EQ(s.calls.size(), 80002u);
}

TEST(StretchPicture, TheWholePictureCoversTheWholeSurface) {
    const auto clouds = SolidPicture(602, 425, 0xFFFFFFFF);
    RecordingSurface s;
    s.width = 150;
    s.height = 60;
    StretchPicture(*clouds, s);
    EXPECT_EQ(s.calls, std::vector<std::string>{"stretch 0,0,150,60 from 0,0,602,425"});
    RasterSurface r = Blank(150, 60);
    StretchPicture(*SolidPicture(602, 425, 0xFF445566), r);
    EXPECT_EQ(Drawn(r, 0x445566).size(), 150u * 60u);
}

TEST(RoundToEven, GivesTheSharedRoundingsResultEverywhere) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> any(-1e7, 1e7);
    std::vector<double> values = {0.5,
                                  1.5,
                                  2.5,
                                  -0.5,
                                  -2.5,
                                  1e15 + 0.5,
                                  3e15 + 1,
                                  -0.0,
                                  1e300,
                                  -7e13 + 0.5,
                                  4503599627370495.5,
                                  0.49999999999999994};
    for (int i = 0; i < 100000; ++i)
        values.push_back(i % 3 ? any(random) : std::floor(any(random)) + 0.5);
    for (double v : values)
        ASSERT_EQ(RoundToEven(v), RoundHalfEven(v)) << std::setprecision(17) << v;
    EXPECT_TRUE(std::isnan(RoundToEven(std::nan(""))));
}
