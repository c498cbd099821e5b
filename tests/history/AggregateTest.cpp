#include "HistoryTestUtil.h"
#include "history/HistoryAggregate.h"

#include <gtest/gtest.h>

namespace {
struct Periods : testing::Test {
    FixedZoneRules utc{ZoneYearRules{}};
    ZoneCalendar zone{utc};
    HistoryData data;
    void SetUp() override {
        for (uint8_t n : {1, 2, 3})
            data.Intern(Interface(n, n != 2));
    }
    void Put(std::size_t i, int64_t at, uint64_t in) { data.Add(i, at / kQuarterSeconds, in, in / 2, 0); }
};

TEST_F(Periods, AllInterfacesIsTheSumOfThoseItCounts) {
    Put(0, Utc(2026, 12, 8, 10), 1);
    Put(1, Utc(2026, 12, 8, 10), 10);
    Put(2, Utc(2026, 12, 8, 10, 45), 100);
    const auto hours = Aggregate(data, zone, HistoryPeriod::Day, {2026, 12, 8}, kAllInterfaces);
    EXPECT_EQ(hours[10].in, 101u);
    EXPECT_EQ(hours[10].out, 50u);
}

TEST_F(Periods, EveryBoundaryBelongsToTheLaterPeriod) {
    Put(0, Utc(2026, 12, 31, 23, 45), 1);
    Put(0, Utc(2027, 1, 1), 10);
    const auto months = Aggregate(data, zone, HistoryPeriod::Year, {2026, 6, 1}, 0);
    ASSERT_EQ(months.size(), 12u);
    EXPECT_EQ(months[11].in, 1u);
    EXPECT_EQ(Aggregate(data, zone, HistoryPeriod::Year, {2027, 1, 1}, 0)[0].in, 10u);
    EXPECT_EQ(Aggregate(data, zone, HistoryPeriod::Month, {2027, 1, 1}, 0)[0].in, 10u);
    EXPECT_EQ(Aggregate(data, zone, HistoryPeriod::Day, {2026, 12, 31}, 0)[23].in, 1u);
}

TEST_F(Periods, NamesAndSteps) {
    EXPECT_EQ(PeriodName(HistoryPeriod::Day, {2026, 12, 8}), "Tuesday, 8 December 2026");
    EXPECT_EQ(PeriodName(HistoryPeriod::Month, {2026, 12, 8}), "December 2026");
    EXPECT_EQ(PeriodName(HistoryPeriod::Year, {2026, 12, 8}), "2026");
    EXPECT_EQ(StepPeriod(HistoryPeriod::Day, {2026, 12, 31}, 1), (CivilDate{2027, 1, 1}));
    EXPECT_EQ(StepPeriod(HistoryPeriod::Month, {2026, 12, 8}, 1), (CivilDate{2027, 1, 1}));
    EXPECT_EQ(StepPeriod(HistoryPeriod::Month, {2026, 1, 8}, -1), (CivilDate{2025, 12, 1}));
    EXPECT_EQ(StepPeriod(HistoryPeriod::Year, {2026, 12, 8}, -1), (CivilDate{2025, 1, 1}));
}

TEST_F(Periods, CsvQuotesWhatRfc4180AsksFor) {
    EXPECT_EQ(CsvField("Wi-Fi"), "Wi-Fi");
    EXPECT_EQ(CsvField("Adapter \"A\", B"), "\"Adapter \"\"A\"\", B\"");
    EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
}

TEST_F(Periods, CsvLinesCarryBothTimesAndTheInterface) {
    FixedZoneRules nepal(ZoneYearRules{-345, 0, 0, {}, {}});
    const ZoneCalendar kathmandu(nepal);
    Put(0, Utc(2026, 12, 7, 18, 15), 4);
    const std::string csv = ExportCsv(data, kathmandu, HistoryPeriod::Month, {2026, 12, 1}, 0);
    EXPECT_EQ(csv.substr(0, 52), "start_utc,start_local,interface,in_bytes,out_bytes\r\n");
    EXPECT_NE(csv.find("\r\n2026-12-07T18:15:00Z,2026-12-08T00:00:00+05:45,Ethernet 1 (Adapter 1),4,2\r\n"),
              std::string::npos);
    EXPECT_EQ(IsoLocal(Utc(2026, 12, 8, 5), -5 * 3600), "2026-12-08T00:00:00-05:00");
}
} // namespace
