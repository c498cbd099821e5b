#pragma once
// What the settings code relies on in the registry (RegistryContract.cpp), held against the in-memory
// registry natively and against the real one under Wine. Each test program supplies these three.
#include "settings/RegistryApi.h"

#include <string>

IRegistryApi& RegistryUnderTest();
// Sets a variable of the environment that expansion sees.
void SetTestEnvironment(const std::string& name, const std::string& value);
// The keys opened and not closed yet, or -1 where the registry cannot tell.
int OpenKeysLeft();
