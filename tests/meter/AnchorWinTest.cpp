#include "meter/TestWindow.h"
#include "meter/cAnchorWindow.h"

#include <gtest/gtest.h>

// The meter's own resizing shows its graph following the window; here a child's place in its parent's
// client pixels and what it refuses, which the anchoring pass relies on.
TEST(cAnchorWindow, ReadsAndPlacesAChildInItsParentsClientPixelsAndRefusesWhatItCannotTake) {
    TestWindow w(WS_POPUP | WS_VISIBLE); // borderless: its client is its window, 300 x 200
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 20, 200, 150, w.Window(),
                                 nullptr, nullptr, nullptr);
    cAnchorWindow c(child);
    EXPECT_TRUE(c.Left() == 10 && c.Top() == 20 && c.ParentScaleWidth() == 300 &&
                c.ParentScaleHeight() == 200);
    c.SetLeft(30);
    c.SetWidth(-0.4); // rounds to 0
    c.SetHeight(2.5); // ties to even
    EXPECT_TRUE(c.Left() == 30 && c.Top() == 20 && c.Width() == 0 && c.Height() == 2);
    EXPECT_ANY_THROW(c.SetWidth(-1));
    EXPECT_ANY_THROW(c.SetLeft(1e12));
    DestroyWindow(child);
    EXPECT_ANY_THROW(c.Left());
}
