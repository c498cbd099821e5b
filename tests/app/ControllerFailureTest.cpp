// The controller's own failures under the real start-up, each in a child process (death tests): an error
// in the start-up sequence ends the program through the fatal report, and one while it is torn down is
// logged, never thrown out of a destructor; the real log file's formats and a clock that reads zero. No
// controller runs in the parent, so each child takes the single-instance mark itself.
#include "app/MainMenu.h"
#include "app/frmMain.h"
#include "base/Win32LogSystem.h"
#include "base/mLogging.h"
#include "meter/frmMeter.h"
#include "net/MTimer.h"
#include "net/cNetStatus.h"
#include "settings/RegistryApi.h"
#include "settings/SystemServices.h"
#include "settings/mRegistry.h"
#include "support/FakeRegistry.h"
#include "support/WinTestUtil.h"
#include "winsys/FatalError.h"
#include "winsys/SysTray.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace {
const char kGraph[] = "Software\\Vantorel\\Graph";
const char kSettings[] = "Software\\Vantorel\\Settings";

// The system refuses every timer, as it does when its timer resources are exhausted.
struct RefusingTimers : ISystemTimer {
    uintptr_t SetTimer(uint32_t) override { return 0; }
    void KillTimer(uintptr_t) override {}
};

class ControllerFailure : public testing::Test {
protected:
    void SetUp() override {
        UseTheSystem();
        TearDown();
        WriteValue(kSettings, "Logging", "True");
        WriteValue(kSettings, "FirstRun", "0");
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

// The log is written with a clock that reads zero: the user's date and time formats take the same calls
// in every line the program logs, and no line may lose its text.
TEST_F(ControllerFailure, ATimerThatCannotBeMadeEndsTheProgramThroughTheReport) {
    const auto start = [] {
        static RefusingTimers refusing;
        SetSystemTimer(&refusing);
        static ZeroClock zero;
        SetLogSystem(&zero);
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

// Settings that cannot be saved when the program is torn down (not by Exit: its scope ends) are logged,
// never thrown out of a destructor.
TEST_F(ControllerFailure, SettingsThatCannotBeSavedWhenTheControllerIsDestroyedAreLogged) {
    const auto run = [] {
        SetFatalErrorHandler(
            [](const std::exception& error) { std::fprintf(stderr, "report: %s\n", error.what()); });
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
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "^torn down\n$");
    const auto log = LogMessages(LogFileName());
    // The meter was still open when saving stopped: its own unload fails the same way.
    for (const std::string form : {"frmMain", "frmMeter"})
        EXPECT_TRUE(std::ranges::any_of(log, [&](auto& l) {
            return l.starts_with(form + "_Unload error: ");
        })) << form;
}

// An error raised while the report is shown (a timer's, handled by the box's own loop) ends the process
// at once, without a second box. Before the box the sampler is stopped and the settings are saved.
TEST_F(ControllerFailure, ASecondFatalErrorEndsTheProcessWithoutASecondReport) {
    const auto run = [] {
        SetFatalErrorHandler([](const std::exception& error) {
            std::fprintf(stderr, "report: %s; timer: %d\n", error.what(),
                         static_cast<int>(MainForm()->NetStat->Timer()->Interval()));
            ReportFatalError(std::runtime_error("second"));
        });
        frmMain form;
        form.Load();
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kGraph, "AutoScale");
        ReportFatalError(std::runtime_error("first"));
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(1), "^report: first; timer: 0\n$");
    const auto log = LogMessages(LogFileName());
    EXPECT_EQ(std::ranges::count(log, "Fatal error: first"), 1);
    EXPECT_EQ(std::ranges::count(log, "Fatal error during the report: second"), 1);
    EXPECT_EQ(ReadValue(kGraph, "AutoScale"), "True") << "saved before the report";
}

// A registry that refuses every write (policy, a full hive, security software that guards the Run key):
// a first run starts, the meter is hidden and shown, double-clicked and closed by its close box, and Exit
// unloads everything; each refusal is logged where it happened.
TEST_F(ControllerFailure, ARegistryThatRefusesEveryWriteCostsNothingButTheWrites) {
    const auto run = [] {
        static FakeRegistry registry;
        SetRegistryApi(&registry);
        WriteAppSetting("Settings", "Logging", "True"); // a first run: FirstRun is not there
        registry.RefuseWrites();
        frmMain form;
        form.Load();
        form.mnuShow_Click(); // hide
        form.mnuShow_Click(); // show
        form.Meter()->Picture1_DblClick();
        SendMessageA(form.Meter()->Window(), WM_CLOSE, 0, 0);
        form.mnuShow_Click(); // the close box cleared MeterVisible: this shows it again
        SendMessageA(form.Window(), WM_COMMAND, MainMenu::mnuExit, 0);
        std::fprintf(stderr, "exited; meter loaded: %d\n", form.MeterVisible);
        FlushLog();
        ExitProcess(0);
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "exited; meter loaded: 0\n");
    const auto log = LogMessages(LogFileName());
    const auto errors = [&](const std::string& where) {
        return std::ranges::count_if(log, [&](auto& l) { return l.starts_with(where + " error: "); });
    };
    EXPECT_EQ(errors("General\\Path"), 1);
    EXPECT_EQ(errors("First Run"), 2) << "FirstRun and the Run value";
    EXPECT_EQ(errors("Picture1_DblClick"), 1);
    EXPECT_EQ(errors("frmMeter_Unload"), 3 * 4) << "hidden, closed, and at Exit: four values each";
    EXPECT_EQ(errors("frmMain_Unload"), 12) << "the interface and eleven graph values";
    EXPECT_EQ(log.back(), "End");
}
