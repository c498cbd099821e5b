// The controller's side of the usage history: opened after the first reading, fed once per reading,
// written once a minute and whenever the program may end.
#include "app/frmMain.h"
#include "base/AppInfo.h"
#include "base/Convert.h"
#include "base/mLogging.h"
#include "history/UsageHistory.h"
#include "history/frmHistory.h"
#include "net/CTimer.h"
#include "net/cNetStatus.h"
#include "quotas/QuotaState.h"
#include "settings/mRegistry.h"

#include <algorithm>

namespace {
// A setting read as the others are; text that is no such value gives the default.
template <class Parse, class T>
T HistorySetting(const char* key, const char* def, Parse parse, T fallback) {
    T value = fallback;
    LoggingErrors(std::string("History\\") + key,
                  [&] { value = parse(ReadAppSetting("History", key, def)).value_or(fallback); });
    return value;
}
} // namespace

void frmMain::OpenHistory() {
    const std::wstring folder = Win32HistoryFiles::DefaultFolder();
    if (folder.empty()) {
        WriteLog("History: the system names no folder for it; nothing is recorded");
        return;
    }
    const bool countWhileClosed = HistorySetting("CountWhileClosed", "True", TryParseBool, true);
    // Once a minute; fewer seconds only where a test must not wait for minutes.
    const int32_t seconds = std::clamp(HistorySetting("FlushSeconds", "60", TryParseInt32, 60), 1, 3600);
    m_historyPeriodMs = seconds * 1000;
    LoggingErrors("History", [&] {
        auto history = std::make_unique<UsageHistory>(folder);
        history->Open(NetStat->Rows(), countWhileClosed);
        m_history = std::move(history);
    });
    if (!m_history || m_history->ReadOnly())
        return;
    ReadStoredQuotas();
    m_announced = LoadAnnouncements(m_history->Files());
    CheckQuotasNow();
    LoggingErrors("History timer", [this] {
        m_historyTimer = CTimer::New();
        m_historyTimer->ThatTime = [this] { History_Timer(); };
        m_historyTimer->SetInterval(UsageHistory::DelayToNext(UsageHistory::UtcNowMs(), m_historyPeriodMs));
    });
}

void frmMain::NetStat_Reading() {
    if (m_history)
        m_history->Add(NetStat->Rows());
}

void frmMain::History_Timer() {
    FlushHistory(false, "History timer");
    History_Written();
    // Kept just after each boundary of the wall clock's minutes, however the timer drifts.
    LoggingErrors("History timer", [this] {
        m_historyTimer->SetInterval(UsageHistory::DelayToNext(UsageHistory::UtcNowMs(), m_historyPeriodMs));
    });
}

void frmMain::FlushHistory(bool all, const char* why) {
    if (!m_history || m_history->ReadOnly())
        return;
    if (!m_history->Flush(all))
        WriteLog(std::string("History: not all written (") + why + "); tried again at the next write");
}

void frmMain::History_Written() {
    CheckQuotasNow();
    if (HistoryVisible && m_historyWindow)
        m_historyWindow->Refresh();
}

void frmMain::CloseHistory() {
    if (m_historyTimer) {
        m_historyTimer->ThatTime = nullptr;
        LoggingErrors("History timer", [this] { m_historyTimer->SetInterval(0); });
        m_historyTimer.reset();
    }
    FlushHistory(true, "frmMain_Unload");
    m_history.reset();
}

bool frmMain::HistoryMessage(UINT msg, WPARAM wParam) {
    if (msg == WM_POWERBROADCAST && wParam == PBT_APMSUSPEND) {
        FlushHistory(true, "suspend");
        History_Written();
        return true;
    }
    if (msg == WM_TIMECHANGE) {
        WriteLog("History: the system time was changed");
        return true;
    }
    return false;
}

void frmMain::mnuHistory_Click() {
    if (!History()) {
        MessageBoxA(m_hwnd, "The usage history could not be read.", kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!m_historyWindow)
        m_historyWindow = std::make_unique<frmHistory>(
            HistoryLinks{.Data = [this]() -> const HistoryData& { return History()->Data(); },
                         .Calendar = [this]() -> const ZoneCalendar& { return History()->Calendar(); },
                         .ReadOnly = [this] { return History()->ReadOnly(); },
                         .OpenQuotas = [this] { mnuQuotas_Click(); },
                         .UtcNow = {},
                         .LoadedChanged = Tracking(HistoryVisible)});
    m_historyWindow->Show();
}
