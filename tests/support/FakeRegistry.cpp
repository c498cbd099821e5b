#include "support/FakeRegistry.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {
constexpr uint32_t kAllAccess = 0xF003F; // KEY_ALL_ACCESS: what a root handle grants

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The name at `index` of a listing, as RegEnumKey and RegEnumValue give it.
template <class Map>
int32_t NameAt(const Map& map, uint32_t index, char* name, uint32_t size) {
    if (index >= map.size())
        return kErrorNoMoreItems;
    const std::string& found = std::next(map.begin(), index)->first;
    if (!name || found.size() >= size)
        return kErrorMoreData;
    std::memcpy(name, found.c_str(), found.size() + 1);
    return kErrorSuccess;
}
} // namespace

bool FakeRegistry::NameLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(Fold(x)) < static_cast<unsigned char>(Fold(y));
    });
}

FakeRegistry::FakeRegistry() {
    for (int32_t root : {kHKeyClassesRoot, kHKeyCurrentUser, kHKeyLocalMachine, kHKeyUsers})
        m_roots[RootHandle(root)] = std::make_shared<Node>();
}

FakeRegistry::~FakeRegistry() = default;

// The fault hook's answer to `call` first, where one is named.
int32_t FakeRegistry::Resolve(RegHandle handle, uint32_t needed, Open& open, const char* call,
                              const std::string& name) const {
    if (const int32_t rc = call && Fault ? Fault(call, name) : kErrorSuccess; rc != kErrorSuccess)
        return rc;
    if (const auto root = m_roots.find(handle); root != m_roots.end())
        open = {root->second, kAllAccess};
    else if (const auto it = m_handles.find(handle); it != m_handles.end())
        open = it->second;
    else
        return kErrorInvalidHandle;
    return (open.access & needed) == needed ? kErrorSuccess : kErrorAccessDenied;
}

// As in Windows, a leading backslash is refused, while doubled and trailing ones are passed over.
int32_t FakeRegistry::Walk(RegHandle parent, const std::string& subKey, bool create, Open& at,
                           const char* call) {
    if (const int32_t rc = Resolve(parent, 0, at, call, subKey); rc != kErrorSuccess)
        return rc;
    if (subKey.starts_with('\\'))
        return kErrorBadPathname;
    for (size_t start = 0; start < subKey.size();) {
        const size_t end = std::min(subKey.find('\\', start), subKey.size());
        const std::string part = subKey.substr(start, end - start);
        start = end + 1;
        if (part.empty())
            continue;
        auto& subkeys = at.node->subkeys;
        auto it = subkeys.find(part);
        if (it == subkeys.end()) {
            if (!create)
                return kErrorFileNotFound;
            it = subkeys.emplace(part, std::make_shared<Node>()).first;
        }
        at.node = it->second;
    }
    return kErrorSuccess;
}

int32_t FakeRegistry::OpenOrCreate(RegHandle parent, const std::string& subKey, uint32_t access,
                                   RegHandle& key, bool create) {
    key = 0;
    Open at;
    if (const int32_t rc = Walk(parent, subKey, create, at, create ? "CreateKey" : nullptr);
        rc != kErrorSuccess)
        return rc;
    key = m_nextHandle;
    m_nextHandle += 4;
    m_handles[key] = {at.node, access};
    return kErrorSuccess;
}

int32_t FakeRegistry::OpenKey(RegHandle parent, const std::string& subKey, uint32_t access, RegHandle& key) {
    return OpenOrCreate(parent, subKey, access, key, false);
}

int32_t FakeRegistry::CreateKey(RegHandle parent, const std::string& subKey, uint32_t access,
                                RegHandle& key) {
    return OpenOrCreate(parent, subKey, access, key, true);
}

int32_t FakeRegistry::CloseKey(RegHandle key) {
    return m_roots.count(key) || m_handles.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

int32_t FakeRegistry::QueryValue(RegHandle key, const std::string& name, uint32_t& type, uint8_t* data,
                                 uint32_t& size) {
    Open open;
    if (const int32_t rc = Resolve(key, kKeyQueryValue, open, data ? "QueryValue" : nullptr, name);
        rc != kErrorSuccess)
        return rc;
    const auto it = open.node->values.find(name);
    if (it == open.node->values.end())
        return kErrorFileNotFound;
    const auto& [storedType, bytes] = it->second;
    type = storedType;
    const bool fits = size >= bytes.size();
    if (data && fits)
        std::copy(bytes.begin(), bytes.end(), data);
    size = static_cast<uint32_t>(bytes.size());
    return data && !fits ? kErrorMoreData : kErrorSuccess;
}

int32_t FakeRegistry::SetValue(RegHandle key, const std::string& name, uint32_t type, const uint8_t* data,
                               uint32_t size) {
    Open open;
    const int32_t rc = Resolve(key, kKeySetValue, open, "SetValue", name);
    if (rc == kErrorSuccess)
        open.node->values[name] = {type, std::vector<uint8_t>(data, data + size)};
    return rc;
}

int32_t FakeRegistry::DeleteValue(RegHandle key, const std::string& name) {
    Open open;
    if (const int32_t rc = Resolve(key, kKeySetValue, open, "DeleteValue", name); rc != kErrorSuccess)
        return rc;
    return open.node->values.erase(name) ? kErrorSuccess : kErrorFileNotFound;
}

int32_t FakeRegistry::QueryMaxValueNameLength(RegHandle key, uint32_t& length) {
    Open open;
    length = 0;
    const int32_t rc = Resolve(key, kKeyQueryValue, open);
    if (rc == kErrorSuccess) {
        for (const auto& value : open.node->values)
            length = std::max(length, static_cast<uint32_t>(value.first.size()));
    }
    return rc;
}

int32_t FakeRegistry::EnumValue(RegHandle key, uint32_t index, char* name, uint32_t& length) {
    Open open;
    int32_t rc = Resolve(key, kKeyQueryValue, open);
    if (rc == kErrorSuccess)
        rc = NameAt(open.node->values, index, name, length);
    if (rc == kErrorSuccess)
        length = static_cast<uint32_t>(std::strlen(name));
    return rc;
}

int32_t FakeRegistry::EnumKey(RegHandle key, uint32_t index, char* name, uint32_t size) {
    Open open;
    const int32_t rc = Resolve(key, kKeyEnumerateSubKeys, open, "EnumKey", std::to_string(index));
    return rc != kErrorSuccess ? rc : NameAt(open.node->subkeys, index, name, size);
}

int32_t FakeRegistry::DeleteTree(RegHandle parent, const std::string& subKey) {
    Open key, owner;
    if (const int32_t rc = Walk(parent, subKey, false, key, "DeleteTree"); rc != kErrorSuccess)
        return rc;
    const std::string path = subKey.substr(0, subKey.find_last_not_of('\\') + 1);
    // A root cannot be deleted; refusing here keeps a wrong call from emptying a whole hive.
    if (path.empty())
        return kErrorAccessDenied;
    const size_t cut = path.rfind('\\');
    Walk(parent, path.substr(0, cut == std::string::npos ? 0 : cut), false, owner, nullptr);
    owner.node->subkeys.erase(path.substr(cut + 1));
    return kErrorSuccess;
}

// As Windows: a defined name between two percent signs is replaced; anything else, an undefined
// reference with both its percent signs included, is copied as it is.
uint32_t FakeRegistry::ExpandEnvironment(const std::string& source, char* destination, uint32_t size) {
    std::string out;
    for (size_t i = 0; i < source.size();) {
        const size_t close = source[i] == '%' ? source.find('%', i + 1) : std::string::npos;
        if (close == std::string::npos) {
            out += source[i++];
            continue;
        }
        const auto var = m_environment.find(source.substr(i + 1, close - i - 1));
        out += var != m_environment.end() ? var->second : source.substr(i, close - i + 1);
        i = close + 1;
    }
    if (destination && size > out.size())
        std::memcpy(destination, out.c_str(), out.size() + 1);
    return static_cast<uint32_t>(out.size() + 1);
}
