// The real program started as a user starts it, in a private copy with a history folder of its own: the
// first run, killed after choices were confirmed, and the next one with a second copy started meanwhile,
// ended by the end of the session; the usage history through a kill and a quota's warnings, from loopback
// traffic made here; a copy beside one with a mark it cannot open; and its manifest. No controller runs
// in this process, so the copies' single-instance mark is theirs alone.
#include <winsock2.h> // before windows.h, which the headers below include

#include "app/MainMenu.h"
#include "history/HistoryAggregate.h"
#include "history/HistoryFiles.h"
#include "history/HistorySeamsWin32.h"
#include "resources/resource.h"
#include "support/DialogTestUtil.h"
#include "support/WinTestUtil.h"
#include "winsys/Dpi.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <memory>
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

// Sends `bytes` from one end of a loopback TCP connection to the other; false when it could not.
bool LoopbackTraffic(std::size_t bytes) {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa); // a failure here fails every call below
    SOCKET server = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP),
           client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof at;
    bind(server, reinterpret_cast<sockaddr*>(&at), sizeof at);
    listen(server, 1);
    getsockname(server, reinterpret_cast<sockaddr*>(&at), &length);
    bool done = connect(client, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0;
    SOCKET peer = done ? accept(server, nullptr, nullptr) : INVALID_SOCKET;
    std::vector<char> chunk(65536, 'x');
    const int size = static_cast<int>(chunk.size());
    for (std::size_t sent = 0; done && sent < bytes; sent += chunk.size()) {
        done = send(client, chunk.data(), size, 0) == size;
        for (int got = 0, n = 0; done && got < size; got += n)
            done = (n = recv(peer, chunk.data(), size - got, 0)) > 0;
    }
    for (SOCKET s : {peer, client, server})
        closesocket(s);
    WSACleanup();
    return done;
}

// The warnings the tray icon was given (the program logs each balloon's text as the icon holds it),
// each up to its figures: "Vantorel: 80% of Loopback used".
std::vector<std::string> Balloons(const std::string& log) {
    std::vector<std::string> balloons;
    const std::string mark = "Quota balloon: ";
    for (const std::string& line : LogMessages(log))
        if (line.starts_with(mark))
            balloons.push_back(line.substr(mark.size(), line.find(" (") - mark.size()));
    return balloons;
}

// A private copy of the built program with a clean slate: it keeps its settings under
// HKCU\Software\Vantorel of the test prefix, and its log and (by LOCALAPPDATA) its history beside the
// executable. Its history is written every second, not every minute.
class ProgramCopy : public testing::Test {
protected:
    void SetUp() override {
        folder = TempFolder() + "vantorel-" + std::to_string(GetCurrentProcessId());
        exe = folder + "\\Vantorel.exe";
        TearDown();
        CreateDirectoryA(folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileA(WinePath(VANTOREL_EXE).c_str(), exe.c_str(), FALSE)) << VANTOREL_EXE;
        char old[MAX_PATH] = {};
        oldLocal.assign(old, GetEnvironmentVariableA("LOCALAPPDATA", old, MAX_PATH));
        SetEnvironmentVariableA("LOCALAPPDATA", folder.c_str());
        WriteValue("Software\\Vantorel\\History", "FlushSeconds", "1");
    }
    void TearDown() override {
        process.reset();
        if (!oldLocal.empty())
            SetEnvironmentVariableA("LOCALAPPDATA", oldLocal.c_str());
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Vantorel");
        RemoveFolderTree(folder);
    }
    std::string LogPath() const { return folder + "\\VantorelLog.txt"; }

    bool MeterShown() {
        meter = FindWindowA("VantorelMeter", nullptr);
        picture = meter ? GetWindow(meter, GW_CHILD) : nullptr;
        return picture && IsWindowVisible(meter);
    }

    // Starts the copy, waits for its controller and meter windows and its history (its state file), and
    // lets the first samples arrive. (No other program's windows are on this desktop: its tests take it
    // in turn, and this one's controller comes last; a killed copy's window may outlive it for a moment.)
    void Start() {
        ASSERT_TRUE(PumpUntil([] { return !FindWindowA("VantorelMain", nullptr); }, 10000));
        process = std::make_unique<ChildProcess>('"' + exe + '"');
        const std::string state = folder + "\\Vantorel\\History\\state";
        ASSERT_TRUE(PumpUntil(
            [&] {
                main = FindWindowA("VantorelMain", nullptr);
                return main && MeterShown() && GetFileAttributesA(state.c_str()) != INVALID_FILE_ATTRIBUTES;
            },
            20000))
            << "the program's windows or its history never appeared";
        PumpFor(1500);
    }

    // A message as the system or the menu sends it, the answer awaited.
    DWORD_PTR Send(UINT msg, WPARAM wParam, LPARAM lParam = 0) const {
        DWORD_PTR answer = 0;
        EXPECT_TRUE(SendMessageTimeoutA(main, msg, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &answer));
        return answer;
    }

    // Asks the running program to end with `msg`; it must end at once, with exit code 0.
    void End(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
        Send(msg, wParam, lParam);
        EXPECT_EQ(process->ExitCode(20000), 0u) << "the program did not end, or not with 0";
    }

    HWND OpenSettings() const {
        PostMessageA(main, WM_COMMAND, MainMenu::mnuSettings, 0);
        HWND dialog = nullptr;
        PumpUntil(
            [&] { return (dialog = FindWindowA("#32770", "Vantorel Settings")) && IsWindowVisible(dialog); },
            10000);
        return dialog;
    }

    // The theme entries exist once the menu has been opened (a right click on the graph; Escape closes it
    // again); then the theme at `index` is chosen from it.
    void ChooseTheme(int index) const {
        PostMessageA(picture, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
        PostMessageA(picture, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
        ASSERT_TRUE(PumpUntil([] { return VisibleMenu() != nullptr; }, 10000)) << "no menu";
        PostMessageA(VisibleMenu(), WM_KEYDOWN, VK_ESCAPE, 0);
        ASSERT_TRUE(PumpUntil([] { return !VisibleMenu(); }, 10000)) << "Escape left the menu open";
        Send(WM_COMMAND, MainMenu::mnuThemeFirst + index);
    }

    bool HasTitleBar() const { return (GetWindowLongA(meter, GWL_STYLE) & WS_CAPTION) == WS_CAPTION; }

    // The octets in that today holds, summed over every interface recorded (the loopback is one).
    uint64_t TodayIn() const {
        Win32HistoryFiles files(std::wstring(folder.begin(), folder.end()) + L"\\Vantorel\\History\\");
        Win32ZoneRules rules;
        const ZoneCalendar zone(rules);
        HistoryData data;
        LoadHistory(files, data);
        const int64_t local = zone.ToLocal(Win32HistoryClock().UtcNow());
        const CivilDate today = CivilFromDays(FloorDiv(local, 86400));
        uint64_t sum = 0;
        for (std::size_t i = 0; i < data.Interfaces().size(); ++i)
            for (const HistoryBucket& b : Aggregate(data, zone, HistoryPeriod::Day, today, i))
                sum += b.in;
        return sum;
    }

    std::string folder, exe, oldLocal;
    std::unique_ptr<ChildProcess> process;
    HWND main = nullptr, meter = nullptr, picture = nullptr;
};
} // namespace

TEST_F(ProgramCopy, TheFirstRunAKillThenARestartWithASecondCopyAndTheEndOfTheSession) {
    WriteValue(kSettings, "Logging", "True");

    // First run on a fresh machine: the welcome balloon comes up on the tray icon, and the meter opens at
    // its default place, 100 twips from the corner, 3000 by 1200 twips in size.
    ASSERT_FALSE(BalloonOnScreen());
    Start();
    EXPECT_TRUE(PumpUntil(BalloonOnScreen, 5000)) << "no welcome balloon on the first run";
    const int dpi = SystemDpi(), at = MulDiv(100, dpi, 1440);
    RECT r{};
    GetWindowRect(meter, &r);
    EXPECT_EQ(r, (RECT{at, at, at + MulDiv(3000, dpi, 1440), at + MulDiv(1200, dpi, 1440)}));
    EXPECT_FALSE(IsWindowVisible(main)) << "the controller stays hidden";

    // The user hides the title bar by double-clicking the graph. (Where the meter stood and its size come
    // back through the registry as the meter tests show.)
    PostMessageA(picture, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 20));
    PumpUntil([&] { return ReadValue(kPosition, "NoBorder") == "True"; }, 5000);
    EXPECT_FALSE(HasTitleBar()) << "a double-click hides the title bar";
    EXPECT_EQ(ReadValue(kPosition, "NoBorder"), "True");

    // What the user confirms is stored when it is confirmed: Ok in the settings dialog (which loads the
    // meter anew) and a theme chosen from the menu outlive a kill (no Exit, no end of the session).
    const HWND dialog = OpenSettings();
    ASSERT_TRUE(dialog);
    Click(dialog, IDC_opScale500);
    Click(dialog, IDC_cmdOk);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }, 10000)) << "Ok closes the dialog";
    ASSERT_TRUE(PumpUntil([&] { return MeterShown(); }, 10000)) << "the meter is still shown";
    ChooseTheme(1); // Task Manager, the second built-in: green numbers on black
    process.reset();
    EXPECT_EQ(ReadValue(kGraph, "AutoScale"), "False");
    EXPECT_EQ(ReadValue(kGraph, "Scale"), "512000");
    EXPECT_EQ(ReadValue(kGraph, "BackColor"), "0");
    EXPECT_EQ(ReadValue(kGraph, "NumColor"), "65280");
    // The log's header is checked below, where a second copy writes it too. The interfaces are counted
    // (the lines naming each are the same writes with other text).
    const auto first = LogMessages(LogPath());
    EXPECT_EQ(std::ranges::count_if(first, [](auto& l) { return l.starts_with("NumInterfaces: "); }), 1);
    EXPECT_EQ(std::ranges::count(first, "Adding SysTray"), 1); // the start-up failure tests count on it

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
    const auto log = LogMessages(LogPath());
    ASSERT_GT(log.size(), before.size());
    EXPECT_EQ(std::vector(log.begin(), log.begin() + static_cast<long>(before.size())), before);
    const std::vector last(log.begin() + static_cast<long>(before.size()), log.end());
    EXPECT_EQ(std::ranges::count(last, "frmMain_Unload"), 1);
    EXPECT_EQ(std::ranges::count(last, "frmMeter_Unload"), 1);
    EXPECT_EQ(log.back(), "End");
    EXPECT_EQ(ReadValue(kRunKey, "Vantorel"), "<missing>");
    EXPECT_EQ(ReadValue(kGraph, "AutoScale"), "False") << "saved at the end, as the restart read it";
    EXPECT_EQ(ReadValue(kGraph, "NumColor"), "65280") << "the theme, taken up by the restart";
}

// The history keeps the traffic through a kill, and a quota warns once at each of its levels, a restart
// repeating none.
TEST_F(ProgramCopy, AKillLosesNoTrafficAndAQuotaWarnsOnceAtEachLevelNotAgainAfterARestart) {
    const char* key = "Software\\Vantorel\\Quotas\\Loopback";
    WriteValue(key, "Limit", std::to_string(64u << 20));
    WriteValue(key, "Period", "Day");
    WriteValue(key, "Start", "1");
    WriteValue(key, "Count", "In");
    WriteValue(key, "Interface", "lo");
    WriteValue(key, "Warn", "80,100");
    WriteValue(kSettings, "FirstRun", "0");
    WriteValue(kSettings, "Logging", "True");
    const std::vector<std::string> both{"Vantorel: 80% of Loopback used", "Vantorel: 100% of Loopback used"};
    // The system suspends: the history writes everything so far, and the quotas are checked after it.
    const auto suspend = [&] { Send(WM_POWERBROADCAST, PBT_APMSUSPEND); };

    Start();
    ASSERT_TRUE(LoopbackTraffic(56u << 20)); // 87.5 %
    PumpFor(2000);
    suspend();
    suspend(); // a second check in the same period adds nothing
    EXPECT_EQ(Balloons(LogPath()), std::vector<std::string>{both[0]});
    ASSERT_TRUE(LoopbackTraffic(16u << 20)); // 112.5 %
    PumpFor(2000);
    suspend();
    EXPECT_EQ(Balloons(LogPath()), both);
    ASSERT_TRUE(LoopbackTraffic(8u << 20));
    PumpFor(3000);   // the sampler's next readings and a write of the history after them
    process.reset(); // killed: no Exit, no close request

    Start();
    End(WM_CLOSE); // as taskkill without /F asks
    EXPECT_GE(TodayIn(), 80u << 20) << "the traffic before the kill";
    EXPECT_EQ(Balloons(LogPath()), both) << "a restart repeats no warning";
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
