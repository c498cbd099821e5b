#include "meter/SnapArithmetic.h"

#include <gtest/gtest.h>

#include <limits>

namespace {
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

EdgeSnapper Snapper(EdgeRect area = {0, 0, 1000, 660}, int32_t sticky = 15) {
    EdgeSnapper snap;
    snap.SetWorkArea(area);
    snap.SetSticky(sticky);
    return snap;
}

// Plays a drag as the system does: each proposal is the last shown position plus the pointer's move.
struct Drag {
    EdgeSnapper& snap;
    int32_t left, top, width = 200, height = 100;
    Drag& By(int32_t dx, int32_t dy) {
        left += dx;
        top += dy;
        EXPECT_TRUE(snap.Moving(left, top, width, height));
        return *this;
    }
};
} // namespace

TEST(EdgeSnapper, EachEdgeSnapsInsideTheBandWithBothEndsIncluded) {
    // A fresh snapper takes its first proposal as it is; a window of 300 x 100, work area 1000 x 660.
    struct Case {
        int32_t left, top, wantLeft, wantTop;
    } cases[] = {
        {15, 300, 0, 300},    {-15, 300, 0, 300},   {16, 300, 16, 300},   {-16, 300, -16, 300}, // left
        {715, 300, 700, 300}, {685, 300, 700, 300}, {716, 300, 716, 300}, {684, 300, 684, 300}, // right
        {400, 15, 400, 0},    {400, -15, 400, 0},   {400, 16, 400, 16},   {400, -16, 400, -16}, // top
        {400, 575, 400, 560}, {400, 545, 400, 560}, {400, 576, 400, 576}, {400, 544, 400, 544}, // bottom
        {710, 570, 700, 560}, // a corner snaps on both axes
    };
    for (const Case& c : cases) {
        EdgeSnapper snap = Snapper();
        int32_t left = c.left, top = c.top;
        ASSERT_TRUE(snap.Moving(left, top, 300, 100));
        EXPECT_EQ(left, c.wantLeft) << c.left << "," << c.top;
        EXPECT_EQ(top, c.wantTop) << c.left << "," << c.top;
    }
    // A negative distance makes the band empty.
    EdgeSnapper never = Snapper({0, 0, 1000, 660}, -5);
    int32_t left = 3, top = 558;
    ASSERT_TRUE(never.Moving(left, top, 300, 100));
    EXPECT_EQ(left, 3);
    EXPECT_EQ(top, 558);
}

TEST(EdgeSnapper, WhenBothEdgesOfAnAxisAreInTheirBandsRightAndBottomWin) {
    EdgeSnapper snap = Snapper();
    int32_t left = 3, top = -4;
    ASSERT_TRUE(snap.Moving(left, top, 995, 650)); // the left edge snaps to 0 first, then the right
    EXPECT_EQ(left, 5);
    EXPECT_EQ(top, 10);
}

TEST(EdgeSnapper, ASnappedEdgeHoldsWhileThePointerMovesOnThenJumpsToThePointer) {
    EdgeSnapper snap = Snapper();
    Drag drag{snap, 100, 300};
    EXPECT_EQ(drag.By(0, 0).left, 100);
    EXPECT_EQ(drag.By(-90, 0).left, 0);   // the pointer's edge at 10: snapped
    EXPECT_EQ(drag.By(-20, 0).left, 0);   // at -10: held
    EXPECT_EQ(drag.By(-10, 0).left, -20); // at -20: out of the band, back under the pointer
    EXPECT_EQ(drag.By(25, 0).left, 0);    // at 5: in again
    EXPECT_EQ(drag.By(20, 0).left, 25);   // at 25: out on the other side
    // The bottom edge holds at 660 - 100 while the pointer's bottom goes 650, 670, 676.
    EXPECT_EQ(drag.By(0, 250).top, 560);
    EXPECT_EQ(drag.By(0, 20).top, 560);
    EXPECT_EQ(drag.By(0, 6).top, 576);
}

TEST(EdgeSnapper, TheFollowedPositionCarriesOverToTheNextDrag) {
    EdgeSnapper snap = Snapper();
    Drag first{snap, 100, 300};
    EXPECT_EQ(first.By(0, 0).By(-90, 0).left, 0); // ends snapped while the pointer's edge is at 10
    // The next drag starts from the shown 0; 10 further the pointer's edge is at 20, out of the band.
    Drag second{snap, 0, 300};
    EXPECT_EQ(second.By(10, 0).left, 20);
    // A new work area read at the next start moves the edges, not the memory.
    snap.SetWorkArea({100, 0, 1000, 660});
    Drag third{snap, 20, 300};
    EXPECT_EQ(third.By(70, 0).left, 100);
}

TEST(EdgeSnapper, AResultBeyondA32BitCoordinateLeavesPositionAndMemoryAlone) {
    // Left snaps to 1e9; the wrapped width puts the right edge in its band, and right - width is 2^31.
    EdgeSnapper snap = Snapper({1000000000, 0, 0, 1000}, kMax);
    int32_t left = 10, top = 5;
    EXPECT_FALSE(snap.Moving(left, top, kMin, 10));
    EXPECT_EQ(left, 10);
    EXPECT_EQ(top, 5);
    // The memory is untouched: the next step behaves as on a fresh snapper, even at the range's ends.
    snap.SetWorkArea({0, 0, 1000, 660});
    snap.SetSticky(15);
    left = kMax;
    top = kMin;
    EXPECT_TRUE(snap.Moving(left, top, kMax, kMax));
    EXPECT_EQ(left, kMax);
    EXPECT_EQ(top, kMin);
}

TEST(RectConversion, PositionAndSizeRoundTripForAnyRectangle) {
    const PlaceRect p = ToPlace({10, 20, 310, 120});
    EXPECT_EQ(p.Width, 300);
    EXPECT_EQ(p.Height, 100);
    for (const EdgeRect r : {EdgeRect{kMin, kMin, kMax, kMax}, EdgeRect{kMax, 0, kMin, -1}}) {
        const EdgeRect back = ToEdges(ToPlace(r));
        EXPECT_EQ(back.Right, r.Right);
        EXPECT_EQ(back.Bottom, r.Bottom);
    }
}
