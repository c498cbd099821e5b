#include "meter/SnapArithmetic.h"

#include <gtest/gtest.h>

#include <limits>

namespace {
constexpr EdgeRect kWorkArea{0, 0, 1000, 660};

struct Pos {
    int32_t left, top;
};

// A fresh snapper (as at the meter's first drag) asked once about a window of 300 x 100.
Pos SnapOnce(int32_t left, int32_t top, int32_t width = 300, int32_t height = 100) {
    EdgeSnapper snap;
    snap.SetWorkArea(kWorkArea);
    snap.SetSticky(15);
    EXPECT_TRUE(snap.Moving(left, top, width, height));
    return {left, top};
}

// Plays a drag the way the system does it: each proposal is the last shown position plus the
// pointer's movement since then.
class Drag {
public:
    explicit Drag(EdgeSnapper& snap, int32_t left, int32_t top, int32_t width, int32_t height)
        : m_snap(snap), m_left(left), m_top(top), m_width(width), m_height(height) {}
    Pos By(int32_t dx, int32_t dy) {
        m_left += dx;
        m_top += dy;
        EXPECT_TRUE(m_snap.Moving(m_left, m_top, m_width, m_height));
        return {m_left, m_top};
    }

private:
    EdgeSnapper& m_snap;
    int32_t m_left, m_top, m_width, m_height;
};
} // namespace

TEST(EdgeSnapper, EachEdgeSnapsInsideTheBandWithBothEndsIncluded) {
    // Left edge at 0, band -15..15.
    EXPECT_EQ(SnapOnce(15, 300).left, 0);
    EXPECT_EQ(SnapOnce(-15, 300).left, 0);
    EXPECT_EQ(SnapOnce(7, 300).left, 0);
    EXPECT_EQ(SnapOnce(16, 300).left, 16);
    EXPECT_EQ(SnapOnce(-16, 300).left, -16);
    // Right edge at 1000: the window's right edge (left + 300) snaps, the width stays.
    EXPECT_EQ(SnapOnce(715, 300).left, 700);
    EXPECT_EQ(SnapOnce(685, 300).left, 700);
    EXPECT_EQ(SnapOnce(716, 300).left, 716);
    EXPECT_EQ(SnapOnce(684, 300).left, 684);
    // Top edge at 0.
    EXPECT_EQ(SnapOnce(400, 15).top, 0);
    EXPECT_EQ(SnapOnce(400, -15).top, 0);
    EXPECT_EQ(SnapOnce(400, 16).top, 16);
    EXPECT_EQ(SnapOnce(400, -16).top, -16);
    // Bottom edge at 660 (the top of a taskbar, not the screen's edge).
    EXPECT_EQ(SnapOnce(400, 575).top, 560);
    EXPECT_EQ(SnapOnce(400, 545).top, 560);
    EXPECT_EQ(SnapOnce(400, 576).top, 576);
    EXPECT_EQ(SnapOnce(400, 544).top, 544);
    // Away from every edge nothing moves; a corner snaps on both axes.
    Pos middle = SnapOnce(400, 300);
    EXPECT_EQ(middle.left, 400);
    EXPECT_EQ(middle.top, 300);
    Pos corner = SnapOnce(710, 570);
    EXPECT_EQ(corner.left, 700);
    EXPECT_EQ(corner.top, 560);
}

TEST(EdgeSnapper, WhenBothEdgesOfAnAxisAreInTheirBandsRightAndBottomWin) {
    // 995 wide in a 1000 wide work area: the left edge snaps to 0 first, then the right edge to 1000.
    Pos wide = SnapOnce(3, 300, 995, 100);
    EXPECT_EQ(wide.left, 5);
    Pos tall = SnapOnce(400, -4, 300, 650);
    EXPECT_EQ(tall.top, 10);
    // Exactly as wide as the work area: both edges on theirs.
    EXPECT_EQ(SnapOnce(12, 300, 1000, 100).left, 0);
}

TEST(EdgeSnapper, ASnappedEdgeHoldsWhileThePointerMovesOnThenJumpsToThePointer) {
    EdgeSnapper snap;
    snap.SetWorkArea(kWorkArea);
    snap.SetSticky(15);
    Drag drag(snap, 0, 0, 200, 100);
    EXPECT_EQ(drag.By(100, 300).left, 100); // a fresh snapper starts from the first position
    EXPECT_EQ(drag.By(-90, 0).left, 0);     // pointer's window edge at 10: snapped
    EXPECT_EQ(drag.By(-10, 0).left, 0);     // at 0
    EXPECT_EQ(drag.By(-10, 0).left, 0);     // at -10: still held
    EXPECT_EQ(drag.By(-10, 0).left, -20);   // at -20: out of the band, back under the pointer
    EXPECT_EQ(drag.By(25, 0).left, 0);      // at 5: in again
    EXPECT_EQ(drag.By(20, 0).left, 25);     // at 25: out on the other side

    // The same on the bottom edge, which holds at 560 while the top is nowhere near its edge.
    EXPECT_EQ(drag.By(0, 250).top, 560); // at 550
    EXPECT_EQ(drag.By(0, 20).top, 560);  // at 570
    EXPECT_EQ(drag.By(0, 6).top, 576);   // at 576
    EXPECT_EQ(drag.By(0, -40).top, 536); // at 536
}

TEST(EdgeSnapper, TheFollowedPositionCarriesOverToTheNextDrag) {
    EdgeSnapper snap;
    snap.SetWorkArea(kWorkArea);
    snap.SetSticky(15);
    {
        Drag first(snap, 0, 0, 200, 100);
        EXPECT_EQ(first.By(100, 300).left, 100);
        EXPECT_EQ(first.By(-90, 0).left, 0); // ends snapped while the pointer's edge is at 10
    }
    // The next drag starts where the window was shown; 10 further right the pointer's edge is at 20,
    // out of the band, although the shown position moved only to 10.
    Drag second(snap, 0, 300, 200, 100);
    EXPECT_EQ(second.By(10, 0).left, 20);

    // A new work area at the next drag start changes the edges, not the memory.
    snap.SetWorkArea({100, 0, 1000, 660});
    Drag third(snap, 20, 300, 200, 100);
    EXPECT_EQ(third.By(70, 0).left, 100); // at 90, within 15 of the new left edge
}

TEST(EdgeSnapper, AZeroDistanceSnapsOnlyOnTheEdgeAndANegativeOneNever) {
    EdgeSnapper zero;
    zero.SetWorkArea(kWorkArea);
    zero.SetSticky(0);
    int32_t left = 1, top = 0;
    ASSERT_TRUE(zero.Moving(left, top, 300, 100));
    EXPECT_EQ(left, 1);
    EXPECT_EQ(top, 0);
    EdgeSnapper negative;
    negative.SetWorkArea(kWorkArea);
    negative.SetSticky(-5);
    left = 3;
    top = 558;
    ASSERT_TRUE(negative.Moving(left, top, 300, 100));
    EXPECT_EQ(left, 3);
    EXPECT_EQ(top, 558);
}

TEST(EdgeSnapper, AResultBeyondA32BitCoordinateLeavesPositionAndMemoryAlone) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    EdgeSnapper snap;
    snap.SetWorkArea({1000000000, 0, 0, 1000});
    snap.SetSticky(kMax);
    // Left snaps to 1e9; the wrapped width puts the right edge into its band, and right - width
    // would be 2^31.
    int32_t left = 10, top = 5;
    EXPECT_FALSE(snap.Moving(left, top, kMin, 10));
    EXPECT_EQ(left, 10);
    EXPECT_EQ(top, 5);
    // Untouched memory: a harmless step behaves as on a fresh snapper.
    snap.SetWorkArea(kWorkArea);
    snap.SetSticky(15);
    left = 400;
    top = 300;
    EXPECT_TRUE(snap.Moving(left, top, 300, 100));
    EXPECT_EQ(left, 400);
    EXPECT_EQ(top, 300);
    // Coordinates at the ends of the range work without overflow.
    left = kMax;
    top = kMin;
    EXPECT_TRUE(snap.Moving(left, top, kMax, kMax));
    EXPECT_EQ(left, kMax);
    EXPECT_EQ(top, kMin);
}

TEST(RectConversion, PositionAndSizeRoundTripForAnyRectangle) {
    const PlaceRect p = ToPlace({10, 20, 310, 120});
    EXPECT_EQ(p.Left, 10);
    EXPECT_EQ(p.Top, 20);
    EXPECT_EQ(p.Width, 300);
    EXPECT_EQ(p.Height, 100);
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    for (const EdgeRect r :
         {EdgeRect{kMin, kMin, kMax, kMax}, EdgeRect{kMax, 0, kMin, -1}, EdgeRect{5, 5, -5, -5}}) {
        const EdgeRect back = ToEdges(ToPlace(r));
        EXPECT_EQ(back.Left, r.Left);
        EXPECT_EQ(back.Top, r.Top);
        EXPECT_EQ(back.Right, r.Right);
        EXPECT_EQ(back.Bottom, r.Bottom);
    }
    EXPECT_EQ(ToPlace({5, 5, -5, -5}).Width, -10);
}
