#include "app/GraphSettings.h"
#include "base/Convert.h"
#include "base/mLogging.h"
#include "graph/cGraph.h"
#include "settings/mRegistry.h"

#include <optional>
#include <string_view>

namespace {
constexpr char kSection[] = "Graph";

// A setting read at start: its section, its value name and the text it has when none is stored.
struct StartupSetting {
    const char* Section;
    const char* Key;
    const char* Default;
};
constexpr StartupSetting kAutoScale{kSection, "AutoScale", "True"};
constexpr StartupSetting kScale{kSection, "Scale", "1"};
constexpr StartupSetting kShowNum{kSection, "Show Numerical Values", "True"};
constexpr StartupSetting kShowGrid{kSection, "Show Gridlines", "True"};

void LogUnreadable(const StartupSetting& setting, const std::string& text) {
    WriteLog(std::string(setting.Section) + "\\" + setting.Key + ": \"" + text + "\" unreadable, using " +
             setting.Default);
}

// The stored value through `parse`, or its default when it does not convert.
template <class T>
T Read(const StartupSetting& setting, std::optional<T> (*parse)(std::string_view)) {
    const std::string text = ReadAppSetting(setting.Section, setting.Key, setting.Default);
    if (const auto value = parse(text))
        return *value;
    LogUnreadable(setting, text);
    return *parse(setting.Default);
}
} // namespace

void ReadGraphSettings(cGraph& graph) {
    graph.SetAutoScale(Read(kAutoScale, TryParseBool));
    if (!graph.AutoScale())
        graph.SetScaleValue(Read(kScale, TryParseInt32));
    graph.SetShowNum(Read(kShowNum, TryParseBool));
    graph.SetShowGrid(Read(kShowGrid, TryParseBool));
    GraphLook look;
    for (const GraphLookField& field : GraphLookFields()) {
        const StartupSetting setting{kSection, field.Key, field.Default};
        const std::string text = ReadAppSetting(kSection, field.Key, field.Default);
        if (!field.Parse(look, text)) {
            LogUnreadable(setting, text);
            field.Parse(look, field.Default);
        }
    }
    // The picture is loaded last: whatever stops it is logged, and the rest of the look stays set.
    LoggingErrors("Graph\\Background", [&] { graph.SetLook(look); });
}

bool WriteGraphSettings(const cGraph& graph, const std::string& where) {
    bool written = true;
    const auto write = [&](const char* key, const std::string& value) {
        written &= LoggingErrors(where, [&] { WriteAppSetting(kSection, key, value); });
    };
    write(kAutoScale.Key, BoolText(graph.AutoScale()));
    write(kScale.Key, std::to_string(graph.ScaleValue()));
    const GraphLook look = graph.Look();
    for (const GraphLookField& field : GraphLookFields())
        write(field.Key, field.Text(look));
    return written;
}
