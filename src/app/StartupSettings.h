#pragma once
#include <optional>
#include <string>
#include <string_view>

// A setting read at start: its section, its value name and the text it has when none is stored.
struct StartupSetting {
    const char* Section;
    const char* Key;
    const char* Default;
};

// Every setting start-up reads, in one place. The look's values come from the graph's field table.
namespace startup {
inline constexpr StartupSetting kLogging{"Settings", "Logging", "False"};
inline constexpr StartupSetting kFirstRun{"Settings", "FirstRun", "1"};
inline constexpr StartupSetting kInterface{"Settings", "Interface", ""};
inline constexpr StartupSetting kAutoScale{"Graph", "AutoScale", "True"};
inline constexpr StartupSetting kScale{"Graph", "Scale", "1"};
inline constexpr StartupSetting kShowNum{"Graph", "Show Numerical Values", "True"};
inline constexpr StartupSetting kShowGrid{"Graph", "Show Gridlines", "True"};
inline constexpr StartupSetting kShowOnStartup{"Graph", "ShowOnStartup", "True"};
} // namespace startup

// The stored text, or the default when none is stored.
std::string ReadStartupText(const StartupSetting& setting);
void LogUnreadableSetting(const StartupSetting& setting, const std::string& text, std::string_view used);

// The stored value through `parse`. Text that does not convert is logged and `fallback` used instead:
// the default, unless the step that reads it is skipped on an error.
template <class T>
T ReadStartup(const StartupSetting& setting, std::optional<T> (*parse)(std::string_view),
              std::optional<std::string_view> fallback = std::nullopt) {
    const std::string text = ReadStartupText(setting);
    if (const auto value = parse(text))
        return *value;
    const std::string_view used = fallback.value_or(setting.Default);
    LogUnreadableSetting(setting, text, used);
    return *parse(used);
}
