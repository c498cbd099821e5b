#include "HistoryTestUtil.h"
#include "history/HistoryChart.h"

#include <gtest/gtest.h>

#include <limits>

namespace {
constexpr uint64_t kMost = std::numeric_limits<uint64_t>::max();

HistoryBucket Bucket(int64_t startUtc, int32_t offset, uint64_t in = 0, uint64_t out = 0) {
    HistoryBucket b;
    b.startUtc = startUtc;
    b.offset = offset;
    b.in = in;
    b.out = out;
    return b;
}

TEST(Chart, EachUnitStartsAtOneWholeOfItAndAmountsRoundToItsPlaces) {
    EXPECT_EQ(UnitFor(1024), OctetUnit::Kilobytes);
    EXPECT_EQ(UnitFor(1073741824), OctetUnit::Gigabytes);
    EXPECT_EQ(FormatOctets(1023), "1023 b");
    EXPECT_EQ(FormatOctets(1536), "1.5 kb");
    EXPECT_EQ(FormatOctets(2359296), "2.25 mb");
    EXPECT_EQ(FormatOctets(512, OctetUnit::Kilobytes), "0.5 kb");
}

TEST(Chart, TheAxisStepsInRoundNumbersTenthsAboveBytesAndFourStepsAtMost) {
    const ChartAxis bytes = AxisFor(700);
    EXPECT_EQ(bytes.step, 200);
    EXPECT_EQ(bytes.steps, 4);
    EXPECT_EQ(bytes.Top(), 800u);
    const ChartAxis kilobytes = AxisFor(1536);
    EXPECT_EQ(kilobytes.steps, 3);
    EXPECT_EQ(kilobytes.Top(), 1536u);
    EXPECT_EQ(AxisLabel(kilobytes, 1), "0.5 kb");
    EXPECT_EQ(AxisFor(5 * 1048576).steps, 3);
    EXPECT_EQ(AxisFor(0).Top(), 1u); // an empty period
}

TEST(Chart, BarsAreTheirShareOfTheAxisInTheirSlotsWithAGapEachSide) {
    EXPECT_EQ(BarHeight(50, 200, 100), 25);
    EXPECT_EQ(BarHeight(1, 3, 100), 33);
    EXPECT_EQ(BarHeight(300, 200, 100), 100);
    EXPECT_EQ(BarHeight(5, 0, 100), 0);
    EXPECT_EQ(BarHeight(kMost / 2, kMost, 100), 50);
    EXPECT_EQ(BarAt(0, 24, 10, 240).left, 12);
    EXPECT_EQ(BarAt(0, 24, 10, 240).width, 6);
    EXPECT_EQ(BarAt(23, 24, 10, 240).left, 242);
    EXPECT_EQ(BarAt(0, 100, 0, 200).width, 2);
    EXPECT_EQ(BarAt(0, 400, 0, 200).width, 1);
    EXPECT_EQ(LargestBar({Bucket(0, 0, 5, 1), Bucket(0, 0, 1, 6)}), 7u);
    EXPECT_EQ(Together(kMost, 2), kMost);
}

TEST(Chart, NamesAreThinnedUntilTheyFit) {
    EXPECT_EQ(NameEvery(31, 310, 14), 2);
    EXPECT_EQ(NameEvery(12, 600, 20), 1);
    EXPECT_EQ(NameEvery(10, 180, 14), 1);
    EXPECT_EQ(NameEvery(24, 0, 10), 24);
}

TEST(Chart, BucketsAreNamedByTheirLocalStart) {
    // 18:15 UTC is midnight of the next day in Kathmandu (+5:45).
    const HistoryBucket b = Bucket(Utc(2026, 12, 7, 18, 15), 20700);
    EXPECT_EQ(ListName(HistoryPeriod::Day, b), "00:00");
    EXPECT_EQ(ListName(HistoryPeriod::Month, b), "Tue 8");
    EXPECT_EQ(ListName(HistoryPeriod::Year, b), "December");
    EXPECT_EQ(BarName(HistoryPeriod::Year, b), "Dec");
    EXPECT_EQ(BarName(HistoryPeriod::Month, b), "8");
    // A half-hour shift starts an hour at its half: Lord Howe at +10:30.
    const HistoryBucket howe = Bucket(Utc(2026, 4, 4, 15, 0), 37800);
    EXPECT_EQ(ListName(HistoryPeriod::Day, howe), "01:30");
    EXPECT_EQ(BarName(HistoryPeriod::Day, howe), "1");
}

TEST(Chart, TheTotalsLineAddsThePeriodAndSaysWhenItIsReadOnly) {
    const std::vector<HistoryBucket> buckets{Bucket(0, 0, 1024, 256), Bucket(0, 0, 512, 256)};
    EXPECT_EQ(TotalsText(buckets, false), "In 1.5 kb   Out 512 b   Total 2 kb");
    EXPECT_EQ(SumOut(buckets), 512u);
    EXPECT_NE(TotalsText({}, true).find("read-only"), std::string::npos);
}

TEST(Chart, NoStepBeyondThePeriodOfTodayAndExportNamesCarryThePeriod) {
    EXPECT_FALSE(CanStepForward(HistoryPeriod::Month, {2026, 12, 1}, {2026, 12, 8}));
    EXPECT_TRUE(CanStepForward(HistoryPeriod::Month, {2026, 11, 1}, {2026, 12, 8}));
    EXPECT_FALSE(CanStepForward(HistoryPeriod::Day, {2026, 12, 8}, {2026, 12, 8}));
    EXPECT_EQ(ExportFileName(HistoryPeriod::Day, {2026, 12, 8}), "Vantorel history 2026-12-08.csv");
    EXPECT_EQ(ExportFileName(HistoryPeriod::Month, {2026, 12, 8}), "Vantorel history 2026-12.csv");
    EXPECT_EQ(ExportFileName(HistoryPeriod::Year, {2026, 12, 8}), "Vantorel history 2026.csv");
}
} // namespace
