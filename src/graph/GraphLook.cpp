#include "graph/GraphLook.h"
#include "base/Convert.h"

namespace {
template <auto Member>
GraphLookField Colour(const char* key, const char* defaultText) {
    return {key, defaultText, [](const GraphLook& look) { return std::to_string(look.*Member); },
            [](GraphLook& look, std::string_view text) {
                const auto value = TryParseInt32(text);
                if (value)
                    look.*Member = *value;
                return value.has_value();
            }};
}

template <auto Member>
GraphLookField Flag(const char* key, const char* defaultText) {
    return {key, defaultText, [](const GraphLook& look) { return BoolText(look.*Member); },
            [](GraphLook& look, std::string_view text) {
                const auto value = TryParseBool(text);
                if (value)
                    look.*Member = *value;
                return value.has_value();
            }};
}
} // namespace

const std::array<GraphLookField, 9>& GraphLookFields() {
    static const std::array<GraphLookField, 9> fields = {
        Colour<&GraphLook::BackColor>("BackColor", "16777215"),
        Colour<&GraphLook::BothColor>("BothColor", "65280"),
        Colour<&GraphLook::ChartColor>("ChartColor", "11579568"),
        Flag<&GraphLook::FillUnderGraph>("FillUnderGraph", "True"),
        Colour<&GraphLook::NumColor>("NumColor", "0"),
        Colour<&GraphLook::RecvColor>("RecvColor", "255"),
        Colour<&GraphLook::SendColor>("SendColor", "16711680"),
        GraphLookField{"Background", "", [](const GraphLook& look) { return look.Background; },
                       [](GraphLook& look, std::string_view text) {
                           look.Background = text;
                           return true;
                       }},
        Flag<&GraphLook::StretchBackground>("StretchBackground", "False"),
    };
    return fields;
}
