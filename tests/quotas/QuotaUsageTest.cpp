#include "quotas/QuotaUsage.h"
#include "base/Convert.h"
#include "support/QuotaFakes.h"

#include <gtest/gtest.h>

namespace {
constexpr uint64_t kMB = 1048576;
constexpr uint64_t kGB = 1024 * kMB;

Quota MonthlyMobile() {
    Quota quota;
    quota.Name = "Mobile";
    quota.Limit = 5 * kGB;
    quota.Period = QuotaPeriodKind::Month;
    quota.Start = 1;
    return quota;
}

Quota DailyQuota(uint64_t limit, QuotaCount count = QuotaCount::Total, std::string interfaceName = "") {
    Quota quota;
    quota.Name = "Daily";
    quota.Limit = limit;
    quota.Count = count;
    quota.Interface = std::move(interfaceName);
    return quota;
}
} // namespace

TEST(QuotaUsage, CountsTheChosenDirectionOfTheChosenInterfaceInsideThePeriod) {
    FakeUsageSource usage;
    usage.Add("Ethernet", UtcSeconds(2026, 3, 9, 23, 59), 1000, 1000); // the day before
    usage.Add("Ethernet", UtcSeconds(2026, 3, 10, 1), 300, 20);
    usage.Add("WiFi", UtcSeconds(2026, 3, 10, 2), 4000, 500);
    const FixedOffsetCalendar utc;
    const int64_t now = UtcSeconds(2026, 3, 10, 6);
    EXPECT_EQ(QuotaStatusAt(DailyQuota(kMB), usage, utc, now).Used, 4820u);
    EXPECT_EQ(QuotaStatusAt(DailyQuota(kMB, QuotaCount::In), usage, utc, now).Used, 4300u);
    EXPECT_EQ(QuotaStatusAt(DailyQuota(kMB, QuotaCount::Out), usage, utc, now).Used, 520u);
    EXPECT_EQ(QuotaStatusAt(DailyQuota(kMB, QuotaCount::Total, "Ethernet"), usage, utc, now).Used, 320u);
}

TEST(QuotaUsage, TotalOfTwoHugeDirectionsStopsAtTheTopInsteadOfWrapping) {
    FakeUsageSource usage;
    usage.Add("", UtcSeconds(2026, 3, 10, 1), UINT64_MAX - 5, 10);
    const QuotaStatus status =
        QuotaStatusAt(DailyQuota(kMB), usage, FixedOffsetCalendar(), UtcSeconds(2026, 3, 10, 6));
    EXPECT_EQ(status.Used, UINT64_MAX);
}

TEST(QuotaUsage, ForecastExtendsTheAverageRateSoFarToThePeriodsEnd) {
    FakeUsageSource usage;
    usage.Add("", UtcSeconds(2026, 3, 10, 3), 0, 250 * kMB);
    const QuotaStatus status =
        QuotaStatusAt(DailyQuota(2 * kGB), usage, FixedOffsetCalendar(), UtcSeconds(2026, 3, 10, 6));
    EXPECT_DOUBLE_EQ(status.Percent, 250.0 / 2048 * 100);
    EXPECT_EQ(status.Forecast, 1000 * kMB); // a quarter of the day gone
    const QuotaStatus atStart =
        QuotaStatusAt(DailyQuota(2 * kGB), usage, FixedOffsetCalendar(), UtcSeconds(2026, 3, 10));
    EXPECT_EQ(atStart.Forecast, 0u);
}

TEST(QuotaUsage, WhatIsLeftIsSharedByTheRemainingDaysTodayIncluded) {
    FakeUsageSource usage;
    usage.Add("", UtcSeconds(2026, 3, 2), 4 * kGB, 0);
    const QuotaStatus status =
        QuotaStatusAt(MonthlyMobile(), usage, FixedOffsetCalendar(), UtcSeconds(2026, 3, 23, 12));
    EXPECT_EQ(status.DaysLeft, 9);
    EXPECT_EQ(status.LeftPerDay, kGB / 9);
    usage.Add("", UtcSeconds(2026, 3, 3), 2 * kGB, 0);
    const QuotaStatus over =
        QuotaStatusAt(MonthlyMobile(), usage, FixedOffsetCalendar(), UtcSeconds(2026, 3, 23, 12));
    EXPECT_EQ(over.LeftPerDay, 0u);
}

TEST(QuotaUsage, ALevelIsReachedAtItsShareOfTheLimitRoundedUp) {
    Quota quota = DailyQuota(1000);
    EXPECT_FALSE(LevelReached(quota, 799, 80));
    EXPECT_TRUE(LevelReached(quota, 800, 80));
    quota.Limit = 999; // 80 % is 799.2 octets
    EXPECT_FALSE(LevelReached(quota, 799, 80));
    EXPECT_TRUE(LevelReached(quota, 800, 80));
    quota.Limit = kMaxQuotaLimit;
    EXPECT_FALSE(LevelReached(quota, UINT64_MAX / 2, kMaxQuotaLevel));
    EXPECT_TRUE(LevelReached(quota, UINT64_MAX, kMaxQuotaLevel));
}

TEST(QuotaUsage, FiguresUseTheLimitsUnitWithOneDecimal) {
    EXPECT_EQ(QuotaFigures(4 * kGB, 5 * kGB), "4.0 of 5.0 GB");
    EXPECT_EQ(QuotaFigures(kMB * 41, 50 * kMB), "41.0 of 50.0 MB");
    EXPECT_EQ(QuotaFigures(kMB / 4 * 5, kGB), "0.0 of 1.0 GB");       // 0.00122 GB
    EXPECT_EQ(QuotaFigures(256, 512 * 1024), "0.2 of 512.0 KB");      // 0.25 to even
    EXPECT_EQ(QuotaFigures(kGB + kGB / 4, 2 * kGB), "1.2 of 2.0 GB"); // 1.25 to even
    SetDecimalSeparator(',');
    EXPECT_EQ(QuotaFigures(kMB * 3 / 2, 5 * kMB), "1,5 of 5,0 MB");
    SetDecimalSeparator('.');
}

TEST(QuotaUsage, TheBalloonNamesTheLevelTheFiguresAndTheDaysLeft) {
    FakeUsageSource usage;
    usage.Add("", UtcSeconds(2026, 3, 2), 4 * kGB, 0);
    const FixedOffsetCalendar utc;
    const Quota mobile = MonthlyMobile();
    EXPECT_EQ(QuotaBalloonText(mobile, QuotaStatusAt(mobile, usage, utc, UtcSeconds(2026, 3, 23, 12)), 80),
              "Vantorel: 80% of Mobile used (4.0 of 5.0 GB), 9 days left");
    EXPECT_EQ(QuotaBalloonText(mobile, QuotaStatusAt(mobile, usage, utc, UtcSeconds(2026, 3, 31, 23)), 80),
              "Vantorel: 80% of Mobile used (4.0 of 5.0 GB), 1 day left");
}

TEST(QuotaUsage, TheTooltipLineShowsTheMostUsedQuotaPastItsFirstLevel) {
    Quota mobile = MonthlyMobile(), daily = DailyQuota(kGB), silent = DailyQuota(kGB);
    silent.Name = "Silent";
    silent.Warn.clear();
    QuotaStatus low, high, higher;
    low.Used = kGB / 2; // below 80 % of the daily quota
    low.Percent = 50;
    high.Used = 4 * kGB; // 80 % of Mobile
    high.Percent = 80;
    higher.Used = kGB / 10 * 9;
    higher.Percent = 90;
    EXPECT_EQ(QuotaTooltipLine({{&daily, low}}), std::nullopt);
    EXPECT_EQ(QuotaTooltipLine({{&silent, higher}}), std::nullopt);
    EXPECT_EQ(QuotaTooltipLine({{&daily, low}, {&mobile, high}}), "Mobile: 80% used (4.0 of 5.0 GB)");
    EXPECT_EQ(QuotaTooltipLine({{&mobile, high}, {&daily, higher}}), "Daily: 90% used (0.9 of 1.0 GB)");
    higher.Percent = 99.99;
    EXPECT_EQ(QuotaTooltipText(daily, higher), "Daily: 99% used (0.9 of 1.0 GB)");
}
