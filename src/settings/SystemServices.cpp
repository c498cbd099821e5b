#include "settings/SystemServices.h"
#include "base/Win32LogSystem.h"
#include "base/mBenchmark.h"
#include "base/mLogging.h"
#include "settings/RegistryApi.h"
#include "settings/Win32Registry.h"

#include <windows.h>

namespace {
uint32_t SystemTick() {
    return GetTickCount();
}
uint64_t SystemTick64() {
    return GetTickCount64();
}
} // namespace

void UseSystemServices() {
    // Stateless and never destroyed, so that a line logged by a late destructor still has a system.
    static auto* registry = new Win32RegistryApi;
    static auto* logSystem = new Win32LogSystem;
    SetRegistryApi(registry);
    SetLogSystem(logSystem);
    SetTickSource(SystemTick);
    SetTickSource64(SystemTick64);
}
