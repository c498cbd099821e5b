#include "winsys/SysTray.h"
#include "app/AppError.h"
#include "support/WinTestUtil.h"
#include "winsys/MSubclass.h"
#include "winsys/SubclassTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {
std::vector<UINT> g_hostCommands;
std::vector<UINT> g_hostMessages;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND)
        g_hostCommands.push_back(LOWORD(wParam));
    if (msg >= 0xC000)
        g_hostMessages.push_back(msg);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// One request as the shell would have received it, and whether the host was still subclassed then.
struct Request {
    DWORD message;
    NOTIFYICONDATAA data;
    bool hostBooked;
    std::string tip() const { return data.szTip; }
};

class SysTrayTest : public testing::Test {
protected:
    void SetUp() override {
        g_hostCommands.clear();
        g_hostMessages.clear();
    }
    SysTray::ShellNotify Shell() {
        return [this](DWORD message, NOTIFYICONDATAA* data) {
            requests.push_back({message, *data, !WindowProps(host.hwnd()).empty()});
            return TRUE;
        };
    }
    SysTrayDesign Design(bool visible, bool live = true) const {
        SysTrayDesign design;
        design.ToolTip = "Vantorel v1.0";
        design.Icon = icon1;
        design.Visible = visible;
        design.Live = live;
        return design;
    }
    // The shell's way: the private message with the code in lParam.
    static void Notify(SysTray& tray, UINT code) { SendMessageA(tray.hWnd(), tray.TrayMessage(), 0, code); }
    std::vector<DWORD> Messages() const {
        std::vector<DWORD> messages;
        for (const Request& request : requests)
            messages.push_back(request.message);
        return messages;
    }

    TestWindow host{HostProc, "SysTrayTestHost"};
    std::vector<Request> requests;
    HICON icon1 = LoadIconA(nullptr, IDI_WARNING);
    HICON icon2 = LoadIconA(nullptr, IDI_INFORMATION);
};
} // namespace

TEST_F(SysTrayTest, AVisibleIconIsAddedWholeAndOnlyChangesThatMatterReachTheShell) {
    SysTray tray(host.hwnd(), Design(true), Shell());
    ASSERT_EQ(Messages(), std::vector<DWORD>{NIM_ADD});
    const NOTIFYICONDATAA& d = requests[0].data;
    EXPECT_EQ(d.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));
    EXPECT_EQ(d.uFlags, 7u);
    EXPECT_EQ(d.hWnd, tray.hWnd());
    EXPECT_EQ(d.uID + d.dwState + d.dwInfoFlags, 0u);
    EXPECT_EQ(d.uCallbackMessage, RegisterWindowMessageA("Vantorel_TrayMsg"));
    EXPECT_EQ(d.hIcon, icon1);
    EXPECT_EQ(requests[0].tip(), "Vantorel v1.0");
    // Its own window is hidden and owned by the host, so it goes with it.
    EXPECT_FALSE(IsWindowVisible(tray.hWnd()));
    EXPECT_EQ(GetWindow(tray.hWnd(), GW_OWNER), host.hwnd());
    const auto client = reinterpret_cast<LONG_PTR>(static_cast<ISubclass*>(&tray));
    const std::string own = HandleText(tray.hWnd()) + "#" + std::to_string(tray.TrayMessage());
    const std::string top =
        HandleText(host.hwnd()) + "#" + std::to_string(RegisterWindowMessageA("TaskbarCreated"));
    EXPECT_EQ(WindowProps(tray.hWnd())[own + "#1"], client);
    EXPECT_EQ(WindowProps(host.hwnd())[top + "#1"], client);

    const std::string long200 = std::string(100, 'a') + std::string(100, 'b');
    tray.SetTooltip(long200);
    EXPECT_EQ(requests.back().message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(requests.back().data.uFlags, 4u);
    EXPECT_EQ(requests.back().tip(), long200.substr(0, 127));
    EXPECT_EQ(tray.Tooltip(), long200);

    // Samples in a steady state keep their picture: the same icon again costs no request.
    requests.clear();
    tray.SetIcon(icon2);
    tray.SetIcon(icon2);
    ASSERT_EQ(Messages(), std::vector<DWORD>{NIM_MODIFY});
    EXPECT_EQ(requests[0].data.uFlags, 2u);
    EXPECT_EQ(requests[0].data.hIcon, icon2);

    tray.ShowBaloonNotification(std::string(300, 'm'), std::string(100, 't'), 1);
    const NOTIFYICONDATAA& b = requests.back().data;
    EXPECT_EQ(b.uFlags + b.dwInfoFlags, 16u + 1u);
    EXPECT_EQ(b.szInfo + std::string("|") + b.szInfoTitle,
              std::string(255, 'm') + "|" + std::string(63, 't'));
    tray.HideBaloonNotification();
    EXPECT_EQ(requests.back().data.szInfo + std::string("|") + requests.back().data.szInfoTitle, "|");
    EXPECT_EQ(requests.back().data.dwInfoFlags, 0u);
    EXPECT_EQ(requests.size(), 3u);
}

TEST_F(SysTrayTest, AHiddenIconKeepsItsChangesForTheAddAndNeverShowsABalloon) {
    SysTray tray(host.hwnd(), Design(false), Shell());
    // Setting the flag is never skipped: false asks for a delete, which the shell refuses.
    EXPECT_EQ(Messages(), std::vector<DWORD>{NIM_DELETE});
    requests.clear();
    tray.SetTooltip("changed while hidden");
    tray.SetIcon(icon2);
    tray.ShowBaloonNotification("dropped", "while hidden", 1);
    tray.HideBaloonNotification();
    EXPECT_TRUE(requests.empty());

    tray.SetVisible(true);
    tray.SetVisible(true); // a second add is the shell's to refuse
    tray.SetVisible(false);
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_ADD, NIM_DELETE}));
    EXPECT_EQ(requests[0].data.uFlags, 7u);
    EXPECT_EQ(requests[0].tip(), "changed while hidden");
    EXPECT_EQ(requests[0].data.hIcon, icon2);
    EXPECT_EQ(std::string(requests[0].data.szInfo), "") << "a dropped balloon is not shown later";
    EXPECT_FALSE(tray.Visible());

    tray.SetIcon(nullptr);
    EXPECT_EQ(tray.Icon(), LoadIconA(nullptr, IDI_APPLICATION)) << "no picture and a host without an icon";
}

TEST_F(SysTrayTest, TeardownWithdrawsBothRequestsBeforeTheIconGoesWhicheverWindowGoesFirst) {
    const LONG_PTR hostProc = GetWindowLongPtrA(host.hwnd(), GWLP_WNDPROC);
    HWND own = nullptr;
    {
        SysTray tray(host.hwnd(), Design(true), Shell());
        own = tray.hWnd();
        requests.clear();
    }
    ASSERT_EQ(Messages(), std::vector<DWORD>{NIM_DELETE});
    EXPECT_FALSE(requests[0].hostBooked) << "the requests must be withdrawn before the delete";
    EXPECT_TRUE(WindowProps(host.hwnd()).empty());
    EXPECT_EQ(GetWindowLongPtrA(host.hwnd(), GWLP_WNDPROC), hostProc);
    EXPECT_FALSE(IsWindow(own));

    SysTray tray(host.hwnd(), Design(true), Shell());
    requests.clear();
    host.Destroy();
    ASSERT_EQ(Messages(), std::vector<DWORD>{NIM_DELETE});
    EXPECT_FALSE(requests[0].hostBooked);
    EXPECT_EQ(tray.hWnd(), nullptr);
    // Later calls reach no shell: there is no window left for the icon to report to.
    tray.SetVisible(true);
    EXPECT_EQ(requests.size(), 1u);

    // A host that is gone fails the creation, and no tray window is left behind.
    requests.clear();
    const HWND dead = own;
    try {
        SysTray none(dead, Design(true), Shell());
        ADD_FAILURE() << "creation must fail";
    } catch (const AppError& error) {
        EXPECT_EQ(error.Number, ObjectError(kErrInvalidWindow));
    }
    EXPECT_TRUE(requests.empty());
    EXPECT_EQ(FindWindowExA(HWND_MESSAGE, nullptr, "VantorelSysTray", nullptr), nullptr);
}

TEST_F(SysTrayTest, NotificationsBecomeEventsAndAHandlerMayEndTheControl) {
    auto tray = std::make_unique<SysTray>(host.hwnd(), Design(true), Shell());
    std::vector<std::string> events;
    auto button = [&](const char* name) {
        return [&events, name](int32_t b) { events.push_back(name + std::to_string(b)); };
    };
    auto plain = [&](const char* name) { return [&events, name] { events.push_back(name); }; };
    tray->MouseDown = button("Down");
    tray->MouseUp = button("Up");
    tray->DoubleClick = button("Double");
    tray->MouseMove = plain("Move");
    tray->LeftClick = plain("Left");
    tray->RightClick = plain("Right");
    tray->DoubleLeftClick = plain("DoubleLeft");
    tray->BalloonShow = plain("BShow");
    tray->BalloonHide = plain("BHide");
    tray->BalloonTimeout = plain("BTimeout");
    tray->BalloonClicked = plain("BClicked");
    // A left double click as the shell reports it, every other button, the balloon codes; the wheel
    // and unknown codes are nothing.
    for (UINT code : {513u, 514u, 515u, 514u, 512u,  516u,  517u,  518u,  519u,  520u, 521u,
                      522u, 523u, 524u, 525u, 1025u, 1026u, 1027u, 1028u, 1029u, 0u})
        Notify(*tray, code);
    EXPECT_EQ(events, (std::vector<std::string>{
                          "Down1", "Left",  "Up1",     "Double1", "DoubleLeft", "Up1",      "Move",
                          "Down2", "Right", "Up2",     "Double2", "Down4",      "Up4",      "Double4",
                          "Down8", "Up8",   "Double8", "BShow",   "BHide",      "BTimeout", "BClicked"}));
    events.clear();
    SendMessageA(host.hwnd(), tray->TrayMessage(), 0, 513);
    EXPECT_TRUE(events.empty()) << "the private message means nothing to any other window";

    // As the Exit command of the icon's menu does.
    tray->MouseDown = [&](int32_t) {
        tray.reset();
        events.push_back("still running");
    };
    requests.clear();
    SendMessageA(FindWindowA("VantorelSysTray", nullptr), RegisterWindowMessageA("Vantorel_TrayMsg"), 0, 513);
    EXPECT_EQ(events, std::vector<std::string>{"still running"}) << "no LeftClick for a control that is gone";
    EXPECT_EQ(Messages(), std::vector<DWORD>{NIM_DELETE});
    EXPECT_TRUE(WindowProps(host.hwnd()).empty());
}

TEST_F(SysTrayTest, ARecreatedTaskbarGetsTheVisibleIconBackAsItWas) {
    SysTray tray(host.hwnd(), Design(true), Shell());
    tray.SetTooltip("Vantorel In: 1.5kb/s Out: 0kb/s");
    tray.SetIcon(icon2);
    requests.clear();
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !requests.empty(); }, 5000));
    ASSERT_EQ(Messages(), std::vector<DWORD>{NIM_ADD});
    EXPECT_EQ(requests[0].data.uFlags, 7u);
    EXPECT_EQ(requests[0].tip(), "Vantorel In: 1.5kb/s Out: 0kb/s");
    EXPECT_EQ(requests[0].data.hIcon, icon2);
    EXPECT_EQ(requests[0].data.uCallbackMessage, tray.TrayMessage());
    EXPECT_EQ(
        std::count(g_hostMessages.begin(), g_hostMessages.end(), RegisterWindowMessageA("TaskbarCreated")), 0)
        << "the host's own procedure does not see the consumed message";

    // A host that says no leaves the icon out, and an invisible icon is not brought back.
    int raised = 0;
    tray.TaskbarCreated = [&](bool& restore) { restore = ++raised > 1; };
    requests.clear();
    SendMessageA(host.hwnd(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    SendMessageA(host.hwnd(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_EQ(Messages(), std::vector<DWORD>{NIM_DELETE});
    EXPECT_EQ(raised, 1);

    SysTray designOnly(host.hwnd(), Design(true, false), Shell());
    designOnly.SetTooltip("x");
    EXPECT_EQ(requests.size(), 1u) << "a control that is not live never calls the shell";
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

// Looks at the open popup from inside the menu's own loop (pumping messages here would take them away
// from the menu), acts, and closes the menu a tick later should the action have left it open.
struct MenuProbe {
    std::function<void()> action;
    HWND foreground = nullptr;
    UINT defaultItem = 0;
} g_probe;

void CALLBACK ProbeMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (!g_probe.action)
        return (void)EndMenu();
    g_probe.foreground = GetForegroundWindow();
    const HWND popup = FindWindowA("#32768", nullptr);
    g_probe.defaultItem =
        GetMenuDefaultItem(reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0)), 0, 0);
    std::exchange(g_probe.action, nullptr)();
    SetTimer(nullptr, 0, 300, ProbeMenu);
}
} // namespace

TEST_F(SysTrayTest, TheMenuShowsItsDefaultBoldForThisPopupAndTheHostGetsTheChosenCommand) {
    SysTray tray(host.hwnd(), Design(true), Shell());
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 101, "Show");
    AppendMenuA(menu, MF_STRING, 102, "Statistics...");
    // With a default entry the right button chooses too.
    g_probe = {[&] {
        RECT rc{};
        GetMenuItemRect(nullptr, menu, 1, &rc);
        Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP,
              POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
    }};
    SetTimer(nullptr, 0, 300, ProbeMenu);
    EXPECT_EQ(tray.ShowMenu(menu, 101u), 102u);
    EXPECT_EQ(g_probe.foreground, tray.hWnd()) << "the control's window is in front while the menu is up";
    EXPECT_EQ(g_probe.defaultItem, 101u);
    EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), static_cast<UINT>(-1));
    EXPECT_EQ(g_hostCommands, std::vector<UINT>{102u}) << "the host gets the command as from its own menu";

    g_probe = {[] { EndMenu(); }};
    SetTimer(nullptr, 0, 300, ProbeMenu);
    EXPECT_EQ(tray.ShowMenu(menu, 101u), 0u) << "closed without a choice";
    EXPECT_EQ(g_hostCommands.size(), 1u);
    DestroyMenu(menu);
}

// The real shell of the Wine desktop: the icon lands in the tray and a click on it comes back as events.
TEST_F(SysTrayTest, TheRealShellTakesTheIconAndAClickOnItComesBack) {
    std::vector<std::pair<DWORD, BOOL>> results;
    SysTray tray(host.hwnd(), Design(false), [&](DWORD message, NOTIFYICONDATAA* data) {
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
