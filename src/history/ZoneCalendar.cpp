#include "history/ZoneCalendar.h"

// Civil-date arithmetic after Howard Hinnant's days_from_civil.
int64_t DaysFromCivil(int year, int month, int day) {
    const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
    const int64_t era = FloorDiv(y, 400);
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate CivilFromDays(int64_t days) {
    days += 719468;
    const int64_t era = FloorDiv(days, 146097);
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0)), month, day};
}

int DaysInMonth(int year, int month) {
    const int next = month == 12 ? 1 : month + 1;
    return static_cast<int>(DaysFromCivil(month == 12 ? year + 1 : year, next, 1) -
                            DaysFromCivil(year, month, 1));
}

int WeekDay(int64_t days) {
    // 1970-01-01 was a Thursday.
    return static_cast<int>(((days % 7) + 11) % 7);
}

namespace {
// The local time of a transition in `year`, in seconds since 1970 as if that local time were UTC.
int64_t TransitionLocal(const ZoneDate& date, int year) {
    int day = date.day;
    if (date.year == 0) {
        const int64_t first = DaysFromCivil(year, date.month, 1);
        const int firstMatch = 1 + ((date.dayOfWeek - WeekDay(first)) % 7 + 7) % 7;
        day = firstMatch + 7 * (date.day - 1);
        while (day > DaysInMonth(year, date.month))
            day -= 7;
    }
    // 23:59:59.999 stands for the end of the day.
    return DaysFromCivil(year, date.month, day) * 86400 + date.hour * 3600 + date.minute * 60 + date.second +
           (date.milliseconds > 0 ? 1 : 0);
}
} // namespace

const ZoneCalendar::Year& ZoneCalendar::RulesOf(int year) const {
    for (const Year& y : cache_)
        if (y.valid && y.year == year)
            return y;
    const ZoneYearRules r = rules_.ForYear(year);
    Year& y = cache_[next_];
    next_ = (next_ + 1) % cache_.size();
    y = Year{};
    y.year = year;
    y.valid = true;
    y.standardOffset = -(r.bias + r.standardBias) * 60;
    y.daylightOffset = -(r.bias + r.daylightBias) * 60;
    y.daylight = r.standardDate.month != 0 && r.daylightDate.month != 0;
    if (y.daylight) {
        y.daylightStart = TransitionLocal(r.daylightDate, year) - y.standardOffset;
        y.daylightEnd = TransitionLocal(r.standardDate, year) - y.daylightOffset;
    }
    return y;
}

int32_t ZoneCalendar::OffsetAt(int64_t utc) const {
    int year = CivilFromDays(FloorDiv(utc, 86400)).year;
    const Year* y = &RulesOf(year);
    const int localYear = CivilFromDays(FloorDiv(utc + y->standardOffset, 86400)).year;
    if (localYear != year)
        y = &RulesOf(localYear);
    if (!y->daylight)
        return y->standardOffset;
    const bool inDaylight = y->daylightStart < y->daylightEnd
                                ? utc >= y->daylightStart && utc < y->daylightEnd
                                : utc >= y->daylightStart || utc < y->daylightEnd; // southern hemisphere
    return inDaylight ? y->daylightOffset : y->standardOffset;
}

int64_t ZoneCalendar::ToUtc(int64_t local) const {
    const Year& y = RulesOf(CivilFromDays(FloorDiv(local, 86400)).year);
    const int64_t a = local - y.standardOffset, b = local - y.daylightOffset;
    const int64_t lo = a < b ? a : b, hi = a < b ? b : a;
    if (ToLocal(lo) == local)
        return lo;
    if (ToLocal(hi) == local)
        return hi;
    // Skipped by a change to a later offset: the first instant whose local time is past it.
    int64_t from = lo, to = hi;
    while (from < to) {
        const int64_t mid = from + (to - from) / 2;
        if (ToLocal(mid) >= local)
            to = mid;
        else
            from = mid + 1;
    }
    return from;
}
