// The live controller in this process (it keeps the single-instance mark to the end of the process, so
// it runs alone here): start-up from settings that make no sense, each sample fanned out to the tray, the
// graph and the statistics, the popup menu with its pictures and themes, and a long run with the meter
// open and the menu opened again and again that leaves no GDI or USER objects or heap behind.
#include "app/MainMenu.h"
#include "app/frmMain.h"
#include "app/mMenuBmp.h"
#include "graph/cGraph.h"
#include "meter/frmMeter.h"
#include "net/cNetStatistics.h"
#include "resources/resource.h"
#include "support/WinTestUtil.h"
#include "winsys/SysTray.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
const char kGraph[] = "Software\\Vantorel\\Graph";
const char kSettings[] = "Software\\Vantorel\\Settings";
const char kPosition[] = "Software\\Vantorel\\Position";
const char kPath[] = "Software\\Vantorel\\General";

// Live GDI and USER objects of this process. Windows counts them; Wine answers 0, so there each handle
// slot is probed without touching what it holds (a value whose upper 16 bits are 0 means "this slot,
// whatever its generation"): GDI objects by type; windows that belong to this process, menus with
// IsMenu, icons by drawing them 1x1.
std::pair<long, long> GuiObjects() {
    long gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    long user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (gdi == 0)
        for (UINT_PTR slot = 1; slot <= 0xFFFF; ++slot)
            gdi += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
    if (user != 0)
        return {gdi, user};
    HDC probe = CreateCompatibleDC(nullptr);
    for (UINT_PTR slot = 0x20; slot <= 0xFFFE; slot += 2) {
        DWORD pid = 0;
        GetWindowThreadProcessId(reinterpret_cast<HWND>(slot), &pid);
        user += pid == GetCurrentProcessId() || IsMenu(reinterpret_cast<HMENU>(slot)) ||
                DrawIconEx(probe, 0, 0, reinterpret_cast<HICON>(slot), 1, 1, 0, nullptr, DI_NORMAL);
    }
    DeleteDC(probe);
    return {gdi, user};
}

// Bytes in use in every heap of the process, exactly.
int64_t HeapInUse() {
    HANDLE heaps[256];
    const DWORD n = std::min<DWORD>(GetProcessHeaps(256, heaps), 256);
    int64_t inUse = 0;
    for (DWORD i = 0; i < n; ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        for (PROCESS_HEAP_ENTRY entry{}; HeapWalk(heaps[i], &entry);)
            inUse += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ? entry.cbData : 0;
        HeapUnlock(heaps[i]);
    }
    return inUse;
}

// The colours of a bitmap of `size` x `size`, row by row; of an icon, those of its colour image.
std::vector<COLORREF> PixelsOf(HBITMAP bitmap, int size) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    std::vector<COLORREF> pixels;
    for (int i = 0; i < size * size; ++i)
        pixels.push_back(GetPixel(dc, i % size, i / size));
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixels;
}
std::vector<COLORREF> PixelsOf(HICON icon) {
    ICONINFO info{};
    GetIconInfo(icon, &info);
    auto pixels = PixelsOf(info.hbmColor, GetSystemMetrics(SM_CXSMICON));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

// The entries of a menu ("-" for a separator), each marked "*" when it carries a picture, which must be
// drawn on the menu colour.
std::vector<std::string> Captions(HMENU menu) {
    std::vector<std::string> captions;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_BITMAP;
        GetMenuItemInfoA(menu, i, TRUE, &item);
        const bool picture = GetObjectType(item.hbmpItem) == OBJ_BITMAP;
        const auto drawn = [](COLORREF c) { return c != GetSysColor(COLOR_MENU); };
        if (picture) {
            EXPECT_GT(std::ranges::count_if(PixelsOf(item.hbmpItem, 16), drawn), 20) << text;
        }
        captions.push_back(std::string(text[0] ? text : "-") + (picture ? "*" : ""));
    }
    return captions;
}

// Runs inside the menu's own message loop: once the popup is seen on the screen, it is dismissed.
int g_menusSeen = 0;
void CALLBACK DismissVisibleMenu(HWND, UINT, UINT_PTR, DWORD) {
    if (VisibleMenu() && ++g_menusSeen)
        EndMenu();
}

class Controller : public testing::Test {
protected:
    // One opening the way a user makes it, by the tray's right click (the program test opens it from the
    // meter's graph). The popup must really appear; a timer closes it from inside the menu's loop.
    void OpenAndCloseMenu() {
        const int seenBefore = g_menusSeen;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, DismissVisibleMenu);
        PostMessageA(form.SysTray1->hWnd(), form.SysTray1->TrayMessage(), 0, WM_RBUTTONDOWN);
        const bool shown = PumpUntil([&] { return g_menusSeen > seenBefore; }, 10000);
        KillTimer(nullptr, timer);
        PumpFor(1);
        ASSERT_TRUE(shown) << "opening " << g_menusSeen << ": the popup menu never appeared";
        ASSERT_EQ(VisibleMenu(), nullptr) << "the popup menu did not close";
    }

    // Rounds of samples, each round ending with an opening of the menu. The samples change the tooltip and
    // the scale every time and visit the four tray pictures in runs, as traffic does (a new picture costs
    // the shell a copy of the icon).
    void Run(int rounds, int samplesPerRound) {
        for (int r = 0; r < rounds && !HasFatalFailure(); ++r) {
            for (int i = 0; i < samplesPerRound; ++i, ++m_sample) {
                const uint32_t state = (m_sample / 10) % 4;
                const int32_t wave = static_cast<int32_t>(1 + (m_sample * 7919u) % 300000u);
                form.NetStat_Status(state < 2 ? wave : 0, state % 2 == 0       ? wave / 3 + 1
                                                          : m_sample % 97 == 0 ? -5
                                                                               : 0);
                if (i % 50 == 49)
                    PumpFor(1); // the meter paints, the tray takes its notifications
            }
            OpenAndCloseMenu();
        }
    }

    frmMain form;
    uint32_t m_sample = 0;
};
} // namespace

// One controller per process: it takes the program's single-instance mark for the rest of the run. It
// starts from settings that make no sense: each is passed over, and the valid ones come back at the end.
// (A value of another type reads as text: the registry contract shows it on the real registry.)
TEST_F(Controller, FansSamplesOutShowsItsMenuAndALongRunLeavesNothingBehind) {
    UseTheSystem();
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
    // Each unreadable setting falls back to its default: numbers past any range and flags that are
    // neither (the graph's own are the native settings tests' to vary), a missing picture.
    WriteValue(kGraph, "ShowOnStartup", "maybe");
    WriteValue(kGraph, "Background", "no such picture.bmp");
    WriteValue(kSettings, "Logging", "perhaps");
    WriteValue(kPosition, "Width", "-1e30");
    for (const char* name : {"Left", "NoBorder"})
        WriteValue(kPosition, name, "huge");
    WriteValue(kSettings, "FirstRun", "seven");
    WriteValue(kSettings, "Interface", std::string(300, 'x'));
    form.Load(); // the meter stays hidden: Show below opens it, as the end of the run shows
    // The first sample is taken inside start-up (the sampler's tests show it only takes the baseline): the
    // graph holds it, as its count after four more shows.

    // Each sample: its picture reaches the tray's record (the last one its rates too), the graph and
    // statistics take it.
    const struct {
        int32_t in, out;
        int picture;
    } samples[] = {
        {1536, 0, IDI_TRAY_IN}, {0, 1, IDI_TRAY_OUT}, {5, 7, IDI_TRAY_INOUT}, {0, 0, IDI_TRAY_NONE}};
    for (const auto& s : samples) {
        form.NetStat_Status(s.in, s.out);
        const int size = GetSystemMetrics(SM_CXSMICON);
        HICON expected = static_cast<HICON>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(s.picture), IMAGE_ICON, size, size, 0));
        EXPECT_EQ(PixelsOf(form.SysTray1->IconData().hIcon), PixelsOf(expected)) << s.picture;
        DestroyIcon(expected);
    }
    EXPECT_STREQ(form.SysTray1->IconData().szTip, "Vantorel In: 0kb/s Out: 0kb/s");
    EXPECT_EQ(form.NetGraph->CurHistorySize(), 5);
    EXPECT_EQ(form.NetStatistics->TotalIn(), (1536 + 5) * 10000LL);

    // The popup: start-up took the companion's entry out, as its program is not beside this one, and the
    // hidden entry takes no place; every other command entry carries its picture. The theme entries come
    // from the catalogue at each opening (the program test chooses one by its place).
    form.mnuShow_Click(); // shown to the end of the run, as checked there
    form.mnuMain_Click();
    EXPECT_EQ(Captions(GetSubMenu(GetMenu(form.Window()), 0)),
              (std::vector<std::string>{"Hide*", "Statistics...*", "History...*", "Quotas...*", "-",
                                        "Settings...*", "Graph Style*", "-", "Exit*"}));
    WriteValue("Software\\Vantorel\\Themes\\Mine", "BackColor", "0");
    form.mnuMain_Click();
    EXPECT_EQ(form.Menu.ThemeCaption(4), "Mine");

    // Warm-up: the history fills to its length, the pens and fonts of the graph and the menu's own window
    // and fonts are made once. Objects the system makes lazily may still appear afterwards; a leak per
    // sample or per opening adds dozens (an opening that kept the last one's five pictures, 125).
    Run(10, 150);
    const auto [gdiBefore, userBefore] = GuiObjects();
    const int64_t heapBefore = HeapInUse();
    Run(25, 160);
    const auto [gdiAfter, userAfter] = GuiObjects();
    EXPECT_LE(gdiAfter - gdiBefore, 8) << gdiBefore << " GDI objects before";
    EXPECT_LE(userAfter - userBefore, 4) << userBefore << " USER objects before";
    EXPECT_LE(HeapInUse() - heapBefore, 64 * 1024);
    EXPECT_TRUE(form.MeterVisible);
    EXPECT_TRUE(IsWindowVisible(form.Meter()->Window()));

    SendMessageA(form.Window(), WM_COMMAND, MainMenu::mnuExit, 0); // the program copies end the meter too
    EXPECT_EQ(MenuBitmapCount(), 0u) << "shutdown frees the last set of menu pictures";
    // Values that were valid come back as they were; nothing is written as garbage.
    EXPECT_EQ(ReadValue(kSettings, "FirstRun"), "seven") << "not a first run";
    EXPECT_EQ(ReadValue(kSettings, "Interface"), std::string(300, 'x'));
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
}
