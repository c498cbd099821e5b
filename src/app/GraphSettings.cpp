#include "app/GraphSettings.h"
#include "app/StartupSettings.h"
#include "base/Convert.h"
#include "base/mLogging.h"
#include "graph/cGraph.h"
#include "settings/mRegistry.h"

namespace {
using namespace startup;
constexpr char kSection[] = "Graph";
} // namespace

void ReadGraphSettings(cGraph& graph) {
    graph.SetAutoScale(ReadStartup(kAutoScale, TryParseBool));
    if (!graph.AutoScale())
        graph.SetScaleValue(ReadStartup(kScale, TryParseInt32));
    graph.SetShowNum(ReadStartup(kShowNum, TryParseBool));
    graph.SetShowGrid(ReadStartup(kShowGrid, TryParseBool));
    GraphLook look;
    for (const GraphLookField& field : GraphLookFields()) {
        const StartupSetting setting{kSection, field.Key, field.Default};
        const std::string text = ReadStartupText(setting);
        if (!field.Parse(look, text)) {
            LogUnreadableSetting(setting, text, field.Default);
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
