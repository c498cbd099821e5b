#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// How a graph looks: colours (&H00BBGGRR), fill, background picture and stretch. Start-up, unload, the
// theme catalogue and the theme editor all move a look as one of these.
struct GraphLook {
    int32_t BackColor = 0;
    int32_t BothColor = 0;
    int32_t ChartColor = 0;
    bool FillUnderGraph = false;
    int32_t NumColor = 0;
    int32_t RecvColor = 0;
    int32_t SendColor = 0;
    std::string Background;
    bool StretchBackground = false;
};

// One field of a look as the registry holds it: its value name, the text a graph starts from when none
// is stored, and the field as text. Parse leaves the look as it was and gives false for text that does
// not convert.
struct GraphLookField {
    const char* Key;
    const char* Default;
    std::string (*Text)(const GraphLook& look);
    bool (*Parse)(GraphLook& look, std::string_view text);
};

// In the order they are written: BackColor, BothColor, ChartColor, FillUnderGraph, NumColor, RecvColor,
// SendColor, Background, StretchBackground.
const std::array<GraphLookField, 9>& GraphLookFields();
