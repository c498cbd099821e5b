#include "quotas/Quota.h"
#include "settings/mRegistry.h"
#include "support/FakeRegistry.h"
#include "support/RaisedError.h"

#include <gtest/gtest.h>

namespace {
constexpr const char* kTitle = "VantorelQuotaTest";

class QuotaStore : public testing::Test {
protected:
    void Store(const std::string& name, const std::vector<std::pair<std::string, std::string>>& values) {
        for (const auto& [key, value] : values)
            WriteSetting(kHKeyCurrentUser, kTitle, "Quotas\\" + name, key, value);
    }
    std::string Stored(const std::string& name, const std::string& key) {
        return ReadSetting(kHKeyCurrentUser, kTitle, "Quotas\\" + name, key, "(missing)");
    }
    // The one quota read back, or its fault.
    StoredQuota ReadOne() {
        const auto quotas = ReadQuotas(kHKeyCurrentUser, kTitle);
        return quotas.size() == 1 ? quotas.front() : StoredQuota{"", std::nullopt, "not one quota"};
    }

    FakeRegistry m_registry;
    ScopedRegistryApi m_scope{m_registry};
};

Quota Mobile() {
    Quota quota;
    quota.Name = "Mobile";
    quota.Limit = 5368709120;
    quota.Period = QuotaPeriodKind::Month;
    quota.Start = 31;
    quota.Count = QuotaCount::In;
    quota.Interface = "Intel(R) Ethernet";
    quota.Warn = {50, 80, 100};
    return quota;
}
} // namespace

TEST_F(QuotaStore, AWrittenQuotaIsSixTextValues) {
    WriteQuota(kHKeyCurrentUser, kTitle, Mobile());
    EXPECT_EQ(Stored("Mobile", "Limit"), "5368709120");
    EXPECT_EQ(Stored("Mobile", "Period"), "Month");
    EXPECT_EQ(Stored("Mobile", "Start"), "31");
    EXPECT_EQ(Stored("Mobile", "Count"), "In");
    EXPECT_EQ(Stored("Mobile", "Interface"), "Intel(R) Ethernet");
    EXPECT_EQ(Stored("Mobile", "Warn"), "50,80,100");
    EXPECT_EQ(m_registry.OpenHandleCount(), 0u);
}

TEST_F(QuotaStore, EveryKindOfQuotaReadsBackAsWritten) {
    Quota week = Mobile(), days = Mobile(), day = Mobile();
    week.Name = "Week";
    week.Period = QuotaPeriodKind::Week;
    week.Start = 7;
    week.Count = QuotaCount::Out;
    days.Name = "Days";
    days.Period = QuotaPeriodKind::Days;
    days.Start = kMaxQuotaDays;
    days.Interface.clear();
    days.Warn.clear();
    day.Name = "Day";
    day.Period = QuotaPeriodKind::Day;
    day.Start = 1;
    day.Count = QuotaCount::Total;
    for (const Quota& quota : {Mobile(), week, days, day}) {
        WriteQuota(kHKeyCurrentUser, kTitle, quota);
        const auto read = ReadOne();
        ASSERT_TRUE(read.Value.has_value()) << quota.Name << ": " << read.Fault;
        EXPECT_EQ(QuotaToTexts(*read.Value).Limit, QuotaToTexts(quota).Limit);
        EXPECT_EQ(read.Value->Period, quota.Period) << quota.Name;
        EXPECT_EQ(read.Value->Start, quota.Start) << quota.Name;
        EXPECT_EQ(read.Value->Count, quota.Count) << quota.Name;
        EXPECT_EQ(read.Value->Interface, quota.Interface) << quota.Name;
        EXPECT_EQ(read.Value->Warn, quota.Warn) << quota.Name;
        DeleteQuota(kHKeyCurrentUser, kTitle, quota.Name);
    }
}

TEST_F(QuotaStore, MissingValuesTakeTheirDefaults) {
    Store("Plain", {{"Limit", "1000"}, {"Period", "week"}});
    const auto read = ReadOne();
    ASSERT_TRUE(read.Value.has_value()) << read.Fault;
    EXPECT_EQ(read.Value->Period, QuotaPeriodKind::Week);
    EXPECT_EQ(read.Value->Start, 1);
    EXPECT_EQ(read.Value->Count, QuotaCount::Total);
    EXPECT_EQ(read.Value->Interface, "");
    EXPECT_EQ(read.Value->Warn, (std::vector<int32_t>{80, 100}));
}

TEST_F(QuotaStore, WarningLevelsAreSortedOnceEachAndMayBeNone) {
    Store("Levels", {{"Limit", "1000"}, {"Period", "Day"}, {"Warn", " 100, 80,80 "}});
    EXPECT_EQ(ReadOne().Value->Warn, (std::vector<int32_t>{80, 100}));
    Store("Levels", {{"Warn", ""}});
    EXPECT_EQ(ReadOne().Value->Warn, std::vector<int32_t>{});
}

TEST_F(QuotaStore, ADayIgnoresItsStart) {
    Store("Today", {{"Limit", "1000"}, {"Period", "Day"}, {"Start", "banana"}});
    EXPECT_TRUE(ReadOne().Value.has_value());
}

TEST_F(QuotaStore, ABadValueSkipsThatQuotaWithItsFaultAndNoOther) {
    const struct {
        const char* key;
        const char* value;
        const char* fault;
    } cases[] = {
        {"Limit", "0", "the limit \"0\" is not a number of bytes from 1 to 1152921504606846976"},
        {"Limit", "-5", "the limit \"-5\" is not a number of bytes from 1 to 1152921504606846976"},
        {"Limit", "1152921504606846977",
         "the limit \"1152921504606846977\" is not a number of bytes from 1 to "
         "1152921504606846976"},
        {"Limit", "99999999999999999999",
         "the limit \"99999999999999999999\" is not a number of bytes from 1 to "
         "1152921504606846976"},
        {"Limit", "5 GB", "the limit \"5 GB\" is not a number of bytes from 1 to 1152921504606846976"},
        {"Period", "Year", "the period \"Year\" is not Day, Week, Month or Days"},
        {"Start", "32", "the start \"32\" is not a billing day from 1 to 31"},
        {"Start", "0", "the start \"0\" is not a billing day from 1 to 31"},
        {"Count", "Both", "the count \"Both\" is not In, Out or Total"},
        {"Warn", "80,,100",
         "the warning levels \"80,,100\" are not percentages from 1 to 999 separated by commas"},
        {"Warn", "80;100",
         "the warning levels \"80;100\" are not percentages from 1 to 999 separated by commas"},
        {"Warn", "1000", "the warning levels \"1000\" are not percentages from 1 to 999 separated by commas"},
    };
    Store("A good one", {{"Limit", "1000"}, {"Period", "Day"}});
    for (const auto& c : cases) {
        Store("Bad",
              {{"Limit", "1000"}, {"Period", "Month"}, {"Start", "15"}, {"Warn", "80"}, {c.key, c.value}});
        const auto quotas = ReadQuotas(kHKeyCurrentUser, kTitle);
        ASSERT_EQ(quotas.size(), 2u);
        const StoredQuota& bad = quotas[0].Name == "Bad" ? quotas[0] : quotas[1];
        const StoredQuota& good = quotas[0].Name == "Bad" ? quotas[1] : quotas[0];
        EXPECT_FALSE(bad.Value.has_value()) << c.value;
        EXPECT_EQ(bad.Fault, c.fault);
        EXPECT_TRUE(good.Value.has_value()) << c.value;
        DeleteQuota(kHKeyCurrentUser, kTitle, "Bad");
    }
    EXPECT_EQ(Stored("A good one", "Limit"), "1000");
}

TEST_F(QuotaStore, MissingRequiredValuesAreFaults) {
    Store("NoLimit", {{"Period", "Day"}});
    EXPECT_EQ(ReadOne().Fault, "the limit is missing");
    DeleteQuota(kHKeyCurrentUser, kTitle, "NoLimit");
    Store("NoPeriod", {{"Limit", "5"}});
    EXPECT_EQ(ReadOne().Fault, "the period is missing");
    DeleteQuota(kHKeyCurrentUser, kTitle, "NoPeriod");
    Store("NoDays", {{"Limit", "5"}, {"Period", "Days"}});
    EXPECT_EQ(ReadOne().Fault, "the number of days is missing");
    Store("NoDays", {{"Start", "1000"}});
    EXPECT_EQ(ReadOne().Fault, "the start \"1000\" is not a number of days from 1 to 999");
    DeleteQuota(kHKeyCurrentUser, kTitle, "NoDays");
    Store("Weekday", {{"Limit", "5"}, {"Period", "Week"}, {"Start", "8"}});
    EXPECT_EQ(ReadOne().Fault, "the start \"8\" is not a weekday from 1 (Monday) to 7");
}

TEST_F(QuotaStore, DeletingTakesOnlyThatQuota) {
    Quota other = Mobile();
    other.Name = "Other";
    WriteQuota(kHKeyCurrentUser, kTitle, Mobile());
    WriteQuota(kHKeyCurrentUser, kTitle, other);
    DeleteQuota(kHKeyCurrentUser, kTitle, "Mobile");
    EXPECT_EQ(ReadOne().Name, "Other");
    DeleteQuota(kHKeyCurrentUser, kTitle, "");
    EXPECT_EQ(ReadOne().Name, "Other");
}

TEST_F(QuotaStore, ANameThatCannotBeAKeyIsRefused) {
    Quota quota = Mobile();
    quota.Name = "Mobile\\Data";
    EXPECT_EQ(RaisedError([&] { WriteQuota(kHKeyCurrentUser, kTitle, quota); }),
              "5 WriteQuota: The quota name \"Mobile\\Data\" cannot be stored.");
    EXPECT_FALSE(IsStorableQuotaName("  ", kTitle));
    // The whole path below the root holds at most 255 characters.
    const size_t room = 255 - std::string("Software\\VantorelQuotaTest\\Quotas\\").size();
    EXPECT_TRUE(IsStorableQuotaName(std::string(room, 'x'), kTitle));
    EXPECT_FALSE(IsStorableQuotaName(std::string(room + 1, 'x'), kTitle));
}
