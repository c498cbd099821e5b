#include "app/AppError.h"
#include "meter/cSizeMoveHelper.h"
#include "meter/cSizeMoveHelperEx.h"
#include "support/WinTestUtil.h"
#include "winsys/BaseWindow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {
// A plain top-level window that records what its own procedure sees.
class TestWindow : public BaseWindow<TestWindow> {
    struct Search {
        std::string prefix;
        std::vector<std::string> found;
    };
    static BOOL CALLBACK CollectProperty(HWND, LPSTR name, HANDLE, ULONG_PTR param) {
        auto* s = reinterpret_cast<Search*>(param);
        // Properties named by an integer atom carry no text.
        if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) != 0 && std::string(name).starts_with(s->prefix))
            s->found.emplace_back(name);
        return TRUE;
    }

public:
    explicit TestWindow(int x = 100, int y = 100, int width = 300, int height = 200) {
        CreateWindowObject("VantorelSizeMoveTest", "size/move test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, x,
                           y, width, height);
        if (m_hwnd)
            ownProc = GetWindowLongPtrA(m_hwnd, GWLP_WNDPROC);
    }

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if ((msg == WM_MOVING || msg == WM_SIZING) && lParam)
            rectSeen = *reinterpret_cast<RECT*>(lParam);
        if (msg == WM_NCDESTROY) {
            procAtNcDestroy = GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
            propsAtNcDestroy = ServiceProperties(hwnd);
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    // Names of the subclassing service's properties on a window: they start with its handle.
    static std::vector<std::string> ServiceProperties(HWND hwnd) {
        Search s{std::to_string(static_cast<long long>(reinterpret_cast<LONG_PTR>(hwnd))), {}};
        EnumPropsExA(hwnd, &CollectProperty, reinterpret_cast<LPARAM>(&s));
        return s.found;
    }

    void Destroy() { DestroyWindow(m_hwnd); }

    LONG_PTR ownProc = 0;
    RECT rectSeen{};
    LONG_PTR procAtNcDestroy = 0;
    std::vector<std::string> propsAtNcDestroy{"not destroyed"};
};

RECT WorkArea() {
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

RECT Send(HWND hwnd, UINT msg, RECT rect) {
    SendMessageA(hwnd, msg, msg == WM_SIZING ? WMSZ_BOTTOMRIGHT : 0, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

bool DragFull() {
    BOOL on = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &on, 0);
    return on != FALSE;
}
} // namespace

TEST(cSizeMoveHelperEx, WithTheMetersSizerAMoveNearTheWorkAreasEdgesComesBackSnapped) {
    TestWindow w;
    cSizeMoveHelper Sizer;
    Sizer.Sizing = [](long&, long&, long& width, long&) { width = width > 1000 ? 1000 : width; };
    Sizer.Attach(w.Window());
    cSizeMoveHelperEx Snapper;
    Snapper.Attach(w.Window(), 15);
    EXPECT_EQ(Snapper.Sticky(), 15);

    const RECT area = WorkArea();
    ASSERT_GT(area.right, 0);
    SendMessageA(w.Window(), WM_ENTERSIZEMOVE, 0, 0);
    EXPECT_EQ(Snapper.WorkArea().Right, area.right);
    EXPECT_EQ(Snapper.WorkArea().Bottom, area.bottom);
    RECT r = Send(w.Window(), WM_SIZING, {100, 100, 1300, 200});
    EXPECT_EQ(r.right - r.left, 1000);

    // 7 pixels right of the left edge and 12 above the bottom: both edges land on the work area's,
    // and the window's own procedure, which runs afterwards, sees that.
    r = Send(w.Window(), WM_MOVING, {area.left + 7, area.bottom - 112, area.left + 307, area.bottom - 12});
    EXPECT_EQ(r.left, area.left);
    EXPECT_EQ(r.right, area.left + 300);
    EXPECT_EQ(r.top, area.bottom - 100);
    EXPECT_EQ(r.bottom, area.bottom);
    EXPECT_EQ(w.rectSeen.left, area.left);
    EXPECT_EQ(w.rectSeen.bottom, area.bottom);
    // The pointer moves 20 further right: its edge is at 27, out of the band; the window follows it.
    r = Send(w.Window(), WM_MOVING, {area.left + 20, area.bottom - 100, area.left + 320, area.bottom});
    EXPECT_EQ(r.left, area.left + 27);
    EXPECT_EQ(r.right - r.left, 300);
}

TEST(cSizeMoveHelper, NoFullDragSwitchesFullDragOffWhileTheWindowIsActive) {
    const bool original = DragFull();
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, 1, nullptr, 0);
    {
        TestWindow w;
        cSizeMoveHelper sizer;
        sizer.Attach(w.Window());
        SendMessageA(w.Window(), WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_TRUE(DragFull()) << "off only when asked for";
        sizer.SetNoFullDrag(true); // active already: off at once
        EXPECT_FALSE(DragFull());
        SendMessageA(w.Window(), WM_ACTIVATE, WA_INACTIVE, 0);
        EXPECT_TRUE(DragFull());
        SendMessageA(w.Window(), WM_ACTIVATE, WA_CLICKACTIVE, 0);
        EXPECT_FALSE(DragFull());
        sizer.SetNoFullDrag(false);
        EXPECT_TRUE(DragFull());

        // Destroying the window, or the helper, while full drag is off puts it back.
        sizer.SetNoFullDrag(true);
        EXPECT_FALSE(DragFull());
        w.Destroy();
        EXPECT_TRUE(DragFull());
        TestWindow w2;
        auto sizer2 = std::make_unique<cSizeMoveHelper>();
        sizer2->SetNoFullDrag(true);
        sizer2->Attach(w2.Window());
        SendMessageA(w2.Window(), WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_FALSE(DragFull());
        sizer2.reset();
        EXPECT_TRUE(DragFull());
    }
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, original, nullptr, 0);
}

TEST(cSizeMoveHelper, SizingChangesMadeByTheHandlerReachTheRectangle) {
    TestWindow w;
    cSizeMoveHelper sizer;
    std::vector<long> args;
    sizer.Sizing = [&](long& l, long& t, long& wd, long& h) {
        args = {l, t, wd, h};
        if (wd > 1000)
            wd = 1000;
        t += 5;
    };
    sizer.Attach(w.Window());
    RECT r = Send(w.Window(), WM_SIZING, {50, 60, 1250, 260});
    EXPECT_EQ(args, (std::vector<long>{50, 60, 1200, 200}));
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 65);
    EXPECT_EQ(r.right, 1050);
    EXPECT_EQ(r.bottom, 265); // height kept, moved with the top
    EXPECT_EQ(w.rectSeen.right, 1050);

    // Moving raises Moving, not Sizing; a null rectangle is ignored rather than read.
    args.clear();
    std::vector<long> moved;
    sizer.Moving = [&](long& l, long& t, long& wd, long& h) { moved = {l, t, wd, h}; };
    Send(w.Window(), WM_MOVING, {-70, 10, 230, 210});
    EXPECT_TRUE(args.empty());
    EXPECT_EQ(moved, (std::vector<long>{-70, 10, 300, 200}));
    moved.clear();
    SendMessageA(w.Window(), WM_MOVING, 0, 0);
    EXPECT_TRUE(moved.empty());
}

TEST(cSizeMoveHelper, SizeOutsideADragRaisesSizingWithTheWindowRectangleWhichStays) {
    TestWindow w;
    cSizeMoveHelper sizer;
    std::vector<std::string> events;
    RECT raised{};
    sizer.EnterSizeMove = [&] { events.push_back("enter"); };
    sizer.ExitSizeMove = [&] { events.push_back("exit"); };
    sizer.Sizing = [&](long& l, long& t, long& wd, long& h) {
        events.push_back("sizing");
        raised = {l, t, l + wd, t + h};
        wd = 1000;
        h = 5;
    };
    sizer.Attach(w.Window());
    SetWindowPos(w.Window(), nullptr, 120, 130, 420, 250, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT actual{};
    GetWindowRect(w.Window(), &actual);
    EXPECT_EQ(events, std::vector<std::string>{"sizing"});
    EXPECT_EQ(raised.left, actual.left);
    EXPECT_EQ(raised.top, actual.top);
    EXPECT_EQ(raised.right, actual.right);
    EXPECT_EQ(raised.bottom, actual.bottom);
    EXPECT_EQ(actual.right - actual.left, 420);
    EXPECT_EQ(actual.bottom - actual.top, 250);

    // Within a move or size the system's own WM_SIZING steps are reported, not WM_SIZE.
    events.clear();
    SendMessageA(w.Window(), WM_ENTERSIZEMOVE, 0, 0);
    SetWindowPos(w.Window(), nullptr, 0, 0, 400, 240, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    SendMessageA(w.Window(), WM_EXITSIZEMOVE, 0, 0);
    SetWindowPos(w.Window(), nullptr, 0, 0, 410, 240, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "exit", "sizing"}));
}

TEST(cSizeMoveHelper, ActivationByClickIsByMouseAndByKeyboardIsNot) {
    TestWindow w(100, 100, 300, 200);
    TestWindow other(520, 100, 300, 200);
    ASSERT_TRUE(SetForegroundWindow(other.Window()));
    PumpFor(100);
    cSizeMoveHelper sizer;
    std::vector<std::string> events;
    sizer.Activate = [&](bool byMouse) { events.push_back(byMouse ? "mouse" : "keyboard"); };
    sizer.Deactivate = [&] { events.push_back("deactivate"); };
    sizer.Attach(w.Window());
    EXPECT_FALSE(sizer.Active());

    // A real click into the client area of the inactive window.
    RECT client{};
    GetClientRect(w.Window(), &client);
    POINT p{client.right / 2, client.bottom / 2};
    ClientToScreen(w.Window(), &p);
    SetCursorPos(p.x, p.y);
    INPUT click[2]{};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, click, sizeof(INPUT));
    EXPECT_TRUE(PumpUntil([&] { return !events.empty(); }, 5000));
    EXPECT_EQ(events, std::vector<std::string>{"mouse"});
    EXPECT_TRUE(sizer.Active());

    events.clear();
    SetForegroundWindow(other.Window());
    PumpUntil([&] { return !events.empty(); }, 3000);
    EXPECT_FALSE(sizer.Active());
    SetForegroundWindow(w.Window());
    PumpUntil([&] { return events.size() >= 2; }, 3000);
    EXPECT_EQ(events, (std::vector<std::string>{"deactivate", "keyboard"}));
    EXPECT_TRUE(sizer.Active());

    // Losing activation while minimised carries the minimised flag in the high word: still a loss.
    events.clear();
    SendMessageA(w.Window(), WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, TRUE), 0);
    EXPECT_EQ(events, std::vector<std::string>{"deactivate"});
    EXPECT_FALSE(sizer.Active());
}

TEST(cSizeMoveHelper, DestroyingTheWindowDetachesAndRestoresItsProcedure) {
    TestWindow w;
    const LONG_PTR ownProc = w.ownProc;
    ASSERT_NE(ownProc, 0);
    int events = 0;
    cSizeMoveHelper sizer;
    sizer.ExitSizeMove = [&] { ++events; };
    sizer.Attach(w.Window());
    cSizeMoveHelperEx snapper;
    snapper.Attach(w.Window(), 15);
    EXPECT_NE(GetWindowLongPtrA(w.Window(), GWLP_WNDPROC), ownProc);
    EXPECT_FALSE(TestWindow::ServiceProperties(w.Window()).empty());
    SendMessageA(w.Window(), WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(events, 1);

    w.Destroy();
    EXPECT_EQ(w.procAtNcDestroy, ownProc);
    EXPECT_TRUE(w.propsAtNcDestroy.empty()) << w.propsAtNcDestroy.front();
    // Both helpers outlive the window and end quietly afterwards.
}

TEST(cSizeMoveHelper, AHelperThatEndsFirstLeavesTheWindowAsItWas) {
    TestWindow w;
    int events = 0;
    {
        cSizeMoveHelper sizer;
        sizer.EnterSizeMove = [&] { ++events; };
        sizer.Attach(w.Window());
        sizer.Attach(w.Window()); // attaching again replaces the earlier attachment
        SendMessageA(w.Window(), WM_ENTERSIZEMOVE, 0, 0);
        EXPECT_EQ(events, 1);
        sizer.Detach();
        EXPECT_EQ(sizer.Window(), w.Window());
        SendMessageA(w.Window(), WM_ENTERSIZEMOVE, 0, 0);
        EXPECT_EQ(events, 1);
        sizer.Attach(w.Window());
    }
    EXPECT_EQ(GetWindowLongPtrA(w.Window(), GWLP_WNDPROC), w.ownProc);
    EXPECT_TRUE(TestWindow::ServiceProperties(w.Window()).empty());
    SendMessageA(w.Window(), WM_ENTERSIZEMOVE, 0, 0);
    EXPECT_EQ(events, 1);
}

TEST(cSizeMoveHelper, AttachingToSomethingThatIsNotAWindowIsRefused) {
    cSizeMoveHelper sizer;
    try {
        sizer.Attach(reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x7ffe1234)));
        ADD_FAILURE() << "an invalid handle must be refused";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number, ObjectError(13083));
    }
    cSizeMoveHelperEx snapper;
    EXPECT_THROW(snapper.Attach(nullptr), AppError);
}

TEST(cSizeMoveHelperEx, ARealDragByTheTitleBarSnapsToTheWorkAreasEdge) {
    TestWindow w(300, 200, 300, 200);
    cSizeMoveHelperEx snapper;
    snapper.Attach(w.Window(), 15);
    std::atomic<int> exits = 0;
    cSizeMoveHelper sizer;
    sizer.ExitSizeMove = [&] { ++exits; };
    sizer.Attach(w.Window());
    SetForegroundWindow(w.Window());
    PumpFor(100);

    const RECT area = WorkArea();
    RECT start{};
    GetWindowRect(w.Window(), &start);
    const POINT grab{start.left + 150,
                     start.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
    // The pointer goes so that the left edge would end 9 pixels right of the work area's edge.
    const POINT path[] = {grab,
                          grab,
                          {grab.x - 60, grab.y},
                          {grab.x - 150, grab.y + 10},
                          {grab.x - start.left + area.left + 9, grab.y + 20}};
    // The system's move loop runs inside this thread's dispatch, so the user's hand is another thread.
    std::thread hand([&] {
        const int sw = GetSystemMetrics(SM_CXSCREEN) - 1, sh = GetSystemMetrics(SM_CYSCREEN) - 1;
        auto mouse = [&](DWORD flags, POINT p) {
            INPUT i{};
            i.type = INPUT_MOUSE;
            i.mi.dx = MulDiv(p.x, 65535, sw);
            i.mi.dy = MulDiv(p.y, 65535, sh);
            i.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
            SendInput(1, &i, sizeof i);
            Sleep(100);
        };
        mouse(0, path[0]);
        mouse(MOUSEEVENTF_LEFTDOWN, path[1]);
        for (int n = 2; n < 5; ++n)
            mouse(0, path[n]);
        mouse(MOUSEEVENTF_LEFTUP, path[4]);
        // A move loop that missed the release must not hold the test: Escape ends it.
        for (int n = 0; n < 50 && exits == 0; ++n)
            Sleep(100);
        if (exits == 0) {
            INPUT key[2]{};
            key[0].type = key[1].type = INPUT_KEYBOARD;
            key[0].ki.wVk = key[1].ki.wVk = VK_ESCAPE;
            key[1].ki.dwFlags = KEYEVENTF_KEYUP;
            SendInput(2, key, sizeof(INPUT));
        }
    });
    const bool ended = PumpUntil([&] { return exits > 0; }, 10000);
    hand.join();
    ASSERT_TRUE(ended) << "the system's move loop never ended";
    RECT end{};
    GetWindowRect(w.Window(), &end);
    EXPECT_EQ(end.left, area.left);
    EXPECT_EQ(end.top, start.top + 20);
    EXPECT_EQ(end.right - end.left, 300);
}
