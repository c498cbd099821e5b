#include "winsys/SysTray.h"
#include "app/AppError.h"
#include "support/WinTestUtil.h"
#include "winsys/MSubclass.h"
#include "winsys/SubclassTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
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

// One request as the shell would have received it, with the state of the books at that moment.
struct Request {
    DWORD message;
    NOTIFYICONDATAA data;
    bool hostBooked;
};

class SysTrayTest : public testing::Test {
protected:
    void SetUp() override {
        g_hostCommands.clear();
        g_hostMessages.clear();
        ASSERT_NE(host.hwnd(), nullptr);
        icon1 = LoadIconA(nullptr, IDI_WARNING);
        icon2 = LoadIconA(nullptr, IDI_INFORMATION);
    }
    SysTray::ShellNotify Shell() {
        return [this](DWORD message, NOTIFYICONDATAA* data) {
            requests.push_back({message, *data, !WindowProps(host.hwnd()).empty()});
            return TRUE;
        };
    }
    SysTrayDesign Design(bool visible, const std::string& tip = "Vantorel v1.0") const {
        SysTrayDesign design;
        design.Visible = visible;
        design.ToolTip = tip;
        design.Icon = icon1;
        return design;
    }
    // Sends a shell notification the way the shell does: the private message with the code in lParam.
    static void Notify(SysTray& tray, UINT code) {
        EXPECT_EQ(SendMessageA(tray.hWnd(), tray.TrayMessage(), 0, code), 0);
    }

    TestWindow host{HostProc, "SysTrayTestHost"};
    std::vector<Request> requests;
    HICON icon1 = nullptr;
    HICON icon2 = nullptr;
};

std::string Text(const char* field) {
    return field;
}

BOOL CALLBACK CountTrayWindow(HWND hwnd, LPARAM count) {
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) == "VantorelSysTray")
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}
} // namespace

TEST_F(SysTrayTest, CreatedVisibleItAddsOnceWithTheWholeRecord) {
    SysTray tray(host.hwnd(), Design(true), Shell());
    ASSERT_EQ(requests.size(), 1u);
    const NOTIFYICONDATAA& d = requests[0].data;
    EXPECT_EQ(requests[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(d.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));
    EXPECT_EQ(d.uFlags, 7u);
    EXPECT_EQ(d.hWnd, tray.hWnd());
    EXPECT_EQ(d.uID, 0u);
    EXPECT_EQ(d.uCallbackMessage, RegisterWindowMessageA("Vantorel_TrayMsg"));
    EXPECT_EQ(d.hIcon, icon1);
    EXPECT_EQ(Text(d.szTip), "Vantorel v1.0");
    EXPECT_EQ(d.dwState, 0u);
    EXPECT_EQ(d.dwInfoFlags, 0u);
    EXPECT_TRUE(tray.Visible());

    // Its own window: hidden, owned by the host, so it goes with it.
    EXPECT_FALSE(IsWindowVisible(tray.hWnd()));
    EXPECT_EQ(GetWindow(tray.hWnd(), GW_OWNER), host.hwnd());

    // Both requests are booked with the subclassing service under the control's address.
    const auto client = reinterpret_cast<LONG_PTR>(static_cast<ISubclass*>(&tray));
    const std::string own = HandleText(tray.hWnd()) + "#" + std::to_string(tray.TrayMessage());
    const std::string top = HandleText(host.hwnd()) + "#" + std::to_string(tray.TaskbarCreatedMessage());
    EXPECT_EQ(WindowProps(tray.hWnd())[own + "#1"], client);
    EXPECT_EQ(WindowProps(host.hwnd())[top + "#1"], client);
    EXPECT_EQ(tray.TaskbarCreatedMessage(), RegisterWindowMessageA("TaskbarCreated"));
}

TEST_F(SysTrayTest, CreatedInvisibleItOnlyAsksForADeleteUntilShown) {
    SysTray tray(host.hwnd(), Design(false), Shell());
    // Setting the stored flag is never skipped: false asks for a delete, which the shell refuses.
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_FALSE(tray.Visible());
    requests.clear();
    tray.SetTooltip("changed while hidden");
    tray.SetIcon(icon2);
    EXPECT_TRUE(requests.empty()) << "changes while invisible only go into the record";

    tray.SetVisible(true);
    tray.SetVisible(true);
    ASSERT_EQ(requests.size(), 2u) << "a second true is not skipped";
    EXPECT_EQ(requests[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(requests[1].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(requests[0].data.uFlags, 7u);
    EXPECT_EQ(Text(requests[0].data.szTip), "changed while hidden");
    EXPECT_EQ(requests[0].data.hIcon, icon2);

    tray.SetVisible(false);
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[2].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_FALSE(tray.Visible());
}

TEST_F(SysTrayTest, TeardownWithdrawsBothRequestsBeforeTheIconGoes) {
    const LONG_PTR hostProc = GetWindowLongPtrA(host.hwnd(), GWLP_WNDPROC);
    HWND own = nullptr;
    {
        SysTray tray(host.hwnd(), Design(true), Shell());
        own = tray.hWnd();
        EXPECT_NE(GetWindowLongPtrA(host.hwnd(), GWLP_WNDPROC), hostProc);
        requests.clear();
    }
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_FALSE(requests[0].hostBooked) << "the requests must be withdrawn before the delete";
    EXPECT_TRUE(WindowProps(host.hwnd()).empty());
    EXPECT_EQ(GetWindowLongPtrA(host.hwnd(), GWLP_WNDPROC), hostProc);
    EXPECT_FALSE(IsWindow(own));

    requests.clear();
    {
        SysTray hidden(host.hwnd(), Design(false), Shell());
        requests.clear();
    }
    EXPECT_TRUE(requests.empty()) << "an invisible icon has nothing to delete";
}

TEST_F(SysTrayTest, HostDestroyedFirstTakesTheIconAndTheRequestsWithIt) {
    SysTray tray(host.hwnd(), Design(true), Shell());
    const HWND hostWindow = host.hwnd();
    requests.clear();
    host.Destroy();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_FALSE(requests[0].hostBooked);
    EXPECT_FALSE(tray.Visible());
    EXPECT_EQ(tray.hWnd(), nullptr);
    EXPECT_FALSE(IsWindow(hostWindow));
    // Later calls reach no shell: there is no window left for the icon to report to.
    tray.SetVisible(true);
    tray.SetTooltip("late");
    EXPECT_EQ(requests.size(), 1u);
}

TEST_F(SysTrayTest, TooltipIsCutTo127CharactersAndSentOnlyWhileVisible) {
    SysTray tray(host.hwnd(), Design(true), Shell());
    requests.clear();
    std::string long200;
    for (int i = 0; i < 200; ++i)
        long200 += static_cast<char>('a' + i % 26);
    tray.SetTooltip(long200);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(requests[0].data.uFlags, 4u);
    EXPECT_EQ(Text(requests[0].data.szTip), long200.substr(0, 127));
    EXPECT_EQ(tray.Tooltip(), long200) << "the control keeps the whole text";

    tray.SetTooltip(std::string(127, 'x'));
    EXPECT_EQ(Text(requests.back().data.szTip), std::string(127, 'x'));
    tray.SetTooltip("");
    EXPECT_EQ(Text(requests.back().data.szTip), "");
}

TEST_F(SysTrayTest, AnIconIsSentOnlyWhenItsHandleChanges) {
    SysTray tray(host.hwnd(), Design(true), Shell());
    requests.clear();
    tray.SetIcon(icon2);
    tray.SetIcon(icon2);
    ASSERT_EQ(requests.size(), 1u) << "the same picture twice: one modify";
    EXPECT_EQ(requests[0].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(requests[0].data.uFlags, 2u);
    EXPECT_EQ(requests[0].data.hIcon, icon2);
    EXPECT_EQ(tray.Icon(), icon2);
    tray.SetIcon(icon1);
    EXPECT_EQ(requests.size(), 2u);
}

TEST_F(SysTrayTest, WithoutAPictureItTakesTheHostsIconOrItsOwn) {
    SysTrayDesign design = Design(false);
    design.Icon = nullptr;
    {
        SysTray tray(host.hwnd(), design, Shell());
        EXPECT_EQ(tray.Icon(), LoadIconA(nullptr, IDI_APPLICATION)) << "a host without an icon";
        EXPECT_EQ(tray.IconData().hIcon, tray.Icon());
    }
    SendMessageA(host.hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon2));
    SysTray tray(host.hwnd(), design, Shell());
    EXPECT_EQ(tray.Icon(), icon2);
    tray.SetIcon(icon1);
    tray.SetIcon(nullptr);
    EXPECT_EQ(tray.Icon(), icon2);
}

TEST_F(SysTrayTest, BalloonsAreShownOnlyWhileVisibleAndCutToTheirFields) {
    SysTray tray(host.hwnd(), Design(false), Shell());
    requests.clear();
    tray.ShowBaloonNotification("dropped", "while hidden", 1);
    tray.HideBaloonNotification();
    EXPECT_TRUE(requests.empty());
    tray.SetVisible(true);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].data.uFlags, 7u) << "a dropped balloon is not shown later";
    EXPECT_EQ(Text(requests[0].data.szInfo), "");

    tray.ShowBaloonNotification("Vantorel can be found here on the system tray.", "Welcome to Vantorel!", 1);
    ASSERT_EQ(requests.size(), 2u);
    const NOTIFYICONDATAA& d = requests[1].data;
    EXPECT_EQ(requests[1].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(d.uFlags, 16u);
    EXPECT_EQ(d.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));
    EXPECT_EQ(Text(d.szInfo), "Vantorel can be found here on the system tray.");
    EXPECT_EQ(Text(d.szInfoTitle), "Welcome to Vantorel!");
    EXPECT_EQ(d.dwInfoFlags, 1u);
    EXPECT_EQ(d.uTimeout, 0u);

    tray.ShowBaloonNotification(std::string(300, 'm'), std::string(100, 't'), 3, 5000);
    EXPECT_EQ(Text(requests.back().data.szInfo), std::string(255, 'm'));
    EXPECT_EQ(Text(requests.back().data.szInfoTitle), std::string(63, 't'));
    EXPECT_EQ(requests.back().data.dwInfoFlags, 3u);
    EXPECT_EQ(requests.back().data.uTimeout, 0u) << "the timeout is accepted and not used";

    tray.ShowBaloonNotification("no title");
    EXPECT_EQ(Text(requests.back().data.szInfoTitle), "");
    EXPECT_EQ(requests.back().data.dwInfoFlags, 0u);

    tray.HideBaloonNotification();
    EXPECT_EQ(requests.back().data.uFlags, 16u);
    EXPECT_EQ(Text(requests.back().data.szInfo), "");
    EXPECT_EQ(Text(requests.back().data.szInfoTitle), "");
    EXPECT_EQ(requests.back().data.dwInfoFlags, 0u);
    EXPECT_EQ(requests.size(), 5u);
}

TEST_F(SysTrayTest, NotificationsBecomeEventsInOrder) {
    SysTray tray(host.hwnd(), Design(true), Shell());
    std::vector<std::string> events;
    auto button = [&](const char* name) {
        return [&events, name](int32_t b) {
            events.push_back(std::string(name) + "(" + std::to_string(b) + ")");
        };
    };
    auto plain = [&](const char* name) { return [&events, name] { events.push_back(name); }; };
    tray.MouseDown = button("MouseDown");
    tray.MouseUp = button("MouseUp");
    tray.DoubleClick = button("DoubleClick");
    tray.MouseMove = plain("MouseMove");
    tray.LeftClick = plain("LeftClick");
    tray.RightClick = plain("RightClick");
    tray.DoubleLeftClick = plain("DoubleLeftClick");
    tray.BalloonShow = plain("BalloonShow");
    tray.BalloonHide = plain("BalloonHide");
    tray.BalloonClicked = plain("BalloonClicked");
    tray.BalloonTimeout = plain("BalloonTimeout");

    // A left double click as the shell reports it.
    for (UINT code : {513u, 514u, 515u, 514u})
        Notify(tray, code);
    EXPECT_EQ(events, (std::vector<std::string>{"MouseDown(1)", "LeftClick", "MouseUp(1)", "DoubleClick(1)",
                                                "DoubleLeftClick", "MouseUp(1)"}));

    const std::vector<std::pair<UINT, std::vector<std::string>>> table = {
        {512, {"MouseMove"}},
        {516, {"MouseDown(2)", "RightClick"}},
        {517, {"MouseUp(2)"}},
        {518, {"DoubleClick(2)"}},
        {519, {"MouseDown(4)"}},
        {520, {"MouseUp(4)"}},
        {521, {"DoubleClick(4)"}},
        {522, {}}, // the wheel
        {523, {"MouseDown(8)"}},
        {524, {"MouseUp(8)"}},
        {525, {"DoubleClick(8)"}},
        {1026, {"BalloonShow"}},
        {1027, {"BalloonHide"}},
        {1028, {"BalloonTimeout"}},
        {1029, {"BalloonClicked"}},
        {1025, {}},
        {0, {}},
    };
    for (const auto& [code, expected] : table) {
        events.clear();
        Notify(tray, code);
        EXPECT_EQ(events, expected) << "code " << code;
    }

    // The private message means nothing to any other window, and no event needs a handler.
    events.clear();
    SendMessageA(host.hwnd(), tray.TrayMessage(), 0, 513);
    EXPECT_TRUE(events.empty());
    tray.MouseDown = nullptr;
    tray.LeftClick = nullptr;
    Notify(tray, 513);
}

TEST_F(SysTrayTest, AHandlerMayEndTheControlInTheMiddleOfANotification) {
    auto tray = std::make_unique<SysTray>(host.hwnd(), Design(true), Shell());
    const HWND own = tray->hWnd();
    const UINT trayMessage = tray->TrayMessage();
    std::vector<std::string> events;
    tray->MouseDown = [&](int32_t) {
        events.push_back("MouseDown");
        tray.reset(); // as the Exit command does
        events.push_back("still running");
    };
    tray->LeftClick = [&] { events.push_back("LeftClick"); };
    requests.clear();
    EXPECT_EQ(SendMessageA(own, trayMessage, 0, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"MouseDown", "still running"}));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_TRUE(WindowProps(host.hwnd()).empty());

    tray = std::make_unique<SysTray>(host.hwnd(), Design(true), Shell());
    tray->TaskbarCreated = [&](bool&) { tray.reset(); };
    requests.clear();
    SendMessageA(host.hwnd(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_EQ(requests.size(), 1u)
        << "only the teardown's delete: nothing is added for a control that is gone";
    EXPECT_EQ(requests[0].message, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(SysTrayTest, ARecreatedTaskbarGetsTheVisibleIconBackAsItWas) {
    SysTray tray(host.hwnd(), Design(true), Shell());
    tray.SetTooltip("Vantorel In: 1.5kb/s Out: 0kb/s");
    tray.SetIcon(icon2);
    tray.ShowBaloonNotification("balloon", "title", 1);
    int raised = 0;
    tray.TaskbarCreated = [&](bool& restore) {
        ++raised;
        EXPECT_TRUE(restore);
    };
    requests.clear();
    PostMessageA(HWND_BROADCAST, tray.TaskbarCreatedMessage(), 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !requests.empty(); }, 5000));
    EXPECT_EQ(raised, 1);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(requests[0].data.uFlags, 7u);
    EXPECT_EQ(Text(requests[0].data.szTip), "Vantorel In: 1.5kb/s Out: 0kb/s");
    EXPECT_EQ(requests[0].data.hIcon, icon2);
    EXPECT_EQ(requests[0].data.uCallbackMessage, tray.TrayMessage());
    EXPECT_EQ(std::count(g_hostMessages.begin(), g_hostMessages.end(), tray.TaskbarCreatedMessage()), 0)
        << "the host's own procedure does not see the consumed message";

    // A host that says no leaves the icon out, and an invisible icon is not brought back.
    tray.TaskbarCreated = [&](bool& restore) {
        ++raised;
        restore = false;
    };
    requests.clear();
    SendMessageA(host.hwnd(), tray.TaskbarCreatedMessage(), 0, 0);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_FALSE(tray.Visible());
    SendMessageA(host.hwnd(), tray.TaskbarCreatedMessage(), 0, 0);
    EXPECT_EQ(requests.size(), 1u);
    EXPECT_EQ(raised, 2) << "no event for an invisible icon";
}

TEST_F(SysTrayTest, WithoutRestartOrOutsideTheProgramItSubscribesToLess) {
    SysTrayDesign design = Design(true);
    design.TaskbarRestart = false;
    {
        SysTray tray(host.hwnd(), design, Shell());
        EXPECT_FALSE(tray.RestartWithTaskbar());
        EXPECT_TRUE(WindowProps(host.hwnd()).empty()) << "no TaskbarCreated request on the host";
        EXPECT_FALSE(WindowProps(tray.hWnd()).empty());
        requests.clear();
        SendMessageA(host.hwnd(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        EXPECT_TRUE(requests.empty());
        EXPECT_EQ(std::count(g_hostMessages.begin(), g_hostMessages.end(),
                             RegisterWindowMessageA("TaskbarCreated")),
                  1)
            << "the host keeps its own handling of the broadcast";
    }
    requests.clear();
    design.Live = false;
    SysTray designOnly(host.hwnd(), design, Shell());
    designOnly.SetTooltip("x");
    designOnly.ShowBaloonNotification("y");
    designOnly.SetVisible(false);
    EXPECT_TRUE(requests.empty()) << "a control that is not live never calls the shell";
    EXPECT_TRUE(WindowProps(host.hwnd()).empty());
    EXPECT_TRUE(WindowProps(designOnly.hWnd()).empty());
    EXPECT_EQ(designOnly.IconData().hWnd, designOnly.hWnd());
    EXPECT_EQ(designOnly.IconData().cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));
}

TEST_F(SysTrayTest, AnInvalidHostFailsTheCreationAndLeavesNothingBehind) {
    TestWindow gone(HostProc, "SysTrayTestHost");
    const HWND dead = gone.hwnd();
    gone.Destroy();
    auto trayWindows = [] {
        int n = 0;
        EnumThreadWindows(GetCurrentThreadId(), CountTrayWindow, reinterpret_cast<LPARAM>(&n));
        return n;
    };
    const int before = trayWindows();
    try {
        SysTray tray(dead, Design(true), Shell());
        FAIL() << "creation must fail";
    } catch (const AppError& error) {
        EXPECT_EQ(error.Number, ObjectError(13083));
    }
    EXPECT_TRUE(requests.empty());
    EXPECT_EQ(trayWindows(), before);
}

namespace {
// Looks at the open popup from inside the menu's own loop, then runs its steps one timer tick apart
// (pumping messages here would take them away from the menu).
struct MenuProbe {
    HWND foreground = nullptr;
    UINT defaultItem = 0;
    std::vector<std::function<void()>> steps;
    size_t next = 0;
    UINT_PTR timer = 0;
};
MenuProbe* g_probe = nullptr;

void CALLBACK ProbeMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (!g_probe)
        return;
    if (g_probe->next == 0) {
        g_probe->foreground = GetForegroundWindow();
        HMENU menu = nullptr;
        if (HWND popup = FindWindowA("#32768", nullptr))
            menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
        g_probe->defaultItem = menu ? GetMenuDefaultItem(menu, FALSE, 0) : 0;
    }
    if (g_probe->next < g_probe->steps.size()) {
        g_probe->steps[g_probe->next++]();
        if (g_probe->next < g_probe->steps.size())
            g_probe->timer = SetTimer(nullptr, 0, 300, ProbeMenu);
    }
}

void Click(DWORD down, DWORD up, POINT at) {
    SetCursorPos(at.x, at.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = down;
    input[1].mi.dwFlags = up;
    SendInput(2, input, sizeof(INPUT));
}

class TrayMenu : public SysTrayTest {
protected:
    void SetUp() override {
        SysTrayTest::SetUp();
        menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 101, "Show");
        AppendMenuA(menu, MF_STRING, 102, "Statistics...");
        AppendMenuA(menu, MF_STRING, 103, "Exit");
        g_probe = &probe;
    }
    void TearDown() override {
        g_probe = nullptr;
        KillTimer(nullptr, probe.timer);
        DestroyMenu(menu);
    }
    // Clicks an entry of the open popup with the given button.
    void ClickEntry(int position, DWORD down, DWORD up) {
        RECT rc{};
        HWND popup = FindWindowA("#32768", nullptr);
        ASSERT_NE(popup, nullptr);
        ASSERT_TRUE(GetMenuItemRect(nullptr, menu, position, &rc));
        Click(down, up, POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
    }
    HMENU menu = nullptr;
    MenuProbe probe;
};
} // namespace

TEST_F(TrayMenu, ADefaultEntryIsBoldForThisPopupAndTheRightButtonChooses) {
    SysTray tray(host.hwnd(), Design(true), Shell());
    probe.steps = {[&] { ClickEntry(1, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }, [] { EndMenu(); }};
    probe.timer = SetTimer(nullptr, 0, 300, ProbeMenu);
    const UINT chosen = tray.ShowMenu(menu, 101u);
    EXPECT_EQ(probe.foreground, tray.hWnd()) << "the control's window is in front while the menu is up";
    EXPECT_EQ(probe.defaultItem, 101u);
    EXPECT_EQ(chosen, 102u);
    EXPECT_EQ(g_hostCommands, std::vector<UINT>{102u}) << "the host gets the command as from its own menu";
    EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), static_cast<UINT>(-1))
        << "the bold entry was for this popup";
}

// Whether the right button is ignored without TPM_RIGHTBUTTON is the menu's own business (and under a
// loaded Wine it is not reliable), so only the left button's choice is asserted here.
TEST_F(TrayMenu, WithoutDefaultNoEntryIsBoldAndTheLeftButtonChooses) {
    SysTray tray(host.hwnd(), Design(true), Shell());
    probe.steps = {[&] { ClickEntry(2, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }, [] { EndMenu(); }};
    probe.timer = SetTimer(nullptr, 0, 300, ProbeMenu);
    const UINT chosen = tray.ShowMenu(menu);
    EXPECT_EQ(probe.defaultItem, static_cast<UINT>(-1));
    EXPECT_EQ(chosen, 103u);
    EXPECT_EQ(g_hostCommands, std::vector<UINT>{103u});

    // Closed without a choice: nothing reaches the host.
    g_hostCommands.clear();
    KillTimer(nullptr, probe.timer);
    probe = {};
    probe.steps = {[] { EndMenu(); }};
    probe.timer = SetTimer(nullptr, 0, 300, ProbeMenu);
    EXPECT_EQ(tray.ShowMenu(menu), 0u);
    EXPECT_TRUE(g_hostCommands.empty());
    EXPECT_EQ(tray.ShowMenu(nullptr), 0u) << "no menu, no popup";
}

// The real shell of the Wine desktop: the icon lands in the tray and a click on it comes back as events.
TEST(SysTrayShell, TheIconReachesTheTrayAndAClickOnItComesBack) {
    TestWindow host(HostProc, "SysTrayTestHost");
    std::vector<std::pair<DWORD, BOOL>> results;
    SysTrayDesign design;
    design.Visible = false;
    design.ToolTip = "Vantorel shell test";
    SysTray tray(host.hwnd(), design, [&](DWORD message, NOTIFYICONDATAA* data) {
        const BOOL ok = Shell_NotifyIconA(message, data);
        results.emplace_back(message, ok);
        return ok;
    });
    // The tray window appears shortly after the desktop, so the first add is retried.
    ASSERT_TRUE(PumpUntil(
        [&] {
            tray.SetVisible(true);
            return results.back().second != FALSE;
        },
        10000))
        << "the shell never took the icon";

    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    ASSERT_NE(taskbar, nullptr);
    RECT bar{};
    GetWindowRect(taskbar, &bar);
    std::vector<std::string> events;
    tray.LeftClick = [&] { events.push_back("LeftClick"); };
    tray.MouseUp = [&](int32_t b) { events.push_back("MouseUp(" + std::to_string(b) + ")"); };
    // Ours is the only icon: it sits at the right end of the taskbar.
    Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, POINT{bar.right - 11, (bar.top + bar.bottom) / 2});
    EXPECT_TRUE(PumpUntil([&] { return events.size() >= 2; }, 5000));
    EXPECT_EQ(events, (std::vector<std::string>{"LeftClick", "MouseUp(1)"}));

    results.clear();
    tray.SetTooltip("Vantorel In: 1kb/s Out: 0kb/s");
    tray.SetVisible(false);
    EXPECT_EQ(results, (std::vector<std::pair<DWORD, BOOL>>{{NIM_MODIFY, TRUE}, {NIM_DELETE, TRUE}}));
}
