// The window helpers on real windows. The meter's own tests show the parts it uses at work (a sizing
// step capped, a move snapped, its graph following, translucency at load); here the rest, and the
// features no window of the program uses, one case each.
#include "base/AppError.h"
#include "meter/CFormBorder.h"
#include "meter/CTranslucentForm.h"
#include "meter/cAnchorWindow.h"
#include "meter/cSizeMoveHelper.h"
#include "meter/cSizeMoveHelperEx.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
// What the test windows' own procedure saw. Caption drags and system-menu requests are swallowed, so
// that no modal loop of the system starts inside a test.
constexpr UINT kPopupSystemMenu = 0x313;
std::vector<UINT> g_seen;
std::pair<WPARAM, LPARAM> g_last; // of the last caption press or system-menu request
LONG_PTR g_procAtNcDestroy = 0;

LRESULT CALLBACK OwnProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    g_seen.push_back(msg);
    if (msg == WM_NCDESTROY)
        g_procAtNcDestroy = GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
    if (msg == WM_NCLBUTTONDOWN || msg == kPopupSystemMenu) {
        g_last = {wParam, lParam};
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
const LONG_PTR kOwnProc = reinterpret_cast<LONG_PTR>(&OwnProc);

DWORD Style(HWND w, int index = GWL_STYLE) {
    return static_cast<DWORD>(GetWindowLongA(w, index));
}

// A bare X display has no compositor, so the layered attributes are read back instead of pixels.
bool Layered(HWND w, BYTE alpha = 255, DWORD flags = LWA_ALPHA, COLORREF key = 0) {
    COLORREF k = 0;
    BYTE a = 0;
    DWORD f = 0;
    return (Style(w, GWL_EXSTYLE) & WS_EX_LAYERED) && GetLayeredWindowAttributes(w, &k, &a, &f) &&
           f == flags && (flags == LWA_ALPHA ? a == alpha : k == key);
}
} // namespace

// The program sets the title bar, always on top and the tool-window style. The meter's title bar
// switched by a double-click is shown by the program's restart test, always on top and back by the
// statistics window's test; the other style bits take the tool window's path.
TEST(CFormBorder, EachOptionWritesItsBitAndTheFrameTheSystemMenuAndTheMouseFollow) {
    TestWindow w = MakeTestWindow(OwnProc, "VantorelTestWindow");
    const HWND hwnd = w.get();
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    const int items = GetMenuItemCount(menu);
    {
        CFormBorder border;
        border.SetClient(hwnd);
        RECT outer{}, after{}, before{}, client{};
        GetWindowRect(hwnd, &outer);
        GetClientRect(hwnd, &before);
        border.SetTitlebar(false);
        // No message pumping in between: the client area grew by the caption already, in the same frame.
        GetClientRect(hwnd, &client);
        GetWindowRect(hwnd, &after);
        EXPECT_TRUE(EqualRect(&outer, &after));
        EXPECT_TRUE(client.bottom > before.bottom);
        EXPECT_TRUE(!border.Titlebar());

        border.SetToolWindow(true);
        EXPECT_TRUE(border.ToolWindow());
        EXPECT_TRUE((Style(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW));
        border.SetMoveable(false); // greyed and renumbered, so that the system cannot enable it again
        EXPECT_TRUE(!border.Moveable());
        EXPECT_TRUE(GetMenuState(menu, SC_MOVE, MF_BYCOMMAND) == UINT(-1));
        border.RemoveMenuItem(SC_CLOSE); // with the separator above it
        EXPECT_EQ(GetMenuItemCount(menu), items - 2);
        EXPECT_EQ(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), UINT(-1));

        border.SetAutoDrag(true);
        g_seen.clear();
        SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        EXPECT_TRUE(g_last.first == HTCAPTION);
        EXPECT_TRUE(std::ranges::count(g_seen, WM_LBUTTONDOWN) == 1);
        border.ShowSysMenu(-5, 300); // the point as signed 16-bit coordinates
        EXPECT_TRUE(static_cast<short>(LOWORD(g_last.second)) == -5);
        EXPECT_TRUE(HIWORD(g_last.second) == 300);
    }
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_WNDPROC), kOwnProc) << "the object's end stops following";
}

// The meter layers its window at load (its own test shows it); the colour key, no layering and older
// systems one case each.
TEST(CTranslucentForm, LayersAWindowInEachModeAndUnlayersItAtItsEnd) {
    // No extended style at all: SetWindowLongA then returns the old style 0, which is no failure (a
    // layered window whose attributes were never set is not drawn at all on Windows).
    TestWindow w(CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 99, 99, 0, 0, 0, 0));
    ASSERT_EQ(Style(w.get(), GWL_EXSTYLE), 0u);
    {
        CTranslucentForm t;
        t.SethWnd(w.get());
        EXPECT_TRUE(Layered(w.get()));
        t.SetColorKey(static_cast<int32_t>(0x80000000u | COLOR_HIGHLIGHT)); // a system colour
        EXPECT_TRUE(t.Mode() == 1);
        EXPECT_TRUE(Layered(w.get(), 0, LWA_COLORKEY, GetSysColor(COLOR_HIGHLIGHT)));
        t.SetMode(0);
        EXPECT_FALSE(Style(w.get(), GWL_EXSTYLE) & WS_EX_LAYERED);
        t.SetAlpha(90); // back to opacity
        EXPECT_TRUE(t.Mode() == 2);
        EXPECT_TRUE(Layered(w.get(), 90));
    }
    EXPECT_TRUE(!(Style(w.get(), GWL_EXSTYLE) & WS_EX_LAYERED));
    EXPECT_TRUE(IsWindowVisible(w.get()));

    CTranslucentForm old(4); // before layered windows: nothing but the mode is stored
    old.SethWnd(w.get());
    old.SetAlpha(100);
    EXPECT_FALSE(Style(w.get(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(old.hWnd(), nullptr);
    EXPECT_EQ(old.Alpha(), 255);
}

// The meter's own test shows a sizing step and its end; here two helpers on one window, as on the meter,
// both taken out of the chain by the window's end, and its graph's anchor on a child. Activation and
// full-window dragging, which the meter does not use, one case each.
TEST(cSizeMoveHelper, LeavesTheChainAtTheWindowsEndAndRefusesAWindowThatIsNotAsTheAnchorDoes) {
    BOOL original = FALSE, full = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &original, 0);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, 1, nullptr, 0);
    TestWindow w = MakeTestWindow(OwnProc, "VantorelTestWindow");
    ShowWindow(w.get(), SW_SHOW); // active already, so that only the message below activates it
    std::string events;
    cSizeMoveHelper sizer;
    cSizeMoveHelperEx snapper;
    sizer.Activate = [&](bool byMouse) { events += byMouse ? 'm' : 'k'; };
    sizer.Attach(w.get());
    snapper.Attach(w.get(), 15);
    sizer.SetNoFullDrag(true);
    SendMessageA(w.get(), WM_ACTIVATE, WA_CLICKACTIVE, 0);
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
    EXPECT_TRUE(!full) << events;
    EXPECT_TRUE(sizer.Active()) << events;
    EXPECT_TRUE(events == "m") << events;
    // The meter's graph following its window shows a child's place and its parent measured; here the
    // refusals the anchoring tests' fake control copies: a negative size, a window gone.
    cAnchorWindow graph(CreateWindowExA(0, "STATIC", "", WS_CHILD, 10, 20, 200, 150, w.get(), 0, 0, 0));
    EXPECT_ANY_THROW(graph.SetWidth(-1));
    EXPECT_EQ(graph.Width(), 200);
    g_procAtNcDestroy = 0;
    w.reset(); // both helpers outlive the window and end quietly afterwards
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
    EXPECT_TRUE(g_procAtNcDestroy == kOwnProc);
    EXPECT_TRUE(full);
    EXPECT_ANY_THROW(graph.Left());
    EXPECT_THROW(sizer.Attach(reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x7ffe1234))), AppError);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, original, nullptr, 0);
}
