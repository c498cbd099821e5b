// The controller's side of the quotas: read from the registry, checked after the history's writes,
// their warnings shown once as balloons and the most used one in the tooltip.
#include "app/frmMain.h"
#include "base/AppInfo.h"
#include "base/mLogging.h"
#include "history/UsageHistory.h"
#include "quotas/HistoryUsage.h"
#include "quotas/QuotaForm.h"
#include "quotas/QuotaState.h"
#include "quotas/frmQuotas.h"
#include "settings/RegistryApi.h"
#include "winsys/SysTray.h"

#include <algorithm>

namespace {
int64_t UtcNow() {
    return UsageHistory::UtcNowMs() / 1000;
}
} // namespace

void frmMain::ReadStoredQuotas() {
    m_quotas.clear();
    for (StoredQuota& stored : ReadQuotas(kHKeyCurrentUser, kAppTitle))
        if (stored.Value)
            m_quotas.push_back(std::move(*stored.Value));
}

std::optional<QuotaStatus> frmMain::QuotaStatusNow(const Quota& quota) const {
    if (!m_history || quota.Limit == 0)
        return std::nullopt;
    const HistoryUsageSource usage(m_history->Data());
    const HistoryLocalCalendar calendar(m_history->Calendar());
    return QuotaStatusAt(quota, usage, calendar, UtcNow());
}

void frmMain::QuotasChanged() {
    ReadStoredQuotas();
    // A quota that is gone takes its announcements along: a new one of its name starts silent.
    std::vector<std::string> gone;
    for (const QuotaAnnouncements::Entry& entry : m_announced.Entries())
        if (std::none_of(m_quotas.begin(), m_quotas.end(),
                         [&](const Quota& q) { return q.Name == entry.Name; }))
            gone.push_back(entry.Name);
    for (const std::string& name : gone)
        m_announced.Forget(name);
    if (!gone.empty() && m_history && !m_history->ReadOnly() &&
        !SaveAnnouncements(m_history->Files(), m_announced))
        WriteLog("Quotas: could not store the announced warnings");
    CheckQuotasNow();
}

void frmMain::CheckQuotasNow() {
    // Only the copy that writes the history announces: another would repeat its warnings.
    if (!m_history || m_history->ReadOnly())
        return;
    const HistoryUsageSource usage(m_history->Data());
    const HistoryLocalCalendar calendar(m_history->Calendar());
    const QuotaCheck check = CheckQuotas(m_quotas, usage, calendar, UtcNow(), m_announced);
    m_quotaLine = check.TooltipLine.value_or("");
    if (check.Warnings.empty())
        return;
    // Stored before they are shown: a crash right after must not show them again.
    if (!SaveAnnouncements(m_history->Files(), m_announced))
        WriteLog("Quotas: could not store the announced warnings");
    for (const QuotaWarning& warning : check.Warnings) {
        SysTray1->ShowBaloonNotification(warning.Text, {}, 2);
        WriteLog("Quota balloon: " + std::string(SysTray1->IconData().szInfo));
    }
    FlushLog(); // a warning is rare and worth finding in the log at once
}

void frmMain::mnuQuotas_Click() {
    const auto recorded = [this] {
        return m_history ? RecordedInterfaceNames(m_history->Data()) : std::vector<std::string>();
    };
    if (!m_quotasWindow)
        m_quotasWindow = std::make_unique<frmQuotas>(
            QuotaLinks{.StatusOf = [this](const Quota& quota) { return QuotaStatusNow(quota); },
                       .InterfaceNames = recorded,
                       .QuotasChanged = [this] { QuotasChanged(); },
                       .LoadedChanged = Tracking(QuotasVisible)});
    m_quotasWindow->Show();
}
