#pragma once
#include "settings/RegistryApi.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// A value that carries its own kind: empty, text, 16-bit or 32-bit number, or bytes.
using RegistryValue = std::variant<std::monostate, std::string, int16_t, int32_t, std::vector<uint8_t>>;

// The text form of a value: numbers in decimal, bytes one character each, empty as "".
std::string RegistryValueText(const RegistryValue& value);

// The largest value read, in bytes: more than any setting the program writes. A larger value (another
// program's, or a planted one) reads as absent, so that its default applies.
inline constexpr uint32_t kMaxRegistryValueBytes = 64 * 1024;

// Error numbers raised by cRegistry (source: ExeBaseName() + ".cRegistry").
inline constexpr int32_t kErrRegistry = 26001;
inline constexpr int32_t kErrRegistryWrite = static_cast<int32_t>(0x800469A9u);
inline constexpr int32_t kErrRegistryEnumerate = static_cast<int32_t>(0x800469AAu);

// Addresses one registry value at a time: set ClassKey, SectionKey and ValueKey, then read or write
// Value, delete the value or the key, or list the key's values or subkeys. Every operation opens the
// key, does its one job and closes it again; no handle is held between calls.
class cRegistry {
public:
    // Works on the program's registry (CurrentRegistryApi) or on the one given.
    cRegistry();
    explicit cRegistry(IRegistryApi& api);

    // True when the key can be opened for reading.
    bool KeyExists() const;
    // Creates the key with any missing parents; raises kErrRegistry when it cannot.
    bool CreateKey();
    // Deletes the key with everything below it; false when that failed. An empty section key is
    // refused (false): it would name the whole root.
    bool DeleteKey();
    // Deletes the value named by ValueKey; false when it is not there. Raises kErrRegistry when the
    // key cannot be opened.
    bool DeleteValue();

    // Reads the value named by ValueKey and sets ValueType to its type; Default when it cannot be
    // read. Texts come back without their terminator, expandable texts expanded, DWORDs as numbers
    // (big-endian ones turned round), every other type as bytes.
    RegistryValue Value();
    // Writes `value` with the type given by ValueType (1 or 2 text, written as 2 when it holds an
    // environment reference; 3 bytes; 4 or 5 a 32-bit number). Raises kErrRegistry when the key
    // cannot be created and kErrRegistryWrite when the value cannot be written.
    void SetValue(const RegistryValue& value);

    // Names of the key's values and of its direct subkeys; `count` is their number. Names[0] holds
    // the first name. Absent keys give an empty list. False when the system stopped the listing of
    // subkeys before its end: what was listed is not all there is.
    bool EnumerateValues(std::vector<std::string>& names, int32_t& count);
    bool EnumerateSections(std::vector<std::string>& names, int32_t& count);

    int32_t ValueType() const { return m_valueType; }
    void SetValueType(int32_t type) { m_valueType = type; }
    int32_t ClassKey() const { return m_classKey; }
    void SetClassKey(int32_t key) { m_classKey = key; }
    const std::string& SectionKey() const { return m_sectionKey; }
    void SetSectionKey(std::string key) { m_sectionKey = std::move(key); }
    const std::string& ValueKey() const { return m_valueKey; }
    void SetValueKey(std::string key) { m_valueKey = std::move(key); }
    const RegistryValue& Default() const { return m_default; }
    void SetDefault(RegistryValue value) { m_default = std::move(value); }

private:
    std::string WriteFailure(const std::string& text) const;

    IRegistryApi* m_api;
    int32_t m_classKey = 0;
    std::string m_sectionKey;
    std::string m_valueKey;
    RegistryValue m_value;
    RegistryValue m_default;
    int32_t m_valueType = 0;
};
