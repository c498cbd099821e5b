#include "meter/CFormBorder.h"
#include "meter/StyleTestWindow.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

DWORD Style(HWND w) {
    return static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE));
}
DWORD ExStyle(HWND w) {
    return static_cast<DWORD>(GetWindowLongA(w, GWL_EXSTYLE));
}

std::vector<UINT> SystemMenuIds(HWND w) {
    std::vector<UINT> ids;
    HMENU menu = GetSystemMenu(w, FALSE);
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        ids.push_back(GetMenuItemID(menu, i));
    return ids;
}

int PositionOf(HWND w, UINT id) {
    const std::vector<UINT> ids = SystemMenuIds(w);
    for (size_t i = 0; i < ids.size(); ++i)
        if (ids[i] == id)
            return static_cast<int>(i);
    return -1;
}

UINT StateAt(HWND w, int position) {
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE;
    EXPECT_TRUE(GetMenuItemInfoA(GetSystemMenu(w, FALSE), static_cast<UINT>(position), TRUE, &item));
    return item.fState;
}

int ClientHeight(HWND w) {
    RECT r{};
    GetClientRect(w, &r);
    return r.bottom - r.top;
}

} // namespace

TEST(CFormBorder, ClientTakesOnlyTopLevelWindowsOfThisProcess) {
    StyleTestWindow first, second;
    StyleTestWindow child(WS_CHILD | WS_VISIBLE, 0, first.hwnd);
    CFormBorder border;
    EXPECT_EQ(border.hWnd(), nullptr);
    EXPECT_EQ(border.Client(), nullptr);

    border.SetClient(first.hwnd);
    EXPECT_EQ(border.hWnd(), first.hwnd);
    EXPECT_EQ(border.Client(), first.hwnd);

    // Anything else clears the window and keeps the client it had.
    border.SetClient(child.hwnd);
    EXPECT_EQ(border.hWnd(), nullptr);
    EXPECT_EQ(border.Client(), first.hwnd);
    border.SetClient(GetDesktopWindow());
    EXPECT_EQ(border.hWnd(), nullptr);
    border.SetClient(nullptr);
    EXPECT_EQ(border.hWnd(), nullptr);
    EXPECT_EQ(border.Client(), first.hwnd);

    border.SetClient(second.hwnd);
    EXPECT_EQ(border.hWnd(), second.hwnd);
    EXPECT_EQ(border.Client(), second.hwnd);
}

TEST(CFormBorder, WithoutAWindowNothingIsTouched) {
    StyleTestWindow w;
    const DWORD style = Style(w.hwnd), exStyle = ExStyle(w.hwnd);
    const std::vector<UINT> ids = SystemMenuIds(w.hwnd);
    CFormBorder border;
    border.SetTitlebar(false);
    border.SetToolWindow(true);
    border.SetTopMost(true);
    border.SetMoveable(false);
    border.RemoveMenuItem(SC_CLOSE);
    border.ShowSysMenu(10, 10);
    EXPECT_EQ(Style(w.hwnd), style);
    EXPECT_EQ(ExStyle(w.hwnd), exStyle);
    EXPECT_EQ(SystemMenuIds(w.hwnd), ids);
    EXPECT_FALSE(border.Titlebar());
    EXPECT_EQ(w.Count(StyleTestWindow::kPopupSystemMenu), 0);
}

TEST(CFormBorder, TitlebarFollowsAndTheFrameIsRecomputedAtOnce) {
    StyleTestWindow w;
    CFormBorder border;
    border.SetClient(w.hwnd);
    ASSERT_TRUE(border.Titlebar());
    RECT outer{};
    GetWindowRect(w.hwnd, &outer);
    const int withCaption = ClientHeight(w.hwnd);

    border.SetTitlebar(false);
    EXPECT_EQ(Style(w.hwnd) & WS_CAPTION, 0u);
    EXPECT_FALSE(border.Titlebar());
    // No message pumping in between: the client area grew by the caption already.
    EXPECT_GT(ClientHeight(w.hwnd), withCaption);
    RECT after{};
    GetWindowRect(w.hwnd, &after);
    EXPECT_TRUE(EqualRect(&outer, &after));

    border.SetTitlebar(true);
    EXPECT_EQ(Style(w.hwnd) & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    EXPECT_TRUE(border.Titlebar());
    EXPECT_EQ(ClientHeight(w.hwnd), withCaption);

    // Half a caption still counts as a title bar.
    SetWindowLongA(w.hwnd, GWL_STYLE, static_cast<LONG>((Style(w.hwnd) & ~WS_CAPTION) | WS_BORDER));
    EXPECT_TRUE(border.Titlebar());
}

TEST(CFormBorder, StylePropertiesWriteAndReadTheirBits) {
    struct Case {
        const char* name;
        void (CFormBorder::*set)(bool);
        bool (CFormBorder::*get)() const;
        int index;
        DWORD bit;
    };
    const Case cases[] = {
        {"ToolWindow", &CFormBorder::SetToolWindow, &CFormBorder::ToolWindow, GWL_EXSTYLE, WS_EX_TOOLWINDOW},
        {"WhatsThisButton", &CFormBorder::SetWhatsThisButton, &CFormBorder::WhatsThisButton, GWL_EXSTYLE,
         WS_EX_CONTEXTHELP},
        {"ShowInTaskbar", &CFormBorder::SetShowInTaskbar, &CFormBorder::ShowInTaskbar, GWL_EXSTYLE,
         WS_EX_APPWINDOW},
        {"ControlBox", &CFormBorder::SetControlBox, &CFormBorder::ControlBox, GWL_STYLE, WS_SYSMENU},
        {"Sizeable", &CFormBorder::SetSizeable, &CFormBorder::Sizeable, GWL_STYLE, WS_THICKFRAME},
        {"MaxButton", &CFormBorder::SetMaxButton, &CFormBorder::MaxButton, GWL_STYLE, WS_MAXIMIZEBOX},
        {"MinButton", &CFormBorder::SetMinButton, &CFormBorder::MinButton, GWL_STYLE, WS_MINIMIZEBOX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StyleTestWindow w;
        CFormBorder border;
        border.SetClient(w.hwnd);
        const DWORD others = static_cast<DWORD>(GetWindowLongA(w.hwnd, c.index)) & ~c.bit;
        for (bool on : {true, false, true}) {
            (border.*c.set)(on);
            const DWORD now = static_cast<DWORD>(GetWindowLongA(w.hwnd, c.index));
            EXPECT_EQ((now & c.bit) != 0, on);
            EXPECT_EQ(now & ~c.bit, others) << "other bits must stay";
            EXPECT_EQ((border.*c.get)(), on);
        }
        EXPECT_TRUE(IsWindowVisible(w.hwnd));
    }
}

TEST(CFormBorder, ShowInTaskbarLeavesAHiddenWindowHidden) {
    StyleTestWindow w(WS_OVERLAPPEDWINDOW);
    CFormBorder border;
    border.SetClient(w.hwnd);
    border.SetShowInTaskbar(true);
    EXPECT_TRUE(border.ShowInTaskbar());
    EXPECT_FALSE(IsWindowVisible(w.hwnd));
}

TEST(CFormBorder, TopMostFollowsTheZOrderBit) {
    StyleTestWindow w;
    CFormBorder border;
    border.SetClient(w.hwnd);
    ASSERT_FALSE(border.TopMost());
    border.SetTopMost(true);
    EXPECT_NE(ExStyle(w.hwnd) & WS_EX_TOPMOST, 0u);
    EXPECT_TRUE(border.TopMost());
    border.SetTopMost(false);
    EXPECT_EQ(ExStyle(w.hwnd) & WS_EX_TOPMOST, 0u);
    EXPECT_FALSE(border.TopMost());
}

TEST(CFormBorder, MoveableGreysAndRenumbersTheMoveItem) {
    StyleTestWindow w;
    CFormBorder border;
    border.SetClient(w.hwnd);
    const int position = PositionOf(w.hwnd, SC_MOVE);
    ASSERT_GE(position, 0);
    ASSERT_TRUE(border.Moveable());

    border.SetMoveable(false);
    EXPECT_EQ(SystemMenuIds(w.hwnd)[position], 0x7010u);
    EXPECT_NE(StateAt(w.hwnd, position) & MFS_GRAYED, 0u);
    EXPECT_FALSE(border.Moveable());

    border.SetMoveable(true);
    EXPECT_EQ(SystemMenuIds(w.hwnd)[position], static_cast<UINT>(SC_MOVE));
    EXPECT_EQ(StateAt(w.hwnd, position) & MFS_GRAYED, 0u);
    EXPECT_TRUE(border.Moveable());

    // An omitted Enabled disables; the renumbered item is still found.
    border.EnableMenuItem(SC_MOVE);
    border.EnableMenuItem(SC_MOVE);
    EXPECT_EQ(SystemMenuIds(w.hwnd)[position], 0x7010u);
    border.EnableMenuItem(SC_MOVE, true);
    EXPECT_EQ(SystemMenuIds(w.hwnd)[position], static_cast<UINT>(SC_MOVE));
}

TEST(CFormBorder, MinAndMaxButtonsAlsoGreyTheirMenuItems) {
    StyleTestWindow w;
    CFormBorder border;
    border.SetClient(w.hwnd);
    const int minimize = PositionOf(w.hwnd, SC_MINIMIZE), maximize = PositionOf(w.hwnd, SC_MAXIMIZE);
    ASSERT_GE(minimize, 0);
    ASSERT_GE(maximize, 0);
    border.SetMinButton(false);
    border.SetMaxButton(false);
    EXPECT_EQ(SystemMenuIds(w.hwnd)[minimize], 0x7020u);
    EXPECT_EQ(SystemMenuIds(w.hwnd)[maximize], 0x7030u);
    EXPECT_NE(StateAt(w.hwnd, maximize) & MFS_GRAYED, 0u);
    border.SetMaxButton(true);
    EXPECT_EQ(SystemMenuIds(w.hwnd)[maximize], static_cast<UINT>(SC_MAXIMIZE));
    EXPECT_EQ(StateAt(w.hwnd, maximize) & MFS_GRAYED, 0u);
}

TEST(CFormBorder, RemovingCloseAlsoRemovesTheSeparatorAboveIt) {
    StyleTestWindow w;
    CFormBorder border;
    border.SetClient(w.hwnd);
    std::vector<UINT> ids = SystemMenuIds(w.hwnd);
    const int close = PositionOf(w.hwnd, SC_CLOSE);
    ASSERT_GE(close, 1);
    ASSERT_EQ(ids[close - 1], 0u) << "a separator stands above Close";

    border.RemoveMenuItem(SC_CLOSE);
    ids.erase(ids.begin() + close - 1, ids.begin() + close + 1);
    EXPECT_EQ(SystemMenuIds(w.hwnd), ids);

    // Again: there is no Close any more, so nothing else goes.
    border.RemoveMenuItem(SC_CLOSE);
    EXPECT_EQ(SystemMenuIds(w.hwnd), ids);
}

TEST(CFormBorder, RemovingCloseKeepsARealItemAboveIt) {
    StyleTestWindow w;
    CFormBorder border;
    border.SetClient(w.hwnd);
    const int close = PositionOf(w.hwnd, SC_CLOSE);
    ASSERT_GE(close, 1);
    RemoveMenu(GetSystemMenu(w.hwnd, FALSE), static_cast<UINT>(close - 1), MF_BYPOSITION);
    std::vector<UINT> ids = SystemMenuIds(w.hwnd);
    ASSERT_NE(ids[close - 2], 0u);

    border.RemoveMenuItem(SC_CLOSE);
    ids.erase(ids.begin() + close - 1);
    EXPECT_EQ(SystemMenuIds(w.hwnd), ids);
}

TEST(CFormBorder, RemovingMinimizeTakesTheButtonAndTheGreyedItem) {
    StyleTestWindow w;
    CFormBorder border;
    border.SetClient(w.hwnd);
    std::vector<UINT> ids = SystemMenuIds(w.hwnd);
    const int minimize = PositionOf(w.hwnd, SC_MINIMIZE);
    ASSERT_GE(minimize, 0);

    border.RemoveMenuItem(SC_MINIMIZE);
    ids.erase(ids.begin() + minimize);
    EXPECT_EQ(SystemMenuIds(w.hwnd), ids);
    EXPECT_EQ(Style(w.hwnd) & WS_MINIMIZEBOX, 0u);
}

TEST(CFormBorder, ShowSysMenuSendsTheScreenPointAsSigned16BitCoordinates) {
    StyleTestWindow w;
    CFormBorder border;
    border.SetClient(w.hwnd);
    border.ShowSysMenu(-5, 300);
    const auto* sent = w.Last(StyleTestWindow::kPopupSystemMenu);
    ASSERT_NE(sent, nullptr);
    EXPECT_EQ(sent->wParam, 0u);
    EXPECT_EQ(static_cast<short>(LOWORD(sent->lParam)), -5);
    EXPECT_EQ(static_cast<short>(HIWORD(sent->lParam)), 300);
}

namespace {
bool g_menuSeen = false;
void CALLBACK CloseMenuWhenSeen(HWND, UINT, UINT_PTR, DWORD) {
    HWND popup = FindWindowA("#32768", nullptr);
    if (popup && IsWindowVisible(popup)) {
        g_menuSeen = true;
        EndMenu();
    }
}
} // namespace

TEST(CFormBorder, ShowSysMenuPopsUpTheSystemMenu) {
    StyleTestWindow w;
    w.passSystemMenu = true;
    CFormBorder border;
    border.SetClient(w.hwnd);
    SetForegroundWindow(w.hwnd);
    PumpFor(50);
    RECT r{};
    GetWindowRect(w.hwnd, &r);
    g_menuSeen = false;
    // The menu runs its own modal loop inside the call; the timer looks for it there and closes it.
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &CloseMenuWhenSeen);
    const DWORD start = GetTickCount();
    border.ShowSysMenu(r.left + 20, r.top + 20);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_menuSeen);
    EXPECT_LT(GetTickCount() - start, 10000u);
}

TEST(CFormBorder, AutoDragAndAutoSysMenuFollowTheClientsMouse) {
    StyleTestWindow w;
    const LONG_PTR ownProc = GetWindowLongPtrA(w.hwnd, GWLP_WNDPROC);
    {
        CFormBorder border;
        border.SetClient(w.hwnd);
        SendMessageA(w.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        SendMessageA(w.hwnd, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
        EXPECT_EQ(w.Count(WM_NCLBUTTONDOWN), 0);
        EXPECT_EQ(w.Count(StyleTestWindow::kPopupSystemMenu), 0);
        EXPECT_EQ(GetWindowLongPtrA(w.hwnd, GWLP_WNDPROC), ownProc) << "nothing followed while both are off";

        border.SetAutoDrag(true);
        SendMessageA(w.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        ASSERT_EQ(w.Count(WM_NCLBUTTONDOWN), 1);
        EXPECT_EQ(w.Last(WM_NCLBUTTONDOWN)->wParam, static_cast<WPARAM>(HTCAPTION));
        EXPECT_EQ(w.Count(WM_LBUTTONDOWN), 2) << "the window still sees its own press";
        SendMessageA(w.hwnd, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
        EXPECT_EQ(w.Count(StyleTestWindow::kPopupSystemMenu), 0);

        border.SetAutoSysMenu(true);
        SendMessageA(w.hwnd, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
        EXPECT_EQ(w.Count(StyleTestWindow::kPopupSystemMenu), 1);

        border.SetAutoDrag(false);
        SendMessageA(w.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        EXPECT_EQ(w.Count(WM_NCLBUTTONDOWN), 1);
        EXPECT_NE(GetWindowLongPtrA(w.hwnd, GWLP_WNDPROC), ownProc);
    }
    // The object's end withdrew its requests and the window has its own procedure again.
    EXPECT_EQ(GetWindowLongPtrA(w.hwnd, GWLP_WNDPROC), ownProc);
    SendMessageA(w.hwnd, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(w.Count(StyleTestWindow::kPopupSystemMenu), 1);
}

TEST(CFormBorder, ChangingTheClientMovesTheMouseFollowing) {
    StyleTestWindow first, second;
    const LONG_PTR firstProc = GetWindowLongPtrA(first.hwnd, GWLP_WNDPROC);
    CFormBorder border;
    border.SetAutoSysMenu(true);
    border.SetClient(first.hwnd);
    EXPECT_NE(GetWindowLongPtrA(first.hwnd, GWLP_WNDPROC), firstProc);
    border.SetClient(second.hwnd);
    EXPECT_EQ(GetWindowLongPtrA(first.hwnd, GWLP_WNDPROC), firstProc);
    SendMessageA(second.hwnd, WM_RBUTTONUP, 0, 0);
    EXPECT_EQ(second.Count(StyleTestWindow::kPopupSystemMenu), 1);
    EXPECT_EQ(first.Count(StyleTestWindow::kPopupSystemMenu), 0);
}
