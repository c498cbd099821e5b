#include "winsys/SysTray.h"
#include "app/MainMenu.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {
using Strings = std::vector<std::string>;
std::vector<UINT> g_hostCommands;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND)
        g_hostCommands.push_back(LOWORD(wParam));
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void RightClick(POINT at) {
    SetCursorPos(at.x, at.y);
    mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
}

// Runs inside the menu's own loop (pumping messages here would take them away from the menu); a tick
// later it closes the menu should the action have left it open.
std::function<void()> g_menuAction;
void CALLBACK InMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (!g_menuAction)
        return (void)EndMenu();
    std::exchange(g_menuAction, nullptr)();
    SetTimer(nullptr, 0, 300, InMenu);
}

class SysTrayTest : public testing::Test {
protected:
    // Records each request as the shell would get it: "<request> <flags> <picture> <tooltip>", and
    // "(booked)" while the host still routes TaskbarCreated to the control.
    SysTray::ShellNotify Shell() {
        return [this](DWORD message, NOTIFYICONDATAA* d) {
            const char* verbs[] = {"add", "modify", "delete"};
            const char* picture = d->hIcon == icon1 ? "i1" : d->hIcon == icon2 ? "i2" : "other";
            requests.push_back(std::string(verbs[message]) + " " + std::to_string(d->uFlags) + " " + picture +
                               " " + d->szTip + (BookedProps(host.get()) ? " (booked)" : ""));
            last = *d;
            return TRUE;
        };
    }
    Strings Sent() { return std::exchange(requests, {}); }
    SysTrayDesign Design(bool visible) const { return {true, "Vantorel v1.0", icon1, visible, true}; }

    TestWindow host = MakeTestWindow(HostProc, "SysTrayTestHost");
    Strings requests;
    NOTIFYICONDATAA last{};
    HICON icon1 = LoadIconA(nullptr, IDI_WARNING);
    HICON icon2 = LoadIconA(nullptr, IDI_INFORMATION);
};
} // namespace

// The program creates its icon hidden, sets the tooltip, then shows it and feeds it a sample a second.
TEST_F(SysTrayTest, OnlyChangesThatMatterReachTheShellAndTheIconComesBackWithTheTaskbar) {
    auto tray = std::make_unique<SysTray>(host.get(), Design(false), Shell());
    EXPECT_EQ(Sent(), Strings{"delete 2 i1 Vantorel v1.0 (booked)"}) << "the shell refuses it harmlessly";
    const std::string long200 = std::string(100, 'a') + std::string(100, 'b');
    tray->SetTooltip(long200);
    tray->SetIcon(icon2);
    EXPECT_EQ(Sent(), Strings{});
    tray->SetVisible(true);
    EXPECT_EQ(Sent(), Strings{"add 7 i2 " + long200.substr(0, 127) + " (booked)"});

    // Samples in a steady state keep their picture and text: the same again costs no request.
    const std::string tip = "Vantorel In: 1.5kb/s Out: 0kb/s";
    for (int i = 0; i < 2; ++i)
        tray->SetTooltip(tip), tray->SetIcon(icon1);
    EXPECT_EQ(Sent(), (Strings{"modify 4 i2 " + tip + " (booked)", "modify 2 i1 " + tip + " (booked)"}));

    tray->ShowBaloonNotification(std::string(300, 'm'), std::string(100, 't'), 1);
    EXPECT_EQ(last.szInfo, std::string(255, 'm'));
    EXPECT_EQ(last.szInfoTitle, std::string(63, 't'));
    EXPECT_EQ(Sent().size(), 1u);

    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !requests.empty(); }, 5000));
    EXPECT_EQ(Sent(), Strings{"add 7 i1 " + tip + " (booked)"});
}

// At logon the shell may not be ready: a refused add (and a modify of an icon that is not there) is
// asked again each second until the shell takes it, and then no more.
TEST_F(SysTrayTest, ARefusedAddIsRetriedUntilTheShellTakesTheIcon) {
    int refusals = 2;
    const auto shell = [&, record = Shell()](DWORD message, NOTIFYICONDATAA* d) {
        record(message, d);
        return message == NIM_DELETE || refusals <= 0 ? TRUE : (message == NIM_MODIFY && --refusals, FALSE);
    };
    auto tray = std::make_unique<SysTray>(host.get(), Design(true), shell);
    EXPECT_EQ(Sent(), (Strings{"add 7 i1 Vantorel v1.0 (booked)", "modify 7 i1 Vantorel v1.0 (booked)"}));
    PumpUntil([&] { return refusals == 0 && !requests.empty(); }, 5000);
    ASSERT_EQ(refusals, 0);
    ASSERT_FALSE(requests.empty());
    PumpFor(2500);
    EXPECT_EQ(Sent(), (Strings{"add 7 i1 Vantorel v1.0 (booked)", "modify 7 i1 Vantorel v1.0 (booked)",
                               "add 7 i1 Vantorel v1.0 (booked)"}))
        << "asked again until taken, then left alone";
}

TEST_F(SysTrayTest, NotificationsBecomeEventsAndAHandlerMayEndTheControl) {
    auto tray = std::make_unique<SysTray>(host.get(), Design(true), Shell());
    const HWND own = tray->hWnd();
    Strings events;
    tray->MouseDown = [&](int32_t b) { events.push_back("Down" + std::to_string(b)); };
    tray->LeftClick = [&] { events.push_back("Left"); };
    tray->RightClick = [&] { events.push_back("Right"); };
    tray->DoubleLeftClick = [&] { events.push_back("DoubleLeft"); };
    // The program's buttons: left, double left, right, middle, X; the wheel is nothing.
    for (UINT code :
         {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_XBUTTONDOWN, WM_MOUSEWHEEL})
        SendMessageA(own, tray->TrayMessage(), 0, code);
    EXPECT_EQ(events, (Strings{"Down1", "Left", "DoubleLeft", "Down2", "Right", "Down4", "Down8"}));

    // As the Exit command of the icon's menu does: both requests are withdrawn before the delete (no
    // books left on the host).
    events.clear();
    tray->MouseDown = [&](int32_t) {
        tray.reset();
        events.push_back("still running");
    };
    Sent();
    SendMessageA(own, RegisterWindowMessageA("Vantorel_TrayMsg"), 0, WM_LBUTTONDOWN);
    EXPECT_EQ(events, Strings{"still running"}) << "no LeftClick for a control that is gone";
    EXPECT_EQ(Sent(), Strings{"delete 7 i1 Vantorel v1.0"});
    EXPECT_FALSE(IsWindow(own));
}

// The real shell of the Wine desktop: the icon lands in the tray, a right click on it comes back and opens
// the menu as the program does, with its default bold for this popup, and the host gets the choice. Its
// other requests take the same call; what they hold is the first test's to check.
TEST_F(SysTrayTest, TheRealShellTakesTheIconAndItsRightClickOpensTheMenu) {
    BOOL taken = FALSE;
    SysTray tray(host.get(), Design(false), [&](DWORD message, NOTIFYICONDATAA* data) {
        return taken = Shell_NotifyIconA(message, data);
    });
    // The tray window appears shortly after the desktop, so the first add is retried.
    ASSERT_TRUE(PumpUntil(
        [&] {
            tray.SetVisible(true);
            return taken != FALSE;
        },
        10000))
        << "the shell never took the icon";

    MainMenu program; // the program's own popup
    const HMENU menu = program.Popup();
    HWND front = nullptr;
    UINT bold = 0, chosen = 0;
    g_menuAction = [&] {
        front = GetForegroundWindow();
        bold = GetMenuDefaultItem(menu, FALSE, 0);
        RECT rc{};
        GetMenuItemRect(nullptr, menu, 1, &rc);
        // With a default entry the right button chooses too.
        RightClick({(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
    };
    tray.RightClick = [&] {
        SetTimer(nullptr, 0, 300, InMenu);
        chosen = tray.ShowMenu(menu, MainMenu::mnuShow);
    };
    RECT bar{};
    ASSERT_TRUE(GetWindowRect(FindWindowA("Shell_TrayWnd", nullptr), &bar));
    // Ours is the only icon: it sits at the right end of the taskbar.
    RightClick({bar.right - 11, (bar.top + bar.bottom) / 2});
    EXPECT_TRUE(PumpUntil([&] { return chosen != 0; }, 5000)) << "no right click came back";
    EXPECT_EQ(front, tray.hWnd()) << "the control's window is in front while the menu is up";
    EXPECT_EQ(bold, MainMenu::mnuShow);
    EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), static_cast<UINT>(-1)) << "bold for this popup only";
    EXPECT_EQ(g_hostCommands, std::vector<UINT>{MainMenu::mnuStatistics}) << "the host gets the command";
}
