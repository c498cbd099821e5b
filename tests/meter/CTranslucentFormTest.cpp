#include "meter/CTranslucentForm.h"
#include "meter/TestWindow.h"

#include <gtest/gtest.h>

// A bare X display has no compositor: the window looks opaque whatever its alpha, so this reads the
// attributes back instead of looking at pixels. The meter's own test shows it translucent at load.
namespace {
bool Layered(HWND w, BYTE alpha = 255, DWORD flags = LWA_ALPHA, COLORREF key = 0) {
    COLORREF k = 0;
    BYTE a = 0;
    DWORD f = 0;
    return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_LAYERED) && GetLayeredWindowAttributes(w, &k, &a, &f) &&
           f == flags && (flags == LWA_ALPHA ? a == alpha : k == key);
}
} // namespace

// Colour keys, another window, no layering and older systems are not used by the meter: one case each.
TEST(CTranslucentForm, LayersAWindowInEachModeAndUnlayersItForAnotherOrAtItsEnd) {
    // No extended style at all: SetWindowLongA then returns the old style 0, which is no failure (a
    // layered window whose attributes were never set is not drawn at all on Windows).
    TestWindow first(WS_POPUP | WS_VISIBLE), second;
    ASSERT_EQ(GetWindowLongA(first.Window(), GWL_EXSTYLE), 0);
    {
        CTranslucentForm t;
        t.SethWnd(first.Window());
        EXPECT_TRUE(Layered(first.Window()));
        t.SetColorKey(static_cast<int32_t>(0x80000000u | COLOR_HIGHLIGHT)); // a system colour
        EXPECT_TRUE(t.Mode() == 1 && Layered(first.Window(), 0, LWA_COLORKEY, GetSysColor(COLOR_HIGHLIGHT)));
        t.SetAlpha(90); // back to opacity
        t.SetMode(3);   // not a mode: ignored
        EXPECT_TRUE(t.Mode() == 2 && Layered(first.Window(), 90));
        t.SetMode(0);
        EXPECT_FALSE(GetWindowLongA(first.Window(), GWL_EXSTYLE) & WS_EX_LAYERED);
        t.SetMode(2);
        t.SethWnd(second.Window());
        EXPECT_FALSE(GetWindowLongA(first.Window(), GWL_EXSTYLE) & WS_EX_LAYERED);
        EXPECT_TRUE(Layered(second.Window()));
    }
    EXPECT_FALSE(GetWindowLongA(second.Window(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(IsWindowVisible(second.Window()));

    CTranslucentForm old(4); // before layered windows: nothing but the mode is stored
    old.SethWnd(second.Window());
    old.SetAlpha(100);
    EXPECT_FALSE(GetWindowLongA(second.Window(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(old.hWnd() == nullptr && old.Alpha() == 255);
}
