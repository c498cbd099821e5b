#include "graph/SurfacePixels.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
using Pixels = std::vector<uint32_t>;

TEST(SurfacePixels, ChannelsSwapAndBlendEachByItsOwnCoverageRoundedToNearest) {
    EXPECT_EQ(SwapRedBlue(0x00112233u), 0x00332211u);
    EXPECT_EQ(BlendChannels(0x000000, 0xFFFFFF, 0x808080), 0x808080u) << "half of white on black";
    EXPECT_EQ(BlendChannels(0x102030, 0xA0B0C0, 0x0000FF), 0x1020C0u) << "blue covered, the others not";
    EXPECT_EQ(BlendChannels(0x000000, 0x000001, 0x000080), 0x000001u) << "1 * 128 / 255 is 0.502";
    EXPECT_EQ(BlendChannels(0xFF000000, 0x000000, 0x000000), 0u) << "the target's top byte is dropped";
}

TEST(CoverageOfCell, CropsToTheDrawnPixelsAndKeepsTheirColourChannels) {
    // A 4 x 3 cell: full coverage at (1, 1), some blue at (2, 2), and a top byte alone at (3, 0).
    const Pixels cell = {0, 0, 0, 0xFF000000, 0, 0xFFFFFF, 0, 0, 0, 0, 0x000080, 0};
    const GlyphCoverage glyph = CoverageOfCell(cell.data(), 4, 3);
    EXPECT_EQ(glyph.Left, 1);
    EXPECT_EQ(glyph.Top, 1);
    EXPECT_EQ(glyph.Width, 2);
    EXPECT_EQ(glyph.Height, 2);
    EXPECT_EQ(glyph.Coverage, (Pixels{0xFFFFFF, 0, 0, 0x000080}));
    const Pixels empty(6, 0xFF000000);
    EXPECT_EQ(CoverageOfCell(empty.data(), 3, 2).Width, 0);
}

TEST(DrawCoverage, SetsFullCoverageBlendsPartialAndLeavesOutWhatLiesOffTheSurface) {
    const GlyphCoverage strip{0, 0, 3, 1, {0xFFFFFF, 0x808080, 0}};
    Pixels surface(3, 0xFF000000);
    DrawCoverage(surface.data(), 3, 1, 0, 0, strip, 0x00FFFFFF);
    EXPECT_EQ(surface, (Pixels{0x00FFFFFF, 0x808080, 0xFF000000}));
    // Exactly as large as the surface: a write outside it is caught by the address sanitizer.
    Pixels right(6, 0);
    DrawCoverage(right.data(), 3, 2, 2, 1, {0, 0, 2, 1, {0xFFFFFF, 0xFFFFFF}}, 0x123456);
    EXPECT_EQ(right, (Pixels{0, 0, 0, 0, 0, 0x123456})) << "right of and below the surface";
    // Three wide and two high; only its lower right two pixels land on the surface.
    Pixels left(4, 0);
    const GlyphCoverage glyph{0, 0, 3, 2, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0x0000FF}};
    DrawCoverage(left.data(), 2, 2, -1, -1, glyph, 0x123456);
    EXPECT_EQ(left, (Pixels{0x123456, 0x000056, 0, 0})) << "left of and above the surface";
}

TEST(CopyOverlap, FillsTheSharedCornerOfSourceAndTarget) {
    const Pixels source = {1, 2, 3, 4, 5, 6};
    Pixels narrower(6, 9), wider(6, 9);
    CopyOverlap(narrower.data(), 2, 3, source.data(), 3, 2);
    EXPECT_EQ(narrower, (Pixels{1, 2, 4, 5, 9, 9})) << "3 x 2 into 2 x 3";
    CopyOverlap(wider.data(), 3, 2, source.data(), 2, 3);
    EXPECT_EQ(wider, (Pixels{1, 2, 9, 3, 4, 9})) << "2 x 3 into 3 x 2";
}

TEST(PictureToPremultipliedBgra, ReordersTheBytesAndPremultipliesOnlyWhereThePictureHasTransparency) {
    const auto convert = [](uint32_t source, bool alpha) {
        uint32_t target = 0;
        PictureToPremultipliedBgra(&source, 1, alpha, &target);
        return target;
    };
    // Alpha 80, blue FF, green 40, red 20: 0x20 * 128 / 255 = 16.06, 0x40 -> 32.13, 0xFF -> 128.
    EXPECT_EQ(convert(0x80FF4020, false), 0x802040FFu);
    EXPECT_EQ(convert(0x80FF4020, true), 0x80102080u);
    EXPECT_EQ(convert(0xC0000001, true), 0xC0010000u) << "red 1 at alpha 0xC0 is 0.75: rounded to nearest";
}
} // namespace
