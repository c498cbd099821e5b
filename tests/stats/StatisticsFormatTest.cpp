#include "stats/StatisticsFormat.h"
#include "app/Convert.h"
#include "net/cNetStatistics.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {
constexpr int64_t kFixed = 10000; // fixed-point amounts carry four decimals

struct FormatCase {
    double octets;
    StatisticsUnit unit;
    const char* text;
};

class StatisticsFormat : public testing::Test {
protected:
    void TearDown() override { SetDecimalSeparator('.'); }
};
} // namespace

TEST_F(StatisticsFormat, AmountsInEachUnitRoundToEven) {
    const FormatCase cases[] = {
        {12345, StatisticsUnit::Bytes, "12345 b"},
        {-0.5, StatisticsUnit::Bytes, "-0.5 b"},
        {2.0625, StatisticsUnit::Bytes, "2.0625 b"},
        {0, StatisticsUnit::Bytes, "0 b"},
        {1536, StatisticsUnit::Kilobytes, "1.5 kb"},
        {1024, StatisticsUnit::Kilobytes, "1 kb"},
        {256, StatisticsUnit::Kilobytes, "0.2 kb"}, // 0.25 to even
        {24, StatisticsUnit::Kilobytes, "0 kb"},
        {1024000, StatisticsUnit::Kilobytes, "1000 kb"},
        {1048576 * 1.5, StatisticsUnit::Megabytes, "1.5 mb"},
        {1048576, StatisticsUnit::Megabytes, "1 mb"},
        {131072, StatisticsUnit::Megabytes, "0.12 mb"}, // 0.125 to even
        {1294336, StatisticsUnit::Megabytes, "1.23 mb"},
        {1048576e5, StatisticsUnit::Megabytes, "100000 mb"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatAmount(static_cast<int64_t>(c.octets * kFixed), c.unit), c.text) << c.octets;
    SetDecimalSeparator(',');
    EXPECT_EQ(FormatAmount(1536 * kFixed, StatisticsUnit::Kilobytes), "1,5 kb");
    EXPECT_EQ(FormatAmount(5000, StatisticsUnit::Bytes), "0,5 b");
    EXPECT_EQ(FormatAmount(std::numeric_limits<int64_t>::min(), StatisticsUnit::Bytes),
              "-922337203685477,5808 b");
}

TEST_F(StatisticsFormat, OneUpdateGivesTheTwelveFieldsInOrder) {
    cNetStatistics s;
    s.AddData(1000, 24);
    EXPECT_EQ(
        StatisticsTexts(s, StatisticsUnit::Bytes),
        (std::array<std::string, 12>{"1000 b", "24 b", "1024 b", "1000 b/s", "24 b/s", "1024 b/s", "1000 b/s",
                                     "24 b/s", "512 b/s", "1000 b/s", "24 b/s", "1024 b/s"}));
    const auto kb = StatisticsTexts(s, StatisticsUnit::Kilobytes);
    EXPECT_EQ(kb[3], "1 kb/s");
    EXPECT_EQ(kb[4], "0 kb/s");
    EXPECT_EQ(kb[5], "1 kb/s");
}

TEST_F(StatisticsFormat, TheAverageTotalIsTheRoundedMeanAndSumsDoNotWrap) {
    cNetStatistics threeAndFour, oneAndFour, fast;
    threeAndFour.AddData(3, 4);
    oneAndFour.AddData(1, 4);
    EXPECT_EQ(StatisticsTexts(threeAndFour, StatisticsUnit::Bytes)[8], "4 b/s");
    EXPECT_EQ(StatisticsTexts(oneAndFour, StatisticsUnit::Bytes)[8], "2 b/s");
    // Two directions at more than a gigabyte per second each.
    fast.AddData(std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max());
    const auto texts = StatisticsTexts(fast, StatisticsUnit::Bytes);
    EXPECT_EQ(texts[5], "4294967294 b/s");
    EXPECT_EQ(texts[8], "2147483647 b/s");
    EXPECT_EQ(texts[11], "4294967294 b/s");
}
