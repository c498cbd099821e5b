// The window helpers on real windows, in the parts the meter uses that its own tests do not show
// (those show a sizing step capped, a move snapped, its graph following and translucency at load).
#include "base/AppError.h"
#include "meter/CFormBorder.h"
#include "meter/CTranslucentForm.h"
#include "meter/cAnchorWindow.h"
#include "meter/cSizeMoveHelper.h"
#include "meter/cSizeMoveHelperEx.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

namespace {
LONG_PTR g_procAtNcDestroy = 0;

LRESULT CALLBACK OwnProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY)
        g_procAtNcDestroy = GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

DWORD ExStyle(HWND w) {
    return static_cast<DWORD>(GetWindowLongA(w, GWL_EXSTYLE));
}
} // namespace

// The meter's title bar switched by a double-click is shown by the program's restart test.
TEST(CFormBorder, TheTitleBarGoesInTheSameFrameAndTheToolWindowStyleIsWritten) {
    TestWindow w = MakeTestWindow(OwnProc, "VantorelTestWindow");
    const HWND hwnd = w.get();
    CFormBorder border;
    border.SetClient(hwnd);
    RECT outer{}, after{}, before{}, client{};
    GetWindowRect(hwnd, &outer);
    GetClientRect(hwnd, &before);
    border.SetTitlebar(false);
    // No message pumping in between: the client area grew by the caption already, in the same frame.
    GetClientRect(hwnd, &client);
    GetWindowRect(hwnd, &after);
    EXPECT_EQ(after, outer);
    EXPECT_GT(client.bottom, before.bottom);
    EXPECT_FALSE(border.Titlebar());
    border.SetToolWindow(true);
    EXPECT_TRUE(border.ToolWindow());
    EXPECT_TRUE(ExStyle(hwnd) & WS_EX_TOOLWINDOW);
}

// A bare X display has no compositor, so the layered attributes are read back instead of pixels.
TEST(CTranslucentForm, LayersAWindowWithoutExtendedStyleAndUnlayersItAtItsEnd) {
    // SetWindowLongA then returns the old style 0, which is no failure (a layered window whose
    // attributes were never set is not drawn at all on Windows).
    TestWindow w(CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 99, 99, 0, 0, 0, 0));
    ASSERT_EQ(ExStyle(w.get()), 0u);
    {
        CTranslucentForm t;
        t.SethWnd(w.get());
        t.SetAlpha(90);
        BYTE alpha = 0;
        DWORD flags = 0;
        EXPECT_TRUE(ExStyle(w.get()) & WS_EX_LAYERED);
        ASSERT_TRUE(GetLayeredWindowAttributes(w.get(), nullptr, &alpha, &flags));
        EXPECT_EQ(flags, DWORD{LWA_ALPHA});
        EXPECT_EQ(int{alpha}, 90);
    }
    EXPECT_FALSE(ExStyle(w.get()) & WS_EX_LAYERED);
    EXPECT_TRUE(IsWindowVisible(w.get()));
}

// Two helpers on one window, as on the meter, both taken out of the chain by the window's end, and the
// graph's anchor on a child refusing what the anchoring tests' fake control refuses.
TEST(cSizeMoveHelper, LeavesTheChainAtTheWindowsEndAndRefusesAWindowThatIsNotAsTheAnchorDoes) {
    TestWindow w = MakeTestWindow(OwnProc, "VantorelTestWindow");
    cSizeMoveHelper sizer;
    cSizeMoveHelperEx snapper;
    sizer.Attach(w.get());
    snapper.Attach(w.get(), 15);
    cAnchorWindow graph(CreateWindowExA(0, "STATIC", "", WS_CHILD, 10, 20, 200, 150, w.get(), 0, 0, 0));
    EXPECT_ANY_THROW(graph.SetWidth(-1));
    EXPECT_EQ(graph.Width(), 200);
    g_procAtNcDestroy = 0;
    w.reset(); // both helpers outlive the window and end quietly afterwards
    EXPECT_EQ(g_procAtNcDestroy, reinterpret_cast<LONG_PTR>(&OwnProc));
    EXPECT_ANY_THROW(graph.Left()) << "a window gone";
    EXPECT_THROW(sizer.Attach(reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x7ffe1234))), AppError);
}
