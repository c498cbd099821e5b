#include "meter/cAnchor.h"
#include "meter/cAnchorWindow.h"
#include "support/WinTestUtil.h"
#include "winsys/BaseWindow.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
// A container that runs its anchoring pass on every resize, as the meter window does.
class Container : public BaseWindow<Container> {
public:
    Container() {
        CreateWindowObject("VantorelAnchorTest", "anchor test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 50, 50,
                           400, 300);
    }
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_SIZE)
            Anchor.DoResize();
        if (msg == WM_GETMINMAXINFO) {
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {1, 1};
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    HWND AddChild(int x, int y, int width, int height) {
        return CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, x, y, width, height,
                               m_hwnd, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    // Resizes the window so that its client area gets the given size.
    void SetClientSize(int width, int height) {
        RECT outer{}, client{};
        GetWindowRect(m_hwnd, &outer);
        GetClientRect(m_hwnd, &client);
        SetWindowPos(m_hwnd, nullptr, 0, 0, width + (outer.right - outer.left) - client.right,
                     height + (outer.bottom - outer.top) - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SIZE ClientSize() const {
        RECT client{};
        GetClientRect(m_hwnd, &client);
        return {client.right, client.bottom};
    }

    cAnchor Anchor;
};

// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}
} // namespace

TEST(cAnchorWindow, AChildFollowsItsParentsResize) {
    Container w;
    ASSERT_TRUE(w.Window());
    w.SetClientSize(380, 260);
    ASSERT_EQ(w.ClientSize().cx, 380);
    HWND all = w.AddChild(10, 20, 300, 200);  // gaps: right 70, bottom 40
    HWND slides = w.AddChild(330, 5, 40, 30); // anchored right: gap 10
    HWND stays = w.AddChild(5, 230, 20, 20);  // left and top only
    auto picture = std::make_shared<cAnchorWindow>(all);
    EXPECT_EQ(picture->Left(), 10);
    EXPECT_EQ(picture->Top(), 20);
    EXPECT_EQ(picture->Width(), 300);
    EXPECT_EQ(picture->ParentScaleWidth(), 380);
    w.Anchor.AddControl(picture, 15);
    w.Anchor.AddControl(std::make_shared<cAnchorWindow>(slides), 2);
    w.Anchor.AddControl(std::make_shared<cAnchorWindow>(stays), 5);

    w.SetClientSize(600, 400);
    RECT r = ChildRect(all);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right, 600 - 70);
    EXPECT_EQ(r.bottom, 400 - 40);
    r = ChildRect(slides);
    EXPECT_EQ(r.left, 600 - 10 - 40);
    EXPECT_EQ(r.right - r.left, 40);
    EXPECT_EQ(r.top, 5);
    r = ChildRect(stays);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 230);

    // Smaller than the gaps: the stretched child keeps the last size it accepted.
    w.SetClientSize(100, 100);
    ASSERT_EQ(w.ClientSize().cx, 100);
    r = ChildRect(all);
    EXPECT_EQ(r.right - r.left, 20); // 100 - 10 - 70
    EXPECT_EQ(r.bottom - r.top, 40); // 100 - 20 - 40
    w.SetClientSize(70, 50);
    r = ChildRect(all);
    EXPECT_EQ(r.right - r.left, 20);
    EXPECT_EQ(r.bottom - r.top, 40);
    EXPECT_EQ(ChildRect(slides).left, 70 - 10 - 40);
}

TEST(cAnchorWindow, RefusesNegativeSizesAndAWindowThatIsGone) {
    Container w;
    HWND child = w.AddChild(10, 10, 50, 50);
    cAnchorWindow c(child);
    EXPECT_ANY_THROW(c.SetWidth(-1));
    EXPECT_ANY_THROW(c.SetHeight(-0.6)); // rounds to -1
    c.SetWidth(-0.4);                    // rounds to 0
    c.SetHeight(2.5);                    // ties to even
    RECT r = ChildRect(child);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(r.bottom - r.top, 2);
    EXPECT_ANY_THROW(c.SetLeft(1e12));

    w.Anchor.AddControl(std::make_shared<cAnchorWindow>(child), 15);
    DestroyWindow(child);
    EXPECT_ANY_THROW(c.Left());
    EXPECT_ANY_THROW(c.ParentScaleWidth());
    w.SetClientSize(500, 500); // the pass over a control that is gone does nothing
    EXPECT_FALSE(IsWindow(child));
    EXPECT_ANY_THROW(w.Anchor.AddControl(std::make_shared<cAnchorWindow>(child), 15));
    EXPECT_EQ(w.Anchor.Count(), 1u);
}
