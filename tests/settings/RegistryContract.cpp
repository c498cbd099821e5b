// One suite for the in-memory registry and the real one: what passes here holds for both.
#include "settings/RegistryContract.h"
#include "base/AppInfo.h"
#include "settings/cRegistry.h"
#include "settings/mRegistry.h"
#include "support/RaisedError.h"
#include "support/ScopedSeam.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using Bytes = std::vector<uint8_t>;
using Names = std::vector<std::string>;

namespace {
const std::string kTitle = "VantorelContractTest";
const std::string kTestKey = "Software\\" + kTitle;
const RegHandle kUser = RootHandle(kHKeyCurrentUser);

Bytes Sz(const std::string& s) {
    Bytes b(s.begin(), s.end());
    b.push_back(0);
    return b;
}

// An open key of the registry under test, closed at the end of the scope.
struct Key {
    Key(const std::string& path, uint32_t access, bool create = false) {
        rc = create ? api.CreateKey(kUser, path, access, handle) : api.OpenKey(kUser, path, access, handle);
    }
    ~Key() {
        if (rc == kErrorSuccess)
            api.CloseKey(handle);
    }
    IRegistryApi& api = RegistryUnderTest();
    RegHandle handle = 0;
    int32_t rc = 0;
};

// What a value looks like in the registry itself, read past the code under test.
struct Stored {
    int32_t result = 0;
    uint32_t type = 0;
    Bytes data;
};

class RegistryContract : public testing::Test {
protected:
    void SetUp() override {
        SetExeBaseName("Meter");
        Clean();
    }
    void TearDown() override {
        if (const int left = OpenKeysLeft(); left >= 0) {
            EXPECT_EQ(left, 0) << "a key was left open";
        }
        Clean();
        SetExeBaseName(kAppTitle);
    }
    void Clean() { api.DeleteTree(kUser, kTestKey); }

    Stored Peek(const std::string& path, const std::string& name) {
        Stored v;
        Key key(path, kKeyQueryValue);
        uint32_t size = 0;
        v.result = key.rc ? key.rc : api.QueryValue(key.handle, name, v.type, nullptr, size);
        v.data.resize(v.result ? 0 : size);
        if (size > 0 && v.result == kErrorSuccess)
            v.result = api.QueryValue(key.handle, name, v.type, v.data.data(), size);
        return v;
    }
    void Put(const std::string& path, const std::string& name, uint32_t type, const Bytes& data) {
        Key key(path, kKeyReadWrite, true);
        ASSERT_EQ(api.SetValue(key.handle, name, type, data.data(), static_cast<uint32_t>(data.size())), 0);
    }
    bool Exists(const std::string& path) { return Key(path, kKeyQueryValue).rc == kErrorSuccess; }
    cRegistry Reg(const std::string& section, const std::string& value = {}) {
        cRegistry reg;
        reg.SetClassKey(kHKeyCurrentUser);
        reg.SetSectionKey(section);
        reg.SetValueKey(value);
        return reg;
    }

    IRegistryApi& api = RegistryUnderTest();
    ScopedRegistryApi use{api};
};
} // namespace

// What the settings code relies on in the calls themselves; the rest shows through cRegistry below.
TEST_F(RegistryContract, TheSystemCallsAnswerAsTheSystemDoes) {
    Put(kTestKey + "\\Subkey\\Deep", "LongerName", kRegSz, Sz("abc")); // a new key comes with its parents
    // Names match without regard to case and keep their first spelling.
    Key key("SOFTWARE\\vantorelcontracttest\\SUBKEY\\deep", kKeyReadWrite, true);
    Key deep(kTestKey + "\\Subkey", kKeyEnumerateSubKeys), reader(kTestKey + "\\Subkey", kKeyQueryValue);
    char name[64] = {};
    uint32_t type = 99, size = 0;
    ASSERT_EQ(api.EnumKey(deep.handle, 0, name, sizeof name), kErrorSuccess);
    EXPECT_STREQ(name, "Deep");
    EXPECT_EQ(api.EnumKey(deep.handle, 1, name, sizeof name), kErrorNoMoreItems);
    EXPECT_EQ(api.EnumKey(deep.handle, 0, name, 4), kErrorMoreData);
    // Without a buffer the size is told; with too small a one, "more data" and the room needed.
    ASSERT_EQ(api.QueryValue(key.handle, "LongerName", type, nullptr, size), kErrorSuccess);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, 4u);
    size = 3;
    EXPECT_EQ(api.QueryValue(key.handle, "LongerName", type, reinterpret_cast<uint8_t*>(name), size),
              kErrorMoreData);
    EXPECT_EQ(size, 4u);
    // A handle allows only what it was opened for.
    EXPECT_EQ(api.SetValue(reader.handle, "w", kRegSz, Sz("y").data(), 2), kErrorAccessDenied);
    EXPECT_EQ(api.EnumKey(reader.handle, 0, name, sizeof name), kErrorAccessDenied);
    EXPECT_EQ(api.QueryValue(deep.handle, "LongerName", type, nullptr, size), kErrorAccessDenied);
    EXPECT_EQ(api.DeleteValue(deep.handle, "LongerName"), kErrorAccessDenied);
}

// ---- cRegistry ----

TEST_F(RegistryContract, ValuesAreStoredAsTheirTypeSaysAndReadBack) {
    SetTestEnvironment("VANTORELTESTDIR", "C:\\Meter");
    SetTestEnvironment("VANTORELEMPTY", "");
    const struct {
        uint32_t type;
        RegistryValue value;
        uint32_t storedType;
        Bytes stored;
        RegistryValue read;
    } cases[] = {
        {kRegSz, std::string("hello"), kRegSz, Sz("hello"), std::string("hello")},
        {kRegSz, std::string(), kRegSz, {}, std::string()}, // an empty text has no terminator either
        {kRegSz, std::string("%VANTORELTESTDIR%\\a"), kRegExpandSz, Sz("%VANTORELTESTDIR%\\a"),
         std::string("C:\\Meter\\a")},
        {kRegSz, std::string("%VANTORELEMPTY%"), kRegExpandSz, Sz("%VANTORELEMPTY%"), std::string()},
        // The shortest reference, one letter between the signs; an undefined name is left as it stands.
        {kRegExpandSz, std::string("%x%"), kRegExpandSz, Sz("%x%"), std::string("%x%")},
        // A reference needs a second percent sign at least two places after the first.
        {kRegExpandSz, std::string("50%"), kRegSz, Sz("50%"), std::string("50%")},
        {kRegExpandSz, std::string("a%%b"), kRegSz, Sz("a%%b"), std::string("a%%b")},
        {kRegDword, int32_t{-5}, kRegDword, {0xFB, 0xFF, 0xFF, 0xFF}, int32_t{-5}},
    };
    cRegistry reg = Reg(kTestKey, "Value");
    for (const auto& c : cases) {
        const std::string text = RegistryValueText(c.value);
        reg.SetValueType(static_cast<int32_t>(c.type));
        reg.SetValue(c.value);
        const Stored stored = Peek(kTestKey, "Value");
        EXPECT_EQ(stored.type, c.storedType) << text;
        EXPECT_EQ(stored.data, c.stored) << text;
        reg.SetValueType(0);
        EXPECT_EQ(reg.Value(), c.read) << text;
        EXPECT_EQ(reg.ValueType(), static_cast<int32_t>(c.storedType)) << text;
    }
}

TEST_F(RegistryContract, ValuesStoredByOthersReadAsTheirType) {
    const struct {
        uint32_t type;
        Bytes data;
        RegistryValue read;
    } cases[] = {
        {kRegSz, {'a', 'b', 'c'}, std::string("abc")}, // no terminator: the last character stays
        {kRegMultiSz, {'a', 0, 'b', 'c', 0, 0}, std::string("a\0bc\0", 5)}, // parts keep their separators
        {kRegMultiSz, {'a', 0, 'b', 'c'}, std::string("a\0bc", 4)},
        {kRegDwordBigEndian, {0x80, 0, 1, 2}, INT32_MIN + 258},
        {kRegNone, {9, 8}, Bytes{9, 8}},
    };
    cRegistry reg = Reg(kTestKey, "Value");
    for (const auto& c : cases) {
        Put(kTestKey, "Value", c.type, c.data);
        EXPECT_EQ(reg.Value(), c.read) << c.type;
        EXPECT_EQ(reg.ValueType(), static_cast<int32_t>(c.type));
    }
}

TEST_F(RegistryContract, AValueLargerThanAnySettingReadsAsAbsent) {
    cRegistry reg = Reg(kTestKey, "Value");
    reg.SetDefault(std::string("default"));
    Put(kTestKey, "Value", kRegSz, Sz(std::string(kMaxRegistryValueBytes - 1, 'x')));
    EXPECT_EQ(RegistryValueText(reg.Value()).size(), kMaxRegistryValueBytes - 1)
        << "the largest that is read";
    Put(kTestKey, "Value", kRegSz, Sz(std::string(kMaxRegistryValueBytes, 'x')));
    EXPECT_EQ(reg.Value(), RegistryValue(std::string("default")));
}

// Failed writes raise with their descriptions and write nothing; deleting is refused where it would
// name the whole root, and enumerating a missing key lists nothing.
TEST_F(RegistryContract, FailedWritesDeletionsAndEnumerations) {
    cRegistry reg = Reg(kTestKey + "\\Graph", "Scale");
    const std::string failed = "Failed to set registry value Key: '-2147483647',Section: '";
    for (const int32_t type : {0, 4}) { // no text type, or a text that is no number
        reg.SetValueType(type);
        SCOPED_TRACE(type);
        EXPECT_RAISES(-2147194455, "Meter.cRegistry",
                      failed + kTestKey + "\\Graph',Key: 'Scale' to value: '1'",
                      [&] { reg.SetValue(std::string("1")); });
    }
    EXPECT_EQ(Peek(kTestKey + "\\Graph", "Scale").result, kErrorFileNotFound);
    reg.SetSectionKey("\\Bad"); // a key that cannot be created
    reg.SetValueType(kRegSz);
    EXPECT_RAISES(26001, "Meter.cRegistry", failed + "\\Bad',Key: 'Scale' to value: '1'",
                  [&] { reg.SetValue(std::string("1")); });
    EXPECT_RAISES(26001, "Meter.cRegistry", "Failed to create registry Key: '\\Bad",
                  [&] { reg.CreateKey(); });

    Put(kTestKey + "\\Keep", "One", kRegSz, Sz("1"));
    Put(kTestKey + "\\Tree\\Beta\\Deeper", "Two", kRegSz, Sz("2"));
    Put(kTestKey + "\\Tree\\alpha", "Two", kRegSz, Sz("2"));
    reg = Reg(kTestKey + "\\Keep", "one");
    Names names{"stale"};
    int32_t count = -1;
    EXPECT_TRUE(reg.EnumerateValues(names, count));
    EXPECT_TRUE(count == 1);
    EXPECT_TRUE(names == Names{"One"});
    EXPECT_TRUE(reg.DeleteValue());
    EXPECT_FALSE(reg.DeleteValue()) << "an existing key without the value";
    reg.SetSectionKey(kTestKey + "\\Tree");
    EXPECT_TRUE(reg.EnumerateSections(names, count));
    EXPECT_TRUE(count == 2);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Names{"Beta", "alpha"}));
    EXPECT_TRUE(reg.DeleteKey());
    EXPECT_FALSE(reg.DeleteKey()) << "already gone";
    EXPECT_TRUE(reg.EnumerateSections(names, count));
    EXPECT_TRUE(count == 0);
    EXPECT_TRUE(names.empty());
    for (const std::string section : {"", "\\", "\\\\"}) {
        reg.SetSectionKey(section);
        EXPECT_FALSE(reg.DeleteKey());
    }
    EXPECT_TRUE(Exists(kTestKey + "\\Keep"));
}

// ---- mRegistry ----

TEST_F(RegistryContract, SettingsReadTheirDefaultsUntilTheFirstWriteCreatesTheKeysAndAreDeleted) {
    const auto read = [](const std::string& section, const std::string& key) {
        return ReadSetting(kHKeyCurrentUser, kTitle, section, key, "-");
    };
    EXPECT_EQ(read("Graph", "Alpha"), "-");
    EXPECT_FALSE(Exists(kTestKey));
    WriteSetting(kHKeyCurrentUser, kTitle, "Themes\\Dark", "BackColor", "75");
    EXPECT_EQ(Peek(kTestKey + "\\Themes\\Dark", "BackColor").data, Sz("75"));
    Put(kTestKey + "\\Graph", "Scale", kRegDword, {0x2C, 0x01, 0, 0}); // another type still reads as text
    EXPECT_EQ(read("Graph", "Scale"), "300");
    EXPECT_EQ(read("Themes\\Dark", "BackColor"), "75");
    DeleteSetting(kHKeyCurrentUser, kTitle, "Graph", "Scale");
    EXPECT_EQ(read("Graph", "Scale"), "-");
    DeleteSetting(kHKeyCurrentUser, kTitle, "Themes", "");
    EXPECT_TRUE(!Exists(kTestKey + "\\Themes"));
    EXPECT_TRUE(Exists(kTestKey + "\\Graph"));
    EXPECT_RAISES(26001, "Meter.cRegistry",
                  "Failed to open key '-2147483647',Section: '" + kTestKey + "\\Themes' for delete access",
                  [] { DeleteSetting(kHKeyCurrentUser, kTitle, "Themes", "BackColor"); });
    DeleteSetting(kHKeyCurrentUser, "", "", ""); // without a title it would name Software itself
    EXPECT_TRUE(Exists(kTestKey));
    DeleteSetting(kHKeyCurrentUser, kTitle, "", "");
    EXPECT_FALSE(Exists(kTestKey));
}
