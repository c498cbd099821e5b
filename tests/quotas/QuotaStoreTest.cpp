#include "quotas/Quota.h"
#include "settings/mRegistry.h"
#include "support/FakeRegistry.h"
#include "support/RaisedError.h"
#include "support/ScopedSeam.h"

#include <gtest/gtest.h>

namespace {
constexpr const char* kTitle = "VantorelQuotaTest";

class QuotaStore : public testing::Test {
protected:
    void Store(const std::string& name, const std::vector<std::pair<std::string, std::string>>& values) {
        for (const auto& [key, value] : values)
            WriteSetting(kHKeyCurrentUser, kTitle, "Quotas\\" + name, key, value);
    }
    std::string Stored(const std::string& key) {
        return ReadSetting(kHKeyCurrentUser, kTitle, "Quotas\\Mobile", key, "(missing)");
    }
    // The one quota read back, or a fault that says there was not one.
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

TEST_F(QuotaStore, AQuotaIsSixTextValuesThatReadBack) {
    WriteQuota(kHKeyCurrentUser, kTitle, Mobile());
    EXPECT_EQ(Stored("Limit"), "5368709120");
    EXPECT_EQ(Stored("Period"), "Month");
    EXPECT_EQ(Stored("Start"), "31");
    EXPECT_EQ(Stored("Count"), "In");
    EXPECT_EQ(Stored("Interface"), "Intel(R) Ethernet");
    EXPECT_EQ(Stored("Warn"), "50,80,100");
    const StoredQuota read = ReadOne();
    ASSERT_TRUE(read.Value.has_value()) << read.Fault;
    EXPECT_EQ(QuotaToTexts(*read.Value).Start, "31");
    EXPECT_EQ(QuotaToTexts(*read.Value).Warn, "50,80,100");
    EXPECT_EQ(m_registry.OpenHandleCount(), 0u);
}

TEST_F(QuotaStore, MissingValuesTakeTheirDefaultsAndLevelsAreSorted) {
    Store("Plain", {{"Limit", "1152921504606846976"}, {"Period", "week"}}); // the largest limit
    const StoredQuota plain = ReadOne();
    ASSERT_TRUE(plain.Value.has_value()) << plain.Fault;
    EXPECT_EQ(QuotaToTexts(*plain.Value).Start, "1");
    EXPECT_EQ(QuotaToTexts(*plain.Value).Count, "Total");
    EXPECT_EQ(QuotaToTexts(*plain.Value).Warn, "80,100");
    Store("Plain", {{"Warn", " 100 , 80,80"}});
    EXPECT_EQ(ReadOne().Value->Warn, (std::vector<int32_t>{80, 100}));
    Store("Plain", {{"Warn", ""}});
    EXPECT_EQ(ReadOne().Value->Warn, std::vector<int32_t>{});
    // A day has no start to be wrong.
    Store("Plain", {{"Period", "Day"}, {"Start", "banana"}});
    EXPECT_TRUE(ReadOne().Value.has_value());
}

TEST_F(QuotaStore, ABadValueSkipsThatQuotaWithItsFaultAndNoOther) {
    const std::string limit = " is not a number of bytes from 1 to 1152921504606846976";
    const struct {
        const char* key;
        const char* value;
        std::string fault;
    } cases[] = {
        {"Limit", "0", "the limit \"0\"" + limit},
        {"Limit", "1152921504606846977", "the limit \"1152921504606846977\"" + limit},
        {"Limit", "5 GB", "the limit \"5 GB\"" + limit},
        {"Limit", "99999999999999999999", "the limit \"99999999999999999999\"" + limit},
        {"Period", "Year", "the period \"Year\" is not Day, Week, Month or Days"},
        {"Start", "32", "the start \"32\" is not a billing day from 1 to 31"},
        {"Start", "0", "the start \"0\" is not a billing day from 1 to 31"},
        {"Count", "Both", "the count \"Both\" is not In, Out or Total"},
        {"Warn", "80,,100",
         "the warning levels \"80,,100\" are not percentages from 1 to 999 separated by commas"},
    };
    Store("A good one", {{"Limit", "1000"}, {"Period", "Day"}});
    for (const auto& c : cases) {
        Store("Bad",
              {{"Limit", "1000"}, {"Period", "Month"}, {"Start", "15"}, {"Warn", "80"}, {c.key, c.value}});
        const auto quotas = ReadQuotas(kHKeyCurrentUser, kTitle);
        ASSERT_EQ(quotas.size(), 2u);
        const StoredQuota& bad = quotas[0].Name == "Bad" ? quotas[0] : quotas[1];
        const StoredQuota& good = quotas[0].Name == "Bad" ? quotas[1] : quotas[0];
        EXPECT_EQ(bad.Fault, c.fault);
        EXPECT_FALSE(bad.Value.has_value()) << c.value;
        EXPECT_TRUE(good.Value.has_value()) << c.value;
        DeleteQuota(kHKeyCurrentUser, kTitle, "Bad");
    }
}

TEST_F(QuotaStore, MissingRequiredValuesAreFaults) {
    Store("NoLimit", {{"Period", "Day"}});
    EXPECT_EQ(ReadOne().Fault, "the limit is missing");
    DeleteQuota(kHKeyCurrentUser, kTitle, "NoLimit");
    Store("NoDays", {{"Limit", "5"}, {"Period", "Days"}});
    EXPECT_EQ(ReadOne().Fault, "the number of days is missing");
}

TEST_F(QuotaStore, DeletingTakesOnlyThatQuotaAndBadNamesAreRefused) {
    Quota other = Mobile();
    other.Name = "Other";
    WriteQuota(kHKeyCurrentUser, kTitle, Mobile());
    WriteQuota(kHKeyCurrentUser, kTitle, other);
    DeleteQuota(kHKeyCurrentUser, kTitle, "Mobile");
    DeleteQuota(kHKeyCurrentUser, kTitle, ""); // would name every quota
    EXPECT_EQ(ReadOne().Name, "Other");
    other.Name = "Mobile\\Data";
    EXPECT_RAISES(5, "WriteQuota", "The quota name \"Mobile\\Data\" cannot be stored.",
                  [&] { WriteQuota(kHKeyCurrentUser, kTitle, other); });
    // The whole path below the root holds at most 255 characters.
    const size_t room = 255 - std::string("Software\\VantorelQuotaTest\\Quotas\\").size();
    EXPECT_TRUE(IsStorableQuotaName(std::string(room, 'x'), kTitle));
    EXPECT_FALSE(IsStorableQuotaName(std::string(room + 1, 'x'), kTitle));
}
