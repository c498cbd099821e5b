#pragma once
#include "settings/RegistryApi.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// An in-memory registry that answers as the Windows registry does where the settings code can tell:
// names compared without regard to case (ASCII letters) and kept as first written, subkeys created with
// their parents, listed in case-insensitive order and deleted with their subtree, the access a handle
// was opened with checked, the same result codes. The same contract tests run against it and against
// the real registry.
class FakeRegistry : public IRegistryApi {
public:
    FakeRegistry();
    ~FakeRegistry() override;

    // The environment that ExpandEnvironmentStrings sees.
    void SetEnvironment(const std::string& name, const std::string& value) { m_environment[name] = value; }
    // The fault hook: asked before each change, each subkey listed and each fetch of a value's data,
    // with the call's name ("CreateKey", "SetValue", "DeleteValue", "DeleteTree", "EnumKey",
    // "QueryValue") and the subkey or value name (for EnumKey the index); a result other than success
    // is answered instead, and nothing changes. It may also throw, as a failing system call can, or
    // change the registry, as another program may between two calls.
    std::function<int32_t(const std::string& call, const std::string& name)> Fault;
    // Every change is refused with access denied, as a locked-down or full registry does.
    void RefuseWrites() {
        Fault = [](const std::string& call, const std::string&) {
            return call == "EnumKey" || call == "QueryValue" ? kErrorSuccess : kErrorAccessDenied;
        };
    }
    // Handles opened and not yet closed: every operation of the settings code must leave this at 0.
    size_t OpenHandleCount() const { return m_handles.size(); }

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

    // Registry names compare without regard to ASCII letter case.
    struct NameLess {
        bool operator()(const std::string& a, const std::string& b) const;
    };

private:
    struct Node {
        std::map<std::string, std::pair<uint32_t, std::vector<uint8_t>>, NameLess> values;
        std::map<std::string, std::shared_ptr<Node>, NameLess> subkeys;
    };
    struct Open {
        std::shared_ptr<Node> node;
        uint32_t access = 0;
    };

    // The key a handle stands for (a root or an open key): access denied when it lacks `needed`.
    int32_t Resolve(RegHandle handle, uint32_t needed, Open& open, const char* call = nullptr,
                    const std::string& name = {}) const;
    int32_t Walk(RegHandle parent, const std::string& subKey, bool create, Open& at, const char* call);
    int32_t OpenOrCreate(RegHandle parent, const std::string& subKey, uint32_t access, RegHandle& key,
                         bool create);

    std::map<RegHandle, std::shared_ptr<Node>> m_roots;
    std::map<RegHandle, Open> m_handles;
    RegHandle m_nextHandle = 0x1000;
    std::map<std::string, std::string, NameLess> m_environment;
};
