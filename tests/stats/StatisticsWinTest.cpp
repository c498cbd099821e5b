// The statistics window inside the live controller: opened the ways a user opens it, driven through its
// real controls, fed by samples, and closed with the rest of the program.
#include "app/frmMain.h"
#include "app/mLogging.h"
#include "app/mMisc.h"
#include "meter/frmMeter.h"
#include "net/NetSeamsWin32.h"
#include "net/cNetStatistics.h"
#include "resources/resource.h"
#include "settings/SystemServices.h"
#include "stats/frmStatistics.h"
#include "support/DialogFit.h"
#include "support/WinTestUtil.h"
#include "winsys/SysTray.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <vector>

namespace {
std::vector<std::string> Fields(HWND dialog) {
    std::vector<std::string> texts;
    for (int id = IDC_txtTotalIn; id <= IDC_txtMaxTotal; ++id)
        texts.push_back(ItemText(dialog, id));
    return texts;
}

void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// A key as the keyboard delivers it: to the control with the focus, through the message loop.
void PressKey(WPARAM key) {
    PostMessageA(GetFocus(), WM_KEYDOWN, key, 0);
    PumpFor(50);
}

bool IsTopMost(HWND hwnd) {
    return (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}
} // namespace

// One controller per process: it takes the program's single-instance mark for the rest of the run.
TEST(StatisticsWindow, ShowsPausesResetsAndClosesWithTheProgram) {
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
    WriteValue("Software\\Vantorel\\Settings", "FirstRun", "0");
    WriteValue("Software\\Vantorel\\Settings", "Logging", "True");
    char exe[MAX_PATH] = {};
    SetExecutablePath(std::string(exe, GetModuleFileNameA(nullptr, exe, sizeof exe)));
    const std::string logPath = LogFileName();
    DeleteFileA(logPath.c_str());
    UseSystemNetworkSeams();
    UseSystemServices();
    frmMain form;
    form.Load();
    ASSERT_TRUE(form.MeterVisible);

    // The tray's middle button opens it; the menu entry and the meter's middle click find the same window.
    form.SysTray1->MouseDown(4);
    ASSERT_NE(form.Statistics(), nullptr);
    const HWND dialog = form.Statistics()->Window();
    ASSERT_TRUE(IsWindowVisible(dialog));
    EXPECT_TRUE(form.StatisticsVisible);
    char caption[64] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_STREQ(caption, "Vantorel Throughput Statistics");
    EXPECT_TRUE(IsItemChecked(dialog, IDC_optB));
    SendMessageA(form.Window(), WM_COMMAND, MainMenu::mnuStatistics, 0);
    form.Meter()->Picture1_MouseDown(4, 0, 0, 0);
    EXPECT_EQ(form.Statistics()->Window(), dialog);

    // Samples reach the fields; a reset starts the figures from the next sample.
    Click(dialog, IDC_cmdReset);
    EXPECT_EQ(Fields(dialog), std::vector<std::string>(12, "0"));
    EXPECT_EQ(form.NetStatistics->Time(), 0);
    form.NetStat_Status(1000, 24);
    EXPECT_EQ(Fields(dialog),
              (std::vector<std::string>{"1000 b", "24 b", "1024 b", "1000 b/s", "24 b/s", "1024 b/s",
                                        "1000 b/s", "24 b/s", "512 b/s", "1000 b/s", "24 b/s", "1024 b/s"}));
    Click(dialog, IDC_optKb);
    EXPECT_EQ(ItemText(dialog, IDC_txtCurrentTotal), "1 kb/s");

    // Paused, the fields keep still while the statistics go on; un-pausing shows them at once.
    Click(dialog, IDC_chkPause);
    form.NetStat_Status(2048, 0);
    Click(dialog, IDC_optMb);
    EXPECT_EQ(ItemText(dialog, IDC_txtCurrentIn), "1 kb/s");
    EXPECT_EQ(form.NetStatistics->Time(), 2);
    Click(dialog, IDC_chkPause);
    EXPECT_EQ(ItemText(dialog, IDC_txtCurrentIn), "0 mb/s");

    // Always on top, and back: the meter stays above other windows.
    Click(dialog, IDC_chkOnTop);
    EXPECT_TRUE(IsTopMost(dialog));
    Click(dialog, IDC_chkOnTop);
    EXPECT_FALSE(IsTopMost(dialog));
    EXPECT_TRUE(IsTopMost(form.Meter()->Window()));

    // The widest figure a user meets fits its field, and nothing of the window is cut.
    SetItemText(dialog, IDC_txtMaxTotal, "1234567.89 mb/s");
    dialog_fit::ExpectControlsFit(dialog, "statistics");

    // The keyboard works as in any dialog: Tab moves on from the unit options, Esc closes like Close.
    SetForegroundWindow(dialog);
    SetFocus(GetDlgItem(dialog, IDC_optMb));
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_cmdReset));
    PressKey(VK_ESCAPE);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_FALSE(form.StatisticsVisible);

    // Opened again, it starts in bytes and unpaused; Exit closes it with the rest, once.
    form.mnuStatistics_Click();
    const HWND again = form.Statistics()->Window();
    EXPECT_TRUE(IsItemChecked(again, IDC_optB) && !IsItemChecked(again, IDC_chkPause));
    form.mnuExit_Click();
    EXPECT_FALSE(IsWindow(again));
    EXPECT_FALSE(form.StatisticsVisible);
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
    FlushLog();
    const auto log = LogMessages(logPath);
    EXPECT_EQ(std::ranges::count(log, "frmStatistics_Load"), 2);
    EXPECT_EQ(std::ranges::count(log, "frmStatistics_Unload"), 2);
}
