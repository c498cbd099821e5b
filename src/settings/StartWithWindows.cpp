#include "settings/StartWithWindows.h"
#include "base/AppError.h"
#include "base/AppInfo.h"
#include "base/mMisc.h"
#include "settings/mRegistry.h"

namespace {
constexpr char kRunTitle[] = "Microsoft\\Windows\\CurrentVersion";
constexpr char kRunSection[] = "Run";
constexpr char kAbsent[] = "NOPE";
} // namespace

std::string StartupCommand() {
    std::string command = "\"";
    command += AppPath();
    command += ExeBaseName();
    command += ".exe\"";
    return command;
}

void RegisterStartup() {
    WriteSetting(kHKeyCurrentUser, kRunTitle, kRunSection, kAppTitle, StartupCommand());
}

void UnregisterStartup() {
    IgnoringErrors([] { DeleteSetting(kHKeyCurrentUser, kRunTitle, kRunSection, kAppTitle); });
}

bool StartupRegistered() {
    return ReadSetting(kHKeyCurrentUser, kRunTitle, kRunSection, kAppTitle, kAbsent) != kAbsent;
}
