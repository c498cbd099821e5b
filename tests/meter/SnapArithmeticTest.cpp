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

// One step of a drag of a 200 x 100 window, as the system proposes it: the last shown place plus the
// pointer's move. Returns the place shown.
struct Pos {
    int32_t x, y;
};
Pos Step(EdgeSnapper& snap, Pos& at, int32_t dx, int32_t dy) {
    int32_t left = at.x + dx, top = at.y + dy;
    EXPECT_TRUE(snap.Moving(left, top, 200, 100));
    return at = {left, top};
}
} // namespace

TEST(EdgeSnapper, EachEdgeSnapsInsideItsInclusiveBandAndRightAndBottomWinATie) {
    // A fresh snapper takes its first proposal as it is; a window of 300 x 100, work area 1000 x 660.
    // Both axes share one rule: the vertical one shows only in corners here and in the drag below.
    const int32_t cases[][4] = {
        {15, 300, 0, 300},    {-15, 300, 0, 300},   {16, 300, 16, 300},   {-16, 300, -16, 300}, // left
        {715, 300, 700, 300}, {685, 300, 700, 300}, {716, 300, 716, 300}, {684, 300, 684, 300}, // right
        {710, 570, 700, 560}, {-5, -14, 0, 0}, // corners snap on both axes
    };
    for (const auto& c : cases) {
        EdgeSnapper snap = Snapper();
        int32_t left = c[0], top = c[1];
        ASSERT_TRUE(snap.Moving(left, top, 300, 100));
        EXPECT_TRUE(left == c[2]) << c[0] << "," << c[1] << " gave " << left << "," << top;
        EXPECT_TRUE(top == c[3]) << c[0] << "," << c[1] << " gave " << left << "," << top;
    }
    // Both edges of an axis in their bands: the left edge snaps to 0 first, then the right wins.
    EdgeSnapper snap = Snapper();
    int32_t left = 3, top = -4;
    ASSERT_TRUE(snap.Moving(left, top, 995, 650));
    EXPECT_TRUE(left == 5);
    EXPECT_TRUE(top == 10);
}

TEST(EdgeSnapper, ASnappedEdgeHoldsUntilThePointerLeavesTheBandAlsoIntoTheNextDrag) {
    EdgeSnapper snap = Snapper();
    Pos at{100, 300};
    EXPECT_EQ(Step(snap, at, 0, 0).x, 100);
    EXPECT_EQ(Step(snap, at, -90, 0).x, 0);   // the pointer's edge at 10: snapped
    EXPECT_EQ(Step(snap, at, -20, 0).x, 0);   // at -10: held
    EXPECT_EQ(Step(snap, at, -10, 0).x, -20); // at -20: out of the band, back under the pointer
    EXPECT_EQ(Step(snap, at, 25, 0).x, 0);    // at 5: in again
    EXPECT_EQ(Step(snap, at, 20, 0).x, 25);   // at 25: out on the other side
    EXPECT_EQ(Step(snap, at, 0, 250).y, 560); // the bottom edge at 650, 670, 676
    EXPECT_EQ(Step(snap, at, 0, 20).y, 560);
    EXPECT_EQ(Step(snap, at, 0, 6).y, 576);
    // A drag that ends snapped with the pointer's edge at 10: the next one goes on from there, and a
    // new work area moves the edges, not the memory.
    at = {100, 300};
    EXPECT_EQ(Step(snap, at, -90, 0).x, 0);
    EXPECT_EQ(Step(snap, at, 10, 0).x, 20);
    snap.SetWorkArea({100, 0, 1000, 660});
    EXPECT_EQ(Step(snap, at, 70, 0).x, 100);
}

TEST(EdgeSnapper, AResultBeyondA32BitCoordinateLeavesPositionAndMemoryAlone) {
    // Left snaps to 1e9; the wrapped width puts the right edge in its band, and right - width is 2^31.
    EdgeSnapper snap = Snapper({1000000000, 0, 0, 1000}, kMax);
    int32_t left = 10, top = 5;
    EXPECT_FALSE(snap.Moving(left, top, kMin, 10));
    EXPECT_TRUE(left == 10);
    EXPECT_TRUE(top == 5);
    // The memory is untouched: the next step behaves as on a fresh snapper, even at the range's ends.
    snap.SetWorkArea({0, 0, 1000, 660});
    snap.SetSticky(15);
    left = kMax, top = kMin;
    EXPECT_TRUE(snap.Moving(left, top, kMax, kMax));
    EXPECT_TRUE(left == kMax);
    EXPECT_TRUE(top == kMin);
}

TEST(RectConversion, PositionAndSizeRoundTripForAnyRectangle) {
    const PlaceRect p = ToPlace({10, 20, 310, 120});
    EXPECT_TRUE(p.Width == 300);
    EXPECT_TRUE(p.Height == 100);
    for (const EdgeRect r : {EdgeRect{kMin, kMin, kMax, kMax}, EdgeRect{kMax, 0, kMin, -1}}) {
        const EdgeRect back = ToEdges(ToPlace(r));
        EXPECT_TRUE(back.Right == r.Right);
        EXPECT_TRUE(back.Bottom == r.Bottom);
    }
}
