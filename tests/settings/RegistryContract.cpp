// One suite for the in-memory registry and the real one: what passes here holds for both.
#include "settings/RegistryContract.h"
#include "app/AppError.h"
#include "app/AppInfo.h"
#include "settings/cRegistry.h"
#include "settings/mRegistry.h"

#include <algorithm>
#include <cstring>

namespace {
const std::string kTitle = "VantorelContractTest";
const std::string kTestKey = "Software\\" + kTitle;
const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const RegHandle kUser = RootHandle(kHKeyCurrentUser);

std::vector<uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}
std::vector<uint8_t> Sz(const std::string& s) {
    std::vector<uint8_t> b(s.begin(), s.end());
    b.push_back(0);
    return b;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

cRegistry Reg(IRegistryApi& api, const std::string& section, const std::string& value = {}) {
    cRegistry reg(api);
    reg.SetClassKey(kHKeyCurrentUser);
    reg.SetSectionKey(section);
    reg.SetValueKey(value);
    return reg;
}

// An open key of the registry under test, closed at the end of the scope.
struct Key {
    Key(IRegistryApi& api, const std::string& path, uint32_t access, bool create = false) : api(api) {
        rc = create ? api.CreateKey(kUser, path, access, handle) : api.OpenKey(kUser, path, access, handle);
    }
    ~Key() {
        if (rc == kErrorSuccess)
            api.CloseKey(handle);
    }
    IRegistryApi& api;
    RegHandle handle = 0;
    int32_t rc = 0;
};

template <class F>
AppError Raised(F&& action) {
    try {
        action();
    } catch (const AppError& e) {
        return e;
    }
    ADD_FAILURE() << "no error raised";
    return AppError(0);
}

struct ExeNameGuard {
    explicit ExeNameGuard(const std::string& name) : saved(ExeBaseName()) { SetExeBaseName(name); }
    ~ExeNameGuard() { SetExeBaseName(saved); }
    std::string saved;
};
} // namespace

int32_t CountingRegistry::OpenKey(RegHandle parent, const std::string& subKey, uint32_t access,
                                  RegHandle& key) {
    const int32_t rc = m_inner.OpenKey(parent, subKey, access, key);
    m_open += rc == kErrorSuccess;
    return rc;
}

int32_t CountingRegistry::CreateKey(RegHandle parent, const std::string& subKey, uint32_t access,
                                    RegHandle& key) {
    const int32_t rc = m_inner.CreateKey(parent, subKey, access, key);
    m_open += rc == kErrorSuccess;
    return rc;
}

int32_t CountingRegistry::CloseKey(RegHandle key) {
    --m_open;
    return m_inner.CloseKey(key);
}

int32_t CountingRegistry::DeleteTree(RegHandle parent, const std::string& subKey) {
    ++m_treeDeletes;
    if (subKey.find_first_not_of('\\') == std::string::npos)
        return kErrorAccessDenied;
    return m_inner.DeleteTree(parent, subKey);
}

void RegistryContract::SetUp() {
    m_target = GetParam().make();
    m_counted = std::make_unique<CountingRegistry>(m_target->Api());
    Raw().DeleteTree(kUser, kTestKey);
    RemoveRunValue();
}

void RegistryContract::TearDown() {
    EXPECT_EQ(m_counted->OpenKeys(), 0) << "a key was left open";
    Raw().DeleteTree(kUser, kTestKey);
    RemoveRunValue();
}

StoredValue RegistryContract::Peek(const std::string& path, const std::string& name) {
    StoredValue v;
    Key key(Raw(), path, kKeyQueryValue);
    if (key.rc != kErrorSuccess) {
        v.result = key.rc;
        return v;
    }
    uint32_t size = 0;
    v.result = Raw().QueryValue(key.handle, name, v.type, nullptr, size);
    if (v.result == kErrorSuccess && size > 0) {
        v.data.resize(size);
        v.result = Raw().QueryValue(key.handle, name, v.type, v.data.data(), size);
    }
    return v;
}

void RegistryContract::Put(const std::string& path, const std::string& name, uint32_t type,
                           const std::vector<uint8_t>& data) {
    Key key(Raw(), path, kKeyReadWrite, true);
    ASSERT_EQ(key.rc, kErrorSuccess);
    ASSERT_EQ(Raw().SetValue(key.handle, name, type, data.data(), static_cast<uint32_t>(data.size())),
              kErrorSuccess);
}

bool RegistryContract::Exists(const std::string& path) {
    Key key(Raw(), path, kKeyQueryValue);
    return key.rc == kErrorSuccess;
}

void RegistryContract::RemoveRunValue() {
    Key key(Raw(), kRunKey, kKeyReadWrite);
    if (key.rc == kErrorSuccess)
        Raw().DeleteValue(key.handle, kTitle);
}

// ---- The system calls themselves ----

TEST_P(RegistryContract, MissingKeysAndValuesAnswerFileNotFound) {
    RegHandle h = 0;
    EXPECT_EQ(Raw().OpenKey(kUser, kTestKey + "\\Nowhere", kKeyQueryValue, h), kErrorFileNotFound);
    EXPECT_EQ(Raw().DeleteTree(kUser, kTestKey + "\\Nowhere"), kErrorFileNotFound);
    Key key(Raw(), kTestKey + "\\Deep\\Down", kKeyReadWrite, true);
    ASSERT_EQ(key.rc, kErrorSuccess) << "creating a key creates its parents";
    EXPECT_TRUE(Exists(kTestKey + "\\Deep"));
    uint32_t type = 0, size = 0;
    EXPECT_EQ(Raw().QueryValue(key.handle, "Missing", type, nullptr, size), kErrorFileNotFound);
    EXPECT_EQ(Raw().QueryValue(key.handle, "", type, nullptr, size), kErrorFileNotFound)
        << "a new key has no default value";
    EXPECT_EQ(Raw().DeleteValue(key.handle, "Missing"), kErrorFileNotFound);
    EXPECT_EQ(Raw().OpenKey(RootHandle(0), "Software", kKeyQueryValue, h), kErrorInvalidHandle);
    EXPECT_EQ(Raw().OpenKey(kUser, "\\" + kTestKey, kKeyQueryValue, h), kErrorBadPathname);
    Key trailing(Raw(), kTestKey + "\\Deep\\", kKeyQueryValue);
    EXPECT_EQ(trailing.rc, kErrorSuccess) << "a trailing backslash is passed over";
}

TEST_P(RegistryContract, NamesMatchWithoutRegardToCaseAndKeepTheirFirstSpelling) {
    Put(kTestKey + "\\MixedCase", "Abc", kRegSz, Sz("1"));
    Key key(Raw(), "SOFTWARE\\vantorelcontracttest\\MIXEDCASE", kKeyReadWrite);
    ASSERT_EQ(key.rc, kErrorSuccess);
    ASSERT_EQ(Raw().SetValue(key.handle, "ABC", kRegSz, Sz("22").data(), 3), kErrorSuccess);
    const StoredValue v = Peek(kTestKey + "\\mixedcase", "aBC");
    EXPECT_EQ(v.data, Sz("22"));
    char name[64] = {};
    uint32_t length = sizeof name;
    ASSERT_EQ(Raw().EnumValue(key.handle, 0, name, length), kErrorSuccess);
    EXPECT_STREQ(name, "Abc");
    length = sizeof name;
    EXPECT_EQ(Raw().EnumValue(key.handle, 1, name, length), kErrorNoMoreItems) << "one value, not two";
    Key parent(Raw(), kTestKey, kKeyEnumerateSubKeys);
    ASSERT_EQ(Raw().EnumKey(parent.handle, 0, name, sizeof name), kErrorSuccess);
    EXPECT_STREQ(name, "MixedCase");
}

TEST_P(RegistryContract, QueriesReportTypeAndSizeAndAskForMoreRoom) {
    Put(kTestKey, "Text", kRegSz, Sz("abc"));
    Put(kTestKey, "Empty", kRegSz, {});
    Key key(Raw(), kTestKey, kKeyQueryValue);
    uint32_t type = 99, size = 0;
    ASSERT_EQ(Raw().QueryValue(key.handle, "Text", type, nullptr, size), kErrorSuccess);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, 4u);
    uint8_t small[2] = {};
    size = sizeof small;
    EXPECT_EQ(Raw().QueryValue(key.handle, "Text", type, small, size), kErrorMoreData);
    EXPECT_EQ(size, 4u);
    uint8_t big[16] = {};
    size = sizeof big;
    ASSERT_EQ(Raw().QueryValue(key.handle, "Text", type, big, size), kErrorSuccess);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(std::memcmp(big, "abc", 4), 0);
    size = 0;
    EXPECT_EQ(Raw().QueryValue(key.handle, "Empty", type, small, size), kErrorSuccess);
    EXPECT_EQ(size, 0u);
}

TEST_P(RegistryContract, EnumerationsEndWithNoMoreItemsAndAskForMoreRoom) {
    Put(kTestKey + "\\Subkey", "LongerName", kRegSz, Sz("x"));
    Key key(Raw(), kTestKey + "\\Subkey", kKeyQueryValue);
    uint32_t longest = 0;
    ASSERT_EQ(Raw().QueryMaxValueNameLength(key.handle, longest), kErrorSuccess);
    EXPECT_GE(longest, 10u);
    char name[64] = {};
    uint32_t length = 5;
    EXPECT_EQ(Raw().EnumValue(key.handle, 0, name, length), kErrorMoreData);
    length = 11;
    ASSERT_EQ(Raw().EnumValue(key.handle, 0, name, length), kErrorSuccess);
    EXPECT_EQ(length, 10u);
    length = sizeof name;
    EXPECT_EQ(Raw().EnumValue(key.handle, 1, name, length), kErrorNoMoreItems);
    Key parent(Raw(), kTestKey, kKeyEnumerateSubKeys);
    EXPECT_EQ(Raw().EnumKey(parent.handle, 0, name, 6), kErrorMoreData);
    ASSERT_EQ(Raw().EnumKey(parent.handle, 0, name, 7), kErrorSuccess);
    EXPECT_STREQ(name, "Subkey");
    EXPECT_EQ(Raw().EnumKey(parent.handle, 1, name, sizeof name), kErrorNoMoreItems);
}

TEST_P(RegistryContract, HandlesGrantOnlyTheAccessAskedFor) {
    Put(kTestKey + "\\Sub", "v", kRegSz, Sz("x"));
    Key query(Raw(), kTestKey, kKeyQueryValue);
    char name[64];
    EXPECT_EQ(Raw().SetValue(query.handle, "w", kRegSz, Sz("y").data(), 2), kErrorAccessDenied);
    EXPECT_EQ(Raw().EnumKey(query.handle, 0, name, sizeof name), kErrorAccessDenied);
    Key enumerate(Raw(), kTestKey + "\\Sub", kKeyEnumerateSubKeys);
    uint32_t type = 0, size = 0;
    EXPECT_EQ(Raw().QueryValue(enumerate.handle, "v", type, nullptr, size), kErrorAccessDenied);
    EXPECT_EQ(Raw().DeleteValue(enumerate.handle, "v"), kErrorAccessDenied);
    uint32_t length = sizeof name;
    EXPECT_EQ(Raw().EnumValue(enumerate.handle, 0, name, length), kErrorAccessDenied);
}

TEST_P(RegistryContract, TreeDeletionTakesTheSubtreeAndLeavesOpenHandlesDead) {
    Put(kTestKey + "\\A\\B\\C", "v", kRegSz, Sz("x"));
    Put(kTestKey + "\\A", "w", kRegSz, Sz("y"));
    Put(kTestKey + "\\Other", "z", kRegSz, Sz("z"));
    Key held(Raw(), kTestKey + "\\A\\B", kKeyReadWrite);
    ASSERT_EQ(held.rc, kErrorSuccess);
    EXPECT_EQ(Raw().DeleteTree(kUser, kTestKey + "\\a"), kErrorSuccess);
    EXPECT_FALSE(Exists(kTestKey + "\\A"));
    EXPECT_FALSE(Exists(kTestKey + "\\A\\B\\C"));
    EXPECT_TRUE(Exists(kTestKey + "\\Other"));
    uint32_t type = 0, size = 0;
    EXPECT_EQ(Raw().QueryValue(held.handle, "v", type, nullptr, size), kErrorKeyDeleted);
    EXPECT_EQ(Raw().SetValue(held.handle, "v", kRegSz, Sz("x").data(), 2), kErrorKeyDeleted);
    EXPECT_EQ(Raw().DeleteTree(kUser, kTestKey + "\\A"), kErrorFileNotFound);
}

TEST_P(RegistryContract, ExpansionReplacesDefinedNamesOnly) {
    SetEnvironment("VANTORELTESTDIR", "C:\\Meter");
    const auto expand = [&](const std::string& text) {
        const uint32_t needed = Raw().ExpandEnvironment(text, nullptr, 0);
        std::vector<char> buffer(needed + 1, 'Q');
        const uint32_t used = Raw().ExpandEnvironment(text, buffer.data(), needed);
        EXPECT_EQ(used, needed);
        return std::string(buffer.data());
    };
    EXPECT_EQ(Raw().ExpandEnvironment("%VantorelTestDir%\\x", nullptr, 0), 11u);
    EXPECT_EQ(expand("%VantorelTestDir%\\x"), "C:\\Meter\\x");
    EXPECT_EQ(expand("%VANTORELUNDEFINED%"), "%VANTORELUNDEFINED%");
    EXPECT_EQ(expand("50% and %%"), "50% and %%");
    EXPECT_EQ(expand(""), "");
}

// ---- cRegistry ----

TEST_P(RegistryContract, ReadingWhatIsMissingGivesTheDefaultAndCreatesNothing) {
    cRegistry reg = Reg(Counted(), kTestKey + "\\Missing", "Value");
    reg.SetDefault(std::string());
    reg.SetValueType(42);
    EXPECT_EQ(reg.Value(), RegistryValue(std::string()));
    EXPECT_EQ(reg.ValueType(), 42) << "the type is left as it was";
    EXPECT_FALSE(reg.KeyExists());
    EXPECT_FALSE(Exists(kTestKey + "\\Missing"));
    Put(kTestKey, "Other", kRegSz, Sz("x"));
    reg.SetSectionKey(kTestKey);
    reg.SetDefault(int32_t{7});
    EXPECT_EQ(reg.Value(), RegistryValue(int32_t{7}));
    EXPECT_EQ(reg.ValueType(), 42);
}

TEST_P(RegistryContract, TextsRoundTripAndEmptyTextIsStoredEmpty) {
    cRegistry reg = Reg(Counted(), kTestKey + "\\Texts", "Name");
    reg.SetValueType(kRegSz);
    reg.SetValue(std::string("hello world"));
    EXPECT_EQ(Peek(kTestKey + "\\Texts", "Name").data, Sz("hello world"));
    reg.SetValueType(0);
    EXPECT_EQ(reg.Value(), RegistryValue(std::string("hello world")));
    EXPECT_EQ(reg.ValueType(), 1);
    reg.SetValue(std::string()); // a read set the type to 1 again
    const StoredValue stored = Peek(kTestKey + "\\Texts", "Name");
    EXPECT_EQ(stored.type, kRegSz);
    EXPECT_TRUE(stored.data.empty());
    EXPECT_EQ(reg.Value(), RegistryValue(std::string()));
    // Numbers written as text are stored as their decimal text.
    reg.SetValue(int32_t{-75});
    EXPECT_EQ(reg.Value(), RegistryValue(std::string("-75")));
    // A text stored without its terminator keeps its last character.
    Put(kTestKey + "\\Texts", "Bare", kRegSz, Bytes("abc"));
    reg.SetValueKey("Bare");
    EXPECT_EQ(reg.Value(), RegistryValue(std::string("abc")));
}

TEST_P(RegistryContract, EnvironmentReferencesAreStoredExpandableAndReadExpanded) {
    SetEnvironment("VANTORELTESTDIR", "C:\\Meter");
    cRegistry reg = Reg(Counted(), kTestKey, "Path");
    reg.SetValueType(kRegSz);
    reg.SetValue(std::string("%VANTORELTESTDIR%\\pic.bmp"));
    EXPECT_EQ(Peek(kTestKey, "Path").type, kRegExpandSz);
    EXPECT_EQ(reg.Value(), RegistryValue(std::string("C:\\Meter\\pic.bmp")));
    EXPECT_EQ(reg.ValueType(), 2);
    // Only a percent sign with another at least two places on makes a reference.
    for (const std::string text : {"50%", "100%%", "a%%b", "%"}) {
        reg.SetValueType(kRegExpandSz);
        reg.SetValue(text);
        EXPECT_EQ(Peek(kTestKey, "Path").type, kRegSz) << text;
        EXPECT_EQ(reg.Value(), RegistryValue(text));
    }
    reg.SetValue(std::string("%x%"));
    EXPECT_EQ(Peek(kTestKey, "Path").type, kRegExpandSz);
    EXPECT_EQ(reg.Value(), RegistryValue(std::string("%x%"))) << "an undefined name stays as written";
}

TEST_P(RegistryContract, NumbersAreStoredAsLittleEndianDwords) {
    cRegistry reg = Reg(Counted(), kTestKey, "Number");
    reg.SetValueType(kRegDword);
    reg.SetValue(int32_t{-5});
    StoredValue stored = Peek(kTestKey, "Number");
    EXPECT_EQ(stored.type, kRegDword);
    EXPECT_EQ(stored.data, (std::vector<uint8_t>{0xFB, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(reg.Value(), RegistryValue(int32_t{-5}));
    reg.SetValueType(kRegDwordBigEndian);
    reg.SetValue(int16_t{258});
    stored = Peek(kTestKey, "Number");
    EXPECT_EQ(stored.type, kRegDword) << "big-endian numbers are written little-endian";
    EXPECT_EQ(stored.data, (std::vector<uint8_t>{0x02, 0x01, 0, 0}));
    Put(kTestKey, "Big", kRegDwordBigEndian, {0x00, 0x00, 0x01, 0x02});
    reg.SetValueKey("Big");
    EXPECT_EQ(reg.Value(), RegistryValue(int32_t{258}));
    EXPECT_EQ(reg.ValueType(), 5);
    // A text is not a number: nothing is written, and that is reported.
    reg.SetValueKey("Number");
    reg.SetValueType(kRegDword);
    const AppError e = Raised([&] { reg.SetValue(std::string("12")); });
    EXPECT_EQ(e.Number, kErrRegistryWrite);
    EXPECT_EQ(Peek(kTestKey, "Number").data, (std::vector<uint8_t>{0x02, 0x01, 0, 0}));
}

TEST_P(RegistryContract, BinaryAndOtherTypesReadAsBytesOrText) {
    cRegistry reg = Reg(Counted(), kTestKey, "Blob");
    reg.SetValueType(kRegBinary);
    const std::vector<uint8_t> blob{0, 1, 2, 255};
    reg.SetValue(blob);
    EXPECT_EQ(Peek(kTestKey, "Blob").type, kRegBinary);
    EXPECT_EQ(reg.Value(), RegistryValue(blob));
    EXPECT_EQ(reg.ValueType(), 3);
    const AppError e = Raised([&] { reg.SetValue(std::string("text")); });
    EXPECT_EQ(e.Number, kErrRegistry);
    EXPECT_EQ(e.Source, "");
    EXPECT_EQ(e.Description, "");
    EXPECT_EQ(Peek(kTestKey, "Blob").data, blob);

    Put(kTestKey, "Multi", kRegMultiSz, {'a', 0, 'b', 'c', 0, 0});
    reg.SetValueKey("Multi");
    EXPECT_EQ(reg.Value(), RegistryValue(std::string("a\0bc\0", 5))) << "parts keep their separators";
    EXPECT_EQ(reg.ValueType(), 7);
    Put(kTestKey, "None", kRegNone, {9, 8});
    reg.SetValueKey("None");
    EXPECT_EQ(reg.Value(), RegistryValue(std::vector<uint8_t>{9, 8}));
    EXPECT_EQ(reg.ValueType(), 0);
}

TEST_P(RegistryContract, FailedWritesRaiseWithTheirDescriptions) {
    ExeNameGuard name("Meter");
    cRegistry reg = Reg(Counted(), "Software\\" + kTitle + "\\Graph", "Scale");
    for (int32_t type : {0, 6, 7, 8}) {
        reg.SetValueType(type);
        const AppError e = Raised([&] { reg.SetValue(std::string("1")); });
        EXPECT_EQ(e.Number, kErrRegistryWrite);
        EXPECT_EQ(e.Number, -2147194455);
        EXPECT_EQ(e.Source, "Meter.cRegistry");
        EXPECT_EQ(e.Description, "Failed to set registry value Key: '-2147483647',Section: 'Software\\" +
                                     kTitle + "\\Graph',Key: 'Scale' to value: '1'");
        EXPECT_EQ(Peek(kTestKey + "\\Graph", "Scale").result, kErrorFileNotFound) << "nothing written";
    }
    // A key that cannot be created.
    reg.SetSectionKey("\\Bad");
    reg.SetValueType(kRegSz);
    AppError e = Raised([&] { reg.SetValue(std::string("1")); });
    EXPECT_EQ(e.Number, kErrRegistry);
    EXPECT_EQ(e.Source, "Meter.cRegistry");
    EXPECT_EQ(e.Description,
              "Failed to set registry value Key: '-2147483647',Section: '\\Bad',Key: 'Scale' to value: '1'");
    e = Raised([&] { reg.CreateKey(); });
    EXPECT_EQ(e.Number, kErrRegistry);
    EXPECT_EQ(e.Description, "Failed to create registry Key: '\\Bad");
}

TEST_P(RegistryContract, DeletingValuesAndKeys) {
    ExeNameGuard name("Meter");
    Put(kTestKey + "\\Keep", "One", kRegSz, Sz("1"));
    Put(kTestKey + "\\Tree\\Sub\\Deeper", "Two", kRegSz, Sz("2"));
    cRegistry reg = Reg(Counted(), kTestKey + "\\Keep", "one");
    EXPECT_TRUE(reg.DeleteValue());
    EXPECT_EQ(Peek(kTestKey + "\\Keep", "One").result, kErrorFileNotFound);
    EXPECT_FALSE(reg.DeleteValue()) << "an existing key without the value";
    reg.SetSectionKey(kTestKey + "\\Nowhere");
    const AppError e = Raised([&] { reg.DeleteValue(); });
    EXPECT_EQ(e.Number, kErrRegistry);
    EXPECT_EQ(e.Source, "Meter.cRegistry");
    EXPECT_EQ(e.Description,
              "Failed to open key '-2147483647',Section: '" + kTestKey + "\\Nowhere' for delete access");

    reg.SetSectionKey(kTestKey + "\\Tree");
    EXPECT_TRUE(reg.DeleteKey());
    EXPECT_FALSE(Exists(kTestKey + "\\Tree"));
    EXPECT_TRUE(Exists(kTestKey + "\\Keep"));
    EXPECT_FALSE(reg.DeleteKey()) << "already gone";
    // An empty section would name the whole root: refused before it reaches the registry.
    for (const std::string section : {"", "\\", "\\\\"}) {
        reg.SetSectionKey(section);
        EXPECT_FALSE(reg.DeleteKey());
    }
    EXPECT_EQ(Counted().TreeDeletes(), 2);
    EXPECT_TRUE(Exists(kTestKey + "\\Keep"));
}

TEST_P(RegistryContract, KeysAreCreatedWithTheirParentsAndFound) {
    cRegistry reg = Reg(Counted(), kTestKey + "\\One\\Two");
    EXPECT_FALSE(reg.KeyExists());
    EXPECT_TRUE(reg.CreateKey());
    EXPECT_TRUE(reg.KeyExists());
    EXPECT_TRUE(Exists(kTestKey + "\\One"));
    EXPECT_TRUE(reg.CreateKey()) << "creating an existing key opens it";
}

TEST_P(RegistryContract, EnumerationsListEveryNameOnce) {
    const std::string longName(200, 'n');
    for (const std::string value : {"One", "two", "THREE", longName.c_str()})
        Put(kTestKey + "\\List", value, kRegSz, Sz("x"));
    for (const std::string section : {"Alpha", "beta", longName.c_str()})
        Put(kTestKey + "\\List\\" + section, "v", kRegSz, Sz("x"));
    cRegistry reg = Reg(Counted(), kTestKey + "\\List");
    std::vector<std::string> names{"stale"};
    int32_t count = -1;
    EXPECT_TRUE(reg.EnumerateValues(names, count));
    EXPECT_EQ(count, 4);
    EXPECT_EQ(Sorted(names), Sorted({"One", "two", "THREE", longName}));
    EXPECT_TRUE(reg.EnumerateSections(names, count));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(Sorted(names), Sorted({"Alpha", "beta", longName}));

    reg.SetSectionKey(kTestKey + "\\List\\Alpha");
    EXPECT_TRUE(reg.EnumerateSections(names, count));
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());
    reg.SetSectionKey(kTestKey + "\\Missing");
    EXPECT_TRUE(reg.EnumerateValues(names, count));
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(reg.EnumerateSections(names, count));
    EXPECT_EQ(count, 0);
}

// ---- mRegistry ----

TEST_P(RegistryContract, SettingsReadTheirDefaultsUntilTheFirstWriteCreatesTheKeys) {
    ScopedRegistryApi use(Counted());
    EXPECT_EQ(ReadSetting(kHKeyCurrentUser, kTitle, "Settings", "Logging", "False"), "False");
    EXPECT_EQ(ReadSetting(kHKeyCurrentUser, kTitle, "Graph", "Background", ""), "");
    EXPECT_EQ(ReadSetting(kHKeyCurrentUser, kTitle, "Graph", "BackColor", "16777215"), "16777215");
    EXPECT_FALSE(Exists(kTestKey));
    WriteSetting(kHKeyCurrentUser, kTitle, "Graph", "Alpha", "75");
    EXPECT_TRUE(Exists(kTestKey + "\\Graph"));
    const StoredValue stored = Peek(kTestKey + "\\Graph", "Alpha");
    EXPECT_EQ(stored.type, kRegSz);
    EXPECT_EQ(stored.data, Sz("75"));
    EXPECT_EQ(ReadSetting(kHKeyCurrentUser, kTitle, "Graph", "Alpha", "100"), "75");
    // A value stored by hand with another type still reads as text.
    Put(kTestKey + "\\Graph", "Scale", kRegDword, {0x2C, 0x01, 0, 0});
    EXPECT_EQ(ReadSetting(kHKeyCurrentUser, kTitle, "Graph", "Scale", "1"), "300");
}

TEST_P(RegistryContract, DeletingASettingOrAWholeSection) {
    ScopedRegistryApi use(Counted());
    WriteSetting(kHKeyCurrentUser, kTitle, "Themes\\Dark", "BackColor", "0");
    WriteSetting(kHKeyCurrentUser, kTitle, "Themes\\Light", "BackColor", "16777215");
    WriteSetting(kHKeyCurrentUser, kTitle, "Graph", "Scale", "5");
    WriteSetting(kHKeyCurrentUser, kTitle, "Graph", "AutoScale", "False");
    DeleteSetting(kHKeyCurrentUser, kTitle, "Graph", "Scale");
    EXPECT_EQ(ReadSetting(kHKeyCurrentUser, kTitle, "Graph", "Scale", "1"), "1");
    EXPECT_EQ(ReadSetting(kHKeyCurrentUser, kTitle, "Graph", "AutoScale", "True"), "False");
    DeleteSetting(kHKeyCurrentUser, kTitle, "Themes", "");
    EXPECT_FALSE(Exists(kTestKey + "\\Themes"));
    EXPECT_TRUE(Exists(kTestKey + "\\Graph"));
    EXPECT_EQ(Raised([] { DeleteSetting(kHKeyCurrentUser, kTitle, "Themes", "BackColor"); }).Number,
              kErrRegistry);
    // Without a title nothing is deleted: it would otherwise name Software itself.
    const int deletesBefore = Counted().TreeDeletes();
    DeleteSetting(kHKeyCurrentUser, "", "", "");
    EXPECT_EQ(Counted().TreeDeletes(), deletesBefore);
    DeleteSetting(kHKeyCurrentUser, kTitle, "", "");
    EXPECT_FALSE(Exists(kTestKey));
}

TEST_P(RegistryContract, TheRunValueIsReachedThroughTitleAndSection) {
    ScopedRegistryApi use(Counted());
    const std::string title = "Microsoft\\Windows\\CurrentVersion";
    EXPECT_EQ(ReadSetting(kHKeyCurrentUser, title, "Run", kTitle, "NOPE"), "NOPE");
    WriteSetting(kHKeyCurrentUser, title, "Run", kTitle, "C:\\Program Files\\Meter\\Meter.exe");
    EXPECT_EQ(Peek(kRunKey, kTitle).data, Sz("C:\\Program Files\\Meter\\Meter.exe"));
    EXPECT_EQ(ReadSetting(kHKeyCurrentUser, title, "Run", kTitle, "NOPE"),
              "C:\\Program Files\\Meter\\Meter.exe");
    DeleteSetting(kHKeyCurrentUser, title, "Run", kTitle);
    EXPECT_EQ(ReadSetting(kHKeyCurrentUser, title, "Run", kTitle, "NOPE"), "NOPE");
    EXPECT_TRUE(Exists(kRunKey)) << "only the value goes";
}
