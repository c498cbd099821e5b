// The contract against the real registry of the test's private Wine prefix.
#include "settings/Win32Registry.h"
#include "settings/RegistryContract.h"

#include <windows.h>

IRegistryApi& RegistryUnderTest() {
    static Win32RegistryApi api;
    return api;
}
void SetTestEnvironment(const std::string& name, const std::string& value) {
    SetEnvironmentVariableA(name.c_str(), value.c_str());
}
// The real registry keeps no count; the in-memory one checks the same code natively.
int OpenKeysLeft() {
    return -1;
}
