#include "meter/CFormBorder.h"
#include "meter/TestWindow.h"

#include <gtest/gtest.h>

namespace {
DWORD Style(HWND w, int index = GWL_STYLE) {
    return static_cast<DWORD>(GetWindowLongA(w, index));
}
} // namespace

// The program sets the title bar, always on top and the tool-window style; the other options, which no
// window of the program sets, one case each. The meter's title bar switched by a double-click is shown
// by the program's restart test.
TEST(CFormBorder, EachOptionWritesItsBitAndTheFrameTheSystemMenuAndTheMouseFollow) {
    TestWindow w;
    HWND child =
        CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 9, 9, w.Window(), nullptr, nullptr, nullptr);
    HMENU menu = GetSystemMenu(w.Window(), FALSE);
    const int items = GetMenuItemCount(menu);
    {
        CFormBorder border;
        border.SetClient(child);
        EXPECT_EQ(border.hWnd(), nullptr) << "only a top-level window";
        border.SetClient(w.Window());
        RECT outer{}, after{}, before{}, client{};
        GetWindowRect(w.Window(), &outer);
        GetClientRect(w.Window(), &before);
        const DWORD style = Style(w.Window());
        border.SetTitlebar(false);
        // No message pumping in between: the client area grew by the caption already, in the same frame.
        GetClientRect(w.Window(), &client);
        GetWindowRect(w.Window(), &after);
        EXPECT_TRUE(Style(w.Window()) == (style & ~WS_CAPTION) && !border.Titlebar());
        EXPECT_TRUE(EqualRect(&outer, &after) && client.bottom > before.bottom);
        border.SetTitlebar(true);
        EXPECT_TRUE(Style(w.Window()) == style && border.Titlebar());

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
                EXPECT_TRUE((border.*c.get)() == on && ((Style(w.Window(), c.index) & c.bit) != 0) == on)
                    << c.bit;
            }
        EXPECT_TRUE(IsWindowVisible(w.Window()));
        border.SetMoveable(false); // greyed and renumbered, so that the system cannot enable it again
        EXPECT_TRUE(!border.Moveable() && GetMenuState(menu, SC_MOVE, MF_BYCOMMAND) == UINT(-1));
        border.SetMoveable(true);
        for (UINT id : {SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE})
            EXPECT_EQ(GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED, 0u) << id;
        border.RemoveMenuItem(SC_CLOSE); // with the separator above it
        EXPECT_TRUE(GetMenuItemCount(menu) == items - 2 &&
                    GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) == UINT(-1));

        border.SetAutoDrag(true);
        border.SetAutoSysMenu(true);
        SendMessageA(w.Window(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
        EXPECT_TRUE(w.last.first == HTCAPTION && w.Count(WM_LBUTTONDOWN) == 1);
        SendMessageA(w.Window(), WM_RBUTTONUP, 0, 0);
        EXPECT_EQ(w.Count(TestWindow::kPopupSystemMenu), 1);
        border.ShowSysMenu(-5, 300); // the point as signed 16-bit coordinates
        EXPECT_TRUE(static_cast<short>(LOWORD(w.last.second)) == -5 && HIWORD(w.last.second) == 300);
    }
    EXPECT_EQ(GetWindowLongPtrA(w.Window(), GWLP_WNDPROC), w.ownProc) << "the object's end stops following";
}
