#include "settings/Win32Registry.h"
#include "settings/RegistryContract.h"

#include <windows.h>

#include <set>

namespace {
class RealUnderTest : public RegistryUnderTest {
public:
    ~RealUnderTest() override {
        for (const auto& name : m_set)
            SetEnvironmentVariableA(name.c_str(), nullptr);
    }
    IRegistryApi& Api() override { return m_api; }
    void SetEnvironment(const std::string& name, const std::string& value) override {
        SetEnvironmentVariableA(name.c_str(), value.c_str());
        m_set.insert(name);
    }

private:
    Win32RegistryApi m_api;
    std::set<std::string> m_set;
};

std::unique_ptr<RegistryUnderTest> MakeReal() {
    return std::make_unique<RealUnderTest>();
}
} // namespace

// The real registry of the test's private Wine prefix, under HKCU\Software\VantorelContractTest.
INSTANTIATE_TEST_SUITE_P(Win32, RegistryContract, testing::Values(RegistryParam{"Win32", MakeReal}),
                         RegistryParamName);
