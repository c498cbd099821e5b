#include "winsys/SysTray.h"
#include "app/AppError.h"
#include "support/WinTestUtil.h"
#include "winsys/SubclassTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {
using Strings = std::vector<std::string>;
std::vector<UINT> g_hostCommands;
std::vector<UINT> g_hostMessages;
const UINT kTaskbarCreated = RegisterWindowMessageA("TaskbarCreated");

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND)
        g_hostCommands.push_back(LOWORD(wParam));
    if (msg >= 0xC000)
        g_hostMessages.push_back(msg);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class SysTrayTest : public testing::Test {
protected:
    void SetUp() override { g_hostCommands.clear(), g_hostMessages.clear(); }
    // Records each request as the shell would get it: "<request> <flags> <picture> <tooltip>", and
    // "(booked)" while the host still routes TaskbarCreated to the control.
    SysTray::ShellNotify Shell() {
        return [this](DWORD message, NOTIFYICONDATAA* d) {
            const char* verbs[] = {"add", "modify", "delete"};
            const char* picture = d->hIcon == icon1 ? "i1" : d->hIcon == icon2 ? "i2" : "other";
            requests.push_back(std::string(verbs[message]) + " " + std::to_string(d->uFlags) + " " + picture +
                               " " + d->szTip + (WindowProps(host.get()).empty() ? "" : " (booked)"));
            last = *d;
            return TRUE;
        };
    }
    Strings Sent() { return std::exchange(requests, {}); }
    // Restarting with the taskbar, the tooltip, the picture, visible, live.
    SysTrayDesign Design(bool visible, bool live = true) const {
        return {true, "Vantorel v1.0", icon1, visible, live};
    }

    TestWindow host = MakeTestWindow(HostProc, "SysTrayTestHost");
    Strings requests;
    NOTIFYICONDATAA last{};
    HICON icon1 = LoadIconA(nullptr, IDI_WARNING);
    HICON icon2 = LoadIconA(nullptr, IDI_INFORMATION);
};
} // namespace

TEST_F(SysTrayTest, AVisibleIconIsAddedWholeAndOnlyChangesThatMatterReachTheShell) {
    SysTray tray(host.get(), Design(true), Shell());
    EXPECT_EQ(Sent(), Strings{"add 7 i1 Vantorel v1.0 (booked)"});
    EXPECT_EQ(last.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));
    EXPECT_EQ(last.uID + last.dwState + last.dwInfoFlags, 0u);
    EXPECT_EQ(last.uCallbackMessage, RegisterWindowMessageA("Vantorel_TrayMsg")); // where the shell reports
    // Its own window is hidden and owned by the host, so it goes with it.
    EXPECT_FALSE(IsWindowVisible(tray.hWnd()));
    EXPECT_EQ(GetWindow(tray.hWnd(), GW_OWNER), host.get());

    // Samples in a steady state keep their picture and text: the same again costs no request.
    const std::string long200 = std::string(100, 'a') + std::string(100, 'b');
    tray.SetTooltip(long200);
    tray.SetTooltip(long200);
    tray.SetIcon(icon2);
    tray.SetIcon(icon2);
    const std::string cut = long200.substr(0, 127);
    EXPECT_EQ(Sent(), (Strings{"modify 4 i1 " + cut + " (booked)", "modify 2 i2 " + cut + " (booked)"}));
    EXPECT_EQ(tray.Tooltip(), long200);

    tray.ShowBaloonNotification(std::string(300, 'm'), std::string(100, 't'), 1);
    EXPECT_EQ(last.uFlags + last.dwInfoFlags, 16u + 1u);
    EXPECT_EQ(last.szInfo + std::string("|") + last.szInfoTitle,
              std::string(255, 'm') + "|" + std::string(63, 't'));
    tray.HideBaloonNotification();
    EXPECT_EQ(last.szInfo + std::string("|") + last.szInfoTitle + std::to_string(last.dwInfoFlags), "|0");
    EXPECT_EQ(Sent().size(), 2u);
}

TEST_F(SysTrayTest, AHiddenIconKeepsItsChangesForTheAddAndNeverShowsABalloon) {
    SysTray tray(host.get(), Design(false), Shell());
    // Setting the flag is never skipped: false asks for a delete, which the shell refuses.
    EXPECT_EQ(Sent(), Strings{"delete 2 i1 Vantorel v1.0 (booked)"});
    tray.SetTooltip("changed while hidden");
    tray.SetIcon(icon2);
    tray.ShowBaloonNotification("dropped", "while hidden", 1);
    tray.HideBaloonNotification();
    EXPECT_EQ(Sent(), Strings{});
    tray.SetVisible(true);
    tray.SetVisible(true); // a second add is the shell's to refuse
    EXPECT_EQ(std::string(last.szInfo), "") << "a dropped balloon is not shown later";
    tray.SetVisible(false);
    const std::string record = " 7 i2 changed while hidden (booked)";
    EXPECT_EQ(Sent(), (Strings{"add" + record, "add" + record, "delete" + record}));
    EXPECT_FALSE(tray.Visible());

    tray.SetIcon(nullptr);
    EXPECT_EQ(tray.Icon(), LoadIconA(nullptr, IDI_APPLICATION)) << "no picture and a host without an icon";
}

TEST_F(SysTrayTest, TeardownWithdrawsBothRequestsBeforeTheIconGoesWhicheverWindowGoesFirst) {
    const LONG_PTR hostProc = GetWindowLongPtrA(host.get(), GWLP_WNDPROC);
    auto tray = std::make_unique<SysTray>(host.get(), Design(true), Shell());
    const HWND own = tray->hWnd();
    Sent();
    tray.reset();
    EXPECT_EQ(Sent(), Strings{"delete 7 i1 Vantorel v1.0"}) << "withdrawn before the delete";
    EXPECT_EQ(GetWindowLongPtrA(host.get(), GWLP_WNDPROC), hostProc);
    EXPECT_FALSE(IsWindow(own));

    tray = std::make_unique<SysTray>(host.get(), Design(true), Shell());
    Sent();
    host.reset();
    EXPECT_EQ(Sent(), Strings{"delete 7 i1 Vantorel v1.0"});
    EXPECT_EQ(tray->hWnd(), nullptr);
    tray->SetVisible(true);
    EXPECT_EQ(Sent(), Strings{}) << "no window left for the icon to report to";

    // A host that is gone fails the creation, and no tray window is left behind.
    EXPECT_THROW(SysTray(own, Design(true), Shell()), AppError);
    EXPECT_EQ(Sent(), Strings{});
    EXPECT_EQ(FindWindowA("VantorelSysTray", nullptr), nullptr);
}

TEST_F(SysTrayTest, NotificationsBecomeEventsAndAHandlerMayEndTheControl) {
    auto tray = std::make_unique<SysTray>(host.get(), Design(true), Shell());
    const HWND own = tray->hWnd();
    Strings events;
    auto plain = [&](const char* name) { return [&events, name] { events.push_back(name); }; };
    tray->MouseDown = [&](int32_t b) { events.push_back("Down" + std::to_string(b)); };
    tray->LeftClick = plain("Left");
    tray->RightClick = plain("Right");
    tray->DoubleLeftClick = plain("DoubleLeft");
    tray->BalloonClicked = plain("BalloonClicked");
    // The program's buttons: left, double left, right, middle, X; the wheel is nothing.
    for (UINT code : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_XBUTTONDOWN,
                      WM_MOUSEWHEEL, WM_USER + 5})
        SendMessageA(own, tray->TrayMessage(), 0, code);
    EXPECT_EQ(events,
              (Strings{"Down1", "Left", "DoubleLeft", "Down2", "Right", "Down4", "Down8", "BalloonClicked"}));
    events.clear();
    SendMessageA(host.get(), tray->TrayMessage(), 0, 513);
    EXPECT_EQ(events, Strings{}) << "the private message means nothing to any other window";

    // As the Exit command of the icon's menu does.
    tray->MouseDown = [&](int32_t) {
        tray.reset();
        events.push_back("still running");
    };
    Sent();
    SendMessageA(own, RegisterWindowMessageA("Vantorel_TrayMsg"), 0, 513);
    EXPECT_EQ(events, Strings{"still running"}) << "no LeftClick for a control that is gone";
    EXPECT_EQ(Sent(), Strings{"delete 7 i1 Vantorel v1.0"});
}

TEST_F(SysTrayTest, ARecreatedTaskbarGetsTheVisibleIconBackAsItWas) {
    SysTray tray(host.get(), Design(true), Shell());
    tray.SetTooltip("Vantorel In: 1.5kb/s Out: 0kb/s");
    tray.SetIcon(icon2);
    Sent();
    PostMessageA(HWND_BROADCAST, kTaskbarCreated, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !requests.empty(); }, 5000));
    EXPECT_EQ(Sent(), Strings{"add 7 i2 Vantorel In: 1.5kb/s Out: 0kb/s (booked)"});
    EXPECT_EQ(last.uCallbackMessage, tray.TrayMessage());
    EXPECT_EQ(std::count(g_hostMessages.begin(), g_hostMessages.end(), kTaskbarCreated), 0)
        << "the host's own procedure does not see the consumed message";

    // A host that says no leaves the icon out, and an invisible icon is not brought back.
    int raised = 0;
    tray.TaskbarCreated = [&](bool& restore) { restore = ++raised > 1; };
    SendMessageA(host.get(), kTaskbarCreated, 0, 0);
    SendMessageA(host.get(), kTaskbarCreated, 0, 0);
    EXPECT_EQ(Sent(), Strings{"delete 7 i2 Vantorel In: 1.5kb/s Out: 0kb/s (booked)"});
    EXPECT_EQ(raised, 1);

    SysTray designOnly(host.get(), Design(true, false), Shell());
    designOnly.SetTooltip("x");
    EXPECT_EQ(Sent(), Strings{}) << "a control that is not live never calls the shell";
    EXPECT_TRUE(WindowProps(designOnly.hWnd()).empty());
}

namespace {
void Click(DWORD down, DWORD up, POINT at) {
    SetCursorPos(at.x, at.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = down;
    input[1].mi.dwFlags = up;
    SendInput(2, input, sizeof(INPUT));
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
} // namespace

TEST_F(SysTrayTest, TheMenuShowsItsDefaultBoldForThisPopupAndTheHostGetsTheChosenCommand) {
    SysTray tray(host.get(), Design(true), Shell());
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 101, "Show");
    AppendMenuA(menu, MF_STRING, 102, "Statistics...");
    HWND front = nullptr;
    UINT bold = 0;
    g_menuAction = [&] {
        front = GetForegroundWindow();
        bold = GetMenuDefaultItem(menu, FALSE, 0);
        RECT rc{};
        GetMenuItemRect(nullptr, menu, 1, &rc);
        // With a default entry the right button chooses too.
        Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP,
              POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
    };
    SetTimer(nullptr, 0, 300, InMenu);
    EXPECT_EQ(tray.ShowMenu(menu, 101u), 102u);
    EXPECT_EQ(front, tray.hWnd()) << "the control's window is in front while the menu is up";
    EXPECT_EQ(bold, 101u);
    EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), static_cast<UINT>(-1)) << "bold for this popup only";
    EXPECT_EQ(g_hostCommands, std::vector<UINT>{102u}) << "the host gets the command as from its own menu";

    SetTimer(nullptr, 0, 300, InMenu);
    EXPECT_EQ(tray.ShowMenu(menu, 101u), 0u) << "closed without a choice";
    EXPECT_EQ(g_hostCommands.size(), 1u);
    DestroyMenu(menu);
}

// The real shell of the Wine desktop: the icon lands in the tray and a click on it comes back as events.
TEST_F(SysTrayTest, TheRealShellTakesTheIconAndAClickOnItComesBack) {
    std::vector<std::pair<DWORD, BOOL>> results;
    SysTray tray(host.get(), Design(false), [&](DWORD message, NOTIFYICONDATAA* data) {
        results.emplace_back(message, Shell_NotifyIconA(message, data));
        return results.back().second;
    });
    // The tray window appears shortly after the desktop, so the first add is retried.
    ASSERT_TRUE(PumpUntil(
        [&] {
            tray.SetVisible(true);
            return results.back().second != FALSE;
        },
        10000))
        << "the shell never took the icon";

    RECT bar{};
    ASSERT_TRUE(GetWindowRect(FindWindowA("Shell_TrayWnd", nullptr), &bar));
    std::vector<std::string> events;
    tray.LeftClick = [&] { events.push_back("LeftClick"); };
    tray.MouseUp = [&](int32_t b) { events.push_back("MouseUp" + std::to_string(b)); };
    // Ours is the only icon: it sits at the right end of the taskbar.
    Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, POINT{bar.right - 11, (bar.top + bar.bottom) / 2});
    EXPECT_TRUE(PumpUntil([&] { return events.size() >= 2; }, 5000));
    EXPECT_EQ(events, (std::vector<std::string>{"LeftClick", "MouseUp1"}));

    results.clear();
    tray.SetTooltip("Vantorel In: 1kb/s Out: 0kb/s");
    tray.SetVisible(false);
    EXPECT_EQ(results, (std::vector<std::pair<DWORD, BOOL>>{{NIM_MODIFY, TRUE}, {NIM_DELETE, TRUE}}));
}
