// A long run of the live controller in this process: many samples with the meter open and the tray
// menu opened and closed again and again must not leave GDI objects, USER objects or memory behind.
#include "ProcessResources.h"
#include "app/frmMain.h"
#include "app/mMenuBmp.h"
#include "app/mMisc.h"
#include "graph/PictureBox.h"
#include "graph/cGraph.h"
#include "meter/frmMeter.h"
#include "net/NetSeamsWin32.h"
#include "settings/SystemServices.h"
#include "support/WinTestUtil.h"
#include "winsys/SysTray.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <cstdio>
#include <string>

namespace {
const char kAppKey[] = "Software\\Vantorel";

// Objects the system makes lazily on first use (a menu's font, a class's brush) may still appear after
// the warm-up; a leak per sample or per opening adds hundreds.
constexpr long kGdiSlack = 8;
constexpr long kUserSlack = 4;
constexpr int64_t kHeapSlack = 64 * 1024;
constexpr int64_t kCommitSlack = 1024 * 1024;

void PumpPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The popup menu of this thread while it is on the screen, or null.
HWND VisibleMenuWindow() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lp) -> BOOL {
            char cls[16] = {};
            GetClassNameA(hwnd, cls, sizeof cls);
            if (std::string(cls) == "#32768" && IsWindowVisible(hwnd)) {
                *reinterpret_cast<HWND*>(lp) = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Runs inside the menu's own message loop: once the popup is seen on the screen, it is dismissed.
int g_menusSeen = 0;
void CALLBACK DismissVisibleMenu(HWND, UINT, UINT_PTR, DWORD) {
    if (VisibleMenuWindow()) {
        ++g_menusSeen;
        EndMenu();
    }
}

class MainFormSoak : public testing::Test {
protected:
    static void SetUpTestSuite() {
        char path[MAX_PATH] = {};
        const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
        SetExecutablePath(std::string(path, n));
        UseSystemNetworkSeams();
        UseSystemServices();
    }
    void SetUp() override {
        SHDeleteKeyA(HKEY_CURRENT_USER, kAppKey);
        // Not a first run: no balloon, no Run value. The meter is opened by the Show command below.
        WriteValue("Software\\Vantorel\\Settings", "FirstRun", "0");
        WriteValue("Software\\Vantorel\\Graph", "ShowOnStartup", "False");
    }
    void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, kAppKey); }

    // Feeds samples that change the tooltip and the scale every time and visit all four tray pictures
    // in runs, as traffic does (a new picture costs the shell a copy of the icon).
    void DriveSamples(frmMain& form, int count) {
        for (int i = 0; i < count; ++i, ++m_sample) {
            const uint32_t state = (m_sample / 10) % 4;
            const int32_t wave = static_cast<int32_t>(1 + (m_sample * 7919u) % 300000u);
            const int32_t in = (state == 0 || state == 1) ? wave : 0;
            const int32_t out = (state == 0 || state == 2) ? wave / 3 + 1 : (m_sample % 97 == 0 ? -5 : 0);
            form.NetStat_Status(in, out);
            if (i % 50 == 49)
                PumpPending(); // the meter paints, the tray takes its notifications
        }
        PumpPending();
    }

    // One opening the way a user makes it: the tray's right click, or a right click on the meter's
    // graph. The popup must really appear; the timer closes it from inside the menu's loop.
    void OpenAndCloseMenu(frmMain& form) {
        const int seenBefore = g_menusSeen;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, DismissVisibleMenu);
        ASSERT_NE(timer, 0u);
        if (m_opening++ % 2 == 0) {
            PostMessageA(form.SysTray1->hWnd(), form.SysTray1->TrayMessage(), 0, WM_RBUTTONDOWN);
        } else {
            HWND picture = form.Meter()->Picture1()->Window();
            PostMessageA(picture, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
            PostMessageA(picture, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
        }
        // The menu's loop runs inside the dispatch of the click; it has ended when the count moved.
        const bool shown = PumpUntil([&] { return g_menusSeen > seenBefore; }, 10000);
        KillTimer(nullptr, timer);
        PumpPending();
        ASSERT_TRUE(shown) << "opening " << m_opening << ": the popup menu never appeared";
        ASSERT_EQ(VisibleMenuWindow(), nullptr) << "the popup menu did not close";
        EXPECT_LE(MenuBitmapCount(), 6u) << "one set of menu pictures at a time";
    }

    void Run(frmMain& form, int rounds, int samplesPerRound) {
        for (int r = 0; r < rounds && !HasFatalFailure(); ++r) {
            DriveSamples(form, samplesPerRound);
            OpenAndCloseMenu(form);
        }
    }

    uint32_t m_sample = 0;
    int m_opening = 0;
};

void Print(const char* when, const GuiObjectCount& gui, const MemoryFigures& mem) {
    std::printf("%s: GDI %lu, USER %lu (%s); heap in use %llu B, commit %llu KiB, working set %llu KiB\n",
                when, gui.Gdi, gui.User, gui.How.c_str(), static_cast<unsigned long long>(mem.HeapInUse),
                static_cast<unsigned long long>(mem.Commit / 1024),
                static_cast<unsigned long long>(mem.WorkingSet / 1024));
}
} // namespace

// One controller per process: it takes the program's single-instance mark for the rest of the run.
TEST_F(MainFormSoak, TenThousandSamplesAndAHundredMenuOpeningsLeaveNothingBehind) {
    frmMain form;
    form.Load();
    ASSERT_FALSE(form.MeterVisible);
    form.mnuShow_Click();
    ASSERT_TRUE(form.MeterVisible);
    ASSERT_NE(form.Meter(), nullptr);
    ASSERT_TRUE(IsWindowVisible(form.Meter()->Window()));
    EXPECT_EQ(form.Menu.ShowCaption(), "Hide");

    // Warm-up: the history fills to its length, the pens and fonts of the graph and the menu's own
    // window and fonts are made once.
    Run(form, 10, 150);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(form.NetGraph->CurHistorySize(), form.NetGraph->History());
    const GuiObjectCount guiBefore = CountGuiObjects();
    const MemoryFigures memBefore = MeasureMemory();
    Print("after warm-up", guiBefore, memBefore);

    const int seenBefore = g_menusSeen;
    Run(form, 100, 100);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(g_menusSeen - seenBefore, 100);
    EXPECT_TRUE(form.MeterVisible);
    EXPECT_TRUE(IsWindowVisible(form.Meter()->Window()));

    const GuiObjectCount guiAfter = CountGuiObjects();
    const MemoryFigures memAfter = MeasureMemory();
    Print("after 10000 samples and 100 openings", guiAfter, memAfter);
    RecordProperty("GuiCount", guiAfter.How);

    EXPECT_LE(static_cast<long>(guiAfter.Gdi) - static_cast<long>(guiBefore.Gdi), kGdiSlack) << guiAfter.How;
    EXPECT_LE(static_cast<long>(guiAfter.User) - static_cast<long>(guiBefore.User), kUserSlack)
        << guiAfter.How;
    EXPECT_LE(static_cast<int64_t>(memAfter.HeapInUse) - static_cast<int64_t>(memBefore.HeapInUse),
              kHeapSlack);
    EXPECT_LE(static_cast<int64_t>(memAfter.Commit) - static_cast<int64_t>(memBefore.Commit), kCommitSlack);

    form.mnuExit_Click();
    EXPECT_FALSE(form.MeterVisible);
    EXPECT_EQ(MenuBitmapCount(), 0u) << "shutdown frees the last set of menu pictures";
}
