#include "settings/cRegistry.h"
#include "base/AppError.h"
#include "base/AppInfo.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>

namespace {
// The longest name buffer the enumerations grow to: key names are at most 255 characters and value
// names 16383, which in a multi-byte code page may take two bytes each.
constexpr size_t kMaxKeyNameBuffer = 2048;
constexpr size_t kMaxValueNameBuffer = 32768;

// A key opened or created by one operation and closed when it ends, on every path.
class OpenedKey {
public:
    explicit OpenedKey(IRegistryApi& api) : m_api(api) {}
    ~OpenedKey() {
        if (m_open)
            m_api.CloseKey(m_key);
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

    bool Open(int32_t root, const std::string& path, uint32_t access) {
        m_open = m_api.OpenKey(RootHandle(root), path, access, m_key) == kErrorSuccess;
        return m_open;
    }
    bool Create(int32_t root, const std::string& path) {
        m_open = m_api.CreateKey(RootHandle(root), path, kKeyReadWrite, m_key) == kErrorSuccess;
        return m_open;
    }
    RegHandle Handle() const { return m_key; }

private:
    IRegistryApi& m_api;
    RegHandle m_key = 0;
    bool m_open = false;
};

std::string Source() {
    return ExeBaseName() + ".cRegistry";
}

// The type and data of a value; false when it cannot be read or is larger than any setting. A value that
// grows between the size query and the fetch is asked for again.
bool FetchValue(IRegistryApi& api, RegHandle key, const std::string& name, uint32_t& type,
                std::vector<uint8_t>& data) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        uint32_t size = 0;
        int32_t rc = api.QueryValue(key, name, type, nullptr, size);
        if ((rc != kErrorSuccess && rc != kErrorMoreData) || size > kMaxRegistryValueBytes)
            return false;
        data.assign(size, 0);
        if (size == 0)
            return true;
        uint32_t fetched = size;
        rc = api.QueryValue(key, name, type, data.data(), fetched);
        if (rc == kErrorSuccess) {
            data.resize(fetched < size ? fetched : size);
            return true;
        }
        if (rc != kErrorMoreData)
            return false;
    }
    return false;
}

// A percent sign followed, at least two positions on, by another: something to expand.
bool HoldsEnvironmentReference(const std::string& text) {
    const size_t first = text.find('%');
    return first != std::string::npos && text.find('%', first + 2) != std::string::npos;
}

std::string ExpandedText(IRegistryApi& api, const std::string& text) {
    const uint32_t needed = api.ExpandEnvironment(text, nullptr, 0);
    if (needed == 0)
        return text;
    // The ANSI call wants room for one character more than it reports.
    std::vector<char> buffer(static_cast<size_t>(needed) + 1, '\0');
    const uint32_t used = api.ExpandEnvironment(text, buffer.data(), needed + 1);
    // The environment may have changed between the two calls; the text as stored is better than a
    // cut one.
    if (used == 0 || used > needed + 1)
        return text;
    return std::string(buffer.data());
}

uint32_t Dword(const std::vector<uint8_t>& data, bool bigEndian) {
    uint8_t b[4] = {};
    std::memcpy(b, data.data(), data.size() < 4 ? data.size() : 4);
    if (bigEndian)
        return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
    return uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0];
}
} // namespace

std::string RegistryValueText(const RegistryValue& value) {
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    if (const auto* n16 = std::get_if<int16_t>(&value))
        return std::to_string(*n16);
    if (const auto* n32 = std::get_if<int32_t>(&value))
        return std::to_string(*n32);
    if (const auto* bytes = std::get_if<std::vector<uint8_t>>(&value))
        return std::string(bytes->begin(), bytes->end());
    return {};
}

cRegistry::cRegistry() : m_api(&CurrentRegistryApi()) {}
cRegistry::cRegistry(IRegistryApi& api) : m_api(&api) {}

bool cRegistry::KeyExists() const {
    OpenedKey key(*m_api);
    return key.Open(m_classKey, m_sectionKey, kKeyQueryValue);
}

bool cRegistry::CreateKey() {
    OpenedKey key(*m_api);
    if (!key.Create(m_classKey, m_sectionKey))
        throw AppError(kErrRegistry, Source(), "Failed to create registry Key: '" + m_sectionKey);
    return true;
}

bool cRegistry::DeleteKey() {
    if (m_sectionKey.find_first_not_of('\\') == std::string::npos)
        return false;
    return m_api->DeleteTree(RootHandle(m_classKey), m_sectionKey) == kErrorSuccess;
}

bool cRegistry::DeleteValue() {
    OpenedKey key(*m_api);
    if (!key.Open(m_classKey, m_sectionKey, kKeyReadWrite)) {
        throw AppError(kErrRegistry, Source(),
                       "Failed to open key '" + std::to_string(m_classKey) + "',Section: '" + m_sectionKey +
                           "' for delete access");
    }
    return m_api->DeleteValue(key.Handle(), m_valueKey) == kErrorSuccess;
}

RegistryValue cRegistry::Value() {
    OpenedKey key(*m_api);
    if (!key.Open(m_classKey, m_sectionKey, kKeyQueryValue))
        return m_default;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (!FetchValue(*m_api, key.Handle(), m_valueKey, type, data))
        return m_default;
    m_valueType = static_cast<int32_t>(type);
    switch (type) {
    case kRegSz:
    case kRegExpandSz: {
        // Up to the terminator: a value written without one keeps its last character.
        std::string text(data.begin(), data.end());
        text.resize(std::strlen(text.c_str()));
        return type == kRegExpandSz ? ExpandedText(*m_api, text) : text;
    }
    case kRegMultiSz: {
        // The parts keep their separating zeros; only the final terminator goes.
        std::string text(data.begin(), data.end());
        if (!text.empty() && text.back() == '\0')
            text.pop_back();
        return text;
    }
    case kRegDword:
        return static_cast<int32_t>(Dword(data, false));
    case kRegDwordBigEndian:
        return static_cast<int32_t>(Dword(data, true));
    default:
        return data;
    }
}

std::string cRegistry::WriteFailure(const std::string& text) const {
    return "Failed to set registry value Key: '" + std::to_string(m_classKey) + "',Section: '" +
           m_sectionKey + "',Key: '" + m_valueKey + "' to value: '" + text + "'";
}

void cRegistry::SetValue(const RegistryValue& value) {
    const std::string text = RegistryValueText(value);
    OpenedKey key(*m_api);
    if (!key.Create(m_classKey, m_sectionKey))
        throw AppError(kErrRegistry, Source(), WriteFailure(text));
    constexpr size_t kMaxData = std::numeric_limits<uint32_t>::max() - 1;
    int32_t outcome = kErrorInvalidData;
    switch (m_valueType) {
    case static_cast<int32_t>(kRegSz):
    case static_cast<int32_t>(kRegExpandSz):
        if (text.size() < kMaxData) {
            const uint32_t type = HoldsEnvironmentReference(text) ? kRegExpandSz : kRegSz;
            const auto size = static_cast<uint32_t>(text.empty() ? 0 : text.size() + 1);
            outcome = m_api->SetValue(key.Handle(), m_valueKey, type,
                                      reinterpret_cast<const uint8_t*>(text.c_str()), size);
        }
        break;
    case static_cast<int32_t>(kRegBinary): {
        const auto* bytes = std::get_if<std::vector<uint8_t>>(&value);
        if (!bytes)
            throw AppError(kErrRegistry);
        if (bytes->size() <= kMaxData) {
            outcome = m_api->SetValue(key.Handle(), m_valueKey, kRegBinary, bytes->data(),
                                      static_cast<uint32_t>(bytes->size()));
        }
        break;
    }
    case static_cast<int32_t>(kRegDword):
    case static_cast<int32_t>(kRegDwordBigEndian): {
        // Only numbers are written; anything else is reported as a failed write rather than passed
        // over in silence.
        int32_t number = 0;
        if (const auto* n16 = std::get_if<int16_t>(&value))
            number = *n16;
        else if (const auto* n32 = std::get_if<int32_t>(&value))
            number = *n32;
        else
            break;
        const auto bits = static_cast<uint32_t>(number);
        const uint8_t bytes[4] = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                                  static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
        outcome = m_api->SetValue(key.Handle(), m_valueKey, kRegDword, bytes, 4);
        break;
    }
    default:
        break;
    }
    if (outcome != kErrorSuccess)
        throw AppError(kErrRegistryWrite, Source(), WriteFailure(text));
    m_value = value;
}

bool cRegistry::EnumerateValues(std::vector<std::string>& names, int32_t& count) {
    names.clear();
    count = 0;
    OpenedKey key(*m_api);
    uint32_t longest = 0;
    if (!key.Open(m_classKey, m_sectionKey, kKeyQueryValue) ||
        m_api->QueryMaxValueNameLength(key.Handle(), longest) != kErrorSuccess)
        return true;
    std::vector<char> buffer(static_cast<size_t>(longest) + 1);
    for (uint32_t index = 0;;) {
        auto length = static_cast<uint32_t>(buffer.size());
        const int32_t rc = m_api->EnumValue(key.Handle(), index, buffer.data(), length);
        // The longest length is counted in characters of the system's own encoding, so an ANSI name
        // may need more room: grow rather than end the list early.
        if (rc == kErrorMoreData && buffer.size() < kMaxValueNameBuffer) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (rc != kErrorSuccess)
            break;
        names.emplace_back(buffer.data(), length < buffer.size() ? length : buffer.size());
        ++count;
        ++index;
    }
    return true;
}

bool cRegistry::EnumerateSections(std::vector<std::string>& names, int32_t& count) {
    names.clear();
    count = 0;
    bool complete = true;
    try {
        OpenedKey key(*m_api);
        if (key.Open(m_classKey, m_sectionKey, kKeyEnumerateSubKeys)) {
            // Room for the longest key name and its terminator; a longer ANSI name grows the buffer
            // instead of hiding every key after it.
            std::vector<char> buffer(256);
            for (uint32_t index = 0;;) {
                const int32_t rc =
                    m_api->EnumKey(key.Handle(), index, buffer.data(), static_cast<uint32_t>(buffer.size()));
                if (rc == kErrorMoreData && buffer.size() < kMaxKeyNameBuffer) {
                    buffer.resize(buffer.size() * 2);
                    continue;
                }
                if (rc != kErrorSuccess) {
                    // Stopped before the end: the caller must not take the list for all there is.
                    complete = rc == kErrorNoMoreItems;
                    break;
                }
                const auto end = std::find(buffer.begin(), buffer.end(), '\0');
                names.emplace_back(buffer.begin(), end);
                ++count;
                ++index;
            }
        }
    } catch (const std::exception& error) {
        // The key is closed by now.
        names.clear();
        count = 0;
        throw AppError(kErrRegistryEnumerate, Source(), error.what());
    }
    return complete;
}
