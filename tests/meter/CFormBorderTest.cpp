#include "meter/CFormBorder.h"
#include "meter/TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {
DWORD Style(HWND w, int index = GWL_STYLE) {
    return static_cast<DWORD>(GetWindowLongA(w, index));
}

int ClientHeight(HWND w) {
    RECT r{};
    GetClientRect(w, &r);
    return r.bottom;
}

std::vector<UINT> SystemMenuIds(HWND w) {
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(GetSystemMenu(w, FALSE)); ++i)
        ids.push_back(GetMenuItemID(GetSystemMenu(w, FALSE), i));
    return ids;
}
} // namespace

// The meter's title bar switched by a double-click is shown by the program's restart test; here what
// that relies on underneath.
TEST(CFormBorder, TakesOnlyOwnTopLevelWindowsAndRecomputesTheFrameAtOnce) {
    TestWindow w;
    HWND child =
        CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 9, 9, w.Window(), nullptr, nullptr, nullptr);
    CFormBorder border;
    border.SetTitlebar(false); // without a window nothing is touched
    border.SetClient(w.Window());
    for (HWND refused : {child, GetDesktopWindow(), HWND{}}) {
        border.SetClient(refused);
        EXPECT_TRUE(border.hWnd() == nullptr && border.Client() == w.Window()) << "the client it had stays";
    }
    border.SetClient(w.Window());
    RECT outer{}, after{};
    GetWindowRect(w.Window(), &outer);
    const DWORD style = Style(w.Window());
    const int withCaption = ClientHeight(w.Window());
    border.SetTitlebar(false);
    EXPECT_TRUE(Style(w.Window()) == (style & ~WS_CAPTION) && !border.Titlebar());
    // No message pumping in between: the client area grew by the caption already, in the same frame.
    EXPECT_GT(ClientHeight(w.Window()), withCaption);
    GetWindowRect(w.Window(), &after);
    EXPECT_TRUE(EqualRect(&outer, &after));
    border.SetTitlebar(true);
    EXPECT_TRUE(Style(w.Window()) == style && ClientHeight(w.Window()) == withCaption);
    SetWindowLongA(w.Window(), GWL_STYLE, static_cast<LONG>((style & ~WS_CAPTION) | WS_BORDER));
    EXPECT_TRUE(border.Titlebar()) << "half a caption still counts";
}

// Always on top and the tool-window style, and options no window of the program sets, one case each.
TEST(CFormBorder, OtherOptionsWriteTheirBitsTheSystemMenuAndTheMouse) {
    TestWindow w;
    std::vector<UINT> ids = SystemMenuIds(w.Window());
    {
        CFormBorder border;
        border.SetClient(w.Window());
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
        EXPECT_EQ(SystemMenuIds(w.Window()), ids);
        EXPECT_TRUE(IsWindowVisible(w.Window()));

        const auto at = [&](UINT id) { return std::find(ids.begin(), ids.end(), id) - ids.begin(); };
        border.SetMoveable(false); // greyed and renumbered so that the system cannot enable it again
        EXPECT_TRUE(SystemMenuIds(w.Window())[at(SC_MOVE)] == 0x7010u && !border.Moveable());
        border.SetMoveable(true);
        const auto close = at(SC_CLOSE);
        ASSERT_EQ(ids.at(close - 1), 0u) << "a separator stands above Close";
        border.RemoveMenuItem(SC_CLOSE);
        ids.erase(ids.begin() + close - 1, ids.begin() + close + 1);
        EXPECT_EQ(SystemMenuIds(w.Window()), ids);

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
