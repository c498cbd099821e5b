#include "settings/FakeRegistry.h"
#include "app/AppError.h"
#include "settings/RegistryContract.h"
#include "settings/cRegistry.h"
#include "settings/mRegistry.h"

#include <new>
#include <stdexcept>

namespace {
class FakeUnderTest : public RegistryUnderTest {
public:
    IRegistryApi& Api() override { return fake; }
    void SetEnvironment(const std::string& name, const std::string& value) override {
        fake.SetEnvironment(name, value);
    }
    FakeRegistry fake;
};

std::unique_ptr<RegistryUnderTest> MakeFake() {
    return std::make_unique<FakeUnderTest>();
}

cRegistry Reg(IRegistryApi& api, const std::string& section, const std::string& value = {}) {
    cRegistry reg(api);
    reg.SetClassKey(kHKeyCurrentUser);
    reg.SetSectionKey(section);
    reg.SetValueKey(value);
    return reg;
}

void Put(FakeRegistry& fake, const std::string& path, const std::string& name, const std::string& text) {
    RegHandle key = 0;
    ASSERT_EQ(fake.CreateKey(RootHandle(kHKeyCurrentUser), path, kKeyReadWrite, key), kErrorSuccess);
    fake.SetValue(key, name, kRegSz, reinterpret_cast<const uint8_t*>(text.c_str()),
                  static_cast<uint32_t>(text.size() + 1));
    fake.CloseKey(key);
}
} // namespace

INSTANTIATE_TEST_SUITE_P(Fake, RegistryContract, testing::Values(RegistryParam{"Fake", MakeFake}),
                         RegistryParamName);

// What the real registry of our test machines cannot show: names at the 255-character limit (Wine
// refuses paths that long), and systems that report name lengths short or fail half-way.

TEST(FakeRegistryOnly, SectionsListedPastANameOfTheLongestLength) {
    FakeRegistry fake;
    const std::string longest(255, 'k');
    for (const std::string name : {"A", longest.c_str(), "Z"})
        Put(fake, "Software\\T\\Themes\\" + name, "ReadOnly", "False");
    cRegistry reg = Reg(fake, "Software\\T\\Themes");
    std::vector<std::string> names;
    int32_t count = 0;
    EXPECT_TRUE(reg.EnumerateSections(names, count));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(names, (std::vector<std::string>{"A", longest, "Z"}));
    EXPECT_EQ(fake.OpenHandleCount(), 0u);
}

namespace {
// Reports the longest value name in characters of another encoding, shorter than the ANSI bytes.
class ShortCountingRegistry : public FakeRegistry {
public:
    int32_t QueryMaxValueNameLength(RegHandle key, uint32_t& length) override {
        const int32_t rc = FakeRegistry::QueryMaxValueNameLength(key, length);
        length /= 2;
        return rc;
    }
};

class FailingEnumeration : public FakeRegistry {
public:
    int32_t EnumKey(RegHandle key, uint32_t index, char* name, uint32_t size) override {
        if (index == 1)
            throw std::runtime_error("Out of memory");
        return FakeRegistry::EnumKey(key, index, name, size);
    }
};
} // namespace

TEST(FakeRegistryOnly, ValuesListedWhenTheLongestNameIsUnderstated) {
    ShortCountingRegistry fake;
    for (const std::string name : {"BackColor", "StretchBackground", "X"})
        Put(fake, "Software\\T\\Graph", name, "1");
    cRegistry reg = Reg(fake, "Software\\T\\Graph");
    std::vector<std::string> names;
    int32_t count = 0;
    EXPECT_TRUE(reg.EnumerateValues(names, count));
    EXPECT_EQ(names, (std::vector<std::string>{"BackColor", "StretchBackground", "X"}));
    EXPECT_EQ(count, 3);
}

TEST(FakeRegistryOnly, ARunTimeErrorWhileListingSectionsIsRaisedAfterTheKeyIsClosed) {
    FailingEnumeration fake;
    Put(fake, "Software\\T\\Themes\\A", "v", "1");
    Put(fake, "Software\\T\\Themes\\B", "v", "1");
    cRegistry reg = Reg(fake, "Software\\T\\Themes");
    std::vector<std::string> names;
    int32_t count = 0;
    try {
        reg.EnumerateSections(names, count);
        FAIL() << "no error raised";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number, kErrRegistryEnumerate);
        EXPECT_EQ(e.Number, -2147194454);
        EXPECT_EQ(e.Description, "Out of memory");
    }
    EXPECT_EQ(fake.OpenHandleCount(), 0u);
}

TEST(FakeRegistryOnly, WithoutARegistryInstalledReadsGiveDefaultsAndWritesAreRefused) {
    SetRegistryApi(nullptr);
    EXPECT_EQ(ReadSetting(kHKeyCurrentUser, "T", "Settings", "FirstRun", "1"), "1");
    try {
        WriteSetting(kHKeyCurrentUser, "T", "Settings", "FirstRun", "0");
        FAIL() << "a write to no registry was taken as done";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number, kErrRegistry);
    }
}
