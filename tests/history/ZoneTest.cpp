#include "HistoryTestUtil.h"
#include "history/HistoryAggregate.h"

#include <gtest/gtest.h>

namespace {
// As Windows' registry gives these zones: {year, month, day of week, week (5 = last), hour}.
ZoneYearRules UsEastern() {
    return {300, 0, -60, {0, 11, 0, 1, 2}, {0, 3, 0, 2, 2}};
}
ZoneYearRules CentralEurope() {
    return {-60, 0, -60, {0, 10, 0, 5, 3}, {0, 3, 0, 5, 2}};
}
ZoneYearRules LordHowe() {
    return {-630, 0, -30, {0, 4, 0, 1, 2}, {0, 10, 0, 1, 2}};
}
ZoneYearRules Kathmandu() {
    return {-345, 0, 0, {}, {}};
}

struct DayCase {
    const char* zone;
    ZoneYearRules rules;
    CivilDate date;
    std::size_t hours;
    int64_t seconds;
};

TEST(Zones, DaylightSavingDaysHaveTheirOwnLengthAndAnHourPerClockHour) {
    const DayCase cases[] = {
        {"US spring", UsEastern(), {2026, 3, 8}, 23, 23 * 3600},
        {"US autumn", UsEastern(), {2026, 11, 1}, 25, 25 * 3600},
        {"US plain", UsEastern(), {2026, 12, 8}, 24, 24 * 3600},
        {"EU spring", CentralEurope(), {2026, 3, 29}, 23, 23 * 3600},
        {"EU autumn", CentralEurope(), {2026, 10, 25}, 25, 25 * 3600},
        {"Lord Howe spring", LordHowe(), {2026, 10, 4}, 24, 23 * 3600 + 1800},
        {"Lord Howe autumn", LordHowe(), {2026, 4, 5}, 25, 24 * 3600 + 1800},
        {"Kathmandu", Kathmandu(), {2026, 12, 8}, 24, 24 * 3600},
    };
    HistoryData data;
    for (const DayCase& c : cases) {
        SCOPED_TRACE(c.zone);
        FixedZoneRules rules(c.rules);
        const ZoneCalendar zone(rules);
        const auto hours = Aggregate(data, zone, HistoryPeriod::Day, c.date, kAllInterfaces);
        EXPECT_EQ(hours.size(), c.hours);
        EXPECT_EQ(hours.back().endUtc - hours.front().startUtc, c.seconds);
    }
}

TEST(Zones, LocalTimesTurnToUtcByTheOffsetOfTheirDay) {
    FixedZoneRules us(UsEastern()), nepal(Kathmandu());
    const ZoneCalendar zone(us);
    EXPECT_EQ(zone.StartOfDay({2026, 7, 1}), Utc(2026, 7, 1, 4));
    EXPECT_EQ(zone.StartOfDay({2026, 12, 1}), Utc(2026, 12, 1, 5));
    EXPECT_EQ(ZoneCalendar(nepal).StartOfDay({2026, 12, 8}), Utc(2026, 12, 7, 18, 15));
    // A repeated time is its first, a skipped one the end of the gap.
    EXPECT_EQ(zone.ToUtc(Utc(2026, 11, 1, 1, 30)), Utc(2026, 11, 1, 5, 30));
    EXPECT_EQ(zone.ToUtc(Utc(2026, 3, 8, 2, 30)), Utc(2026, 3, 8, 7));
}

TEST(Zones, TheSouthernSummerSpansTheNewYear) {
    FixedZoneRules howe(LordHowe());
    const ZoneCalendar zone(howe);
    EXPECT_EQ(zone.OffsetAt(Utc(2026, 1, 15)), 11 * 3600);
    EXPECT_EQ(zone.OffsetAt(Utc(2026, 7, 15)), 10 * 3600 + 1800);
    EXPECT_EQ(zone.OffsetAt(Utc(2026, 12, 31, 23)), 11 * 3600);
}

// The United States moved their dates in 2007: each year has the rules in force then.
class UsSince2006 : public IZoneRules {
public:
    ZoneYearRules ForYear(int year) const override {
        if (year >= 2007)
            return UsEastern();
        return {300, 0, -60, {0, 10, 0, 5, 2}, {0, 4, 0, 1, 2}};
    }
};

TEST(Zones, EachYearIsReadWithItsOwnRules) {
    UsSince2006 rules;
    const ZoneCalendar zone(rules);
    EXPECT_EQ(zone.OffsetAt(Utc(2006, 3, 20, 12)), -5 * 3600);
    EXPECT_EQ(zone.OffsetAt(Utc(2007, 3, 20, 12)), -4 * 3600);
}

} // namespace
