#pragma once
#include "quotas/Quota.h"
#include "quotas/QuotaTime.h"
#include "quotas/QuotaUsage.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Which warning levels have been announced for which quota in which period. The history keeps it in
// its state file, so that a restart neither repeats a warning nor loses one.
class QuotaAnnouncements {
public:
    struct Entry {
        std::string Name;
        int64_t PeriodStartUtc = 0;
        std::vector<int32_t> Levels; // ascending
        friend bool operator==(const Entry&, const Entry&) = default;
    };

    // The levels announced for the quota in the period that starts at `periodStartUtc`.
    std::vector<int32_t> Announced(const std::string& name, int64_t periodStartUtc) const;
    // A deleted or renamed quota is forgotten, so that a new one of its name starts silent.
    void Forget(const std::string& name);
    const std::vector<Entry>& Entries() const { return m_entries; }

    // One line per quota, then a checksum line; text, so that it reads back the same on every
    // platform. Parse refuses anything that is not exactly such a text (nothing when it does).
    std::string Serialize() const;
    static std::optional<QuotaAnnouncements> Parse(std::string_view text);

    friend bool operator==(const QuotaAnnouncements&, const QuotaAnnouncements&) = default;

private:
    friend struct QuotaChecker;
    Entry& EntryFor(const std::string& name);
    std::vector<Entry> m_entries;
};

struct QuotaWarning {
    std::string Name;
    int32_t Level = 0;
    std::string Text; // the balloon's text
};

struct QuotaCheck {
    std::vector<QuotaStatus> Statuses;  // one per quota, in their order
    std::vector<QuotaWarning> Warnings; // in the order to show them: by quota, levels ascending
    std::optional<std::string> TooltipLine;
};

// The once-a-minute check, after the history's write: every level reached and not yet announced in
// the quota's current period is announced now and recorded in `announced`. A new period starts
// silent; for the rolling "Days" window, whose start moves every day, the levels still reached stay
// announced so that the same warning does not come again each day.
QuotaCheck CheckQuotas(const std::vector<Quota>& quotas, const IUsageSource& usage,
                       const ILocalCalendar& calendar, int64_t nowUtc, QuotaAnnouncements& announced);

// CRC-32 (IEEE, as zip uses it).
uint32_t Crc32(std::string_view bytes);
