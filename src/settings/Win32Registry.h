#pragma once
#include "settings/RegistryApi.h"

// The real registry: each member calls the one Win32 function it stands for and nothing else.
class Win32RegistryApi : public IRegistryApi {
public:
    int32_t OpenKey(RegHandle parent, const std::string& subKey, uint32_t access, RegHandle& key) override;
    int32_t CreateKey(RegHandle parent, const std::string& subKey, uint32_t access, RegHandle& key) override;
    int32_t CloseKey(RegHandle key) override;
    int32_t QueryValue(RegHandle key, const std::string& name, uint32_t& type, uint8_t* data,
                       uint32_t& size) override;
    int32_t SetValue(RegHandle key, const std::string& name, uint32_t type, const uint8_t* data,
                     uint32_t size) override;
    int32_t DeleteValue(RegHandle key, const std::string& name) override;
    int32_t QueryMaxValueNameLength(RegHandle key, uint32_t& length) override;
    int32_t EnumValue(RegHandle key, uint32_t index, char* name, uint32_t& length) override;
    int32_t EnumKey(RegHandle key, uint32_t index, char* name, uint32_t size) override;
    int32_t DeleteTree(RegHandle parent, const std::string& subKey) override;
    uint32_t ExpandEnvironment(const std::string& source, char* destination, uint32_t size) override;
};
