#pragma once
#include "settings/RegistryApi.h"

#include <cstdint>
#include <string>

// A registry as security software that guards the Run key leaves it: that key cannot be opened to write.
inline bool IsGuardedRunKey(const std::string& subKey) {
    return subKey.ends_with("\\Run");
}

// The guard as the fake registry's fault hook.
inline int32_t GuardedRunKeyFault(const std::string& call, const std::string& name) {
    return call == "CreateKey" && IsGuardedRunKey(name) ? kErrorAccessDenied : kErrorSuccess;
}

// The same guard over the system's registry, for the tests that run the program under Wine.
template <class Registry>
struct GuardedRunKey : Registry {
    int32_t CreateKey(RegHandle parent, const std::string& subKey, uint32_t access, RegHandle& key) override {
        if (IsGuardedRunKey(subKey))
            return kErrorAccessDenied;
        return Registry::CreateKey(parent, subKey, access, key);
    }
};
