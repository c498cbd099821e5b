#include "meter/CTranslucentForm.h"
#include "meter/StyleTestWindow.h"

#include <gtest/gtest.h>

// A bare X display has no compositor: the window looks opaque whatever its alpha, so these tests read
// the attributes back instead of looking at pixels.

namespace {

struct Layered {
    bool ok = false;
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
};

Layered Attributes(HWND w) {
    Layered l;
    l.ok = GetLayeredWindowAttributes(w, &l.key, &l.alpha, &l.flags) != FALSE;
    return l;
}

bool IsLayered(HWND w) {
    return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

} // namespace

TEST(CTranslucentForm, StartsOpaqueInOpacityModeWithTheButtonFaceAsKey) {
    CTranslucentForm t;
    EXPECT_TRUE(t.Supported()); // every system this runs on reports 5 or more
    EXPECT_EQ(t.hWnd(), nullptr);
    EXPECT_EQ(t.Alpha(), 255);
    EXPECT_EQ(t.Mode(), 2);
    EXPECT_EQ(static_cast<uint32_t>(t.ColorKey()), 0x8000000Fu);
}

TEST(CTranslucentForm, LayersTheWindowWithTheAskedAlpha) {
    StyleTestWindow w;
    CTranslucentForm t;
    // The order the meter window uses.
    t.SethWnd(w.hwnd);
    EXPECT_EQ(t.hWnd(), w.hwnd);
    EXPECT_TRUE(IsLayered(w.hwnd));
    Layered l = Attributes(w.hwnd);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.alpha, 255);
    EXPECT_EQ(l.flags, static_cast<DWORD>(LWA_ALPHA));

    t.SetMode(2);
    t.SetAlpha(178);
    EXPECT_EQ(t.Alpha(), 178);
    l = Attributes(w.hwnd);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.alpha, 178);
    EXPECT_EQ(l.flags, static_cast<DWORD>(LWA_ALPHA));

    // Fully opaque, yet still layered.
    t.SetAlpha(255);
    EXPECT_TRUE(IsLayered(w.hwnd));
    EXPECT_EQ(Attributes(w.hwnd).alpha, 255);
}

TEST(CTranslucentForm, AWindowWithoutExtendedStylesGetsItsAttributesToo) {
    // SetWindowLongA returns the old style, here 0, which must not be taken for a failure: a layered
    // window whose attributes were never set is not drawn at all on Windows.
    StyleTestWindow w(WS_POPUP | WS_VISIBLE, 0);
    ASSERT_EQ(GetWindowLongA(w.hwnd, GWL_EXSTYLE), 0);
    CTranslucentForm t;
    t.SethWnd(w.hwnd);
    const Layered l = Attributes(w.hwnd);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.alpha, 255);
    t.SetAlpha(100);
    EXPECT_EQ(Attributes(w.hwnd).alpha, 100);
    EXPECT_EQ(t.Alpha(), 100);
}

TEST(CTranslucentForm, ModesOtherThanZeroToTwoChangeNothing) {
    StyleTestWindow w;
    CTranslucentForm t;
    t.SethWnd(w.hwnd);
    t.SetAlpha(128);
    const LONG exStyle = GetWindowLongA(w.hwnd, GWL_EXSTYLE);
    for (int32_t mode : {3, -1}) {
        t.SetMode(mode);
        EXPECT_EQ(t.Mode(), 2);
        EXPECT_EQ(GetWindowLongA(w.hwnd, GWL_EXSTYLE), exStyle);
        const Layered l = Attributes(w.hwnd);
        EXPECT_EQ(l.alpha, 128);
        EXPECT_EQ(l.flags, static_cast<DWORD>(LWA_ALPHA));
    }
}

TEST(CTranslucentForm, ColourKeyModeUsesTheKeyOrTheSystemColour) {
    StyleTestWindow w;
    CTranslucentForm t;
    t.SethWnd(w.hwnd);

    t.SetColorKey(0x00FF00);
    EXPECT_EQ(t.Mode(), 1);
    EXPECT_EQ(t.ColorKey(), 0x00FF00);
    Layered l = Attributes(w.hwnd);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.flags, static_cast<DWORD>(LWA_COLORKEY));
    EXPECT_EQ(l.key, 0x00FF00u);

    // In colour-key mode a negative key names a system colour.
    t.SetColorKey(static_cast<int32_t>(0x80000000u | COLOR_HIGHLIGHT));
    EXPECT_EQ(Attributes(w.hwnd).key, GetSysColor(COLOR_HIGHLIGHT));

    // Writing the alpha goes back to opacity mode with that alpha.
    t.SetAlpha(90);
    EXPECT_EQ(t.Mode(), 2);
    l = Attributes(w.hwnd);
    EXPECT_EQ(l.flags, static_cast<DWORD>(LWA_ALPHA));
    EXPECT_EQ(l.alpha, 90);

    // Mode 1 again takes up the stored key.
    t.SetMode(1);
    l = Attributes(w.hwnd);
    EXPECT_EQ(l.flags, static_cast<DWORD>(LWA_COLORKEY));
    EXPECT_EQ(l.key, GetSysColor(COLOR_HIGHLIGHT));
}

TEST(CTranslucentForm, ModeZeroAnotherWindowAndTheObjectsEndUnlayer) {
    StyleTestWindow first, second;
    {
        CTranslucentForm t;
        t.SethWnd(first.hwnd);
        t.SetAlpha(60);
        t.SetMode(0);
        EXPECT_EQ(t.Mode(), 0);
        EXPECT_FALSE(IsLayered(first.hwnd));

        t.SetMode(2);
        EXPECT_TRUE(IsLayered(first.hwnd));
        t.SethWnd(second.hwnd);
        EXPECT_FALSE(IsLayered(first.hwnd));
        EXPECT_TRUE(IsLayered(second.hwnd));
        t.SetAlpha(40);
        EXPECT_EQ(Attributes(second.hwnd).alpha, 40);
    }
    EXPECT_FALSE(IsLayered(second.hwnd));
    EXPECT_TRUE(IsWindowVisible(second.hwnd));
}

TEST(CTranslucentForm, DoesNothingWhereLayeredWindowsAreMissing) {
    StyleTestWindow w;
    const LONG exStyle = GetWindowLongA(w.hwnd, GWL_EXSTYLE);
    CTranslucentForm t(4);
    EXPECT_FALSE(t.Supported());
    t.SethWnd(w.hwnd);
    EXPECT_EQ(t.hWnd(), nullptr);
    t.SetAlpha(100);
    EXPECT_EQ(t.Alpha(), 255);
    t.SetColorKey(0x123456);
    EXPECT_EQ(t.Mode(), 2);
    // Only the mode is stored; there is no window to apply it to.
    t.SetMode(1);
    EXPECT_EQ(t.Mode(), 1);
    EXPECT_EQ(GetWindowLongA(w.hwnd, GWL_EXSTYLE), exStyle);
}
