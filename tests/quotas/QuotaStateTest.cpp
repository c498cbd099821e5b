#include "quotas/QuotaState.h"
#include "support/FakeHistoryFiles.h"
#include "support/QuotaFakes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {
// The announcements after `used` octets of a 100-octet daily quota named `name`.
QuotaAnnouncements After(const char* name, uint64_t used, QuotaAnnouncements announced = {}) {
    Quota quota;
    quota.Name = name;
    quota.Limit = 100;
    FakeUsageSource usage;
    usage.Add("", Utc(2026, 12, 8, 9), used, 0);
    CheckQuotas({quota}, usage, RulesCalendar(), Utc(2026, 12, 8, 10), announced);
    return announced;
}

TEST(QuotaState, ACrashAtAnyStepOfASaveLeavesTheOldOrTheNew) {
    const QuotaAnnouncements old = After("Mobile", 85), next = After("Mobile", 100, old);
    ASSERT_NE(old, next);
    for (int steps = 0;; ++steps) {
        FakeHistoryFiles files;
        ASSERT_TRUE(SaveAnnouncements(files, old));
        files.DieAfter(steps);
        const bool saved = SaveAnnouncements(files, next);
        files.Restart();
        files.PowerCut();
        const QuotaAnnouncements loaded = LoadAnnouncements(files);
        EXPECT_THAT(loaded, testing::AnyOf(testing::Eq(old), testing::Eq(next)))
            << "died after " << steps << " steps";
        if (saved)
            break;
    }
}

TEST(QuotaState, WhatWasSavedComesBackAndAMissingOrDamagedFileAnnouncesNothing) {
    FakeHistoryFiles files;
    EXPECT_TRUE(LoadAnnouncements(files).Entries().empty());
    // What a save cut short left behind is written over.
    files.files[kQuotaStateTempName] =
        std::make_shared<FakeHistoryFiles::Content>(FakeHistoryFiles::Content{{'x'}, {'x'}});
    const QuotaAnnouncements announced = After("Mobile", 85);
    ASSERT_TRUE(SaveAnnouncements(files, announced));
    files.PowerCut();
    EXPECT_EQ(LoadAnnouncements(files), announced);
    files.files[kQuotaStateName]->bytes[3] ^= 1;
    EXPECT_TRUE(LoadAnnouncements(files).Entries().empty());
}
} // namespace
