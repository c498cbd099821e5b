#include "app/frmMain.h"
#include "app/GraphSettings.h"
#include "app/SampleDispatch.h"
#include "app/StartupSettings.h"
#include "base/AppError.h"
#include "base/AppInfo.h"
#include "base/Convert.h"
#include "base/mLogging.h"
#include "graph/cGraph.h"
#include "history/UsageHistory.h"
#include "history/frmHistory.h"
#include "meter/CFormBorder.h"
#include "meter/frmMeter.h"
#include "net/cNetStatistics.h"
#include "net/cNetStatus.h"
#include "net/mNetStatus.h"
#include "quotas/frmQuotas.h"
#include "resources/resource.h"
#include "settings/StartWithWindows.h"
#include "settings/frmSettings.h"
#include "settings/mRegistry.h"
#include "stats/frmStatistics.h"
#include "themes/cGraphTheme.h"
#include "themes/frmTheme.h"
#include "winsys/FatalError.h"
#include "winsys/SysTray.h"

#include <exception>
#include <string>

namespace {
frmMain* g_mainForm = nullptr;
constexpr char kMainClass[] = "VantorelMain";

HICON LoadIconResource(int id, int size) {
    return static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

MenuPicture MenuIcon(int id) {
    MenuPicture p;
    p.icon = LoadIconResource(id, 16);
    return p;
}
} // namespace

frmMain* MainForm() {
    return g_mainForm;
}

frmMain::frmMain() = default;

frmMain::~frmMain() {
    // Nothing may leave a destructor: a setting that cannot be saved now is logged.
    if (!m_unloading && m_hwnd)
        LoggingErrors("frmMain_Unload", [this] { UnloadForm(); });
    UnregisterLoadedForm(this);
    FreePictures();
    if (g_mainForm == this) {
        g_mainForm = nullptr;
        SetFatalErrorSteps(nullptr, nullptr);
    }
}

bool frmMain::PreviousInstance() {
    // Held for the life of the process; the system releases it when the process ends.
    const std::string name = std::string("Local\\") + kAppTitle + ".Instance";
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    // A copy started with higher rights (elevated by a setup program) holds a mark this one may not
    // open: that copy runs all the same.
    if (!mutex)
        return GetLastError() == ERROR_ACCESS_DENIED;
    return GetLastError() == ERROR_ALREADY_EXISTS;
}

void frmMain::LoadPictures() {
    m_appIcon = LoadIconResource(IDI_APP, 32);
    const int tray = GetSystemMetrics(SM_CXSMICON);
    pInOut = LoadIconResource(IDI_TRAY_INOUT, tray);
    pOut = LoadIconResource(IDI_TRAY_OUT, tray);
    pIn = LoadIconResource(IDI_TRAY_IN, tray);
    pNone = LoadIconResource(IDI_TRAY_NONE, tray);
    pShow = MenuIcon(IDI_MENU_SHOW);
    pData = MenuIcon(IDI_MENU_DATA);
    pQuota = MenuIcon(IDI_MENU_DATA); // the quotas are figures of use as the statistics are
    pProp = MenuIcon(IDI_MENU_PROP);
    pTheme = MenuIcon(IDI_MENU_THEME);
    pX = MenuIcon(IDI_MENU_X);
    pQuillix.bitmap = static_cast<HBITMAP>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_MENU_QUILLIX), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

void frmMain::FreePictures() {
    for (HICON* icon : {&m_appIcon, &pInOut, &pOut, &pIn, &pNone, &pShow.icon, &pData.icon, &pQuota.icon,
                        &pProp.icon, &pTheme.icon, &pX.icon}) {
        if (*icon)
            DestroyIcon(*icon);
        *icon = nullptr;
    }
    if (pQuillix.bitmap)
        DeleteObject(pQuillix.bitmap);
    pQuillix.bitmap = nullptr;
}

void frmMain::Load() {
    try {
        LoadControls();
        Form_Load();
    } catch (const std::exception& error) {
        ReportFatalError(error);
    }
}

void frmMain::LoadControls() {
    g_mainForm = this;
    LoadPictures();
    if (!CreateWindowObject(kMainClass, kAppTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, CW_USEDEFAULT,
                            CW_USEDEFAULT, 0, 0, nullptr, 0, m_appIcon))
        throw AppError(static_cast<int32_t>(GetLastError()), ExeBaseName() + ".frmMain",
                       "Can't create the main window");
    SetMenu(m_hwnd, Menu.Bar());

    // The tray control as the window was designed: hidden, no tooltip, the program's icon.
    SysTrayDesign design;
    design.Visible = false;
    design.Icon = m_appIcon;
    SysTray1 = std::make_unique<SysTray>(m_hwnd, design);
    ConnectTrayEvents();

    RegisterLoadedForm(this);
    // A fatal error stops the sampler while its report is shown and saves what it can first.
    SetFatalErrorSteps(
        [] {
            if (frmMain* main = MainForm(); main && main->NetStat && main->NetStat->Timer())
                main->NetStat->Timer()->SetInterval(0);
        },
        [] {
            if (frmMain* main = MainForm(); main && !main->m_unloading) {
                main->SaveSettings("Fatal error");
                main->FlushHistory(true, "Fatal error");
            }
        });
}

void frmMain::ConnectTrayEvents() {
    SysTray1->LeftClick = [this] { mnuShow_Click(); };
    SysTray1->DoubleLeftClick = [this] { mnuShow_Click(); };
    SysTray1->RightClick = [this] {
        mnuMain_Click();
        SysTray1->ShowMenu(Menu.Popup(), MainMenu::mnuShow);
    };
    SysTray1->MouseDown = [this](int32_t button) {
        if (button == 4)
            mnuStatistics_Click();
        else if (button == 8)
            mnuSettings_Click();
    };
}

void frmMain::Form_Load() {
    // Read before the log is open: text that does not convert leaves logging off, unlogged.
    SetLoggingSwitch(ReadStartup(startup::kLogging, TryParseBool));
    OpenLog(LogFileName());
    WriteLog(std::string(50, '='));
    WriteLog(std::string(kAppTitle) + " build: " + std::to_string(kVersionRevision) + " Loading...");
    WriteLog("frmMain_Load");
    if (PreviousInstance()) {
        WriteLog("Previous Instance");
        FlushLog();
        ExitProcess(0);
    }

    // A registry that refuses writes (policy, a full hive) must not stop the program: logged only.
    LoggingErrors("General\\Path", [] { WriteAppSetting("General", "Path", AppPath()); });

    // The companion entry stays only when the file is there under exactly this name.
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((AppPath() + "quillix.exe").c_str(), &found);
    const bool companion = search != INVALID_HANDLE_VALUE && std::string(found.cFileName) == "quillix.exe";
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    Menu.SetQuillixVisible(companion);

    if (LeadingNumber(ReadStartupText(startup::kFirstRun)) == 1) {
        WriteLog("First Run");
        LoggingErrors("First Run", [] { WriteAppSetting("Settings", "FirstRun", "0"); });
        // A Run key that security software guards must not stop the first start; the settings dialog
        // shows whether the value is there.
        LoggingErrors("First Run", RegisterStartup);
        SysTray1->SetVisible(true);
        SysTray1->ShowBaloonNotification(
            std::string(kAppTitle) +
                " can be found here on the system tray.  You can access it any time by left clicking this "
                "icon.  Advanced features and other options can be found by right clicking this icon.",
            std::string("Welcome to ") + kAppTitle + "!", 1);
    }

    SysTray1->SetTooltip(TitleWithVersion());

    if (LoggingSwitch()) {
        const int32_t count = NumInterfaces();
        WriteLog("NumInterfaces: " + std::to_string(count));
        if (count >= 1) {
            const auto names = GetInterfaceNames();
            for (size_t i = 0; i < names.size(); ++i)
                WriteLog("Interface " + std::to_string(i + 1) + ": " + names[i]);
        }
    }

    NetGraph = std::make_unique<cGraph>();
    NetStatistics = std::make_unique<cNetStatistics>();
    ApplyStoredGraphSettings();

    NetStat = std::make_unique<cNetStatus>();
    NetStat->Status = [this](int32_t lIn, int32_t lOut) { NetStat_Status(lIn, lOut); };
    NetStat->Gap = [this](uint64_t in, uint64_t out, uint64_t ms) { NetStat_Gap(in, out, ms); };
    NetStat->SetInterface(ReadStartupText(startup::kInterface));
    NetStat->Reading = [this] { NetStat_Reading(); };
    NetStat->Start();
    OpenHistory();

    WriteLog("Adding SysTray");
    SysTray1->SetVisible(true);

    // An unreadable value skips the step rather than taking the default; a window that cannot open
    // leaves the program in the tray.
    if (ReadStartup(startup::kShowOnStartup, TryParseBool, "False"))
        LoggingErrors("Graph\\ShowOnStartup", [this] { mnuShow_Click(); });
    // The start-up lines reach the file now rather than whenever the buffer fills.
    FlushLog();
}

void frmMain::ApplyStoredGraphSettings() {
    ReadGraphSettings(*NetGraph);
}

bool frmMain::SaveGraphSettings(const std::string& where) {
    return !NetGraph || WriteGraphSettings(*NetGraph, where);
}

void frmMain::SaveSettings(const std::string& where) {
    if (NetStat)
        LoggingErrors(where, [this] { WriteAppSetting("Settings", "Interface", NetStat->Interface()); });
    SaveGraphSettings(where);
}

void frmMain::Form_Unload() {
    WriteLog("frmMain_Unload");
    // A refused write is logged; the rest is still written and every window still unloaded.
    SaveSettings("frmMain_Unload");
    CloseHistory();
    WriteLog("Unloading All");
    UnloadAllForms(this);
    WriteLog("Cleaning up...");
    ClearMenuBitmaps();
    NetStat.reset();
    NetGraph.reset();
    m_themes.reset();
    NetStatistics.reset();
    WriteLog("End");
    FlushLog();
}

void frmMain::UnloadForm() {
    if (m_unloading)
        return;
    m_unloading = true;
    Form_Unload();
    UnregisterLoadedForm(this);
    m_meter.reset();
    m_statistics.reset();
    m_historyWindow.reset();
    m_settings.reset();
    // The tray control withdraws its message requests and takes its icon away.
    SysTray1.reset();
    if (m_hwnd) {
        SetMenu(m_hwnd, nullptr); // the menu is the MainMenu's to destroy
        DestroyWindow(m_hwnd);
    }
}

void frmMain::NetStat_Status(int32_t lIn, int32_t lOut) {
    switch (TrayPictureFor(lIn, lOut)) {
    case TrayPicture::InOut:
        SysTray1->SetIcon(pInOut);
        break;
    case TrayPicture::Out:
        SysTray1->SetIcon(pOut);
        break;
    case TrayPicture::In:
        SysTray1->SetIcon(pIn);
        break;
    case TrayPicture::None:
        SysTray1->SetIcon(pNone);
        break;
    }
    SysTray1->SetTooltip(m_quotaLine.empty() ? TrayTooltipText(lIn, lOut)
                                             : TrayTooltipText(lIn, lOut) + "\n" + m_quotaLine);
    NetGraph->AddData(lIn, lOut);
    NetGraph->DrawGraph(true, false);
    NetStatistics->AddData(lIn, lOut);
    if (StatisticsVisible && m_statistics)
        m_statistics->UpdateStats();
}

void frmMain::NetStat_Gap(uint64_t inOctets, uint64_t outOctets, uint64_t ms) {
    WriteLog("NetStat_Gap: " + std::to_string(ms) + " ms, " + std::to_string(inOctets) + " octets in, " +
             std::to_string(outOctets) + " out");
}

std::function<void(bool)> frmMain::Tracking(bool& visible) {
    return [&visible](bool loaded) { visible = loaded; };
}

std::unique_ptr<frmMeter> frmMain::NewMeter() {
    return std::make_unique<frmMeter>(MeterLinks{.NetGraph = NetGraph,
                                                 .PopupMenu = [this] { PopupMainMenu(); },
                                                 .ShowStatistics = [this] { mnuStatistics_Click(); },
                                                 .LoadedChanged = Tracking(MeterVisible)});
}

void frmMain::mnuShow_Click() {
    if (!MeterVisible) {
        if (!m_meter || !IsFormLoaded(m_meter.get()))
            m_meter = NewMeter();
        m_meter->Show();
        Menu.SetShowCaption("Hide");
    } else {
        if (m_meter)
            m_meter->UnloadForm();
        Menu.SetShowCaption("Show");
    }
}

void frmMain::mnuStatistics_Click() {
    if (!m_statistics) {
        const auto keepMeterOnTop = [this] {
            if (MeterVisible && m_meter)
                m_meter->FrmBorder().SetTopMost(true);
        };
        m_statistics =
            std::make_unique<frmStatistics>(StatisticsLinks{.NetStatistics = NetStatistics,
                                                            .KeepMeterOnTop = keepMeterOnTop,
                                                            .LoadedChanged = Tracking(StatisticsVisible)});
    }
    m_statistics->Show();
}

void frmMain::mnuSettings_Click() {
    if (!m_settings)
        m_settings = std::make_unique<frmSettings>(SettingsLinks{.NetStat = NetStat,
                                                                 .NetGraph = NetGraph,
                                                                 .ReloadMeter = [this] { ReloadMeter(); },
                                                                 .LoadedChanged = Tracking(SettingsVisible)});
    m_settings->Show();
}

void frmMain::ReloadMeter() {
    if (!MeterVisible || !m_meter)
        return;
    m_meter->UnloadForm();
    m_meter = NewMeter();
    m_meter->Show();
}

void frmMain::mnuThemeCustom_Click() {
    if (!m_theme)
        m_theme = std::make_unique<frmTheme>(ThemeLinks{
            .NetGraph = NetGraph,
            .SaveGraphSettings = [this](const std::string& where) { return SaveGraphSettings(where); },
            .ThemesChanged = [this] { PopulateThemeList(); },
            .LoadedChanged = Tracking(ThemesVisible)});
    m_theme->Show();
}

void frmMain::mnuTheme_Click(int index) {
    NetGraphThemes().ApplyTheme(Menu.ThemeCaption(index), *NetGraph);
    NetGraph->DrawGraph(true, true);
    // A chosen theme is kept even if the program never reaches Exit.
    SaveGraphSettings("mnuTheme_Click");
}

void frmMain::mnuQuillix_Click() {
    // By its full path only: no other folder is searched for a program of that name.
    const std::string path = AppPath() + "quillix.exe";
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    if (CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                       &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return;
    }
    MessageBoxA(m_hwnd, "Quillix Not Found!!!", kAppTitle, MB_OK);
}

void frmMain::mnuExit_Click() {
    UnloadForm();
}

cGraphTheme& frmMain::NetGraphThemes() {
    if (!m_themes)
        m_themes = std::make_unique<cGraphTheme>();
    return *m_themes;
}

void frmMain::PopulateThemeList() {
    NetGraphThemes().RegistryRead();
    Menu.SetThemeNames(NetGraphThemes().EnumThemes());
}

void frmMain::mnuMain_Click() {
    WriteLog("Generating mnuMain");
    PopulateThemeList();
    ClearMenuBitmaps();
    SetMenuStyle(m_hwnd, 0);
    // By command, so that entries added or hidden move no picture onto another entry.
    SetMenuBitmap(m_hwnd, 0, Menu.PositionOf(MainMenu::mnuShow), pShow);
    SetMenuBitmap(m_hwnd, 0, Menu.PositionOf(MainMenu::mnuStatistics), pData);
    SetMenuBitmap(m_hwnd, 0, Menu.PositionOf(MainMenu::mnuHistory), pData);
    SetMenuBitmap(m_hwnd, 0, Menu.PositionOf(MainMenu::mnuQuotas), pQuota);
    if (Menu.QuillixVisible())
        SetMenuBitmap(m_hwnd, 0, Menu.PositionOf(MainMenu::mnuQuillix), pQuillix);
    SetMenuBitmap(m_hwnd, 0, Menu.PositionOf(MainMenu::mnuSettings), pProp);
    SetMenuBitmap(m_hwnd, 0, Menu.StylePosition(), pTheme);
    SetMenuBitmap(m_hwnd, 0, Menu.PositionOf(MainMenu::mnuExit), pX);
}

void frmMain::PopupMainMenu() {
    mnuMain_Click();
    POINT at{};
    GetCursorPos(&at);
    SetForegroundWindow(m_hwnd);
    TrackPopupMenu(Menu.Popup(), TPM_LEFTALIGN, at.x, at.y, 0, m_hwnd, nullptr);
    PostMessageA(m_hwnd, WM_NULL, 0, 0);
}

LRESULT frmMain::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (HistoryMessage(msg, wParam))
        return TRUE;
    switch (msg) {
    case WM_COMMAND: {
        const UINT id = LOWORD(wParam);
        switch (id) {
        case MainMenu::mnuShow:
            mnuShow_Click();
            return 0;
        case MainMenu::mnuStatistics:
            mnuStatistics_Click();
            return 0;
        case MainMenu::mnuHistory:
            mnuHistory_Click();
            return 0;
        case MainMenu::mnuQuotas:
            mnuQuotas_Click();
            return 0;
        case MainMenu::mnuQuillix:
            mnuQuillix_Click();
            return 0;
        case MainMenu::mnuSettings:
            mnuSettings_Click();
            return 0;
        case MainMenu::mnuThemeCustom:
            mnuThemeCustom_Click();
            return 0;
        case MainMenu::mnuExit:
            mnuExit_Click();
            return 0;
        default:
            if (id >= MainMenu::mnuThemeFirst && id <= MainMenu::mnuThemeLast) {
                mnuTheme_Click(static_cast<int>(id - MainMenu::mnuThemeFirst));
                return 0;
            }
            break;
        }
        break;
    }
    case WM_CLOSE:
        // What taskkill without /F sends: the same orderly end as Exit.
        UnloadForm();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // The session ends and the process with it: save everything now.
        if (wParam)
            UnloadForm();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
