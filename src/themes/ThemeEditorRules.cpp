#include "themes/ThemeEditorRules.h"
#include "graph/cGraph.h"

#include <algorithm>
#include <limits>

const std::array<ThemeProperty, 6>& ThemeProperties() {
    static const std::array<ThemeProperty, 6> properties = {{
        {"Back Color", 1},
        {"Grid Color", 2},
        {"Send Color", 3},
        {"Receive Color", 4},
        {"Send & Receive Color", 5},
        {"Numerical Display Text Color", 6},
    }};
    return properties;
}

int32_t* PropertyColor(cGraph& graph, int32_t code) {
    switch (code) {
    case 1:
        return &graph.BackColor;
    case 2:
        return &graph.ChartColor;
    case 3:
        return &graph.SendColor;
    case 4:
        return &graph.RecvColor;
    case 5:
        return &graph.BothColor;
    case 6:
        return &graph.NumColor;
    default:
        return nullptr;
    }
}

int32_t PropertyAt(const cGraph& graph, int32_t colour) {
    const int32_t colours[] = {graph.BackColor, graph.ChartColor, graph.SendColor,
                               graph.RecvColor, graph.BothColor,  graph.NumColor};
    for (int32_t i = 0; i < 6; ++i) {
        if (colours[i] == colour)
            return i + 1;
    }
    return 0;
}

void AddSampleData(cGraph& graph, int32_t width) {
    graph.SetAutoScale(true);
    const auto squared = [](int64_t n) {
        return static_cast<int32_t>(std::min<int64_t>(n * n, std::numeric_limits<int32_t>::max()));
    };
    for (int32_t i = 1; i <= width; ++i)
        graph.AddData(squared(width - i), squared(i));
}

ThemeButtons ThemeButtonStates(bool currentSettings, bool canDelete) {
    // "Current Settings" is never deleted, even when a read-only theme happens to carry that name.
    return {currentSettings, !currentSettings && canDelete};
}
