#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class cGraph;
class cNetStatus;

// The graph scales the settings offer, in the order Apply tests them.
enum class ScaleOption { Auto, Modem288, Modem336, Modem56, Kb500, Kb1000 };

struct GraphScale {
    bool AutoScale;
    int32_t ScaleValue;
};
GraphScale ScaleFor(ScaleOption option);
// The option a graph's scale stands for; none for a fixed scale that is in no row.
std::optional<ScaleOption> OptionForScale(bool autoScale, int32_t scaleValue);

// The entry of the interface list to select for the watched interface: 0 ("All Interfaces") for the
// empty name and for one that is not listed, else 1 + the first name equal to it, letter case and all.
int InterfaceEntryFor(const std::vector<std::string>& names, const std::string& watched);

// How the interface list shows an interface: the name Windows shows for it, then its description in
// brackets ("Wi-Fi (Intel(R) Wi-Fi 6 AX201 160MHz)"); the description alone where there is no alias
// or the alias says nothing more.
std::string InterfaceEntryText(const std::string& name, const std::string& alias);

// Everything the settings dialog shows and Apply takes up.
struct SettingsChoices {
    std::string Interface; // empty: all interfaces
    bool ShowGraph = true;
    bool Startup = false;
    std::optional<ScaleOption> Scale; // none: leave the graph's scale as it is
    bool Numerical = true;
    bool Gridlines = true;
    bool Border = true;
    std::optional<int> OpacityStep; // none: opaque

    bool operator==(const SettingsChoices&) const = default;
};

// Interface and scale come from the live sampler and graph, the rest from the stored settings; a
// stored text that does not convert shows as that setting's default. Reads only: nothing is written.
SettingsChoices ReadSettingsChoices(const cNetStatus& netStat, const cGraph& graph);
// Apply, in its order: the sampler's interface, ShowOnStartup, the Run value, the graph's scale,
// numerical values and gridlines (setting and graph), NoBorder, Alpha. Reopening the meter so that it
// takes up border and opacity is the caller's step. False when a setting could not be written: the
// steps after it still run, so that one refused write (a guarded Run key) costs no other choice.
bool ApplySettingsChoices(const SettingsChoices& choices, cNetStatus& netStat, cGraph& graph);
