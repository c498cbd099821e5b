#include "app/GraphSettings.h"
#include "app/StartupSettings.h"
#include "base/Convert.h"
#include "graph/cGraph.h"
#include "settings/mRegistry.h"
#include "support/FakeLogSystem.h"
#include "support/FakeRegistry.h"
#include "support/ScopedSeam.h"

#include <gtest/gtest.h>

namespace {
class GraphSettings : public testing::Test {
protected:
    FakeRegistry registry;
    ScopedRegistryApi use{registry};
    cGraph graph;
};
} // namespace

TEST_F(GraphSettings, AValueThatDoesNotConvertFallsBackToItsDefault) {
    graph.SetStyle(1); // green on black
    WriteAppSetting("Graph", "BackColor", "1e400");
    WriteAppSetting("Graph", "FillUnderGraph", "maybe");
    WriteAppSetting("Graph", "AutoScale", "perhaps");
    WriteAppSetting("Graph", "NumColor", "255");
    ReadGraphSettings(graph);
    EXPECT_EQ(graph.BackColor, 16777215);
    EXPECT_TRUE(graph.FillUnderGraph);
    EXPECT_TRUE(graph.AutoScale());
    EXPECT_EQ(graph.NumColor, 255);
    EXPECT_EQ(graph.ChartColor, 11579568) << "a missing value is its default";
}

TEST_F(GraphSettings, AValueThatDoesNotConvertIsLogged) {
    FakeLogSystem log;
    const ScopedSeam<ILogSystem*> useLog{CurrentLogSystem, SetLogSystem, &log};
    const ScopedSeam<bool> logging{LoggingSwitch, SetLoggingSwitch, true};
    OpenLog("log");
    WriteAppSetting("Graph", "Scale", "huge");
    WriteAppSetting("Graph", "AutoScale", "False");
    ReadGraphSettings(graph);
    CloseLog();
    EXPECT_NE(log.file.find("Graph\\Scale: \"huge\" unreadable, using 1\r\n"), std::string::npos) << log.file;
}

TEST_F(GraphSettings, AnUnreadableValueWhoseStepIsSkippedTakesTheFallbackNotTheDefault) {
    WriteAppSetting("Graph", "ShowOnStartup", "maybe");
    EXPECT_FALSE(ReadStartup(startup::kShowOnStartup, TryParseBool, "False"));
}

TEST_F(GraphSettings, WhatIsWrittenReadsBackAsTheSameLook) {
    graph.SetStyle(1);
    graph.SetAutoScale(false);
    graph.SetScaleValue(4096);
    graph.StretchBackground = true;
    ASSERT_TRUE(WriteGraphSettings(graph, "test"));
    EXPECT_EQ(ReadAppSetting("Graph", "SendColor", ""), "16742263");
    EXPECT_EQ(ReadAppSetting("Graph", "StretchBackground", ""), "True");
    cGraph again;
    ReadGraphSettings(again);
    EXPECT_EQ(again.ScaleValue(), 4096);
    EXPECT_EQ(again.SendColor, 0xFF7777);
    EXPECT_TRUE(again.StretchBackground);
    EXPECT_FALSE(again.FillUnderGraph);
}

TEST_F(GraphSettings, ARefusedWriteIsReportedAndTheRestStillWritten) {
    registry.Fault = [](const std::string& call, const std::string& name) {
        return call == "SetValue" && name == "BackColor" ? kErrorAccessDenied : kErrorSuccess;
    };
    EXPECT_FALSE(WriteGraphSettings(graph, "test"));
    EXPECT_EQ(ReadAppSetting("Graph", "StretchBackground", "<missing>"), "False");
}
