#pragma once
#include <array>
#include <cstdint>

class cGraph;

// The rules of the theme editor that do not depend on its window.

// The first entry of the theme list: the look being edited, not a theme.
inline constexpr char kCurrentSettings[] = "Current Settings";

// A colour the editor can change: the entry text of the property list and the code it carries.
struct ThemeProperty {
    const char* Text;
    int32_t Code;
};
// In list order: Back, Grid, Send, Receive, Send & Receive, read-out text (codes 1 to 6).
const std::array<ThemeProperty, 6>& ThemeProperties();
// The graph's colour field for `code`; null for a code outside 1 to 6.
int32_t* PropertyColor(cGraph& graph, int32_t code);
// The code of the first colour equal to `colour`, in the order Back, Grid, Send, Receive,
// Send & Receive, read-out text; 0 when none is.
int32_t PropertyAt(const cGraph& graph, int32_t colour);

// The sample's data for a surface `width` pixels wide: for i = 1 to width, incoming (width - i)^2 and
// outgoing i^2, with the scale following. The incoming curve falls, the outgoing one rises.
void AddSampleData(cGraph& graph, int32_t width);

// Save As works on the look being edited; Delete on a chosen custom theme that may be deleted.
struct ThemeButtons {
    bool Save;
    bool Delete;
};
ThemeButtons ThemeButtonStates(bool currentSettings, bool canDelete);
