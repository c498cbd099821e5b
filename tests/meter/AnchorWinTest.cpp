#include "meter/TestWindow.h"
#include "meter/cAnchorWindow.h"

#include <gtest/gtest.h>

// The meter's own tests show its graph following the window. Here a child read in its parent's client
// pixels, and the refusals the anchoring tests' fake control copies: a negative size, a window gone.
TEST(cAnchorWindow, ReadsAChildInItsParentsClientPixelsAndRefusesANegativeSizeOrAWindowThatIsGone) {
    TestWindow w; // its client starts below the caption
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 20, 200, 150, w.Window(),
                                 nullptr, nullptr, nullptr);
    cAnchorWindow c(child);
    RECT client{};
    GetClientRect(w.Window(), &client);
    EXPECT_TRUE(c.Left() == 10 && c.Top() == 20 && c.ParentScaleWidth() == client.right &&
                c.ParentScaleHeight() == client.bottom);
    c.SetHeight(2.5); // ties to even
    EXPECT_ANY_THROW(c.SetWidth(-1));
    EXPECT_TRUE(c.Width() == 200 && c.Height() == 2);
    DestroyWindow(child);
    EXPECT_ANY_THROW(c.Left());
}
