#include "settings/RegistryApi.h"

#include <cstring>

namespace {
// Holds no key and refuses every change.
class UnavailableRegistry : public IRegistryApi {
public:
    int32_t OpenKey(RegHandle, const std::string&, uint32_t, RegHandle& key) override {
        key = 0;
        return kErrorFileNotFound;
    }
    int32_t CreateKey(RegHandle, const std::string&, uint32_t, RegHandle& key) override {
        key = 0;
        return kErrorAccessDenied;
    }
    int32_t CloseKey(RegHandle) override { return kErrorInvalidHandle; }
    int32_t QueryValue(RegHandle, const std::string&, uint32_t&, uint8_t*, uint32_t&) override {
        return kErrorInvalidHandle;
    }
    int32_t SetValue(RegHandle, const std::string&, uint32_t, const uint8_t*, uint32_t) override {
        return kErrorInvalidHandle;
    }
    int32_t DeleteValue(RegHandle, const std::string&) override { return kErrorInvalidHandle; }
    int32_t QueryMaxValueNameLength(RegHandle, uint32_t&) override { return kErrorInvalidHandle; }
    int32_t EnumValue(RegHandle, uint32_t, char*, uint32_t&) override { return kErrorInvalidHandle; }
    int32_t EnumKey(RegHandle, uint32_t, char*, uint32_t) override { return kErrorInvalidHandle; }
    int32_t DeleteTree(RegHandle, const std::string&) override { return kErrorFileNotFound; }
    uint32_t ExpandEnvironment(const std::string& source, char* destination, uint32_t size) override {
        const auto needed = static_cast<uint32_t>(source.size() + 1);
        if (destination && size >= needed)
            std::memcpy(destination, source.c_str(), needed);
        return needed;
    }
};

UnavailableRegistry g_unavailable;
IRegistryApi* g_current = &g_unavailable;
} // namespace

IRegistryApi& CurrentRegistryApi() {
    return *g_current;
}
void SetRegistryApi(IRegistryApi* api) {
    g_current = api ? api : &g_unavailable;
}
