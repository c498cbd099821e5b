#include "settings/Win32Registry.h"

#include <shlwapi.h>
#include <windows.h>

namespace {
HKEY Key(RegHandle handle) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(handle));
}
RegHandle Handle(HKEY key) {
    return static_cast<RegHandle>(reinterpret_cast<ULONG_PTR>(key));
}
} // namespace

// The predefined roots must keep the values the portable code gives them.
static_assert(static_cast<uint32_t>(kHKeyCurrentUser) == 0x80000001u);
static_assert(kRegExpandSz == REG_EXPAND_SZ && kRegMultiSz == REG_MULTI_SZ &&
              kRegDwordBigEndian == REG_DWORD_BIG_ENDIAN);
static_assert(kKeyReadWrite == 0x3F && kKeyEnumerateSubKeys == KEY_ENUMERATE_SUB_KEYS);
static_assert(kErrorMoreData == ERROR_MORE_DATA && kErrorNoMoreItems == ERROR_NO_MORE_ITEMS &&
              kErrorKeyDeleted == ERROR_KEY_DELETED && kErrorBadPathname == ERROR_BAD_PATHNAME);

int32_t Win32RegistryApi::OpenKey(RegHandle parent, const std::string& subKey, uint32_t access,
                                  RegHandle& key) {
    HKEY opened = nullptr;
    const LONG rc = RegOpenKeyExA(Key(parent), subKey.c_str(), 0, access, &opened);
    key = rc == ERROR_SUCCESS ? Handle(opened) : 0;
    return rc;
}

int32_t Win32RegistryApi::CreateKey(RegHandle parent, const std::string& subKey, uint32_t access,
                                    RegHandle& key) {
    HKEY created = nullptr;
    SECURITY_ATTRIBUTES security{};
    char emptyClass[1] = "";
    const LONG rc = RegCreateKeyExA(Key(parent), subKey.c_str(), 0, emptyClass, REG_OPTION_NON_VOLATILE,
                                    access, &security, &created, nullptr);
    key = rc == ERROR_SUCCESS ? Handle(created) : 0;
    return rc;
}

int32_t Win32RegistryApi::CloseKey(RegHandle key) {
    return RegCloseKey(Key(key));
}

int32_t Win32RegistryApi::QueryValue(RegHandle key, const std::string& name, uint32_t& type, uint8_t* data,
                                     uint32_t& size) {
    DWORD t = type;
    DWORD n = size;
    const LONG rc = RegQueryValueExA(Key(key), name.c_str(), nullptr, &t, data, &n);
    type = t;
    size = n;
    return rc;
}

int32_t Win32RegistryApi::SetValue(RegHandle key, const std::string& name, uint32_t type, const uint8_t* data,
                                   uint32_t size) {
    return RegSetValueExA(Key(key), name.c_str(), 0, type, data, size);
}

int32_t Win32RegistryApi::DeleteValue(RegHandle key, const std::string& name) {
    return RegDeleteValueA(Key(key), name.c_str());
}

int32_t Win32RegistryApi::QueryMaxValueNameLength(RegHandle key, uint32_t& length) {
    DWORD longest = 0;
    const LONG rc = RegQueryInfoKeyA(Key(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     &longest, nullptr, nullptr, nullptr);
    length = longest;
    return rc;
}

int32_t Win32RegistryApi::EnumValue(RegHandle key, uint32_t index, char* name, uint32_t& length) {
    DWORD n = length;
    const LONG rc = RegEnumValueA(Key(key), index, name, &n, nullptr, nullptr, nullptr, nullptr);
    length = n;
    return rc;
}

int32_t Win32RegistryApi::EnumKey(RegHandle key, uint32_t index, char* name, uint32_t size) {
    return RegEnumKeyA(Key(key), index, name, size);
}

int32_t Win32RegistryApi::DeleteTree(RegHandle parent, const std::string& subKey) {
    return static_cast<int32_t>(SHDeleteKeyA(Key(parent), subKey.c_str()));
}

uint32_t Win32RegistryApi::ExpandEnvironment(const std::string& source, char* destination, uint32_t size) {
    return ExpandEnvironmentStringsA(source.c_str(), destination, size);
}
