#pragma once
#include "settings/RegistryApi.h"

#include <string>

// A registry as security software that guards the Run key leaves it: that key cannot be opened to write.
template <class Registry>
struct GuardedRunKey : Registry {
    int32_t CreateKey(RegHandle parent, const std::string& subKey, uint32_t access, RegHandle& key) override {
        if (subKey.ends_with("\\Run"))
            return kErrorAccessDenied;
        return Registry::CreateKey(parent, subKey, access, key);
    }
};
