// The program across restarts: what the first run does, where the meter opens on a fresh machine, and
// that the place, size, title bar and graph colours the user left are what the next run shows.
#include "graph/Dib32.h"
#include "support/ProgramFixture.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {
const char kGraph[] = "Software\\Vantorel\\Graph";
const char kPosition[] = "Software\\Vantorel\\Position";
const char kSettings[] = "Software\\Vantorel\\Settings";

// Command identifiers of the controller's menu: Exit, and the theme entries in catalogue order
// (the four built-in themes come first: Standard, Task Manager, Clouds, River).
constexpr UINT kExitCommand = 105;
constexpr UINT kTaskManagerTheme = 201;

int ScreenDpi(int index) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// Twips to pixels as the meter converts them: to nearest, ties to even.
LONG Pixels(double twips, int dpi) {
    return static_cast<LONG>(std::nearbyint(twips * dpi / 1440.0));
}

// A stored twips measure, read back as the number it is.
double StoredTwips(const char* name) {
    const std::string text = ReadValue(kPosition, name);
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && *end == '\0' ? value : -1e9;
}

// The visible popup menu of process `pid`, or null.
HWND VisibleMenuOf(DWORD pid) {
    struct Search {
        DWORD pid;
        HWND found;
    } s{pid, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            char cls[16] = {};
            GetClassNameA(hwnd, cls, sizeof cls);
            if (owner == s->pid && std::string(cls) == "#32768" && IsWindowVisible(hwnd)) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// A balloon tip on the screen: the shell shows the tray's balloons as tooltip windows of its own.
bool BalloonOnScreen() {
    bool found = false;
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            char cls[32] = {};
            GetClassNameA(hwnd, cls, sizeof cls);
            if (std::string(cls) == TOOLTIPS_CLASSA && IsWindowVisible(hwnd) &&
                (GetWindowLongA(hwnd, GWL_STYLE) & TTS_BALLOON)) {
                *reinterpret_cast<bool*>(lp) = true;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The share of the meter's graph, as it is on the screen, that has colour `rgb` (0x00BBGGRR).
// The meter is always on top and nothing covers it here, so the screen shows the graph itself.
double ShareOfColour(HWND picture, COLORREF rgb) {
    RECT r{};
    GetClientRect(picture, &r);
    POINT origin{0, 0};
    ClientToScreen(picture, &origin);
    const int w = r.right, h = r.bottom;
    if (w <= 0 || h <= 0)
        return 0;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    uint32_t* bits = nullptr;
    HBITMAP dib = CreateDib32(screen, w, h, &bits);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    const auto* px = static_cast<const uint32_t*>(bits);
    const uint32_t wanted = (GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb);
    long match = 0;
    for (long i = 0; i < static_cast<long>(w) * h; ++i)
        if ((px[i] & 0xFFFFFF) == wanted)
            ++match;
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return static_cast<double>(match) / (static_cast<double>(w) * h);
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class Restart : public PrivateProgram {
protected:
    void TearDown() override {
        process.reset();
        PrivateProgram::TearDown();
    }

    // Starts the copy and waits for its controller and its meter window (with its graph child).
    void Start() {
        process = std::make_unique<ChildProcess>('"' + exe + '"');
        ASSERT_TRUE(process->Started());
        const DWORD pid = process->Id();
        ASSERT_TRUE(PumpUntil(
            [&] {
                main = FindProcessWindow(pid, "VantorelMain");
                meter = FindProcessWindow(pid, "VantorelMeter");
                picture = meter ? GetWindow(meter, GW_CHILD) : nullptr;
                return main && meter && picture && IsWindowVisible(meter);
            },
            20000))
            << "the controller and the meter window never appeared";
        // Let the first samples arrive and the meter paint.
        PumpFor(1500);
    }

    // The user's way to the theme list: a right click on the graph opens the menu, which builds the
    // list; Escape closes it again without a choice.
    void OpenAndCloseMenu() {
        const DWORD pid = process->Id();
        PostMessageA(picture, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
        PostMessageA(picture, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
        HWND popup = nullptr;
        ASSERT_TRUE(PumpUntil([&] { return (popup = VisibleMenuOf(pid)) != nullptr; }, 10000))
            << "the right click on the graph did not open the menu";
        PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(popup, WM_KEYUP, VK_ESCAPE, 0);
        ASSERT_TRUE(PumpUntil([&] { return VisibleMenuOf(pid) == nullptr; }, 10000))
            << "Escape left the menu open";
    }

    // The Exit command, as the menu sends it; the shutdown saves the settings and ends the process.
    void Exit() {
        PostMessageA(main, WM_COMMAND, MAKEWPARAM(kExitCommand, 0), 0);
        DWORD code = 1234;
        ASSERT_TRUE(process->WaitForExit(20000, &code)) << "Exit must end the program";
        EXPECT_EQ(code, 0u);
    }

    RECT MeterRect() const {
        RECT r{};
        GetWindowRect(meter, &r);
        return r;
    }
    bool HasTitleBar() const { return (GetWindowLongA(meter, GWL_STYLE) & WS_CAPTION) == WS_CAPTION; }

    std::unique_ptr<ChildProcess> process;
    HWND main = nullptr, meter = nullptr, picture = nullptr;
};

// Task Manager: green numbers and grid lines on black, pale blue out, red in, no fill.
void ExpectTaskManagerColoursStored() {
    EXPECT_EQ(ReadValue(kGraph, "BackColor"), "0");
    EXPECT_EQ(ReadValue(kGraph, "NumColor"), "65280");
    EXPECT_EQ(ReadValue(kGraph, "SendColor"), "16742263");
    EXPECT_EQ(ReadValue(kGraph, "RecvColor"), "255");
    EXPECT_EQ(ReadValue(kGraph, "BothColor"), "65280");
    EXPECT_EQ(ReadValue(kGraph, "ChartColor"), "24576");
    EXPECT_EQ(ReadValue(kGraph, "FillUnderGraph"), "False");
    EXPECT_EQ(ReadValue(kGraph, "Background"), "");
    EXPECT_EQ(ReadValue(kGraph, "StretchBackground"), "False");
}
} // namespace

TEST_F(Restart, TheNextRunShowsTheMeterWhereAndAsTheUserLeftIt) {
    const int dpiX = ScreenDpi(LOGPIXELSX), dpiY = ScreenDpi(LOGPIXELSY);
    ASSERT_GT(dpiX, 0);

    // First run on a fresh machine: the welcome balloon comes up on the tray icon.
    ASSERT_FALSE(BalloonOnScreen());
    Start();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(PumpUntil(BalloonOnScreen, 5000)) << "no welcome balloon on the first run";
    EXPECT_EQ(ReadValue(kSettings, "FirstRun"), "0") << "the first run marks itself done";
    EXPECT_EQ(ReadValue(kRunKey, "Vantorel"), "\"" + exe + "\"")
        << "the first run registers start with Windows";
    const RECT fresh{Pixels(100, dpiX), Pixels(100, dpiY), Pixels(100, dpiX) + Pixels(3000, dpiX),
                     Pixels(100, dpiY) + Pixels(1200, dpiY)};
    EXPECT_TRUE(SameRect(MeterRect(), fresh)) << RectText(MeterRect()) << " instead of " << RectText(fresh);
    EXPECT_TRUE(HasTitleBar());
    EXPECT_TRUE(GetWindowLongA(meter, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_GT(ShareOfColour(picture, RGB(255, 255, 255)), 0.5) << "the standard look is white";

    // The theme entries exist once the menu has been opened; choosing one redraws at once.
    OpenAndCloseMenu();
    ASSERT_FALSE(HasFatalFailure());
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(kTaskManagerTheme, 0), 0);
    EXPECT_TRUE(PumpUntil([&] { return ShareOfColour(picture, RGB(0, 0, 0)) > 0.5; }, 5000))
        << "the Task Manager look is black";

    // The user hides the title bar by double-clicking the graph, then moves and sizes the meter.
    PostMessageA(picture, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 20));
    // The title bar goes first and the setting is written after it.
    ASSERT_TRUE(PumpUntil([&] { return !HasTitleBar() && ReadValue(kPosition, "NoBorder") == "True"; }, 5000))
        << "a double-click hides the title bar and stores that";
    const RECT left{321, 211, 321 + 260, 211 + 96};
    ASSERT_TRUE(SetWindowPos(meter, nullptr, left.left, left.top, 260, 96, SWP_NOZORDER | SWP_NOACTIVATE));
    PumpFor(300);
    ASSERT_TRUE(SameRect(MeterRect(), left)) << RectText(MeterRect());

    Exit();
    ASSERT_FALSE(HasFatalFailure());
    ExpectTaskManagerColoursStored();
    EXPECT_EQ(ReadValue(kGraph, "AutoScale"), "True");
    EXPECT_GE(std::atoi(ReadValue(kGraph, "Scale").c_str()), 1) << "the scale the graph reached";
    EXPECT_EQ(ReadValue(kSettings, "Interface"), "") << "all interfaces";
    // The geometry is kept in twips, measured with the title bar shown.
    EXPECT_NEAR(StoredTwips("Left"), left.left * 1440.0 / dpiX, 0.01);
    EXPECT_NEAR(StoredTwips("Top"), left.top * 1440.0 / dpiY, 0.01);
    EXPECT_NEAR(StoredTwips("Width"), 260 * 1440.0 / dpiX, 0.01);
    EXPECT_NEAR(StoredTwips("Height"), 96 * 1440.0 / dpiY, 0.01);

    // The user removed the start-up entry meanwhile: a later run leaves it removed.
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Vantorel");
    Start();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(SameRect(MeterRect(), left)) << RectText(MeterRect()) << " instead of " << RectText(left);
    EXPECT_FALSE(HasTitleBar());
    EXPECT_EQ(ReadValue(kPosition, "NoBorder"), "True");
    EXPECT_GT(ShareOfColour(picture, RGB(0, 0, 0)), 0.5) << "the theme survives the restart";
    EXPECT_EQ(ReadValue(kRunKey, "Vantorel"), "<missing>");
    EXPECT_EQ(ReadValue(kSettings, "FirstRun"), "0");
    EXPECT_FALSE(BalloonOnScreen()) << "the welcome is for the first run only";

    Exit();
    ASSERT_FALSE(HasFatalFailure());
    ExpectTaskManagerColoursStored();
    EXPECT_NEAR(StoredTwips("Left"), left.left * 1440.0 / dpiX, 0.01);
    EXPECT_NEAR(StoredTwips("Width"), 260 * 1440.0 / dpiX, 0.01);
}
