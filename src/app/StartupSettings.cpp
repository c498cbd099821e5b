#include "app/StartupSettings.h"
#include "base/mLogging.h"
#include "settings/mRegistry.h"

std::string ReadStartupText(const StartupSetting& setting) {
    return ReadAppSetting(setting.Section, setting.Key, setting.Default);
}

void LogUnreadableSetting(const StartupSetting& setting, const std::string& text, std::string_view used) {
    WriteLog(std::string(setting.Section) + "\\" + setting.Key + ": \"" + text + "\" unreadable, using " +
             std::string(used));
}
