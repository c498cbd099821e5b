#include "quotas/QuotaPeriod.h"
#include "support/QuotaFakes.h"

#include <gtest/gtest.h>

namespace {
constexpr int64_t kHour = 3600;

Quota QuotaOf(QuotaPeriodKind period, int32_t start = 1) {
    Quota quota;
    quota.Limit = 5000;
    quota.Period = period;
    quota.Start = start;
    return quota;
}

QuotaPeriod PeriodOn(const Quota& quota, const CivilDate& today) {
    return PeriodAt(quota, RulesCalendar(), Utc(today.year, today.month, today.day, 12));
}
} // namespace

TEST(QuotaTime, CivilDatesWeekdaysAndLeapYears) {
    for (int64_t days = -800000; days <= 800000; days += 997)
        EXPECT_EQ(DaysFromCivil(CivilFromDays(days)), days) << days;
    EXPECT_EQ(CivilFromDays(-1), (CivilDate{1969, 12, 31}));
    EXPECT_EQ(Weekday({1969, 12, 28}), 7);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
}

TEST(QuotaPeriod, BillingDaysAreClampedToTheLastDayOfShortMonths) {
    const struct {
        int billingDay;
        CivilDate today, first, end;
    } cases[] = {
        {31, {2026, 2, 27}, {2026, 1, 31}, {2026, 2, 28}}, {31, {2026, 2, 28}, {2026, 2, 28}, {2026, 3, 31}},
        {31, {2028, 2, 28}, {2028, 1, 31}, {2028, 2, 29}}, // leap year
        {31, {2028, 2, 29}, {2028, 2, 29}, {2028, 3, 31}}, {31, {2026, 5, 1}, {2026, 4, 30}, {2026, 5, 31}},
        {30, {2026, 3, 5}, {2026, 2, 28}, {2026, 3, 30}},  {15, {2026, 1, 10}, {2025, 12, 15}, {2026, 1, 15}},
        {1, {2026, 12, 1}, {2026, 12, 1}, {2027, 1, 1}},
    };
    for (const auto& c : cases) {
        const QuotaPeriod period = PeriodOn(QuotaOf(QuotaPeriodKind::Month, c.billingDay), c.today);
        EXPECT_EQ(period.FirstDate, c.first) << c.billingDay << " " << c.today.month << "-" << c.today.day;
        EXPECT_EQ(period.EndDate, c.end) << c.billingDay << " " << c.today.month << "-" << c.today.day;
    }
}

TEST(QuotaPeriod, WeeksStartOnTheChosenWeekdayAcrossTheYearsEnd) {
    const QuotaPeriod monday = PeriodOn(QuotaOf(QuotaPeriodKind::Week, 1), {2026, 1, 1});
    EXPECT_EQ(monday.FirstDate, (CivilDate{2025, 12, 29}));
    EXPECT_EQ(monday.EndDate, (CivilDate{2026, 1, 5}));
    EXPECT_EQ(PeriodOn(QuotaOf(QuotaPeriodKind::Week, 7), {2026, 1, 3}).FirstDate, (CivilDate{2025, 12, 28}));
    EXPECT_EQ(PeriodOn(QuotaOf(QuotaPeriodKind::Week, 4), {2026, 1, 1}).FirstDate, (CivilDate{2026, 1, 1}));
}

TEST(QuotaPeriod, LastDaysIsARollingWindowEndingTonight) {
    const QuotaPeriod seven = PeriodOn(QuotaOf(QuotaPeriodKind::Days, 7), {2026, 3, 3});
    EXPECT_EQ(seven.FirstDate, (CivilDate{2026, 2, 25}));
    EXPECT_EQ(seven.EndDate, (CivilDate{2026, 3, 4}));
    EXPECT_EQ(PeriodOn(QuotaOf(QuotaPeriodKind::Days, 1), {2026, 3, 3}).FirstDate, (CivilDate{2026, 3, 3}));
}

TEST(QuotaPeriod, BoundariesAreLocalMidnights) {
    // 02:00 UTC is still the evening before, five hours west of Greenwich.
    const QuotaPeriod day =
        PeriodAt(QuotaOf(QuotaPeriodKind::Day), RulesCalendar({300, 0, 0, {}, {}}), Utc(2026, 3, 1, 2));
    EXPECT_EQ(day.StartUtc, Utc(2026, 2, 28, 5));
    EXPECT_EQ(day.EndUtc, Utc(2026, 3, 1, 5));
    // Early in the local day, just past a whole hour: 03:00:02 on 1 March.
    const LocalDateTime early = RulesCalendar({300, 0, 0, {}, {}}).ToLocal(Utc(2026, 3, 1, 8) + 2);
    EXPECT_EQ(early.Date, (CivilDate{2026, 3, 1}));
    EXPECT_EQ(early.Hour, 3);
    EXPECT_EQ(early.Minute, 0);
    EXPECT_EQ(early.Second, 2);
}

TEST(QuotaPeriod, ADaylightSavingDayInsideThePeriodCountsItsOwnHours) {
    // Central Europe: +1 h until 01:00 UTC on 29 March 2026, +2 h until 01:00 UTC on 25 October.
    const RulesCalendar europe({-60, 0, -60, {0, 10, 0, 5, 3}, {0, 3, 0, 5, 2}});
    const QuotaPeriod month = PeriodAt(QuotaOf(QuotaPeriodKind::Month, 1), europe, Utc(2026, 3, 30));
    EXPECT_EQ(month.StartUtc, Utc(2026, 2, 28, 23));
    EXPECT_EQ(month.EndUtc, Utc(2026, 3, 31, 22));
    const QuotaPeriod short_ = PeriodAt(QuotaOf(QuotaPeriodKind::Day), europe, Utc(2026, 3, 29, 12));
    EXPECT_EQ(short_.EndUtc - short_.StartUtc, 23 * kHour);
    const QuotaPeriod week = PeriodAt(QuotaOf(QuotaPeriodKind::Week, 1), europe, Utc(2026, 10, 25, 12));
    EXPECT_EQ(week.EndUtc - week.StartUtc, (7 * 24 + 1) * kHour);
    // -3 h, and from midnight on the first Sunday of November -2 h: that day begins at the jump.
    const RulesCalendar south({180, 0, -60, {0, 2, 0, 3, 0}, {0, 11, 0, 1, 0}});
    EXPECT_EQ(PeriodAt(QuotaOf(QuotaPeriodKind::Day), south, Utc(2026, 11, 1, 12)).StartUtc,
              Utc(2026, 11, 1, 3));
}
