#include "graph/SurfacePixels.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
TEST(SwapRedBlue, ExchangesTheOuterColourBytes) {
    EXPECT_EQ(SwapRedBlue(0x00112233u), 0x00332211u);
}

TEST(BlendChannels, HalfCoverageOfWhiteOnBlackIsMidGrey) {
    EXPECT_EQ(BlendChannels(0x000000, 0xFFFFFF, 0x808080), 0x808080u);
}

TEST(BlendChannels, EachChannelFollowsItsOwnCoverage) {
    // Blue fully covered, green and red not at all.
    EXPECT_EQ(BlendChannels(0x102030, 0xA0B0C0, 0x0000FF), 0x1020C0u);
}

TEST(BlendChannels, RoundsToNearest) {
    // 1 * 128 / 255 is 0.502.
    EXPECT_EQ(BlendChannels(0x000000, 0x000001, 0x000080), 0x000001u);
}

TEST(BlendChannels, DropsTheTargetsTopByte) {
    EXPECT_EQ(BlendChannels(0xFF000000, 0x000000, 0x000000), 0u);
}

// A 4 x 3 cell: full coverage at (1, 1), some blue at (2, 2), and a top byte alone at (3, 0).
const std::vector<uint32_t> kCell = {0, 0, 0, 0xFF000000, 0, 0xFFFFFF, 0, 0, 0, 0, 0x000080, 0};

TEST(CoverageOfCell, CropsToTheDrawnPixels) {
    const GlyphCoverage glyph = CoverageOfCell(kCell.data(), 4, 3);
    EXPECT_EQ(glyph.Left, 1);
    EXPECT_EQ(glyph.Top, 1);
    EXPECT_EQ(glyph.Width, 2);
    EXPECT_EQ(glyph.Height, 2);
}

TEST(CoverageOfCell, KeepsTheColourChannelsOfTheCrop) {
    const GlyphCoverage glyph = CoverageOfCell(kCell.data(), 4, 3);
    EXPECT_EQ(glyph.Coverage, (std::vector<uint32_t>{0xFFFFFF, 0, 0, 0x000080}));
}

TEST(CoverageOfCell, AnEmptyCellHasNoWidth) {
    const std::vector<uint32_t> cell(6, 0xFF000000);
    EXPECT_EQ(CoverageOfCell(cell.data(), 3, 2).Width, 0);
}

GlyphCoverage Strip(std::vector<uint32_t> coverage) {
    GlyphCoverage glyph;
    glyph.Width = static_cast<int>(coverage.size());
    glyph.Height = 1;
    glyph.Coverage = std::move(coverage);
    return glyph;
}

TEST(DrawCoverage, FullCoverageSetsTheColourAndPartialBlends) {
    std::vector<uint32_t> surface(3, 0xFF000000);
    DrawCoverage(surface.data(), 3, 1, 0, 0, Strip({0xFFFFFF, 0x808080, 0}), 0x00FFFFFF);
    EXPECT_EQ(surface, (std::vector<uint32_t>{0x00FFFFFF, 0x808080, 0xFF000000}));
}

TEST(DrawCoverage, LeavesOutWhatLiesRightOfOrBelowTheSurface) {
    // Exactly as large as the surface: a write outside it is caught by the address sanitizer.
    std::vector<uint32_t> surface(6, 0);
    DrawCoverage(surface.data(), 3, 2, 2, 1, Strip({0xFFFFFF, 0xFFFFFF}), 0x123456);
    EXPECT_EQ(surface, (std::vector<uint32_t>{0, 0, 0, 0, 0, 0x123456}));
}

TEST(DrawCoverage, LeavesOutWhatLiesLeftOfOrAboveTheSurface) {
    std::vector<uint32_t> surface(4, 0);
    // Three wide and two high; only its lower right two pixels land on the surface.
    const GlyphCoverage glyph{0, 0, 3, 2, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0x0000FF}};
    DrawCoverage(surface.data(), 2, 2, -1, -1, glyph, 0x123456);
    EXPECT_EQ(surface, (std::vector<uint32_t>{0x123456, 0x000056, 0, 0}));
}

TEST(CopyOverlap, AWiderShorterSourceFillsTheTopRowsOfANarrowerTarget) {
    const std::vector<uint32_t> source = {1, 2, 3, 4, 5, 6}; // 3 x 2
    std::vector<uint32_t> target(6, 9);                      // 2 x 3
    CopyOverlap(target.data(), 2, 3, source.data(), 3, 2);
    EXPECT_EQ(target, (std::vector<uint32_t>{1, 2, 4, 5, 9, 9}));
}

TEST(CopyOverlap, ANarrowerTallerSourceFillsTheLeftColumnsOfAWiderTarget) {
    const std::vector<uint32_t> source = {1, 2, 3, 4, 5, 6}; // 2 x 3
    std::vector<uint32_t> target(6, 9);                      // 3 x 2
    CopyOverlap(target.data(), 3, 2, source.data(), 2, 3);
    EXPECT_EQ(target, (std::vector<uint32_t>{1, 2, 9, 3, 4, 9}));
}

TEST(PictureToPremultipliedBgra, WithoutTransparencyOnlyReordersTheBytes) {
    const uint32_t source = 0x80FF4020; // alpha 80, blue FF, green 40, red 20
    uint32_t target = 0;
    PictureToPremultipliedBgra(&source, 1, false, &target);
    EXPECT_EQ(target, 0x802040FFu);
}

TEST(PictureToPremultipliedBgra, PremultipliesWhereThePictureHasTransparency) {
    // 0x20 * 128 / 255 = 16.06, 0x40 * 128 / 255 = 32.13, 0xFF * 128 / 255 = 128.
    const uint32_t source = 0x80FF4020;
    uint32_t target = 0;
    PictureToPremultipliedBgra(&source, 1, true, &target);
    EXPECT_EQ(target, 0x80102080u);
}

TEST(PictureToPremultipliedBgra, RoundsTheProductToNearest) {
    // Red 1 at alpha 0xC0: 192 / 255 = 0.75.
    const uint32_t source = 0xC0000001;
    uint32_t target = 0;
    PictureToPremultipliedBgra(&source, 1, true, &target);
    EXPECT_EQ(target, 0xC0010000u);
}
} // namespace
