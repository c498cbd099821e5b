#include "settings/SettingsChoices.h"
#include "base/Convert.h"
#include "base/mLogging.h"
#include "graph/cGraph.h"
#include "net/cNetStatus.h"
#include "settings/StartWithWindows.h"
#include "settings/TranslucentAlpha.h"
#include "settings/mRegistry.h"

#include <algorithm>
#include <stdexcept>

namespace {
struct ScaleRow {
    ScaleOption option;
    GraphScale scale;
};
// In the order of ScaleOption.
constexpr ScaleRow kScales[] = {
    {ScaleOption::Auto, {true, 1}},         {ScaleOption::Modem288, {false, 3994}},
    {ScaleOption::Modem336, {false, 4608}}, {ScaleOption::Modem56, {false, 8806}},
    {ScaleOption::Kb500, {false, 512000}},  {ScaleOption::Kb1000, {false, 1024000}},
};

bool StoredFlag(const char* section, const char* key, bool fallback) {
    return TryParseBool(ReadAppSetting(section, key, BoolText(fallback))).value_or(fallback);
}

void WriteFlag(const char* section, const char* key, bool value) {
    WriteAppSetting(section, key, BoolText(value));
}
} // namespace

GraphScale ScaleFor(ScaleOption option) {
    return kScales[static_cast<size_t>(option)].scale;
}

std::optional<ScaleOption> OptionForScale(bool autoScale, int32_t scaleValue) {
    if (autoScale)
        return ScaleOption::Auto;
    for (const auto& row : kScales) {
        if (!row.scale.AutoScale && row.scale.ScaleValue == scaleValue)
            return row.option;
    }
    return std::nullopt;
}

int InterfaceEntryFor(const std::vector<std::string>& names, const std::string& watched) {
    if (watched.empty())
        return 0;
    const auto found = std::find(names.begin(), names.end(), watched);
    return found == names.end() ? 0 : static_cast<int>(found - names.begin()) + 1;
}

std::string InterfaceEntryText(const std::string& name, const std::string& alias) {
    if (alias.empty() || alias == name)
        return name;
    return alias + " (" + name + ")";
}

SettingsChoices ReadSettingsChoices(const cNetStatus& netStat, const cGraph& graph) {
    SettingsChoices c;
    c.Interface = netStat.Interface();
    c.ShowGraph = StoredFlag("Graph", "ShowOnStartup", true);
    c.Startup = StartupRegistered();
    c.Scale = OptionForScale(graph.AutoScale(), graph.ScaleValue());
    c.Numerical = StoredFlag("Graph", "Show Numerical Values", true);
    c.Gridlines = StoredFlag("Graph", "Show Gridlines", true);
    c.Border = !StoredFlag("Position", "NoBorder", false);
    c.OpacityStep = OpacityStepForStored(ReadAppSetting("Graph", "Alpha", "100"));
    return c;
}

bool ApplySettingsChoices(const SettingsChoices& c, cNetStatus& netStat, cGraph& graph) {
    bool written = true;
    const auto write = [&written](auto&& step) { written &= LoggingErrors("frmSettings_Apply", step); };
    // What the user confirms is stored now, not only at Exit: a kill or a power cut keeps it.
    netStat.SetInterface(c.Interface);
    write([&] { WriteAppSetting("Settings", "Interface", netStat.Interface()); });
    write([&] { WriteFlag("Graph", "ShowOnStartup", c.ShowGraph); });
    if (c.Startup)
        write(RegisterStartup);
    else
        write([] {
            UnregisterStartup();
            // A guarded Run key may keep the value: the program would go on starting with Windows.
            if (StartupRegistered())
                throw std::runtime_error("the Run value could not be removed");
        });
    if (c.Scale) {
        const GraphScale scale = ScaleFor(*c.Scale);
        graph.SetAutoScale(scale.AutoScale);
        graph.SetScaleValue(scale.ScaleValue);
        write([&] { WriteFlag("Graph", "AutoScale", graph.AutoScale()); });
        write([&] { WriteAppSetting("Graph", "Scale", std::to_string(graph.ScaleValue())); });
    }
    write([&] { WriteFlag("Graph", "Show Numerical Values", c.Numerical); });
    graph.SetShowNum(c.Numerical);
    write([&] { WriteFlag("Graph", "Show Gridlines", c.Gridlines); });
    graph.SetShowGrid(c.Gridlines);
    write([&] { WriteFlag("Position", "NoBorder", !c.Border); });
    write([&] {
        WriteAppSetting("Graph", "Alpha",
                        std::to_string(c.OpacityStep ? PercentForOpacityStep(*c.OpacityStep) : 100));
    });
    return written;
}
