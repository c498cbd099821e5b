#include "quotas/QuotaTime.h"

// The civil-date conversions are Howard Hinnant's: exact for every year, with eras of 400 years.
int64_t DaysFromCivil(const CivilDate& date) {
    const int64_t y = date.Year - (date.Month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t monthFromMarch = date.Month > 2 ? date.Month - 3 : date.Month + 9;
    const int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + date.Day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate CivilFromDays(int64_t days) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    CivilDate date;
    date.Day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    date.Month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    date.Year = static_cast<int>(yearOfEra + era * 400 + (date.Month <= 2 ? 1 : 0));
    return date;
}

CivilDate AddDays(const CivilDate& date, int64_t days) {
    return CivilFromDays(DaysFromCivil(date) + days);
}

int Weekday(const CivilDate& date) {
    // 1970-01-01 was a Thursday.
    const int64_t fromMonday = ((DaysFromCivil(date) + 3) % 7 + 7) % 7;
    return static_cast<int>(fromMonday) + 1;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}
