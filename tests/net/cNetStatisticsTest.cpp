#include "net/cNetStatistics.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {
// Maximum, current and total in and out, the sample count, and the two averages.
std::string Figures(const cNetStatistics& s) {
    std::ostringstream text;
    text << s.MaxIn() << ' ' << s.MaxOut() << ' ' << s.CurrentIn() << ' ' << s.CurrentOut() << ' '
         << s.TotalIn() << ' ' << s.TotalOut() << ' ' << s.Time() << ' ' << s.AverageIn() << ' '
         << s.AverageOut();
    return text.str();
}
} // namespace

TEST(Statistics, SamplesGiveMaximumCurrentTotalAndAverageRoundedHalfToEven) {
    const std::pair<std::vector<std::pair<int32_t, int32_t>>, const char*> cases[] = {
        {{}, "0 0 0 0 0 0 0 0 0"},
        {{{100, 10}, {300, 30}}, "300 30 300 30 4000000 400000 2 200 20"},
        {{{100, 10}, {300, 30}, {50, 5}}, "300 30 50 5 4500000 450000 3 150 15"},
        {{{1, 3}, {2, 4}}, "2 4 2 4 30000 70000 2 2 4"},         // 1.5 and 3.5 round up
        {{{1, -1}, {4, -4}}, "4 0 4 -4 50000 -50000 2 2 -2"},    // 2.5 and -2.5 round down
        {{{1, 2}, {0, 0}, {0, 0}}, "1 2 0 0 10000 20000 3 0 1"}, // a third and two thirds
        {{{-500, -7}}, "0 0 -500 -7 -5000000 -70000 1 -500 -7"}, // never a negative maximum
    };
    for (const auto& [samples, figures] : cases) {
        cNetStatistics s;
        for (const auto& [lIn, lOut] : samples)
            s.AddData(lIn, lOut);
        EXPECT_EQ(Figures(s), figures);
    }
}

TEST(Statistics, ExtremeSamplesStayExactAndTotalsStopAtTheirRangeInsteadOfOverflowing) {
    cNetStatistics s;
    s.AddData(INT32_MAX, INT32_MIN);
    s.AddData(INT32_MAX, INT32_MIN);
    EXPECT_EQ(Figures(s), "2147483647 0 2147483647 -2147483648 42949672940000 -42949672960000 2 2147483647 "
                          "-2147483648");
    // About 5 days of 2 GB/s fill the fixed-point total; it must not wrap to a negative amount.
    for (int i = 0; i < 430000; ++i)
        s.AddData(INT32_MAX, INT32_MIN);
    EXPECT_EQ(s.TotalIn(), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(s.TotalOut(), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(s.Time(), 430002);
    EXPECT_TRUE(s.AverageIn() > 0);
    EXPECT_TRUE(s.AverageOut() < 0);
}
