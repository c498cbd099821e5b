#include "support/RasterSurface.h"
#include "base/Convert.h"
#include "graph/GraphTestUtil.h"
#include "graph/mTilePicture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <limits>
#include <set>
#include <utility>

namespace {
using Pixels = std::set<std::pair<int, int>>;

// The pixels of `colour`, and the surface cleared to white for the next drawing in black.
Pixels Take(RasterSurface& s, int32_t colour = 0) {
    Pixels p;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (s.Pixel(x, y) == colour)
                p.insert({x, y});
    s.SetBackColor(0xFFFFFF);
    s.Clear();
    s.SetPenColor(0);
    return p;
}

Pixels Column(int x, int fromY, int toY) {
    Pixels p;
    for (int y = fromY; y <= toY; ++y)
        p.insert({x, y});
    return p;
}
} // namespace

TEST(RasterSurface, LinesRoundTheirEndsLeaveOutTheLastPixelAndClipFarOutside) {
    RasterSurface s(20, 20);
    Take(s);
    s.Line(2, 5, 8, 5);
    EXPECT_EQ(Take(s), (Pixels{{2, 5}, {3, 5}, {4, 5}, {5, 5}, {6, 5}, {7, 5}}));
    s.Line(8, 5, 5, 5);
    EXPECT_EQ(Take(s), (Pixels{{8, 5}, {7, 5}, {6, 5}}));
    s.Line(4, 9, 4, 6);
    EXPECT_EQ(Take(s), Column(4, 7, 9));
    s.Line(4, 4, 4, 4);
    EXPECT_TRUE(Take(s).empty());
    s.Line(2.5f, 1.4f, 3.5f, 1.4f); // 2.5 -> 2, 3.5 -> 4
    EXPECT_EQ(Take(s), (Pixels{{2, 1}, {3, 1}}));
    s.Line(5, 10, 5, -1e12f); // a value millions of times the scale
    EXPECT_EQ(Take(s), Column(5, 0, 10));
    s.Line(6, 10, 5, -3e9f); // a one-column step to far above: every visible row is the start column's
    EXPECT_EQ(Take(s), Column(6, 0, 10));
    s.Line(-2e8f, -1e8f, 10, 10); // pulled in to (-2^26, -2^25) first: its direction is kept
    const Pixels far = Take(s);
    s.Line(0, 5, 10, 10);
    EXPECT_EQ(far, Take(s));
    s.SetPixel(3.5f, 2.5f);
    EXPECT_EQ(Take(s), (Pixels{{4, 2}}));
    s.Line(1e30f, 1e30f, 2e30f, 2e30f);
    s.Line(0, 0, std::numeric_limits<float>::quiet_NaN(), 5);
    s.SetPixel(std::numeric_limits<float>::infinity(), 1);
    EXPECT_TRUE(Take(s).empty());
}

// A dash is on for its first 18 steps, where it is drawn step by step: a steep solid line no longer
// than that, drawn as runs down its columns, must cover the same pixels, in every direction, one column
// to the side (as joined samples are) or several, and clipped.
TEST(RasterSurface, SteepSolidLinesCoverWhatTheStepwiseDashCovers) {
    RasterSurface s(20, 20);
    const float lines[][4] = {{2, 1, 6, 17},  {6, 1, 2, 17}, {2, 17, 6, 1}, {6, 17, 3, 1},
                              {3, -5, 8, 12}, {2, 1, 3, 15}, {3, 2, 2, 17}, {5, 16, 4, 2}};
    for (const auto& l : lines) {
        Take(s);
        s.Line(l[0], l[1], l[2], l[3]);
        const Pixels solid = Take(s);
        s.SetPenStyle(PenStyle::Dash);
        s.Line(l[0], l[1], l[2], l[3]);
        s.SetPenStyle(PenStyle::Solid);
        EXPECT_GE(solid.size(), 12u);
        EXPECT_EQ(Take(s), solid) << l[0] << "," << l[1] << " to " << l[2] << "," << l[3];
    }
}

TEST(TilePicture, CopiesCoverTheSurfaceFromTheCornerAndAStretchedOneCoversItAll) {
    // A white tile of 100 x 50 with a black top-left pixel, on a white surface.
    std::vector<uint32_t> white(100 * 50, 0xFFFFFFFF);
    white[0] = 0xFF000000;
    const GraphPicture tile(100, 50, white, PixelsToHimetric(100, 96), PixelsToHimetric(50, 96));
    RasterSurface t(250, 120);
    TilePicture(tile, t);
    EXPECT_EQ(
        Take(t),
        (Pixels{
            {0, 0}, {0, 50}, {0, 100}, {100, 0}, {100, 50}, {100, 100}, {200, 0}, {200, 50}, {200, 100}}));
    // Pictures without size draw nothing and end; a tile of one pixel covers a wide surface and ends.
    TilePicture(GraphPicture(0, 5, {}, 0, 132), t);
    TilePicture(GraphPicture(5, 0, {}, 132, 0), t);
    EXPECT_TRUE(Take(t).empty());
    t.Resize(40000, 1);
    TilePicture(*SolidPicture(1, 1, 0xFF000000), t);
    EXPECT_EQ(Take(t).size(), 40000u);
    // Stretched from its corner over the whole surface: only the corner pixel maps to the black one.
    t.Resize(150, 60);
    t.SetBackColor(0x808080);
    t.Clear();
    StretchPicture(tile, t);
    EXPECT_EQ(t.Pixel(149, 59), 0xFFFFFF) << "the far corner is covered";
    EXPECT_EQ(Take(t), (Pixels{{0, 0}}));
}

TEST(RoundToEven, GivesTheSharedRoundingsResultEverywhere) {
    for (double v : {0.5, 1.5, 2.5, -0.5, -2.5, 1e15 + 0.5, 3e15 + 1, -0.0, 1e300, -7e13 + 0.5,
                     4503599627370495.5, 0.49999999999999994, 123456.7, -98765.4})
        EXPECT_EQ(RoundToEven(v), RoundHalfEven(v)) << std::setprecision(17) << v;
    EXPECT_TRUE(std::isnan(RoundToEven(std::nan(""))));
}
