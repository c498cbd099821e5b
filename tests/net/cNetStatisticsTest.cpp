#include "net/cNetStatistics.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace {
using Figures = std::array<int64_t, 9>;
// Each figure checked on its own, named in a failure.
void ExpectFigures(const cNetStatistics& s, const Figures& want) {
    const char* names[] = {"max in",    "max out", "current in", "current out", "total in",
                           "total out", "time",    "average in", "average out"};
    const Figures got = {s.MaxIn(),    s.MaxOut(), s.CurrentIn(), s.CurrentOut(), s.TotalIn(),
                         s.TotalOut(), s.Time(),   s.AverageIn(), s.AverageOut()};
    for (std::size_t k = 0; k < got.size(); ++k)
        EXPECT_EQ(got[k], want[k]) << names[k];
}
} // namespace

TEST(Statistics, SamplesGiveMaximumCurrentTotalAndAverageRoundedHalfToEven) {
    const std::pair<std::vector<std::pair<int32_t, int32_t>>, Figures> cases[] = {
        {{}, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {{{100, 10}, {300, 30}}, {300, 30, 300, 30, 4000000, 400000, 2, 200, 20}},
        {{{100, 10}, {300, 30}, {50, 5}}, {300, 30, 50, 5, 4500000, 450000, 3, 150, 15}},
        {{{1, 3}, {2, 4}}, {2, 4, 2, 4, 30000, 70000, 2, 2, 4}},         // 1.5 and 3.5 round up
        {{{1, -1}, {4, -4}}, {4, 0, 4, -4, 50000, -50000, 2, 2, -2}},    // 2.5 and -2.5 round down
        {{{1, 2}, {0, 0}, {0, 0}}, {1, 2, 0, 0, 10000, 20000, 3, 0, 1}}, // a third and two thirds
        {{{-500, -7}}, {0, 0, -500, -7, -5000000, -70000, 1, -500, -7}}, // never a negative maximum
    };
    int row = 0;
    for (const auto& [samples, figures] : cases) {
        SCOPED_TRACE(testing::Message() << "case " << row++);
        cNetStatistics s;
        for (const auto& [lIn, lOut] : samples)
            s.AddData(lIn, lOut);
        ExpectFigures(s, figures);
    }
}

TEST(Statistics, ExtremeSamplesStayExactAndTotalsStopAtTheirRangeInsteadOfOverflowing) {
    cNetStatistics s;
    s.AddData(INT32_MAX, INT32_MIN);
    s.AddData(INT32_MAX, INT32_MIN);
    ExpectFigures(
        s, {INT32_MAX, 0, INT32_MAX, INT32_MIN, 42949672940000, -42949672960000, 2, INT32_MAX, INT32_MIN});
    // About 5 days of 2 GB/s fill the fixed-point total; it must not wrap to a negative amount.
    for (int i = 0; i < 430000; ++i)
        s.AddData(INT32_MAX, INT32_MIN);
    EXPECT_EQ(s.TotalIn(), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(s.TotalOut(), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(s.Time(), 430002);
    EXPECT_GT(s.AverageIn(), 0);
    EXPECT_LT(s.AverageOut(), 0);
}
