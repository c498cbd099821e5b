// The window helpers on real windows. The meter's own tests show the parts it uses at work (a sizing
// step capped, a move snapped, its graph following, translucency at load); here the rest, and the
// features no window of the program uses, one case each.
#include "app/AppError.h"
#include "meter/CFormBorder.h"
#include "meter/CTranslucentForm.h"
#include "meter/cAnchorWindow.h"
#include "meter/cSizeMoveHelper.h"
#include "meter/cSizeMoveHelperEx.h"
#include "support/WinTestUtil.h"
#include "winsys/BaseWindow.h"

#include <gtest/gtest.h>

namespace {
// A real window that records the messages its own procedure sees. Caption drags and system-menu
// requests are swallowed, so that no modal loop of the system starts inside a test.
class TestWindow : public BaseWindow<TestWindow> {
public:
    static constexpr UINT kPopupSystemMenu = 0x313;

    explicit TestWindow(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE) {
        CreateWindowObject("VantorelTestWindow", "test", style, 0, 100, 100, 300, 200);
        ownProc = GetWindowLongPtrA(m_hwnd, GWLP_WNDPROC);
    }

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        seen.push_back(msg);
        if (msg == WM_NCDESTROY)
            procAtNcDestroy = GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
        if (msg == WM_NCLBUTTONDOWN || msg == kPopupSystemMenu) {
            last = {wParam, lParam};
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    int Count(UINT msg) const { return static_cast<int>(std::count(seen.begin(), seen.end(), msg)); }

    std::vector<UINT> seen;
    std::pair<WPARAM, LPARAM> last; // of the last caption press or system-menu request
    LONG_PTR ownProc = 0;
    LONG_PTR procAtNcDestroy = 0;
};

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
// switched by a double-click is shown by the program's restart test.
TEST(CFormBorder, EachOptionWritesItsBitAndTheFrameTheSystemMenuAndTheMouseFollow) {
    TestWindow w;
    const HWND hwnd = w.Window();
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 9, 9, hwnd, nullptr, nullptr, nullptr);
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    const int items = GetMenuItemCount(menu);
    {
        CFormBorder border;
        border.SetClient(child);
        EXPECT_EQ(border.hWnd(), nullptr) << "only a top-level window";
        border.SetClient(hwnd);
        RECT outer{}, after{}, before{}, client{};
        GetWindowRect(hwnd, &outer);
        GetClientRect(hwnd, &before);
        const DWORD style = Style(hwnd);
        border.SetTitlebar(false);
        // No message pumping in between: the client area grew by the caption already, in the same frame.
        GetClientRect(hwnd, &client);
        GetWindowRect(hwnd, &after);
        EXPECT_TRUE(Style(hwnd) == (style & ~WS_CAPTION) && !border.Titlebar());
        EXPECT_TRUE(EqualRect(&outer, &after) && client.bottom > before.bottom);
        border.SetTitlebar(true);
        EXPECT_TRUE(Style(hwnd) == style && border.Titlebar());

        const struct {
            void (CFormBorder::*set)(bool);
            bool (CFormBorder::*get)() const;
            int index;
            DWORD bit;
        } cases[] = {
            {&CFormBorder::SetTopMost, &CFormBorder::TopMost, GWL_EXSTYLE, WS_EX_TOPMOST},
            {&CFormBorder::SetToolWindow, &CFormBorder::ToolWindow, GWL_EXSTYLE, WS_EX_TOOLWINDOW},
            {&CFormBorder::SetWhatsThisButton, &CFormBorder::WhatsThisButton, GWL_EXSTYLE, WS_EX_CONTEXTHELP},
            {&CFormBorder::SetShowInTaskbar, &CFormBorder::ShowInTaskbar, GWL_EXSTYLE, WS_EX_APPWINDOW},
            {&CFormBorder::SetControlBox, &CFormBorder::ControlBox, GWL_STYLE, WS_SYSMENU},
            {&CFormBorder::SetSizeable, &CFormBorder::Sizeable, GWL_STYLE, WS_THICKFRAME},
            {&CFormBorder::SetMaxButton, &CFormBorder::MaxButton, GWL_STYLE, WS_MAXIMIZEBOX},
            {&CFormBorder::SetMinButton, &CFormBorder::MinButton, GWL_STYLE, WS_MINIMIZEBOX},
        };
        for (const auto& c : cases)
            for (bool on : {!(border.*c.get)(), (border.*c.get)()}) {
                (border.*c.set)(on);
                EXPECT_TRUE((border.*c.get)() == on && ((Style(hwnd, c.index) & c.bit) != 0) == on) << c.bit;
            }
        EXPECT_TRUE(IsWindowVisible(hwnd));
        border.SetMoveable(false); // greyed and renumbered, so that the system cannot enable it again
        EXPECT_TRUE(!border.Moveable() && GetMenuState(menu, SC_MOVE, MF_BYCOMMAND) == UINT(-1));
        border.RemoveMenuItem(SC_CLOSE); // with the separator above it
        EXPECT_TRUE(GetMenuItemCount(menu) == items - 2 &&
                    GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) == UINT(-1));

        border.SetAutoDrag(true);
        border.SetAutoSysMenu(true);
        SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        EXPECT_TRUE(w.last.first == HTCAPTION && w.Count(WM_LBUTTONDOWN) == 1);
        SendMessageA(hwnd, WM_RBUTTONUP, 0, 0);
        EXPECT_EQ(w.Count(TestWindow::kPopupSystemMenu), 1);
        border.ShowSysMenu(-5, 300); // the point as signed 16-bit coordinates
        EXPECT_TRUE(static_cast<short>(LOWORD(w.last.second)) == -5 && HIWORD(w.last.second) == 300);
    }
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_WNDPROC), w.ownProc) << "the object's end stops following";
}

// The meter layers its window at load (its own test shows it); the other modes, another window and
// older systems one case each.
TEST(CTranslucentForm, LayersAWindowInEachModeAndUnlayersItForAnotherOrAtItsEnd) {
    // No extended style at all: SetWindowLongA then returns the old style 0, which is no failure (a
    // layered window whose attributes were never set is not drawn at all on Windows).
    TestWindow first(WS_POPUP | WS_VISIBLE), second;
    ASSERT_EQ(Style(first.Window(), GWL_EXSTYLE), 0u);
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
        EXPECT_FALSE(Style(first.Window(), GWL_EXSTYLE) & WS_EX_LAYERED);
        t.SetMode(2);
        t.SethWnd(second.Window());
        EXPECT_TRUE(!(Style(first.Window(), GWL_EXSTYLE) & WS_EX_LAYERED) && Layered(second.Window()));
    }
    EXPECT_FALSE(Style(second.Window(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(IsWindowVisible(second.Window()));

    CTranslucentForm old(4); // before layered windows: nothing but the mode is stored
    old.SethWnd(second.Window());
    old.SetAlpha(100);
    EXPECT_FALSE(Style(second.Window(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(old.hWnd() == nullptr && old.Alpha() == 255);
}

// The meter's own test shows a sizing step and its change written back. Here a resize that is not the
// user's, reported in the same terms, and the helper's end before the window's; then two helpers on one
// window, as on the meter, both taken out of the chain by the window's end. Activation and full-window
// dragging, which the meter does not use, one case each.
TEST(cSizeMoveHelper, ReportsSizingAndResizesAndLeavesTheChainAtItsOwnEndOrTheWindows) {
    BOOL original = FALSE, full = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &original, 0);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, 1, nullptr, 0);
    TestWindow w;
    std::vector<long> args;
    {
        cSizeMoveHelper sizer;
        sizer.Sizing = [&](long& l, long& t, long& wd, long& h) { args = {l, t, wd, h}; };
        sizer.Attach(w.Window());
        SetWindowPos(w.Window(), nullptr, 120, 130, 420, 250, SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(args, (std::vector<long>{120, 130, 420, 250})) << "a resize outside a drag";
    }
    EXPECT_EQ(GetWindowLongPtrA(w.Window(), GWLP_WNDPROC), w.ownProc);

    std::string events;
    cSizeMoveHelper sizer;
    cSizeMoveHelperEx snapper;
    sizer.Activate = [&](bool byMouse) { events += byMouse ? 'm' : 'k'; };
    sizer.Attach(w.Window());
    snapper.Attach(w.Window(), 15);
    sizer.SetNoFullDrag(true);
    SendMessageA(w.Window(), WM_ACTIVATE, WA_CLICKACTIVE, 0);
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
    EXPECT_TRUE(!full && sizer.Active() && events == "m") << events;
    DestroyWindow(w.Window()); // both helpers outlive the window and end quietly afterwards
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
    EXPECT_TRUE(w.procAtNcDestroy == w.ownProc && full);
    EXPECT_THROW(sizer.Attach(reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x7ffe1234))), AppError);
    EXPECT_THROW(snapper.Attach(nullptr), AppError);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, original, nullptr, 0);
}

// A child read in its parent's client pixels, and the refusals the anchoring tests' fake control
// copies: a negative size, a window gone.
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
