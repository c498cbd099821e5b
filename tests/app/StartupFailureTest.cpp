// The controller's own failures under the real start-up, each in a child process of its own (one
// controller per process): an error in the start-up sequence ends the program through the fatal report,
// and one while the controller is torn down is logged, never thrown out of a destructor. And the real
// log file: the user's formats, a clock that reads zero, a file that cannot be opened.
#include "app/frmMain.h"
#include "app/mLogging.h"
#include "app/mMisc.h"
#include "net/MTimer.h"
#include "net/NetSeamsWin32.h"
#include "settings/RegistryApi.h"
#include "settings/SystemServices.h"
#include "settings/Win32LogSystem.h"
#include "support/WinTestUtil.h"
#include "winsys/FatalError.h"
#include "winsys/SysTray.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
// The system refuses every timer, as it does when its timer resources are exhausted.
struct RefusingTimers : ISystemTimer {
    uintptr_t SetTimer(uint32_t) override { return 0; }
    void KillTimer(uintptr_t) override {}
};

class ControllerFailure : public testing::Test {
protected:
    void SetUp() override {
        char path[MAX_PATH] = {};
        SetExecutablePath(std::string(path, GetModuleFileNameA(nullptr, path, sizeof path)));
        UseSystemNetworkSeams();
        UseSystemServices();
        TearDown();
        WriteValue("Software\\Vantorel\\Settings", "Logging", "True");
        WriteValue("Software\\Vantorel\\Settings", "FirstRun", "0");
    }
    void TearDown() override {
        CloseLog();
        UseSystemServices();
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
        DeleteFileA(LogFileName().c_str());
    }
};

// A clock that reads zero, with the user's formats.
struct ZeroClock : Win32LogSystem {
    LogDateTime Now() override { return {}; }
};
} // namespace

TEST_F(ControllerFailure, ATimerThatCannotBeMadeEndsTheProgramThroughTheReport) {
    const auto start = [] {
        static RefusingTimers refusing;
        SetSystemTimer(&refusing);
        // The report as the user would read it, instead of a message box that waits for a click; the sampler
        // has not yet replaced the tray's first tooltip.
        SetFatalErrorHandler([](const std::exception& error) {
            std::fprintf(stderr, "report: %s; tooltip: %s\n", error.what(),
                         MainForm()->SysTray1->IconData().szTip);
        });
        frmMain().Load();
        ExitProcess(0);
    };
    EXPECT_EXIT(start(), testing::ExitedWithCode(1),
                "report: Can't create system timer; tooltip: Vantorel v1.0\n");
    const auto log = LogMessages(LogFileName());
    EXPECT_EQ(std::ranges::count(log, "Fatal error: Can't create system timer"), 1);
    EXPECT_EQ(std::ranges::count(log, "Adding SysTray"), 0) << "start-up must stop at the error";
}

TEST_F(ControllerFailure, SettingsThatCannotBeSavedAtTeardownAreLoggedNotThrown) {
    const auto run = [] {
        {
            frmMain form;
            form.Load();
            PumpFor(300);
            SetRegistryApi(nullptr); // from here every change is refused
        }
        FlushLog();
        std::fprintf(stderr, "torn down\n");
        ExitProcess(0);
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "torn down");
    const auto log = LogMessages(LogFileName());
    // The meter was still open when saving stopped: its own unload fails the same way.
    for (const std::string form : {"frmMain", "frmMeter"})
        EXPECT_TRUE(std::ranges::any_of(log, [&](auto& l) {
            return l.starts_with(form + "_Unload error: ");
        })) << form;
}

TEST_F(ControllerFailure, LogLinesCarryTheUsersFormatsAZeroClockLosesNoTextAndAnUnopenableFileNoneAtAll) {
    Win32LogSystem system;
    const LogDateTime evening{2024, 3, 6, 21, 15, 7};
    EXPECT_FALSE(system.ShortDate(evening).empty());
    EXPECT_NE(system.LongTime(evening).find("15"), std::string::npos);

    SetLoggingSwitch(true);
    ZeroClock zero;
    SetLogSystem(&zero);
    OpenLog(LogFileName());
    WriteLog("frmMain_Load");
    CloseLog();
    EXPECT_EQ(LogMessages(LogFileName()), std::vector<std::string>{"frmMain_Load"});

    // A file the system will not open (here its folder is missing) leaves the log closed and harmless.
    OpenLog(LogFileName() + ".gone\\VantorelLog.txt");
    EXPECT_FALSE(LogIsOpen());
    WriteLog("frmMain_Load");
    FlushLog();
}
