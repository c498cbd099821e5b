#pragma once
#include "quotas/Quota.h"
#include "quotas/QuotaPeriod.h"
#include "quotas/QuotaTime.h"

#include <optional>
#include <string>
#include <vector>

// Where one quota stands at an instant.
struct QuotaStatus {
    QuotaPeriod Period;
    uint64_t Used = 0;     // octets counted from the period's start up to now
    double Percent = 0;    // of the limit
    uint64_t Forecast = 0; // at the period's end, at the average rate so far
    int32_t DaysLeft = 1;  // local dates from today to the period's end, today included
    uint64_t LeftPerDay = 0;
};

QuotaStatus QuotaStatusAt(const Quota& quota, const IUsageSource& usage, const ILocalCalendar& calendar,
                          int64_t nowUtc);
// Whether `used` has reached `level` percent of the limit, in whole octets.
bool LevelReached(const Quota& quota, uint64_t used, int32_t level);

// "4.0 of 5.0 GB": both figures with one decimal in the unit the limit reads best in (KB, MB, GB of
// 1024), the user's decimal separator.
std::string QuotaFigures(uint64_t used, uint64_t limit);
// "4.3 GB": one amount in the unit its limit reads best in.
std::string QuotaAmount(uint64_t octets, uint64_t limit);
// "85%": whole percents, never rounded up.
std::string QuotaPercentText(double percent);
// "Vantorel: 80% of Mobile used (4.0 of 5.0 GB), 9 days left".
std::string QuotaBalloonText(const Quota& quota, const QuotaStatus& status, int32_t level);
// "Mobile: 85% used (4.3 of 5.0 GB)".
std::string QuotaTooltipText(const Quota& quota, const QuotaStatus& status);

struct QuotaWithStatus {
    const Quota* Item = nullptr;
    QuotaStatus Status;
};
// The tooltip's second line: the most used quota among those that have reached their first level.
std::optional<std::string> QuotaTooltipLine(const std::vector<QuotaWithStatus>& quotas);
