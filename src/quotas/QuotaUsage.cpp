#include "quotas/QuotaUsage.h"
#include "base/AppInfo.h"
#include "base/Convert.h"

#include <cmath>
#include <limits>

namespace {
uint64_t SaturatingAdd(uint64_t a, uint64_t b) {
    return a > std::numeric_limits<uint64_t>::max() - b ? std::numeric_limits<uint64_t>::max() : a + b;
}

uint64_t Counted(const Quota& quota, const Octets& octets) {
    switch (quota.Count) {
    case QuotaCount::In:
        return octets.In;
    case QuotaCount::Out:
        return octets.Out;
    case QuotaCount::Total:
        break;
    }
    return SaturatingAdd(octets.In, octets.Out);
}

// A double that may exceed the range of octets comes back clamped.
uint64_t ToOctets(double value) {
    if (!(value > 0))
        return 0;
    if (value >= 18446744073709551616.0)
        return std::numeric_limits<uint64_t>::max();
    return static_cast<uint64_t>(value);
}

// One decimal, kept also when it is 0 ("5.0"), rounded to even.
std::string OneDecimal(double value) {
    const double tenths = RoundHalfEven(value * 10);
    const auto whole = static_cast<uint64_t>(tenths / 10);
    const auto fraction = static_cast<uint64_t>(tenths - static_cast<double>(whole) * 10);
    return std::to_string(whole) + DecimalSeparator() + std::to_string(fraction);
}

struct AmountUnit {
    double Size;
    const char* Name;
};

// The unit the limit reads best in: KB, MB or GB of 1024.
AmountUnit UnitFor(uint64_t limit) {
    constexpr double kKilo = 1024, kMega = kKilo * 1024, kGiga = kMega * 1024;
    const auto bytes = static_cast<double>(limit);
    return bytes >= kGiga   ? AmountUnit{kGiga, " GB"}
           : bytes >= kMega ? AmountUnit{kMega, " MB"}
                            : AmountUnit{kKilo, " KB"};
}
} // namespace

std::string QuotaPercentText(double percent) {
    // Whole percents, never rounded up: 100% only once the limit is reached.
    return std::to_string(static_cast<uint64_t>(std::floor(percent))) + "%";
}

QuotaStatus QuotaStatusAt(const Quota& quota, const IUsageSource& usage, const ILocalCalendar& calendar,
                          int64_t nowUtc) {
    QuotaStatus status;
    status.Period = PeriodAt(quota, calendar, nowUtc);
    status.Used = Counted(quota, usage.Between(quota.Interface, status.Period.StartUtc, nowUtc));
    status.Percent = static_cast<double>(status.Used) / static_cast<double>(quota.Limit) * 100;
    const int64_t elapsed = nowUtc - status.Period.StartUtc;
    const int64_t length = status.Period.EndUtc - status.Period.StartUtc;
    // With no time gone by there is no rate yet: what is used is all that is known.
    status.Forecast = elapsed > 0 ? ToOctets(static_cast<double>(status.Used) * static_cast<double>(length) /
                                             static_cast<double>(elapsed))
                                  : status.Used;
    const CivilDate today = calendar.ToLocal(nowUtc).Date;
    status.DaysLeft = static_cast<int32_t>(DaysFromCivil(status.Period.EndDate) - DaysFromCivil(today));
    status.LeftPerDay = status.Used >= quota.Limit ? 0 : (quota.Limit - status.Used) / status.DaysLeft;
    return status;
}

bool LevelReached(const Quota& quota, uint64_t used, int32_t level) {
    // level * limit / 100, rounded up, without leaving 64 bits (the limit is bounded for this).
    const auto percent = static_cast<uint64_t>(level);
    const uint64_t threshold = quota.Limit / 100 * percent + (quota.Limit % 100 * percent + 99) / 100;
    return used >= threshold;
}

std::string QuotaFigures(uint64_t used, uint64_t limit) {
    const AmountUnit unit = UnitFor(limit);
    return OneDecimal(static_cast<double>(used) / unit.Size) + " of " +
           OneDecimal(static_cast<double>(limit) / unit.Size) + unit.Name;
}

std::string QuotaAmount(uint64_t octets, uint64_t limit) {
    const AmountUnit unit = UnitFor(limit);
    return OneDecimal(static_cast<double>(octets) / unit.Size) + unit.Name;
}

std::string QuotaBalloonText(const Quota& quota, const QuotaStatus& status, int32_t level) {
    return std::string(kAppTitle) + ": " + std::to_string(level) + "% of " + quota.Name + " used (" +
           QuotaFigures(status.Used, quota.Limit) + "), " + std::to_string(status.DaysLeft) +
           (status.DaysLeft == 1 ? " day left" : " days left");
}

std::string QuotaTooltipText(const Quota& quota, const QuotaStatus& status) {
    return quota.Name + ": " + QuotaPercentText(status.Percent) + " used (" +
           QuotaFigures(status.Used, quota.Limit) + ")";
}

std::optional<std::string> QuotaTooltipLine(const std::vector<QuotaWithStatus>& quotas) {
    const QuotaWithStatus* most = nullptr;
    for (const QuotaWithStatus& q : quotas) {
        if (q.Item->Warn.empty() || !LevelReached(*q.Item, q.Status.Used, q.Item->Warn.front()))
            continue;
        if (!most || q.Status.Percent > most->Status.Percent)
            most = &q;
    }
    if (!most)
        return std::nullopt;
    return QuotaTooltipText(*most->Item, most->Status);
}
