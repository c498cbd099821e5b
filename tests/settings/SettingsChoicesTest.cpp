#include "settings/SettingsChoices.h"
#include "base/mMisc.h"
#include "graph/cGraph.h"
#include "net/cNetStatus.h"
#include "settings/StartWithWindows.h"
#include "settings/mRegistry.h"
#include "support/FakeRegistry.h"
#include "support/GuardedRunKey.h"
#include "support/ScopedSeam.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(ScaleOptions, EachOptionStandsForItsScaleAndEachScaleForItsOption) {
    const std::tuple<ScaleOption, bool, int32_t> rows[] = {
        {ScaleOption::Auto, true, 1},         {ScaleOption::Modem288, false, 3994},
        {ScaleOption::Modem336, false, 4608}, {ScaleOption::Modem56, false, 8806},
        {ScaleOption::Kb500, false, 512000},  {ScaleOption::Kb1000, false, 1024000}};
    for (const auto& [option, autoScale, value] : rows) {
        EXPECT_EQ(ScaleFor(option).AutoScale, autoScale) << value;
        EXPECT_EQ(ScaleFor(option).ScaleValue, value) << value;
        EXPECT_EQ(OptionForScale(autoScale, value), option) << value;
    }
    EXPECT_EQ(OptionForScale(true, 8806), ScaleOption::Auto);
    EXPECT_EQ(OptionForScale(false, 1), std::nullopt);
    EXPECT_EQ(InterfaceEntryFor({"lo", "eth0", "eth0"}, "eth0"), 2) << "the first equal name";
    EXPECT_EQ(InterfaceEntryFor({"lo", "eth0"}, "ETH0"), 0) << "letter case counts";
    EXPECT_EQ(InterfaceEntryFor({"", "lo"}, ""), 0) << "the empty name stands for all interfaces";
}

TEST(InterfaceList, AnEntryShowsTheAliasBeforeTheDescriptionWhenItAddsSomething) {
    EXPECT_EQ(InterfaceEntryText("Intel(R) Wi-Fi 6 AX201 160MHz", "Wi-Fi"),
              "Wi-Fi (Intel(R) Wi-Fi 6 AX201 160MHz)");
    EXPECT_EQ(InterfaceEntryText("eth0", ""), "eth0");
    EXPECT_EQ(InterfaceEntryText("eth0", "eth0"), "eth0") << "Wine's alias is the description";
}

namespace {
class SettingsChoicesTest : public testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(registry.OpenHandleCount(), 0u); }
    static std::string Stored(const char* section, const char* key) {
        return ReadAppSetting(section, key, "?");
    }

    FakeRegistry registry;
    ScopedRegistryApi use{registry};
    cNetStatus net;
    cGraph graph;
};
} // namespace

TEST_F(SettingsChoicesTest, BadStoredTextsShowTheDefaultsAndApplyWritesEveryChoice) {
    for (const char* key : {"ShowOnStartup", "Show Numerical Values", "Show Gridlines", "Alpha"})
        WriteAppSetting("Graph", key, "maybe");
    WriteAppSetting("Position", "NoBorder", "");
    EXPECT_EQ(ReadSettingsChoices(net, graph), SettingsChoices{});

    SetExecutablePath("C:\\Program Files\\Vantorel\\Vantorel.exe");
    const SettingsChoices c{"eth0", false, true, ScaleOption::Modem56, false, false, false, 9};
    ApplySettingsChoices(c, net, graph);
    EXPECT_EQ(StartupCommand(), "\"C:\\Program Files\\Vantorel\\Vantorel.exe\"");
    // The interface and the scale are stored at once too, not left for Exit.
    for (const auto& [section, key, text] : {std::tuple{"Graph", "ShowOnStartup", "False"},
                                             {"Graph", "Show Numerical Values", "False"},
                                             {"Graph", "Show Gridlines", "False"},
                                             {"Position", "NoBorder", "True"},
                                             {"Graph", "Alpha", "50"},
                                             {"Settings", "Interface", "eth0"},
                                             {"Graph", "AutoScale", "False"},
                                             {"Graph", "Scale", "8806"}})
        EXPECT_EQ(Stored(section, key), text) << key;
    EXPECT_EQ(ReadSettingsChoices(net, graph), c) << "sampler, graph, store and Run value read back";

    // No scale option leaves the graph's scale as it is.
    ApplySettingsChoices(SettingsChoices{}, net, graph);
    EXPECT_EQ(graph.ScaleValue(), 8806);
    EXPECT_EQ(Stored("Graph", "Alpha"), "100");
    EXPECT_EQ(Stored("Position", "NoBorder"), "False");
    EXPECT_FALSE(StartupRegistered());
    SetExecutablePath("C:\\Vantorel\\Vantorel.exe");
}

TEST_F(SettingsChoicesTest, ARefusedRunKeyCostsNoOtherChoice) {
    registry.Fault = GuardedRunKeyFault;
    SettingsChoices c{"eth0", false, true, ScaleOption::Kb500, false, false, false, 9};
    EXPECT_FALSE(ApplySettingsChoices(c, net, graph));
    c.Startup = false;
    EXPECT_EQ(ReadSettingsChoices(net, graph), c);
    EXPECT_TRUE(ApplySettingsChoices(c, net, graph)) << "nothing to write under Run";
}

// Security software may also keep a Run value from being removed: unticking start-up then fails.
TEST_F(SettingsChoicesTest, ARunValueThatCannotBeRemovedIsReported) {
    registry.Fault = [](const std::string& call, const std::string&) {
        return call == "DeleteValue" ? kErrorAccessDenied : kErrorSuccess;
    };
    RegisterStartup();
    EXPECT_FALSE(ApplySettingsChoices(SettingsChoices{}, net, graph));
    EXPECT_TRUE(StartupRegistered());
}
