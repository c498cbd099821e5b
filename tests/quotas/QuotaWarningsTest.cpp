#include "quotas/QuotaWarnings.h"
#include "support/QuotaFakes.h"

#include <gtest/gtest.h>

namespace {
constexpr uint64_t kMB = 1048576;

// A daily quota of 50 MB on all interfaces, checked once a minute as the history writes.
class QuotaWarnings : public testing::Test {
protected:
    QuotaWarnings() {
        m_quota.Name = "Daily";
        m_quota.Limit = 50 * kMB;
    }

    // Adds `mb` at the instant and checks then.
    std::vector<int32_t> UseAndCheck(uint64_t mb, int64_t utc) {
        m_usage.Add("", utc - 30, mb * kMB, 0);
        return Check(utc);
    }
    std::vector<int32_t> Check(int64_t utc) {
        std::vector<int32_t> levels;
        for (const QuotaWarning& warning :
             CheckQuotas({m_quota}, m_usage, m_calendar, utc, m_announced).Warnings)
            levels.push_back(warning.Level);
        return levels;
    }

    Quota m_quota;
    FakeUsageSource m_usage;
    RulesCalendar m_calendar;
    QuotaAnnouncements m_announced;
    const std::vector<int32_t> m_none;
};
} // namespace

TEST_F(QuotaWarnings, EachLevelIsAnnouncedOnceInItsPeriod) {
    EXPECT_EQ(UseAndCheck(35, Utc(2026, 3, 10, 8)), m_none); // 70 %
    EXPECT_EQ(UseAndCheck(7, Utc(2026, 3, 10, 9)), std::vector<int32_t>{80});
    EXPECT_EQ(UseAndCheck(3, Utc(2026, 3, 10, 10)), m_none); // 90 %, 80 already told
    EXPECT_EQ(UseAndCheck(5, Utc(2026, 3, 10, 11)), std::vector<int32_t>{100});
    EXPECT_EQ(UseAndCheck(5, Utc(2026, 3, 10, 12)), m_none);
}

TEST_F(QuotaWarnings, LevelsCrossedInOneMinuteComeInAscendingOrder) {
    m_quota.Warn = {50, 80, 100};
    const int64_t now = Utc(2026, 3, 10, 8);
    m_usage.Add("", now - 30, 50 * kMB, 0);
    const QuotaCheck check = CheckQuotas({m_quota}, m_usage, m_calendar, now, m_announced);
    ASSERT_EQ(check.Warnings.size(), 3u);
    EXPECT_EQ(check.Warnings[0].Level, 50);
    EXPECT_EQ(check.Warnings[2].Level, 100);
    EXPECT_EQ(check.Warnings[2].Text, "Vantorel: 100% of Daily used (50.0 of 50.0 MB), 1 day left");
    EXPECT_EQ(check.TooltipLine, "Daily: 100% used (50.0 of 50.0 MB)");
}

TEST_F(QuotaWarnings, ANewPeriodStartsSilentAndWarnsAgain) {
    EXPECT_EQ(UseAndCheck(45, Utc(2026, 3, 10, 23)), std::vector<int32_t>{80});
    EXPECT_EQ(Check(Utc(2026, 3, 11, 0, 1)), m_none);
    EXPECT_EQ(m_announced.Announced("Daily", Utc(2026, 3, 11)), m_none);
    EXPECT_EQ(UseAndCheck(41, Utc(2026, 3, 11, 9)), std::vector<int32_t>{80});
}

TEST_F(QuotaWarnings, TheRollingWindowKeepsLevelsThatAreStillReached) {
    m_quota.Period = QuotaPeriodKind::Days;
    m_quota.Start = 3;
    EXPECT_EQ(UseAndCheck(42, Utc(2026, 3, 10, 12)), std::vector<int32_t>{80});
    // The window moves on a day with the traffic still inside it: no second warning.
    EXPECT_EQ(Check(Utc(2026, 3, 11, 12)), m_none);
    // Once the traffic has left the window the level can be reached anew.
    EXPECT_EQ(Check(Utc(2026, 3, 13, 12)), m_none);
    EXPECT_EQ(UseAndCheck(40, Utc(2026, 3, 13, 13)), std::vector<int32_t>{80});
}

TEST_F(QuotaWarnings, AForgottenQuotaStartsSilent) {
    UseAndCheck(42, Utc(2026, 3, 10, 9));
    m_announced.Forget("Daily");
    EXPECT_EQ(m_announced.Entries().size(), 0u);
    EXPECT_EQ(Check(Utc(2026, 3, 10, 10)), std::vector<int32_t>{80});
}

TEST(QuotaAnnouncementsRecord, NamesWithTheRecordsOwnDelimitersReadBack) {
    Quota quota;
    quota.Limit = 100;
    FakeUsageSource usage;
    usage.Add("", Utc(2026, 3, 10, 1), 100, 0); // both levels
    QuotaAnnouncements record;
    for (const char* name : {"100% off\nnext", "CRC 00000000", "%41", "50%", ""}) {
        quota.Name = name;
        CheckQuotas({quota}, usage, RulesCalendar(), Utc(2026, 3, 10, 2), record);
    }
    const auto restored = QuotaAnnouncements::Parse(record.Serialize());
    ASSERT_TRUE(restored.has_value());
    EXPECT_EQ(*restored, record);
}

TEST(QuotaAnnouncementsRecord, EveryChangedOrCutByteIsRefused) {
    QuotaAnnouncements record;
    Quota quota;
    quota.Name = "Mobile";
    quota.Limit = 100;
    FakeUsageSource usage;
    usage.Add("", Utc(2026, 3, 10, 1), 90, 0);
    CheckQuotas({quota}, usage, RulesCalendar(), Utc(2026, 3, 10, 2), record);
    const std::string text = record.Serialize();
    for (size_t at = 0; at < text.size(); ++at) {
        std::string changed = text;
        changed[at] = static_cast<char>(changed[at] ^ 0x04);
        EXPECT_EQ(QuotaAnnouncements::Parse(changed), std::nullopt) << at;
        EXPECT_EQ(QuotaAnnouncements::Parse(text.substr(0, at)), std::nullopt) << at;
    }
}

TEST(QuotaAnnouncementsRecord, LinesThatDoNotReadAreRefusedDespiteTheirChecksum) {
    const std::string header = "VantorelQuotaWarnings 1\n";
    for (const std::string line : {"", "12 80\n", "12 80,80 Mobile\n", "12 80 Mo%4\n", "1 - A\n1 - A\n"}) {
        const std::string body = header + line;
        char crc[16];
        std::snprintf(crc, sizeof crc, "CRC %08X\n", static_cast<unsigned>(Crc32(body)));
        EXPECT_EQ(QuotaAnnouncements::Parse(body + crc).has_value(), line.empty()) << line;
    }
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
}
