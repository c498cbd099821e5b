#pragma once
#include "settings/RegistryApi.h"

#include <cstdint>
#include <string>

// Settings: text values under root\Software\<title>\<section>, named by key. Every setting is stored
// as text (REG_SZ); callers convert to and from text (app/Convert.h). The program passes
// kHKeyCurrentUser and kAppTitle; the Run key is reached with the title
// "Microsoft\Windows\CurrentVersion" and the section "Run".

// Writes the value as text. Raises the cRegistry errors (the key cannot be created, the write fails).
void WriteSetting(int32_t root, const std::string& title, const std::string& section, const std::string& key,
                  const std::string& value);
// The stored text, or `defaultValue` when the value or its key is missing. Never raises a registry
// error. A value of another type comes back as text, an expandable one expanded.
std::string ReadSetting(int32_t root, const std::string& title, const std::string& section,
                        const std::string& key, const std::string& defaultValue);
// Deletes one value, or the whole section key with everything below it when `key` is empty (with an
// empty section too: the program's whole key). Raises kErrRegistry when a value's key cannot be
// opened. An empty title deletes nothing, so that no call can reach Software itself.
void DeleteSetting(int32_t root, const std::string& title, const std::string& section,
                   const std::string& key = {});

// The program's own settings: HKEY_CURRENT_USER\Software\Vantorel\<section>.
std::string ReadAppSetting(const std::string& section, const std::string& key,
                           const std::string& defaultValue);
void WriteAppSetting(const std::string& section, const std::string& key, const std::string& value);
