#pragma once
#include "app/MainMenu.h"
#include "app/mMenuBmp.h"
#include "base/mMisc.h"
#include "quotas/QuotaWarnings.h"
#include "winsys/BaseWindow.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class cGraph;
class cGraphTheme;
class cNetStatistics;
class cNetStatus;
class CTimer;
class UsageHistory;
class frmHistory;
class frmMeter;
class frmQuotas;
class frmSettings;
class frmStatistics;
class frmTheme;
class SysTray;

// The hidden controller window: owns the long-lived objects and runs start-up and shutdown.
// A top-level window (not message-only) so that it receives broadcasts such as TaskbarCreated.
class frmMain : public BaseWindow<frmMain>, public ILoadedForm {
public:
    frmMain();
    ~frmMain();

    // Creates the window and its controls and runs the start-up sequence. A second copy of the
    // program ends inside, at once; an error on the way (a window or timer that cannot be made, a
    // refused registry write) ends the program with a report, as one in a message handler does.
    void Load();
    // Runs the shutdown sequence once and destroys the window (Exit, close request, end of session).
    void UnloadForm() override;

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    // The sampler's handler: fans one sample out to the tray, the graph and the statistics.
    void NetStat_Status(int32_t lIn, int32_t lOut);
    // Traffic across a gap of more than ten seconds (sleep, a long hang), which no sample carries.
    void NetStat_Gap(uint64_t inOctets, uint64_t outOctets, uint64_t ms);
    // Once per reading: every interface's octets into the usage history (memory only).
    void NetStat_Reading();

    // The usage history; null when there is none (no folder for it, or it could not be opened).
    UsageHistory* History() const { return m_history.get(); }
    // Runs after every write of the history (once a minute): what follows new traffic goes here.
    void History_Written();

    // The quotas as last read from the registry (faulty ones left out), and where one stands now;
    // nothing without a history.
    const std::vector<Quota>& Quotas() const { return m_quotas; }
    std::optional<QuotaStatus> QuotaStatusNow(const Quota& quota) const;
    // After the quotas were changed in the registry: reads them again and checks them at once.
    void QuotasChanged();

    // Commands of the tray menu.
    void mnuShow_Click();
    void mnuStatistics_Click();
    void mnuHistory_Click();
    void mnuQuotas_Click();
    void mnuSettings_Click();
    void mnuThemeCustom_Click();
    void mnuTheme_Click(int index);
    void mnuQuillix_Click();
    void mnuExit_Click();
    // Runs each time the popup is about to appear: theme list and menu pictures anew.
    void mnuMain_Click();
    void PopulateThemeList();
    // Stores the graph's settings as Exit does, each write on its own: one that is refused is logged
    // as `where` and costs no other. False when any was refused.
    bool SaveGraphSettings(const std::string& where);
    // Pops up the controller's menu at the mouse position (the meter's right click), no default entry.
    void PopupMainMenu();

    // Created the first time it is used.
    cGraphTheme& NetGraphThemes();

    std::unique_ptr<cNetStatus> NetStat;
    std::unique_ptr<cGraph> NetGraph;
    std::unique_ptr<cNetStatistics> NetStatistics;
    std::unique_ptr<SysTray> SysTray1;
    MainMenu Menu;

    bool MeterVisible = false;
    bool SettingsVisible = false;
    bool StatisticsVisible = false;
    bool HistoryVisible = false;
    bool ThemesVisible = false;
    bool QuotasVisible = false;

    frmMeter* Meter() const { return m_meter.get(); }
    frmStatistics* Statistics() const { return m_statistics.get(); }
    frmHistory* HistoryWindow() const { return m_historyWindow.get(); }
    frmSettings* Settings() const { return m_settings.get(); }
    frmTheme* Theme() const { return m_theme.get(); }
    frmQuotas* QuotasWindow() const { return m_quotasWindow.get(); }
    // Closes the meter and opens it again, when it is loaded, so that it takes up changed settings.
    void ReloadMeter();

private:
    void LoadControls();
    void Form_Load();
    void Form_Unload();
    // The sampler's interface and the graph's settings, each write guarded (Exit, a fatal error).
    void SaveSettings(const std::string& where);
    void LoadPictures();
    void FreePictures();
    void ApplyStoredGraphSettings();
    void ConnectTrayEvents();
    static bool PreviousInstance();
    // Whether a form is open is decided here alone: each form reports only its loads and unloads.
    static std::function<void(bool)> Tracking(bool& visible);
    std::unique_ptr<frmMeter> NewMeter();
    // The history's life: opened after the first reading, written once a minute and whenever the
    // program may end (suspend, end of session, close request, Exit, a fatal error).
    void OpenHistory();
    void History_Timer();
    void FlushHistory(bool all, const char* why);
    void CloseHistory();
    bool HistoryMessage(UINT msg, WPARAM wParam);

    // Quotas: checked after each write of the history; their warnings come once per level and period.
    void ReadStoredQuotas();
    void CheckQuotasNow();

    std::unique_ptr<UsageHistory> m_history;
    std::vector<Quota> m_quotas;
    QuotaAnnouncements m_announced;
    std::string m_quotaLine; // the tooltip's second line; empty while no quota is above its first level
    std::shared_ptr<CTimer> m_historyTimer;
    int32_t m_historyPeriodMs = 60000;

    std::unique_ptr<cGraphTheme> m_themes;
    std::unique_ptr<frmMeter> m_meter;
    std::unique_ptr<frmStatistics> m_statistics;
    std::unique_ptr<frmHistory> m_historyWindow;
    std::unique_ptr<frmSettings> m_settings;
    // Kept until the controller goes, not released at unload: Exit can come while one of the editor's
    // modal dialogs runs, and that call returns into the editor afterwards.
    std::unique_ptr<frmTheme> m_theme;
    std::unique_ptr<frmQuotas> m_quotasWindow; // kept as the editor is: the quota form is modal too
    bool m_unloading = false;

    // Picture holders: the four tray pictures and the seven menu pictures.
    HICON pInOut = nullptr, pOut = nullptr, pIn = nullptr, pNone = nullptr, m_appIcon = nullptr;
    MenuPicture pShow, pData, pQuota, pQuillix, pProp, pTheme, pX;
};

// The one controller of the running program (null before start-up and after shutdown).
frmMain* MainForm();
