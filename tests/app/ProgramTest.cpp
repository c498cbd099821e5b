// The program, in the order its single-instance mark asks for (a controller in this process keeps it to
// the end of the process). First the real program started as a user starts it, in a private copy: the
// first run and the next one with a second copy started meanwhile, and the ways it is asked to end (a
// close request, the end of the session); and its manifest. Then the controller's own failures under the
// real start-up, each in a child process (death tests): an error in the start-up sequence ends the
// program through the fatal report, and one while it is torn down is logged, never thrown out of a
// destructor; the real log file's formats and a clock that reads zero. Last the live controller in this
// process: start-up from settings that make no sense, each sample fanned out to the tray, the graph and
// the statistics, the popup menu with its pictures and themes, and a long run with the meter open and the
// menu opened again and again that leaves no GDI or USER objects or heap behind.
#include "app/MainMenu.h"
#include "app/SampleDispatch.h"
#include "app/frmMain.h"
#include "app/mMenuBmp.h"
#include "base/Win32LogSystem.h"
#include "base/mLogging.h"
#include "graph/OlePictureLoader.h"
#include "graph/PictureBox.h"
#include "graph/cGraph.h"
#include "meter/frmMeter.h"
#include "net/MTimer.h"
#include "net/cNetStatistics.h"
#include "net/cNetStatus.h"
#include "resources/resource.h"
#include "settings/RegistryApi.h"
#include "settings/SystemServices.h"
#include "settings/Win32Registry.h"
#include "settings/mRegistry.h"
#include "support/FakeRegistry.h"
#include "support/GuardedRunKey.h"
#include "support/WinTestUtil.h"
#include "winsys/Dpi.h"
#include "winsys/FatalError.h"
#include "winsys/SysTray.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
const char kGraph[] = "Software\\Vantorel\\Graph";
const char kSettings[] = "Software\\Vantorel\\Settings";
const char kPosition[] = "Software\\Vantorel\\Position";
const char kPath[] = "Software\\Vantorel\\General";

// A balloon tip on the screen: the shell shows the tray's balloons as tooltip windows of its own.
bool BalloonOnScreen() {
    for (HWND tip = nullptr; (tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr));)
        if (IsWindowVisible(tip) && (GetWindowLongA(tip, GWL_STYLE) & TTS_BALLOON))
            return true;
    return false;
}

// A private copy of the built program with a clean slate: it keeps its settings under
// HKCU\Software\Vantorel of the test prefix and its log beside the executable.
class ProgramCopy : public testing::Test {
protected:
    void SetUp() override {
        folder = TempFolder() + "vantorel-" + std::to_string(GetCurrentProcessId());
        exe = folder + "\\Vantorel.exe";
        TearDown();
        CreateDirectoryA(folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileA(WinePath(VANTOREL_EXE).c_str(), exe.c_str(), FALSE)) << VANTOREL_EXE;
    }
    void TearDown() override {
        process.reset();
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Vantorel");
        DeleteFileA(exe.c_str());
        DeleteFileA(LogPath().c_str());
        RemoveDirectoryA(folder.c_str());
    }
    std::string LogPath() const { return folder + "\\VantorelLog.txt"; }

    // Starts the copy, waits for its controller and meter windows and lets the first samples arrive. (No
    // other program's windows are on this desktop: its tests take it in turn, and this one's controller
    // comes last.)
    void Start() {
        process = std::make_unique<ChildProcess>('"' + exe + '"');
        ASSERT_TRUE(PumpUntil(
            [&] {
                main = FindWindowA("VantorelMain", nullptr);
                meter = FindWindowA("VantorelMeter", nullptr);
                picture = meter ? GetWindow(meter, GW_CHILD) : nullptr;
                return main && picture && IsWindowVisible(meter);
            },
            20000))
            << "the program's windows never appeared";
        PumpFor(1500);
    }

    // A message as the system or the menu sends it, the answer awaited.
    DWORD_PTR Send(UINT msg, WPARAM wParam, LPARAM lParam = 0) const {
        DWORD_PTR answer = 0;
        EXPECT_TRUE(SendMessageTimeoutA(main, msg, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &answer));
        return answer;
    }

    // Asks the running program to end with `msg`; it must end at once, with exit code 0. (A failure to
    // start or end leaves the checks after it failing too.)
    void End(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
        Send(msg, wParam, lParam);
        EXPECT_EQ(process->ExitCode(20000), 0u) << "the program did not end, or not with 0";
    }

    bool HasTitleBar() const { return (GetWindowLongA(meter, GWL_STYLE) & WS_CAPTION) == WS_CAPTION; }

    std::string folder, exe;
    std::unique_ptr<ChildProcess> process;
    HWND main = nullptr, meter = nullptr, picture = nullptr;
};

// The system refuses every timer, as it does when its timer resources are exhausted.
struct RefusingTimers : ISystemTimer {
    uintptr_t SetTimer(uint32_t) override { return 0; }
    void KillTimer(uintptr_t) override {}
};

// These run first: the controller below keeps the single-instance mark to the end of the process.
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
        EXPECT_TRUE(!picture || std::ranges::count_if(PixelsOf(item.hbmpItem, 16), drawn) > 20) << text;
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

TEST_F(ProgramCopy, TheFirstRunThenARestartWithASecondCopyAndTheEndOfTheSession) {
    WriteValue(kSettings, "Logging", "True");

    // First run on a fresh machine: the welcome balloon comes up on the tray icon, the program registers
    // to start with Windows, and the meter opens at its default place.
    ASSERT_FALSE(BalloonOnScreen());
    Start();
    EXPECT_TRUE(PumpUntil(BalloonOnScreen, 5000)) << "no welcome balloon on the first run";
    // Quoted, so that a folder with blanks cannot make Windows start another program.
    EXPECT_EQ(ReadValue(kRunKey, "Vantorel"), "\"" + exe + "\"");
    // 100 twips from the corner, 3000 by 1200 twips in size.
    const int dpi = SystemDpi(), at = MulDiv(100, dpi, 1440);
    RECT r{};
    GetWindowRect(meter, &r);
    EXPECT_EQ(r, (RECT{at, at, at + MulDiv(3000, dpi, 1440), at + MulDiv(1200, dpi, 1440)}));
    EXPECT_FALSE(IsWindowVisible(main)) << "the controller stays hidden";

    // The theme entries exist once the menu has been opened (a right click on the graph; Escape closes it
    // again); the chosen theme is what the end of the session saves.
    PostMessageA(picture, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
    PostMessageA(picture, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
    ASSERT_TRUE(PumpUntil([] { return VisibleMenu() != nullptr; }, 10000)) << "no menu";
    PostMessageA(VisibleMenu(), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(PumpUntil([] { return !VisibleMenu(); }, 10000)) << "Escape left the menu open";
    SendMessageA(main, WM_COMMAND, MainMenu::mnuThemeFirst + 1, 0); // Task Manager, the second built-in

    // The user hides the title bar by double-clicking the graph. (Where the meter stood and its size come
    // back through the registry as the meter tests show; the close request's save shows in the theme.)
    PostMessageA(picture, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 20));
    ASSERT_TRUE(PumpUntil([&] { return !HasTitleBar() && ReadValue(kPosition, "NoBorder") == "True"; }, 5000))
        << "a double-click hides the title bar and stores that";
    End(WM_CLOSE); // as taskkill without /F asks

    // The log's header is checked below, where a second copy writes it too. The interfaces are counted
    // (the lines naming each are the same writes with other text).
    auto log = LogMessages(LogPath());
    EXPECT_EQ(std::ranges::count_if(log, [](auto& l) { return l.starts_with("NumInterfaces: "); }), 1);
    EXPECT_EQ(std::ranges::count(log, "Adding SysTray"), 1); // the start-up failure tests count on it
    EXPECT_EQ(log.back(), "End");

    // The user removed the start-up entry meanwhile: a later run leaves it removed.
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Vantorel");
    Start();
    EXPECT_FALSE(HasTitleBar());
    EXPECT_FALSE(BalloonOnScreen()) << "the welcome is for the first run only";

    // A second copy ends at once and changes nothing, but adds its lines to the log that the first holds
    // open (and that others may read meanwhile); the first copy's next lines come after them.
    WriteValue(kPath, "Path", "untouched");
    EXPECT_EQ(ChildProcess('"' + exe + '"').ExitCode(10000), 0u) << "a second copy must end at once";
    EXPECT_EQ(ReadValue(kPath, "Path"), "untouched");
    const auto before = LogMessages(LogPath());
    ASSERT_GE(before.size(), 4u);
    EXPECT_EQ(std::vector(before.end() - 4, before.end()),
              (std::vector<std::string>{std::string(50, '='), "Vantorel build: 9 Loading...", "frmMain_Load",
                                        "Previous Instance"}));

    // Another program refuses the end of the session: nothing is saved and the meter runs on. Then the
    // session ends, and the program saves everything once and ends.
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kGraph, "AutoScale");
    EXPECT_EQ(Send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), static_cast<DWORD_PTR>(TRUE));
    Send(WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    PumpFor(300);
    EXPECT_EQ(ReadValue(kGraph, "AutoScale"), "<missing>");
    End(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    log = LogMessages(LogPath());
    ASSERT_GT(log.size(), before.size());
    EXPECT_EQ(std::vector(log.begin(), log.begin() + static_cast<long>(before.size())), before);
    EXPECT_EQ(std::ranges::count(log, "frmMain_Unload"), 2);
    EXPECT_EQ(std::ranges::count(log, "frmMeter_Unload"), 2);
    EXPECT_EQ(log.back(), "End");
    EXPECT_EQ(ReadValue(kRunKey, "Vantorel"), "<missing>");
    EXPECT_EQ(ReadValue(kGraph, "AutoScale"), "True");
    // The theme chosen in the first run, taken up by the restart: green numbers on black. (The
    // geometry's twips are the meter tests' to check; here it came back to its place above.)
    EXPECT_EQ(ReadValue(kGraph, "BackColor") + " " + ReadValue(kGraph, "NumColor"), "0 65280");
}

// What the user confirms is stored when it is confirmed: after Ok in the settings dialog and a theme
// chosen from the menu, the process is killed (no Exit, no end of the session), and the next start
// shows the choices.
TEST_F(ProgramCopy, ChoicesConfirmedWithOkAndAChosenThemeOutliveAKill) {
    WriteValue(kSettings, "FirstRun", "0");
    Start();
    const auto openSettings = [&] {
        PostMessageA(main, WM_COMMAND, MainMenu::mnuSettings, 0);
        HWND dialog = nullptr;
        EXPECT_TRUE(PumpUntil(
            [&] {
                dialog = FindWindowA("#32770", "Vantorel Settings");
                return dialog && IsWindowVisible(dialog);
            },
            10000));
        return dialog;
    };
    HWND dialog = openSettings();
    ASSERT_TRUE(dialog);
    SendMessageA(GetDlgItem(dialog, IDC_opScale500), BM_CLICK, 0, 0);
    if (IsDlgButtonChecked(dialog, IDC_chkGridlines))
        SendMessageA(GetDlgItem(dialog, IDC_chkGridlines), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(dialog, IDC_cmdOk), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }, 5000)) << "Ok closes the dialog";
    // Ok loaded the meter anew. The theme entries exist once the menu has been opened (Escape closes it
    // again).
    ASSERT_TRUE(PumpUntil(
        [&] {
            meter = FindWindowA("VantorelMeter", nullptr);
            picture = meter ? GetWindow(meter, GW_CHILD) : nullptr;
            return picture && IsWindowVisible(meter);
        },
        10000));
    PostMessageA(picture, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
    PostMessageA(picture, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
    ASSERT_TRUE(PumpUntil([] { return VisibleMenu() != nullptr; }, 10000)) << "no menu";
    PostMessageA(VisibleMenu(), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(PumpUntil([] { return !VisibleMenu(); }, 10000));
    Send(WM_COMMAND, MainMenu::mnuThemeFirst + 1); // Task Manager: green numbers on black
    process.reset();                               // killed

    EXPECT_EQ(ReadValue(kGraph, "AutoScale") + " " + ReadValue(kGraph, "Scale"), "False 512000");
    EXPECT_EQ(ReadValue(kGraph, "BackColor") + " " + ReadValue(kGraph, "NumColor"), "0 65280");
    Start();
    dialog = openSettings();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(IsDlgButtonChecked(dialog, IDC_opScale500)) << "the confirmed scale";
    EXPECT_FALSE(IsDlgButtonChecked(dialog, IDC_chkGridlines));
    End(WM_CLOSE);
}

// A copy started with higher rights (by a setup program, say) holds the single-instance mark where this
// copy may not open it: that copy still runs, so this one ends at once and writes nothing.
TEST_F(ProgramCopy, ACopyWhoseMarkCannotBeOpenedIsStillARunningCopy) {
    SECURITY_DESCRIPTOR sd;
    ACL nobody;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    InitializeAcl(&nobody, sizeof nobody, ACL_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, &nobody, FALSE);
    SECURITY_ATTRIBUTES sa{sizeof sa, &sd, FALSE};
    HANDLE mark = CreateMutexA(&sa, FALSE, "Local\\Vantorel.Instance");
    ASSERT_TRUE(mark);
    const DWORD code = ChildProcess('"' + exe + '"').ExitCode(10000);
    CloseHandle(mark);
    EXPECT_EQ(code, 0u) << "the copy ran on beside the one with the mark, or failed";
    EXPECT_EQ(ReadValue(kPath, "Path"), "<missing>");
}

// The program's manifest as the system reads it: DPI awareness, supported systems, the rights it asks for,
// and the common controls with visual styles that its dialogs get.
TEST(Manifest, TheSystemReadsDpiAwarenessSupportedSystemsRunLevelAndVisualStyles) {
    const std::string exe = WinePath(VANTOREL_EXE);
    ACTCTXA source{};
    source.cbSize = sizeof source;
    source.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    source.lpSource = exe.c_str();
    source.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    HANDLE context = CreateActCtxA(&source);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "no valid manifest in the program: " << GetLastError();
    const auto setting = [context](const wchar_t* space, const wchar_t* name) {
        wchar_t value[128] = {};
        SIZE_T written = 0;
        return std::wstring(QueryActCtxSettingsW(0, context, space, name, value, 128, &written) ? value
                                                                                                : L"-");
    };
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
              L"PerMonitorV2, PerMonitor");
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"), L"true/pm")
        << "the fallback for systems before Windows 10";

    // Windows 7, 8, 8.1 and 10/11, each by its own id (the record's layout differs between SDKs).
    char buffer[4096] = {};
    SIZE_T size = 0;
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, buffer,
                             sizeof buffer, &size));
    const std::string record(buffer, size);
    for (const GUID& id :
         {GUID{0x35138b9a, 0x5d96, 0x4fbd, {0x8e, 0x2d, 0xa2, 0x44, 0x02, 0x25, 0xf9, 0x3a}},
          GUID{0x4a2f28e3, 0x53b9, 0x4441, {0xba, 0x9c, 0xd6, 0x9d, 0x4a, 0x4a, 0x6e, 0x38}},
          GUID{0x1f676c76, 0x80e1, 0x4239, {0x95, 0xbb, 0x83, 0xd0, 0xf6, 0xd0, 0xda, 0x78}},
          GUID{0x8e0f7a12, 0xbfb3, 0x4fe8, {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}}})
        EXPECT_NE(record.find(std::string(reinterpret_cast<const char*>(&id), sizeof id)), std::string::npos)
            << std::hex << id.Data1;
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level,
                             sizeof level, &size));
    EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(level.UiAccess, 0u);

    // A button made under the manifest, as the program's dialogs make theirs, brings version 6 of the
    // common controls in: a side-by-side assembly (the system folder holds the older version). Under the
    // manifest the name stands for that assembly's library, found only once it is loaded.
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context, &cookie));
    DestroyWindow(
        CreateWindowExA(0, "Button", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    char controls[MAX_PATH] = {};
    GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), controls, MAX_PATH);
    DeactivateActCtx(0, cookie);
    ReleaseActCtx(context);
    EXPECT_TRUE(StrStrIA(controls, "common-controls_6595b64144ccf1df_6.0.")) << controls;
}

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

// Security software that guards the Run key must not stop the first start. Settings that cannot be
// saved when the program is torn down are logged, never thrown out of a destructor.
TEST_F(ControllerFailure, AFirstRunWhoseRunValueIsRefusedStartsAndUnsavedSettingsAreLogged) {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettings, "FirstRun");
    const auto run = [] {
        static GuardedRunKey<Win32RegistryApi> guarded;
        SetRegistryApi(&guarded);
        SetFatalErrorHandler(
            [](const std::exception& error) { std::fprintf(stderr, "report: %s\n", error.what()); });
        {
            frmMain form;
            form.Load();
            std::fprintf(stderr, "started\n");
            PumpFor(300);
            SetRegistryApi(nullptr); // from here every change is refused
        }
        FlushLog();
        std::fprintf(stderr, "torn down\n");
        ExitProcess(0);
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "started\ntorn down");
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

// A registry that refuses every write (policy, a full hive): the program starts, the meter is hidden and
// shown, double-clicked and closed by its close box, and Exit unloads everything; each refusal is
// logged where it happened.
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

// One controller per process: it takes the program's single-instance mark for the rest of the run. It
// starts from settings that make no sense: each is passed over, and the valid ones come back at the end.
// (A value of another type reads as text: the registry contract shows it on the real registry.)
TEST_F(Controller, FansSamplesOutShowsItsMenuAndALongRunLeavesNothingBehind) {
    UseTheSystem();
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
    // Each setting is read in its own guard: numbers past any range and flags that are neither (the kinds
    // of unreadable text are the native conversion tests' to vary), a picture that is not there.
    for (const char* name : {"Scale", "BackColor", "BothColor", "ChartColor", "Alpha"})
        WriteValue(kGraph, name, "1e400");
    for (const char* name : {"Show Numerical Values", "StretchBackground", "ShowOnStartup"})
        WriteValue(kGraph, name, "maybe");
    WriteValue(kGraph, "Background", "no such picture.bmp");
    WriteValue(kSettings, "Logging", "perhaps");
    WriteValue(kPosition, "Width", "-1e30");
    for (const char* name : {"Left", "NoBorder"})
        WriteValue(kPosition, name, "huge");
    WriteValue(kGraph, "AutoScale", "False"); // readable, and the unreadable scale is read after it
    WriteValue(kSettings, "FirstRun", "seven");
    WriteValue(kSettings, "Interface", std::string(300, 'x'));
    form.Load(); // the meter stays hidden: Show below opens it, as the end of the run shows
    // The first sample is taken inside start-up (the sampler's tests show it only takes the baseline): the
    // graph holds it, as its count after four more shows.

    // Each sample: its picture and rates reach the tray's record, the graph and statistics take it.
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
        EXPECT_EQ(form.SysTray1->IconData().szTip, TrayTooltipText(s.in, s.out));
        DestroyIcon(expected);
    }
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
    EXPECT_TRUE(form.MeterVisible && IsWindowVisible(form.Meter()->Window()));

    SendMessageA(form.Window(), WM_COMMAND, MainMenu::mnuExit, 0); // the program copies end the meter too
    EXPECT_EQ(MenuBitmapCount(), 0u) << "shutdown frees the last set of menu pictures";
    // Values that were valid come back as they were; nothing is written as garbage.
    EXPECT_EQ(ReadValue(kGraph, "AutoScale"), "False");
    EXPECT_EQ(ReadValue(kGraph, "Scale"), "1") << "an unreadable scale leaves the graph's own";
    EXPECT_EQ(ReadValue(kSettings, "FirstRun"), "seven") << "not a first run";
    EXPECT_EQ(ReadValue(kSettings, "Interface"), std::string(300, 'x'));
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
}
