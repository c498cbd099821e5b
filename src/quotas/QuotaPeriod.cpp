#include "quotas/QuotaPeriod.h"

#include <algorithm>

namespace {
CivilDate NextMonth(const CivilDate& date) {
    return date.month == 12 ? CivilDate{date.year + 1, 1, 1} : CivilDate{date.year, date.month + 1, 1};
}

CivilDate PreviousMonth(const CivilDate& date) {
    return date.month == 1 ? CivilDate{date.year - 1, 12, 1} : CivilDate{date.year, date.month - 1, 1};
}
} // namespace

CivilDate BillingDate(int year, int month, int billingDay) {
    return {year, month, std::min(billingDay, DaysInMonth(year, month))};
}

QuotaPeriod PeriodAt(const Quota& quota, const ILocalCalendar& calendar, int64_t nowUtc) {
    const CivilDate today = calendar.ToLocal(nowUtc).Date;
    QuotaPeriod period;
    switch (quota.Period) {
    case QuotaPeriodKind::Day:
        period.FirstDate = today;
        period.EndDate = AddDays(today, 1);
        break;
    case QuotaPeriodKind::Week:
        period.FirstDate = AddDays(today, -((Weekday(today) - quota.Start + 7) % 7));
        period.EndDate = AddDays(period.FirstDate, 7);
        break;
    case QuotaPeriodKind::Month: {
        const CivilDate thisMonths = BillingDate(today.year, today.month, quota.Start);
        const CivilDate firstMonth = today.day >= thisMonths.day ? today : PreviousMonth(today);
        period.FirstDate = BillingDate(firstMonth.year, firstMonth.month, quota.Start);
        const CivilDate next = NextMonth(firstMonth);
        period.EndDate = BillingDate(next.year, next.month, quota.Start);
        break;
    }
    case QuotaPeriodKind::Days:
        period.FirstDate = AddDays(today, 1 - std::max(quota.Start, 1));
        period.EndDate = AddDays(today, 1);
        break;
    }
    period.StartUtc = calendar.LocalMidnight(period.FirstDate);
    period.EndUtc = calendar.LocalMidnight(period.EndDate);
    return period;
}
