#include "settings/mRegistry.h"
#include "base/AppInfo.h"
#include "settings/cRegistry.h"

namespace {
std::string SectionPath(const std::string& title, const std::string& section) {
    return "Software\\" + title + "\\" + section;
}
} // namespace

void WriteSetting(int32_t root, const std::string& title, const std::string& section, const std::string& key,
                  const std::string& value) {
    cRegistry reg;
    reg.SetClassKey(root);
    reg.SetSectionKey(SectionPath(title, section));
    reg.SetValueKey(key);
    reg.SetValueType(static_cast<int32_t>(kRegSz));
    reg.SetValue(value);
}

std::string ReadSetting(int32_t root, const std::string& title, const std::string& section,
                        const std::string& key, const std::string& defaultValue) {
    cRegistry reg;
    reg.SetClassKey(root);
    reg.SetSectionKey(SectionPath(title, section));
    reg.SetValueKey(key);
    reg.SetValueType(static_cast<int32_t>(kRegSz));
    reg.SetDefault(defaultValue);
    return RegistryValueText(reg.Value());
}

void DeleteSetting(int32_t root, const std::string& title, const std::string& section,
                   const std::string& key) {
    if (title.find_first_not_of('\\') == std::string::npos)
        return;
    cRegistry reg;
    reg.SetClassKey(root);
    reg.SetSectionKey(section.empty() ? "Software\\" + title : SectionPath(title, section));
    reg.SetValueKey(key);
    reg.SetValueType(static_cast<int32_t>(kRegSz));
    if (key.empty())
        reg.DeleteKey();
    else
        reg.DeleteValue();
}

std::string ReadAppSetting(const std::string& section, const std::string& key,
                           const std::string& defaultValue) {
    return ReadSetting(kHKeyCurrentUser, kAppTitle, section, key, defaultValue);
}

void WriteAppSetting(const std::string& section, const std::string& key, const std::string& value) {
    WriteSetting(kHKeyCurrentUser, kAppTitle, section, key, value);
}
