#include "net/cNetStatistics.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

TEST(Statistics, AFreshObjectIsAllZero) {
    const cNetStatistics s;
    EXPECT_EQ(s.MaxIn(), 0);
    EXPECT_EQ(s.MaxOut(), 0);
    EXPECT_EQ(s.CurrentIn(), 0);
    EXPECT_EQ(s.CurrentOut(), 0);
    EXPECT_EQ(s.TotalIn(), 0);
    EXPECT_EQ(s.TotalOut(), 0);
    EXPECT_EQ(s.Time(), 0);
    EXPECT_EQ(s.AverageIn(), 0);
    EXPECT_EQ(s.AverageOut(), 0);
}

TEST(Statistics, SamplesGiveMaximumCurrentTotalAndAverage) {
    cNetStatistics s;
    s.AddData(100, 10);
    s.AddData(300, 30);
    EXPECT_EQ(s.MaxIn(), 300);
    EXPECT_EQ(s.CurrentIn(), 300);
    EXPECT_EQ(s.TotalIn(), 400 * 10000);
    EXPECT_EQ(s.Time(), 2);
    EXPECT_EQ(s.AverageIn(), 200);
    EXPECT_EQ(s.MaxOut(), 30);
    EXPECT_EQ(s.CurrentOut(), 30);
    EXPECT_EQ(s.TotalOut(), 40 * 10000);
    EXPECT_EQ(s.AverageOut(), 20);
    s.AddData(50, 5); // the latest is current, the largest stays the maximum
    EXPECT_EQ(s.CurrentIn(), 50);
    EXPECT_EQ(s.MaxIn(), 300);
    EXPECT_EQ(s.AverageIn(), 150);
}

TEST(Statistics, AveragesRoundHalfToEven) {
    cNetStatistics a; // 1.5 -> 2
    a.AddData(1, 3);  // out: 3.5 -> 4
    a.AddData(2, 4);
    EXPECT_EQ(a.AverageIn(), 2);
    EXPECT_EQ(a.AverageOut(), 4);
    cNetStatistics b; // 2.5 -> 2
    b.AddData(1, -1); // out: -2.5 -> -2
    b.AddData(4, -4);
    EXPECT_EQ(b.AverageIn(), 2);
    EXPECT_EQ(b.AverageOut(), -2);
    cNetStatistics c; // 1/3 -> 0, 2/3 -> 1
    c.AddData(1, 2);
    c.AddData(0, 0);
    c.AddData(0, 0);
    EXPECT_EQ(c.AverageIn(), 0);
    EXPECT_EQ(c.AverageOut(), 1);
}

TEST(Statistics, ANegativeSampleLowersTheTotalButNeverBecomesTheMaximum) {
    cNetStatistics s;
    s.AddData(-500, -7);
    EXPECT_EQ(s.MaxIn(), 0);
    EXPECT_EQ(s.MaxOut(), 0);
    EXPECT_EQ(s.CurrentIn(), -500);
    EXPECT_EQ(s.TotalIn(), -500 * 10000);
    EXPECT_EQ(s.Time(), 1);
    EXPECT_EQ(s.AverageIn(), -500);
    EXPECT_EQ(s.AverageOut(), -7);
}

TEST(Statistics, ExtremeSamplesStayExactAndTotalsStopAtTheirRangeInsteadOfOverflowing) {
    cNetStatistics s;
    s.AddData(INT32_MAX, INT32_MIN);
    s.AddData(INT32_MAX, INT32_MIN);
    EXPECT_EQ(s.TotalIn(), int64_t{INT32_MAX} * 2 * 10000);
    EXPECT_EQ(s.AverageIn(), INT32_MAX);
    EXPECT_EQ(s.AverageOut(), INT32_MIN);
    EXPECT_EQ(s.MaxIn(), INT32_MAX);
    EXPECT_EQ(s.MaxOut(), 0);

    // About 5 days of 2 GB/s fill the fixed-point total; it must not wrap to a negative amount.
    for (int i = 0; i < 430000; ++i)
        s.AddData(INT32_MAX, INT32_MIN);
    EXPECT_EQ(s.TotalIn(), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(s.TotalOut(), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(s.Time(), 430002);
    EXPECT_GT(s.AverageIn(), 0);
    EXPECT_LT(s.AverageOut(), 0);
}
