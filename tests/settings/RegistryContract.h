#pragma once
#include "settings/RegistryApi.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// A registry the contract tests run against: the in-memory one natively, the real one under Wine.
class RegistryUnderTest {
public:
    virtual ~RegistryUnderTest() = default;
    virtual IRegistryApi& Api() = 0;
    // Sets a variable of the environment that expansion sees.
    virtual void SetEnvironment(const std::string& name, const std::string& value) = 0;
};

struct RegistryParam {
    const char* name;
    std::unique_ptr<RegistryUnderTest> (*make)();
};

inline void PrintTo(const RegistryParam& param, std::ostream* os) {
    *os << param.name;
}
inline std::string RegistryParamName(const testing::TestParamInfo<RegistryParam>& info) {
    return info.param.name;
}

// Passes every call on and counts the keys left open; refuses to delete a whole root, so that a fault
// in the code under test cannot empty the hive it runs against.
class CountingRegistry : public IRegistryApi {
public:
    explicit CountingRegistry(IRegistryApi& inner) : m_inner(inner) {}
    int OpenKeys() const { return m_open; }
    int TreeDeletes() const { return m_treeDeletes; }

    int32_t OpenKey(RegHandle parent, const std::string& subKey, uint32_t access, RegHandle& key) override;
    int32_t CreateKey(RegHandle parent, const std::string& subKey, uint32_t access, RegHandle& key) override;
    int32_t CloseKey(RegHandle key) override;
    int32_t QueryValue(RegHandle key, const std::string& name, uint32_t& type, uint8_t* data,
                       uint32_t& size) override {
        return m_inner.QueryValue(key, name, type, data, size);
    }
    int32_t SetValue(RegHandle key, const std::string& name, uint32_t type, const uint8_t* data,
                     uint32_t size) override {
        return m_inner.SetValue(key, name, type, data, size);
    }
    int32_t DeleteValue(RegHandle key, const std::string& name) override {
        return m_inner.DeleteValue(key, name);
    }
    int32_t QueryMaxValueNameLength(RegHandle key, uint32_t& length) override {
        return m_inner.QueryMaxValueNameLength(key, length);
    }
    int32_t EnumValue(RegHandle key, uint32_t index, char* name, uint32_t& length) override {
        return m_inner.EnumValue(key, index, name, length);
    }
    int32_t EnumKey(RegHandle key, uint32_t index, char* name, uint32_t size) override {
        return m_inner.EnumKey(key, index, name, size);
    }
    int32_t DeleteTree(RegHandle parent, const std::string& subKey) override;
    uint32_t ExpandEnvironment(const std::string& source, char* destination, uint32_t size) override {
        return m_inner.ExpandEnvironment(source, destination, size);
    }

private:
    IRegistryApi& m_inner;
    int m_open = 0;
    int m_treeDeletes = 0;
};

// What a value looks like in the registry itself, read past the code under test.
struct StoredValue {
    int32_t result = 0;
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

class RegistryContract : public testing::TestWithParam<RegistryParam> {
protected:
    void SetUp() override;
    void TearDown() override;

    IRegistryApi& Raw() { return m_target->Api(); }
    CountingRegistry& Counted() { return *m_counted; }
    void SetEnvironment(const std::string& name, const std::string& value) {
        m_target->SetEnvironment(name, value);
    }

    StoredValue Peek(const std::string& path, const std::string& name);
    void Put(const std::string& path, const std::string& name, uint32_t type,
             const std::vector<uint8_t>& data);
    bool Exists(const std::string& path);
    void RemoveRunValue();

private:
    std::unique_ptr<RegistryUnderTest> m_target;
    std::unique_ptr<CountingRegistry> m_counted;
};
