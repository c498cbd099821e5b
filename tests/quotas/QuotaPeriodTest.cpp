#include "quotas/QuotaPeriod.h"
#include "support/QuotaFakes.h"

#include <gtest/gtest.h>

namespace {
constexpr int64_t kHour = 3600;
constexpr int64_t kDay = 86400;

Quota QuotaOf(QuotaPeriodKind period, int32_t start = 1) {
    Quota quota;
    quota.Name = "Mobile";
    quota.Limit = 5000;
    quota.Period = period;
    quota.Start = start;
    return quota;
}

struct Dates {
    CivilDate First, End;
};

Dates PeriodDates(const Quota& quota, int year, int month, int day) {
    const QuotaPeriod period = PeriodAt(quota, FixedOffsetCalendar(), UtcSeconds(year, month, day, 12));
    return {period.FirstDate, period.EndDate};
}
} // namespace

TEST(QuotaTime, CivilDaysRoundTripAcrossCenturiesAndEras) {
    for (int64_t days = -800000; days <= 800000; days += 997)
        EXPECT_EQ(DaysFromCivil(CivilFromDays(days)), days) << days;
    EXPECT_EQ(DaysFromCivil({2000, 3, 1}), 11017);
    EXPECT_EQ(CivilFromDays(-1), (CivilDate{1969, 12, 31}));
}

TEST(QuotaTime, WeekdaysCountFromMonday) {
    EXPECT_EQ(Weekday({2026, 1, 1}), 4); // a Thursday
    EXPECT_EQ(Weekday({2025, 12, 29}), 1);
    EXPECT_EQ(Weekday({1969, 12, 28}), 7);
}

TEST(QuotaTime, FebruaryFollowsTheGregorianLeapRules) {
    EXPECT_EQ(DaysInMonth(2026, 2), 28);
    EXPECT_EQ(DaysInMonth(2028, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2026, 4), 30);
    EXPECT_EQ(DaysInMonth(2026, 12), 31);
}

TEST(QuotaPeriod, BillingDay31IsClampedToTheLastDayOfShortMonths) {
    const Quota quota = QuotaOf(QuotaPeriodKind::Month, 31);
    const struct {
        CivilDate today, first, end;
    } cases[] = {
        {{2026, 2, 27}, {2026, 1, 31}, {2026, 2, 28}}, {{2026, 2, 28}, {2026, 2, 28}, {2026, 3, 31}},
        {{2028, 2, 28}, {2028, 1, 31}, {2028, 2, 29}}, // leap year
        {{2028, 2, 29}, {2028, 2, 29}, {2028, 3, 31}}, {{2026, 4, 30}, {2026, 4, 30}, {2026, 5, 31}},
        {{2026, 5, 1}, {2026, 4, 30}, {2026, 5, 31}},  {{2026, 12, 31}, {2026, 12, 31}, {2027, 1, 31}},
    };
    for (const auto& c : cases) {
        const Dates dates = PeriodDates(quota, c.today.Year, c.today.Month, c.today.Day);
        EXPECT_EQ(dates.First, c.first) << c.today.Month << "-" << c.today.Day;
        EXPECT_EQ(dates.End, c.end) << c.today.Month << "-" << c.today.Day;
    }
}

TEST(QuotaPeriod, BillingPeriodsBeforeTheirDayBelongToThePreviousMonthAcrossTheYear) {
    const Dates fifteenth = PeriodDates(QuotaOf(QuotaPeriodKind::Month, 15), 2026, 1, 10);
    EXPECT_EQ(fifteenth.First, (CivilDate{2025, 12, 15}));
    EXPECT_EQ(fifteenth.End, (CivilDate{2026, 1, 15}));
    const Dates thirtieth = PeriodDates(QuotaOf(QuotaPeriodKind::Month, 30), 2026, 3, 5);
    EXPECT_EQ(thirtieth.First, (CivilDate{2026, 2, 28}));
    EXPECT_EQ(thirtieth.End, (CivilDate{2026, 3, 30}));
    const Dates first = PeriodDates(QuotaOf(QuotaPeriodKind::Month, 1), 2026, 7, 1);
    EXPECT_EQ(first.First, (CivilDate{2026, 7, 1}));
    EXPECT_EQ(first.End, (CivilDate{2026, 8, 1}));
}

TEST(QuotaPeriod, WeeksStartOnTheChosenWeekdayAcrossTheYearsEnd) {
    const Dates monday = PeriodDates(QuotaOf(QuotaPeriodKind::Week, 1), 2026, 1, 1);
    EXPECT_EQ(monday.First, (CivilDate{2025, 12, 29}));
    EXPECT_EQ(monday.End, (CivilDate{2026, 1, 5}));
    const Dates sunday = PeriodDates(QuotaOf(QuotaPeriodKind::Week, 7), 2026, 1, 3);
    EXPECT_EQ(sunday.First, (CivilDate{2025, 12, 28}));
    EXPECT_EQ(sunday.End, (CivilDate{2026, 1, 4}));
    // On the start weekday itself the week starts today.
    const Dates thursday = PeriodDates(QuotaOf(QuotaPeriodKind::Week, 4), 2026, 1, 1);
    EXPECT_EQ(thursday.First, (CivilDate{2026, 1, 1}));
    const Dates friday = PeriodDates(QuotaOf(QuotaPeriodKind::Week, 5), 2026, 1, 1);
    EXPECT_EQ(friday.First, (CivilDate{2025, 12, 26}));
}

TEST(QuotaPeriod, LastDaysIsARollingWindowEndingTonight) {
    const Dates seven = PeriodDates(QuotaOf(QuotaPeriodKind::Days, 7), 2026, 3, 3);
    EXPECT_EQ(seven.First, (CivilDate{2026, 2, 25}));
    EXPECT_EQ(seven.End, (CivilDate{2026, 3, 4}));
    const Dates one = PeriodDates(QuotaOf(QuotaPeriodKind::Days, 1), 2026, 3, 3);
    EXPECT_EQ(one.First, (CivilDate{2026, 3, 3}));
}

TEST(QuotaPeriod, BoundariesAreLocalMidnights) {
    // 02:00 UTC is still the evening before, five hours west of Greenwich.
    const FixedOffsetCalendar west(-5 * kHour);
    const QuotaPeriod day = PeriodAt(QuotaOf(QuotaPeriodKind::Day), west, UtcSeconds(2026, 3, 1, 2));
    EXPECT_EQ(day.FirstDate, (CivilDate{2026, 2, 28}));
    EXPECT_EQ(day.StartUtc, UtcSeconds(2026, 2, 28, 5));
    EXPECT_EQ(day.EndUtc, UtcSeconds(2026, 3, 1, 5));
}

TEST(QuotaPeriod, ADaylightSavingDayInsideThePeriodCountsItsOwnHours) {
    // Central Europe: +1 h until 01:00 UTC on 29 March 2026, then +2 h.
    const OneChangeCalendar europe(kHour, UtcSeconds(2026, 3, 29, 1), 2 * kHour);
    const QuotaPeriod month = PeriodAt(QuotaOf(QuotaPeriodKind::Month, 1), europe, UtcSeconds(2026, 3, 30));
    EXPECT_EQ(month.StartUtc, UtcSeconds(2026, 2, 28, 23));
    EXPECT_EQ(month.EndUtc, UtcSeconds(2026, 3, 31, 22));
    const QuotaPeriod spring = PeriodAt(QuotaOf(QuotaPeriodKind::Day), europe, UtcSeconds(2026, 3, 29, 12));
    EXPECT_EQ(spring.EndUtc - spring.StartUtc, 23 * kHour);
    // Back to +1 h at 01:00 UTC on 25 October: a day of 25 hours.
    const OneChangeCalendar autumn(2 * kHour, UtcSeconds(2026, 10, 25, 1), kHour);
    const QuotaPeriod fall = PeriodAt(QuotaOf(QuotaPeriodKind::Day), autumn, UtcSeconds(2026, 10, 25, 12));
    EXPECT_EQ(fall.EndUtc - fall.StartUtc, 25 * kHour);
    const QuotaPeriod week =
        PeriodAt(QuotaOf(QuotaPeriodKind::Week, 1), autumn, UtcSeconds(2026, 10, 25, 12));
    EXPECT_EQ(week.EndUtc - week.StartUtc, 7 * kDay + kHour);
}

TEST(QuotaPeriod, ADayWhoseMidnightIsSkippedStartsWhenTheClocksJump) {
    // Clocks go from 00:00 to 01:00 local (-3 h to -2 h) at 03:00 UTC on 1 November 2026.
    const int64_t change = UtcSeconds(2026, 11, 1, 3);
    const OneChangeCalendar south(-3 * kHour, change, -2 * kHour);
    const QuotaPeriod day = PeriodAt(QuotaOf(QuotaPeriodKind::Day), south, UtcSeconds(2026, 11, 1, 12));
    EXPECT_EQ(day.StartUtc, change);
    EXPECT_EQ(day.EndUtc, UtcSeconds(2026, 11, 2, 2));
}
