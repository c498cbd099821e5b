#include "quotas/QuotaTime.h"

CivilDate AddDays(const CivilDate& date, int64_t days) {
    return CivilFromDays(DaysFromCivil(date) + days);
}

int Weekday(const CivilDate& date) {
    const int fromSunday = WeekDay(DaysFromCivil(date));
    return fromSunday == 0 ? 7 : fromSunday;
}
