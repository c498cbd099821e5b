#include "quotas/QuotaUsage.h"
#include "base/Convert.h"
#include "support/QuotaFakes.h"

#include <gtest/gtest.h>

namespace {
constexpr uint64_t kMB = 1048576;
constexpr uint64_t kGB = 1024 * kMB;

Quota QuotaOf(uint64_t limit, QuotaPeriodKind period = QuotaPeriodKind::Day,
              QuotaCount count = QuotaCount::Total, std::string interfaceName = "") {
    Quota quota;
    quota.Name = period == QuotaPeriodKind::Month ? "Mobile" : "Daily";
    quota.Limit = limit;
    quota.Period = period;
    quota.Count = count;
    quota.Interface = std::move(interfaceName);
    return quota;
}

QuotaStatus StatusAt(const Quota& quota, const FakeUsageSource& usage, int64_t now) {
    return QuotaStatusAt(quota, usage, RulesCalendar(), now);
}
} // namespace

TEST(QuotaUsage, CountsTheChosenDirectionOfTheChosenInterfaceInsideThePeriod) {
    FakeUsageSource usage;
    usage.Add("Ethernet", Utc(2026, 3, 9, 23, 59), 1000, 1000); // the day before
    usage.Add("Ethernet", Utc(2026, 3, 10, 1), 300, 20);
    usage.Add("WiFi", Utc(2026, 3, 10, 2), 4000, 500);
    const int64_t now = Utc(2026, 3, 10, 6);
    using enum QuotaCount;
    EXPECT_EQ(StatusAt(QuotaOf(kMB), usage, now).Used, 4820u);
    EXPECT_EQ(StatusAt(QuotaOf(kMB, QuotaPeriodKind::Day, In), usage, now).Used, 4300u);
    EXPECT_EQ(StatusAt(QuotaOf(kMB, QuotaPeriodKind::Day, Out), usage, now).Used, 520u);
    EXPECT_EQ(StatusAt(QuotaOf(kMB, QuotaPeriodKind::Day, Total, "Ethernet"), usage, now).Used, 320u);
    FakeUsageSource huge;
    huge.Add("", Utc(2026, 3, 10, 3), UINT64_MAX - 5, 10); // stops at the top instead of wrapping
    EXPECT_EQ(StatusAt(QuotaOf(kMB), huge, now).Used, UINT64_MAX);
}

TEST(QuotaUsage, ForecastExtendsTheAverageRateSoFarToThePeriodsEnd) {
    FakeUsageSource usage;
    usage.Add("", Utc(2026, 3, 10, 3), 0, 250 * kMB);
    const QuotaStatus status = StatusAt(QuotaOf(2 * kGB), usage, Utc(2026, 3, 10, 6));
    EXPECT_DOUBLE_EQ(status.Percent, 250.0 / 2048 * 100);
    EXPECT_EQ(status.Forecast, 1000 * kMB); // a quarter of the day gone
    EXPECT_EQ(StatusAt(QuotaOf(2 * kGB), usage, Utc(2026, 3, 10)).Forecast, 0u);
}

TEST(QuotaUsage, WhatIsLeftIsSharedByTheRemainingDaysAndTheBalloonSaysSo) {
    FakeUsageSource usage;
    usage.Add("", Utc(2026, 3, 2), 4 * kGB, 0);
    const Quota mobile = QuotaOf(5 * kGB, QuotaPeriodKind::Month);
    const QuotaStatus status = StatusAt(mobile, usage, Utc(2026, 3, 23, 12));
    EXPECT_EQ(status.DaysLeft, 9); // today included
    EXPECT_EQ(status.LeftPerDay, kGB / 9);
    EXPECT_EQ(QuotaBalloonText(mobile, status, 80),
              "Vantorel: 80% of Mobile used (4.0 of 5.0 GB), 9 days left");
    EXPECT_EQ(QuotaBalloonText(mobile, StatusAt(mobile, usage, Utc(2026, 3, 31, 23)), 80),
              "Vantorel: 80% of Mobile used (4.0 of 5.0 GB), 1 day left");
    usage.Add("", Utc(2026, 3, 3), 2 * kGB, 0);
    EXPECT_EQ(StatusAt(mobile, usage, Utc(2026, 3, 23, 12)).LeftPerDay, 0u);
}

TEST(QuotaUsage, ALevelIsReachedAtItsShareOfTheLimitRoundedUp) {
    EXPECT_FALSE(LevelReached(QuotaOf(1000), 799, 80));
    Quota quota = QuotaOf(999); // 80 % is 799.2 octets
    EXPECT_FALSE(LevelReached(quota, 799, 80));
    EXPECT_TRUE(LevelReached(quota, 800, 80));
    quota.Limit = kMaxQuotaLimit;
    EXPECT_FALSE(LevelReached(quota, UINT64_MAX / 2, kMaxQuotaLevel));
}

TEST(QuotaUsage, FiguresUseTheLimitsUnitWithOneDecimal) {
    EXPECT_EQ(QuotaFigures(kGB + kGB / 4, 2 * kGB), "1.2 of 2.0 GB"); // 1.25 to even
    EXPECT_EQ(QuotaFigures(kGB / 2, kGB), "0.5 of 1.0 GB");
    EXPECT_EQ(QuotaFigures(kMB * 41, 50 * kMB), "41.0 of 50.0 MB");
    EXPECT_EQ(QuotaFigures(768, 512 * 1024), "0.8 of 512.0 KB");
    SetDecimalSeparator(',');
    EXPECT_EQ(QuotaFigures(kMB * 3 / 2, 5 * kMB), "1,5 of 5,0 MB");
    SetDecimalSeparator('.');
}

TEST(QuotaUsage, TheTooltipLineShowsTheMostUsedQuotaPastItsFirstLevel) {
    Quota mobile = QuotaOf(5 * kGB, QuotaPeriodKind::Month), daily = QuotaOf(kGB), silent = QuotaOf(kGB);
    silent.Warn.clear();
    QuotaStatus low, high, higher;
    low.Used = kGB / 2;
    low.Percent = 50;
    high.Used = 4 * kGB;
    high.Percent = 80;
    higher.Used = kGB / 1000 * 999;
    higher.Percent = 99.9;
    EXPECT_EQ(QuotaTooltipLine({{&daily, low}, {&silent, higher}}), std::nullopt);
    EXPECT_EQ(QuotaTooltipLine({{&daily, low}, {&mobile, high}}), "Mobile: 80% used (4.0 of 5.0 GB)");
    EXPECT_EQ(QuotaTooltipLine({{&mobile, high}, {&daily, higher}}), "Daily: 99% used (1.0 of 1.0 GB)");
}
