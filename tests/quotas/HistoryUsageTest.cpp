#include "quotas/HistoryUsage.h"
#include "../history/HistoryTestUtil.h"

#include <gtest/gtest.h>

namespace {
// Local midnight of 8 December 2026 in Kathmandu (+5:45) is 18:15 UTC the day before.
const int64_t kMidnight = Utc(2026, 12, 7, 18, 15);

int64_t QuarterOf(int64_t utc) {
    return utc / kQuarterSeconds;
}

class HistoryUsage : public testing::Test {
protected:
    void SetUp() override {
        const std::size_t a = data.Intern(Interface(1));
        const std::size_t loopback = data.Intern(Interface(2, false));
        const std::size_t b = data.Intern(Interface(3));
        data.Add(a, QuarterOf(kMidnight) - 1, 1, 10, 0); // the day before
        data.Add(a, QuarterOf(kMidnight), 2, 20, 0);
        data.Add(a, QuarterOf(kMidnight) + 4, 4, 40, 0); // 19:15, the hour after
        data.Add(loopback, QuarterOf(kMidnight), 1000, 1000, 0);
        data.Add(b, QuarterOf(kMidnight) + 1, 300, 3000, 0);
    }
    HistoryData data;
    HistoryUsageSource usage{data};
};

TEST_F(HistoryUsage, AllInterfacesSumsOnlyThoseTheMeterCounts) {
    const Octets used = usage.Between("", kMidnight, kMidnight + 86400);
    EXPECT_EQ(used.In, 306u);
    EXPECT_EQ(used.Out, 3060u);
}

TEST_F(HistoryUsage, ANamedInterfaceIsFoundByItsDescription) {
    EXPECT_EQ(usage.Between("Adapter 3", kMidnight, kMidnight + 86400).In, 300u);
    EXPECT_EQ(usage.Between("Adapter 2", kMidnight, kMidnight + 86400).In, 1000u);
    EXPECT_EQ(usage.Between("Adapter 9", kMidnight, kMidnight + 86400).In, 0u);
}

TEST_F(HistoryUsage, AQuarterCountsWhenItStartsInTheRange) {
    // From midnight to a second past 19:15 UTC: the quarter under way since 19:15 counts, the one before
    // midnight not.
    EXPECT_EQ(usage.Between("Adapter 1", kMidnight, kMidnight + 3601).In, 6u);
    // Up to 19:15 exactly: the quarter that starts there does not.
    EXPECT_EQ(usage.Between("Adapter 1", kMidnight, kMidnight + 3600).In, 2u);
    // From one second after midnight: the quarter that started at midnight is before it.
    EXPECT_EQ(usage.Between("Adapter 1", kMidnight + 1, kMidnight + 3660).In, 4u);
}
} // namespace
