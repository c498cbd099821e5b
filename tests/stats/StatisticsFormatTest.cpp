#include "stats/StatisticsFormat.h"
#include "base/Convert.h"
#include "net/cNetStatistics.h"

#include <gtest/gtest.h>

#include <limits>

using enum StatisticsUnit;

TEST(StatisticsFormat, AmountsInEachUnitRoundToEvenWithTheUsersSeparator) {
    const struct {
        double octets;
        StatisticsUnit unit;
        const char* text;
    } cases[] = {{0, Bytes, "0 b"},
                 {12345, Bytes, "12345 b"},
                 {-0.5, Bytes, "-0.5 b"},
                 {2.0625, Bytes, "2.0625 b"},
                 {1536, Kilobytes, "1.5 kb"},
                 {1024000, Kilobytes, "1000 kb"},
                 {256, Kilobytes, "0.2 kb"}, // 0.25 to even
                 {1048576 * 1.5, Megabytes, "1.5 mb"},
                 {131072, Megabytes, "0.12 mb"}, // 0.125 to even
                 {1048576e5, Megabytes, "100000 mb"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatAmount(static_cast<int64_t>(c.octets * 10000), c.unit), c.text) << c.octets;
    SetDecimalSeparator(',');
    EXPECT_EQ(FormatAmount(15360000, Kilobytes), "1,5 kb");
    EXPECT_EQ(FormatAmount(std::numeric_limits<int64_t>::min(), Bytes), "-922337203685477,5808 b");
    SetDecimalSeparator('.');
}

TEST(StatisticsFormat, OneUpdateGivesTwelveFieldsWithTheMeanAverageAndUnwrappedSums) {
    cNetStatistics s, threeAndFour, oneAndFour, fast;
    s.AddData(1000, 24);
    const std::array<const char*, 12> expected{"1000 b",  "24 b",     "1024 b",   "1000 b/s",
                                               "24 b/s",  "1024 b/s", "1000 b/s", "24 b/s",
                                               "512 b/s", "1000 b/s", "24 b/s",   "1024 b/s"};
    const char* const rows[] = {"total", "current", "average", "maximum"};
    const char* const columns[] = {"in", "out", "total"};
    const auto one = StatisticsTexts(s, Bytes);
    for (size_t i = 0; i < one.size(); ++i)
        EXPECT_EQ(one[i], expected[i]) << rows[i / 3] << " " << columns[i % 3];
    EXPECT_EQ(StatisticsTexts(s, Kilobytes)[4], "0 kb/s");
    threeAndFour.AddData(3, 4);
    oneAndFour.AddData(1, 4);
    EXPECT_EQ(StatisticsTexts(threeAndFour, Bytes)[8], "4 b/s");
    EXPECT_EQ(StatisticsTexts(oneAndFour, Bytes)[8], "2 b/s");
    // Two directions at more than a gigabyte per second each.
    fast.AddData(std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max());
    const auto texts = StatisticsTexts(fast, Bytes);
    EXPECT_EQ(texts[5], "4294967294 b/s");
    EXPECT_EQ(texts[8], "2147483647 b/s");
    EXPECT_EQ(texts[11], "4294967294 b/s");
}
