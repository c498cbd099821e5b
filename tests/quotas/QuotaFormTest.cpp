#include "quotas/QuotaForm.h"
#include "base/Convert.h"
#include "settings/mRegistry.h"
#include "support/FakeRegistry.h"
#include "support/ScopedSeam.h"

#include <gtest/gtest.h>

namespace {
constexpr const char* kTitle = "VantorelQuotaFormTest";

Quota Mobile() {
    Quota quota;
    quota.Name = "Mobile";
    quota.Limit = 5368709120; // 5 GB
    quota.Period = QuotaPeriodKind::Month;
    quota.Start = 15;
    return quota;
}

QuotaStatus Status(uint64_t used, uint64_t forecast) {
    QuotaStatus status;
    status.Used = used;
    status.Percent = 80.6;
    status.Forecast = forecast;
    status.LeftPerDay = 107374182; // 0.1 GB
    return status;
}

class QuotaFormFixture : public testing::Test {
protected:
    void SetUp() override { SetDecimalSeparator('.'); }

    // The quota the form gives, or a quota named after the fault.
    Quota FromForm(const QuotaFormTexts& form, const std::optional<Quota>& original = std::nullopt,
                   const std::vector<std::string>& others = {}) {
        std::string fault;
        const auto quota = QuotaFromForm(form, original, others, kTitle, fault);
        Quota faulty;
        faulty.Name = "fault: " + fault;
        return quota.value_or(faulty);
    }
    std::vector<std::string> StoredNames() {
        std::vector<std::string> names;
        for (const StoredQuota& s : ReadQuotas(kHKeyCurrentUser, kTitle))
            names.push_back(s.Name);
        return names;
    }

    FakeRegistry m_registry;
    ScopedRegistryApi m_scope{m_registry};
};
} // namespace

TEST_F(QuotaFormFixture, ARowShowsUseInTheLimitsUnitAndAFaultInPlaceOfFigures) {
    const QuotaRow row = QuotaRowOf({"Mobile", Mobile(), ""}, Status(4294967296, 6442450944));
    EXPECT_EQ(row.Period, "Month from day 15");
    EXPECT_EQ(row.Limit, "5.0 GB");
    EXPECT_EQ(row.Used, "4.0 GB");
    EXPECT_EQ(row.Percent, "80%");
    EXPECT_EQ(row.Forecast, "6.0 GB");
    EXPECT_EQ(row.LeftPerDay, "0.1 GB");
    EXPECT_EQ(QuotaRowOf({"Mobile", Mobile(), ""}, std::nullopt).Used, "");
    const QuotaRow faulty = QuotaRowOf({"Spare", std::nullopt, "the period is missing"}, std::nullopt);
    EXPECT_EQ(faulty.Period, "Not in use: the period is missing");
    EXPECT_EQ(faulty.Limit, "");
}

TEST_F(QuotaFormFixture, PeriodsReadAsWords) {
    Quota quota = Mobile();
    quota.Period = QuotaPeriodKind::Week;
    quota.Start = 7;
    EXPECT_EQ(PeriodDescription(quota), "Week from Sunday");
    quota.Period = QuotaPeriodKind::Days;
    quota.Start = 1;
    EXPECT_EQ(PeriodDescription(quota), "Last 1 day");
}

TEST_F(QuotaFormFixture, TheBarHoldsAnOverrunAndAForecastBeyondTheLimit) {
    const QuotaBar half = QuotaBarOf(1000, Status(500, 3000));
    EXPECT_DOUBLE_EQ(half.Used, 0.5);
    EXPECT_DOUBLE_EQ(half.Forecast, 1.0);
    EXPECT_FALSE(half.Over);
    const QuotaBar full = QuotaBarOf(1000, Status(1000, 1000));
    EXPECT_TRUE(full.Over);
}

TEST_F(QuotaFormFixture, TheLimitReadsInGigabytesFromOneGigabyteUp) {
    const QuotaFormTexts gb = QuotaFormOf(Mobile());
    EXPECT_EQ(gb.Limit, "5");
    EXPECT_EQ(gb.Unit, LimitUnit::GB);
    Quota small = Mobile();
    small.Limit = 1073741823; // one byte short of 1 GB: 1023.999999 MB
    EXPECT_EQ(QuotaFormOf(small).Unit, LimitUnit::MB);
    EXPECT_EQ(QuotaFormOf(small).Limit, "1024");
}

TEST_F(QuotaFormFixture, AnEnteredLimitBecomesBytesAndOneLeftAsShownKeepsItsOwn) {
    QuotaFormTexts form = NewQuotaForm();
    form.Name = "Phone";
    form.Limit = "1.5";
    EXPECT_EQ(FromForm(form).Limit, 1610612736u);
    form.Limit = "1073741824"; // the largest limit
    EXPECT_EQ(FromForm(form).Limit, 1152921504606846976u);
    Quota odd = Mobile();
    odd.Limit = 1000000; // 0.954 MB as shown
    EXPECT_EQ(QuotaFormOf(odd).Limit, "0.954");
    EXPECT_EQ(FromForm(QuotaFormOf(odd), odd).Limit, 1000000u);
    form = QuotaFormOf(odd);
    form.Limit = "0.5";
    EXPECT_EQ(FromForm(form, odd).Limit, 524288u);
}

TEST_F(QuotaFormFixture, EntriesThatCannotBeStoredAreRefusedWithWhatToCorrect) {
    QuotaFormTexts form = NewQuotaForm();
    form.Name = "mobile";
    EXPECT_EQ(FromForm(form, std::nullopt, {"Mobile"}).Name,
              "fault: A quota named \"mobile\" exists already.");
    form.Name = " ";
    EXPECT_EQ(FromForm(form).Name.substr(0, 15), "fault: The name");
    form.Name = "Phone";
    form.Limit = "0";
    EXPECT_EQ(FromForm(form).Name.substr(0, 16), "fault: The limit");
    form.Limit = "1";
    form.Warn = "80,x";
    EXPECT_EQ(FromForm(form).Name.substr(0, 25), "fault: The warning levels");
}

TEST_F(QuotaFormFixture, AnInterfaceThatIsAwayStaysAChoice) {
    EXPECT_EQ(QuotaInterfaceChoices({"eth0"}, "wlan0"), (std::vector<std::string>{"eth0", "wlan0"}));
    EXPECT_EQ(QuotaInterfaceChoices({"eth0"}, "eth0"), std::vector<std::string>{"eth0"});
}

TEST_F(QuotaFormFixture, ARenameStoresTheNewNameAndDeletesTheOldOneButOneInCaseOnlyKeepsIt) {
    WriteQuota(kHKeyCurrentUser, kTitle, Mobile());
    Quota renamed = Mobile();
    renamed.Name = "MOBILE";
    EXPECT_TRUE(ReplaceQuota(kHKeyCurrentUser, kTitle, renamed, "Mobile"));
    EXPECT_EQ(StoredNames().size(), 1u);
    renamed.Name = "Phone";
    EXPECT_TRUE(ReplaceQuota(kHKeyCurrentUser, kTitle, renamed, "MOBILE"));
    EXPECT_EQ(StoredNames(), std::vector<std::string>{"Phone"});
}

TEST_F(QuotaFormFixture, ARefusedWriteKeepsTheOldQuotaAndLeavesNoHalfNewOne) {
    WriteQuota(kHKeyCurrentUser, kTitle, Mobile());
    m_registry.Fault = [](const std::string& call, const std::string& name) {
        return call == "SetValue" && name == "Count" ? kErrorAccessDenied : kErrorSuccess;
    };
    Quota renamed = Mobile();
    renamed.Name = "Phone";
    EXPECT_ANY_THROW(ReplaceQuota(kHKeyCurrentUser, kTitle, renamed, "Mobile"));
    EXPECT_EQ(StoredNames(), std::vector<std::string>{"Mobile"});
}

TEST_F(QuotaFormFixture, AnAdapterRecordedTwiceIsOfferedOnce) {
    HistoryData history;
    for (uint8_t n : {1, 2}) {
        InterfaceGuid guid;
        guid.bytes.fill(n);
        history.Intern({guid, "Test Adapter", "Ethernet", true}); // the same card after a reinstall
    }
    EXPECT_EQ(RecordedInterfaceNames(history), std::vector<std::string>{"Test Adapter"});
}
