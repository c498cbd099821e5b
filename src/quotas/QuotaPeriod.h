#pragma once
#include "quotas/Quota.h"
#include "quotas/QuotaTime.h"

// The local period a quota counts in at one instant: from the local midnight of its first date up to
// that of the date after its last, so that a daylight-saving day inside it counts its 23 or 25 hours.
struct QuotaPeriod {
    CivilDate FirstDate;
    CivilDate EndDate; // the date after the last one
    int64_t StartUtc = 0;
    int64_t EndUtc = 0;
};

// The billing day of a month: the day itself, or the month's last day when it is shorter.
CivilDate BillingDate(int year, int month, int billingDay);
// "Days" is the rolling window of the last N local days, today included.
QuotaPeriod PeriodAt(const Quota& quota, const ILocalCalendar& calendar, int64_t nowUtc);
