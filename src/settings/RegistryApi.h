#pragma once
#include <cstdint>
#include <string>

// The registry as the settings code needs it: the advapi32/shlwapi/kernel32 calls behind one small
// interface, with the Win32 numbers spelled out so that this header needs no <windows.h>.

// Win32 result codes.
inline constexpr int32_t kErrorSuccess = 0;
inline constexpr int32_t kErrorFileNotFound = 2;
inline constexpr int32_t kErrorAccessDenied = 5;
inline constexpr int32_t kErrorInvalidHandle = 6;
inline constexpr int32_t kErrorInvalidData = 13;
inline constexpr int32_t kErrorInvalidParameter = 87;
inline constexpr int32_t kErrorBadPathname = 161;
inline constexpr int32_t kErrorMoreData = 234;
inline constexpr int32_t kErrorNoMoreItems = 259;
inline constexpr int32_t kErrorKeyDeleted = 1018;

// Registry data types.
inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegDwordBigEndian = 5;
inline constexpr uint32_t kRegLink = 6;
inline constexpr uint32_t kRegMultiSz = 7;

// Access rights.
inline constexpr uint32_t kKeyQueryValue = 0x0001;
inline constexpr uint32_t kKeySetValue = 0x0002;
inline constexpr uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr uint32_t kKeyNotify = 0x0010;
inline constexpr uint32_t kKeyCreateLink = 0x0020;
// Query, set, create subkey, enumerate, notify, create link: what writes and deletes ask for.
inline constexpr uint32_t kKeyReadWrite = 0x003F;

// The predefined root keys, as the signed 32-bit numbers the settings code passes around.
inline constexpr int32_t kHKeyClassesRoot = static_cast<int32_t>(0x80000000u);
inline constexpr int32_t kHKeyCurrentUser = static_cast<int32_t>(0x80000001u);
inline constexpr int32_t kHKeyLocalMachine = static_cast<int32_t>(0x80000002u);
inline constexpr int32_t kHKeyUsers = static_cast<int32_t>(0x80000003u);

// An open key, or a root: wide enough for a handle on every platform.
using RegHandle = uint64_t;
// The handle of a root key: the system sign-extends the 32-bit number to the width of a handle.
constexpr RegHandle RootHandle(int32_t root) {
    return static_cast<RegHandle>(static_cast<int64_t>(root));
}

// One member per Win32 call; each returns what the call returns. Texts are in the ANSI code page.
class IRegistryApi {
public:
    virtual ~IRegistryApi() = default;

    // RegOpenKeyExA.
    virtual int32_t OpenKey(RegHandle parent, const std::string& subKey, uint32_t access, RegHandle& key) = 0;
    // RegCreateKeyExA: reserved 0, empty class, non-volatile, no security descriptor; creates any
    // missing parents.
    virtual int32_t CreateKey(RegHandle parent, const std::string& subKey, uint32_t access,
                              RegHandle& key) = 0;
    // RegCloseKey.
    virtual int32_t CloseKey(RegHandle key) = 0;
    // RegQueryValueExA. `data` may be null to learn type and size. `size`: in, the buffer's bytes;
    // out, the value's bytes (also when the buffer was too small: kErrorMoreData).
    virtual int32_t QueryValue(RegHandle key, const std::string& name, uint32_t& type, uint8_t* data,
                               uint32_t& size) = 0;
    // RegSetValueExA.
    virtual int32_t SetValue(RegHandle key, const std::string& name, uint32_t type, const uint8_t* data,
                             uint32_t size) = 0;
    // RegDeleteValueA.
    virtual int32_t DeleteValue(RegHandle key, const std::string& name) = 0;
    // RegQueryInfoKeyA, asking only for the length of the longest value name (characters, no terminator).
    virtual int32_t QueryMaxValueNameLength(RegHandle key, uint32_t& length) = 0;
    // RegEnumValueA, asking for the name only. `length`: in, the buffer's characters including room
    // for the terminator; out, the name's characters without it.
    virtual int32_t EnumValue(RegHandle key, uint32_t index, char* name, uint32_t& length) = 0;
    // RegEnumKeyA. `size` is the buffer's characters including room for the terminator.
    virtual int32_t EnumKey(RegHandle key, uint32_t index, char* name, uint32_t size) = 0;
    // SHDeleteKeyA: the key with everything below it.
    virtual int32_t DeleteTree(RegHandle parent, const std::string& subKey) = 0;
    // ExpandEnvironmentStringsA: the characters the result needs including its terminator, 0 on failure.
    // `destination` may be null when `size` is 0.
    virtual uint32_t ExpandEnvironment(const std::string& source, char* destination, uint32_t size) = 0;
};

// The registry the settings code uses when none is given. Until a real one is installed (the Win32
// build calls UseSystemServices once at start) it is one that holds nothing and refuses every change,
// so a forgotten set-up shows at the first write instead of losing settings quietly.
IRegistryApi& CurrentRegistryApi();
// Installs `api` (not owned); null puts back the empty one.
void SetRegistryApi(IRegistryApi* api);
