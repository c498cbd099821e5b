#include "support/FakeRegistry.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int32_t kErrorNoAccess = 998;   // ERROR_NOACCESS: a null buffer with a size
constexpr size_t kMaxKeyNameLength = 255; // characters of one key name
constexpr uint32_t kAllAccess = 0xF003F;  // KEY_ALL_ACCESS: what a root handle grants

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Fold(x) == Fold(y); });
}

bool NameLess(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(Fold(x)) < static_cast<unsigned char>(Fold(y));
    });
}

// The parts of a key path. As in Windows, a leading backslash is refused, while doubled and trailing
// ones are passed over.
int32_t SplitPath(const std::string& path, std::vector<std::string>& parts) {
    parts.clear();
    if (!path.empty() && path.front() == '\\')
        return kErrorBadPathname;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start) {
            if (end - start > kMaxKeyNameLength)
                return kErrorInvalidParameter;
            parts.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return kErrorSuccess;
}
} // namespace

struct FakeRegistry::Node {
    struct Value {
        std::string name;
        uint32_t type;
        std::vector<uint8_t> data;
    };

    std::string name;
    bool deleted = false;
    std::vector<Value> values;                  // in the order first written
    std::vector<std::shared_ptr<Node>> subkeys; // in case-insensitive order

    std::shared_ptr<Node> Child(const std::string& childName) const {
        for (const auto& sub : subkeys) {
            if (SameName(sub->name, childName))
                return sub;
        }
        return nullptr;
    }
    std::shared_ptr<Node> AddChild(const std::string& childName) {
        auto sub = std::make_shared<Node>();
        sub->name = childName;
        const auto at = std::lower_bound(
            subkeys.begin(), subkeys.end(), childName,
            [](const std::shared_ptr<Node>& n, const std::string& s) { return NameLess(n->name, s); });
        subkeys.insert(at, sub);
        return sub;
    }
    Value* FindValue(const std::string& valueName) {
        for (auto& v : values) {
            if (SameName(v.name, valueName))
                return &v;
        }
        return nullptr;
    }
    void MarkDeleted() {
        deleted = true;
        for (auto& sub : subkeys)
            sub->MarkDeleted();
    }
};

FakeRegistry::FakeRegistry() {
    for (int32_t root : {kHKeyClassesRoot, kHKeyCurrentUser, kHKeyLocalMachine, kHKeyUsers})
        m_roots[RootHandle(root)] = std::make_shared<Node>();
}

FakeRegistry::~FakeRegistry() = default;

void FakeRegistry::SetEnvironment(const std::string& name, const std::string& value) {
    for (auto& [n, v] : m_environment) {
        if (SameName(n, name)) {
            v = value;
            return;
        }
    }
    m_environment.emplace_back(name, value);
}

int32_t FakeRegistry::Resolve(RegHandle handle, Open& open) const {
    if (const auto root = m_roots.find(handle); root != m_roots.end()) {
        open = {root->second, kAllAccess};
        return kErrorSuccess;
    }
    const auto it = m_handles.find(handle);
    if (it == m_handles.end())
        return kErrorInvalidHandle;
    if (it->second.node->deleted)
        return kErrorKeyDeleted;
    open = it->second;
    return kErrorSuccess;
}

int32_t FakeRegistry::Lookup(RegHandle parent, const std::string& subKey, bool create,
                             std::shared_ptr<Node>& node) {
    Open start;
    if (const int32_t rc = Resolve(parent, start); rc != kErrorSuccess)
        return rc;
    std::vector<std::string> parts;
    if (const int32_t rc = SplitPath(subKey, parts); rc != kErrorSuccess)
        return rc;
    if (create && !parts.empty() && !(start.access & kKeyCreateSubKey))
        return kErrorAccessDenied;
    node = start.node;
    for (const auto& part : parts) {
        auto next = node->Child(part);
        if (!next) {
            if (!create)
                return kErrorFileNotFound;
            next = node->AddChild(part);
        }
        node = next;
    }
    return kErrorSuccess;
}

RegHandle FakeRegistry::NewHandle(std::shared_ptr<Node> node, uint32_t access) {
    const RegHandle handle = m_nextHandle;
    m_nextHandle += 4;
    m_handles[handle] = {std::move(node), access};
    return handle;
}

int32_t FakeRegistry::OpenKey(RegHandle parent, const std::string& subKey, uint32_t access, RegHandle& key) {
    key = 0;
    std::shared_ptr<Node> node;
    if (const int32_t rc = Lookup(parent, subKey, false, node); rc != kErrorSuccess)
        return rc;
    key = NewHandle(std::move(node), access);
    return kErrorSuccess;
}

int32_t FakeRegistry::CreateKey(RegHandle parent, const std::string& subKey, uint32_t access,
                                RegHandle& key) {
    key = 0;
    if (const int32_t rc = Faulted("CreateKey", subKey); rc != kErrorSuccess)
        return rc;
    std::shared_ptr<Node> node;
    if (const int32_t rc = Lookup(parent, subKey, true, node); rc != kErrorSuccess)
        return rc;
    key = NewHandle(std::move(node), access);
    return kErrorSuccess;
}

int32_t FakeRegistry::CloseKey(RegHandle key) {
    if (m_roots.count(key))
        return kErrorSuccess;
    return m_handles.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

int32_t FakeRegistry::QueryValue(RegHandle key, const std::string& name, uint32_t& type, uint8_t* data,
                                 uint32_t& size) {
    if (const int32_t rc = data ? Faulted("QueryValue", name) : kErrorSuccess; rc != kErrorSuccess)
        return rc;
    Open open;
    if (const int32_t rc = Resolve(key, open); rc != kErrorSuccess)
        return rc;
    if (!(open.access & kKeyQueryValue))
        return kErrorAccessDenied;
    const Node::Value* value = open.node->FindValue(name);
    if (!value)
        return kErrorFileNotFound;
    type = value->type;
    const auto needed = static_cast<uint32_t>(value->data.size());
    if (data) {
        if (size < needed) {
            size = needed;
            return kErrorMoreData;
        }
        std::copy(value->data.begin(), value->data.end(), data);
    }
    size = needed;
    return kErrorSuccess;
}

int32_t FakeRegistry::SetValue(RegHandle key, const std::string& name, uint32_t type, const uint8_t* data,
                               uint32_t size) {
    if (const int32_t rc = Faulted("SetValue", name); rc != kErrorSuccess)
        return rc;
    Open open;
    if (const int32_t rc = Resolve(key, open); rc != kErrorSuccess)
        return rc;
    if (!(open.access & kKeySetValue))
        return kErrorAccessDenied;
    if (!data && size > 0)
        return kErrorNoAccess;
    std::vector<uint8_t> bytes(data, data + size);
    if (Node::Value* existing = open.node->FindValue(name)) {
        existing->type = type;
        existing->data = std::move(bytes);
    } else {
        open.node->values.push_back({name, type, std::move(bytes)});
    }
    return kErrorSuccess;
}

int32_t FakeRegistry::DeleteValue(RegHandle key, const std::string& name) {
    if (const int32_t rc = Faulted("DeleteValue", name); rc != kErrorSuccess)
        return rc;
    Open open;
    if (const int32_t rc = Resolve(key, open); rc != kErrorSuccess)
        return rc;
    if (!(open.access & kKeySetValue))
        return kErrorAccessDenied;
    auto& values = open.node->values;
    const auto it = std::find_if(values.begin(), values.end(),
                                 [&](const Node::Value& v) { return SameName(v.name, name); });
    if (it == values.end())
        return kErrorFileNotFound;
    values.erase(it);
    return kErrorSuccess;
}

int32_t FakeRegistry::QueryMaxValueNameLength(RegHandle key, uint32_t& length) {
    Open open;
    if (const int32_t rc = Resolve(key, open); rc != kErrorSuccess)
        return rc;
    if (!(open.access & kKeyQueryValue))
        return kErrorAccessDenied;
    size_t longest = 0;
    for (const auto& v : open.node->values)
        longest = std::max(longest, v.name.size());
    length = static_cast<uint32_t>(longest);
    return kErrorSuccess;
}

int32_t FakeRegistry::EnumValue(RegHandle key, uint32_t index, char* name, uint32_t& length) {
    Open open;
    if (const int32_t rc = Resolve(key, open); rc != kErrorSuccess)
        return rc;
    if (!(open.access & kKeyQueryValue))
        return kErrorAccessDenied;
    const auto& values = open.node->values;
    if (index >= values.size())
        return kErrorNoMoreItems;
    const std::string& found = values[index].name;
    if (!name || found.size() >= length)
        return kErrorMoreData;
    std::memcpy(name, found.c_str(), found.size() + 1);
    length = static_cast<uint32_t>(found.size());
    return kErrorSuccess;
}

int32_t FakeRegistry::EnumKey(RegHandle key, uint32_t index, char* name, uint32_t size) {
    if (const int32_t rc = Faulted("EnumKey", std::to_string(index)); rc != kErrorSuccess)
        return rc;
    Open open;
    if (const int32_t rc = Resolve(key, open); rc != kErrorSuccess)
        return rc;
    if (!(open.access & kKeyEnumerateSubKeys))
        return kErrorAccessDenied;
    const auto& subkeys = open.node->subkeys;
    if (index >= subkeys.size())
        return kErrorNoMoreItems;
    const std::string& found = subkeys[index]->name;
    if (!name || found.size() >= size)
        return kErrorMoreData;
    std::memcpy(name, found.c_str(), found.size() + 1);
    return kErrorSuccess;
}

int32_t FakeRegistry::DeleteTree(RegHandle parent, const std::string& subKey) {
    if (const int32_t rc = Faulted("DeleteTree", subKey); rc != kErrorSuccess)
        return rc;
    std::vector<std::string> parts;
    if (const int32_t rc = SplitPath(subKey, parts); rc != kErrorSuccess)
        return rc;
    // A root cannot be deleted; refusing here keeps a wrong call from emptying a whole hive.
    if (parts.empty())
        return kErrorAccessDenied;
    std::string parentPath;
    for (size_t i = 0; i + 1 < parts.size(); ++i)
        parentPath += parts[i] + "\\";
    std::shared_ptr<Node> owner;
    if (const int32_t rc = Lookup(parent, parentPath, false, owner); rc != kErrorSuccess)
        return rc;
    auto& subkeys = owner->subkeys;
    const auto it = std::find_if(subkeys.begin(), subkeys.end(), [&](const std::shared_ptr<Node>& n) {
        return SameName(n->name, parts.back());
    });
    if (it == subkeys.end())
        return kErrorFileNotFound;
    (*it)->MarkDeleted();
    subkeys.erase(it);
    return kErrorSuccess;
}

uint32_t FakeRegistry::ExpandEnvironment(const std::string& source, char* destination, uint32_t size) {
    // As Windows: a defined name between two percent signs is replaced; anything else, an undefined
    // reference with both its percent signs included, is copied as it is.
    std::string out;
    size_t i = 0;
    while (i < source.size()) {
        if (source[i] != '%') {
            out += source[i++];
            continue;
        }
        const size_t close = source.find('%', i + 1);
        if (close == std::string::npos) {
            out += source.substr(i);
            break;
        }
        const std::string name = source.substr(i + 1, close - i - 1);
        const auto var = std::find_if(m_environment.begin(), m_environment.end(), [&](const auto& e) {
            return !name.empty() && SameName(e.first, name);
        });
        out += var != m_environment.end() ? var->second : source.substr(i, close - i + 1);
        i = close + 1;
    }
    const auto needed = static_cast<uint32_t>(out.size() + 1);
    if (destination && size > 0) {
        const size_t n = std::min<size_t>(out.size(), size - 1);
        std::memcpy(destination, out.data(), n);
        destination[n] = '\0';
    }
    return needed;
}
