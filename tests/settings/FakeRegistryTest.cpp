#include "support/FakeRegistry.h"
#include "settings/RegistryContract.h"
#include "settings/cRegistry.h"
#include "settings/mRegistry.h"
#include "support/RaisedError.h"
#include "support/ScopedSeam.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

namespace {
FakeRegistry& Fake() {
    static FakeRegistry fake;
    return fake;
}

} // namespace

IRegistryApi& RegistryUnderTest() {
    return Fake();
}
void SetTestEnvironment(const std::string& name, const std::string& value) {
    Fake().SetEnvironment(name, value);
}
int OpenKeysLeft() {
    return static_cast<int>(Fake().OpenHandleCount());
}

// What the real registry of our test machines cannot show: names at the 255-character limit (Wine
// refuses paths that long), and a system that fails half-way.
TEST(FakeRegistryOnly, SectionsListPastTheLongestNameAndAFailureIsRaisedAfterTheKeyIsClosed) {
    FakeRegistry fake;
    ScopedRegistryApi use{fake};
    const std::string longest(255, 'k');
    for (const std::string name : {"A", longest.c_str(), "Z"})
        WriteSetting(kHKeyCurrentUser, "T", "Themes\\" + name, "StretchBackground", "False");
    cRegistry reg;
    reg.SetClassKey(kHKeyCurrentUser);
    reg.SetSectionKey("Software\\T\\Themes");
    std::vector<std::string> names;
    int32_t count = 0;
    EXPECT_TRUE(reg.EnumerateSections(names, count));
    EXPECT_TRUE(count == 3);
    EXPECT_EQ(names, (std::vector<std::string>{"A", longest, "Z"}));
    fake.Fault = [](const std::string& call, const std::string& name) {
        if (call == "EnumKey" && name == "1")
            throw std::runtime_error("Out of memory");
        return kErrorSuccess;
    };
    EXPECT_RAISES(-2147194454, "Vantorel.cRegistry", "Out of memory",
                  [&] { reg.EnumerateSections(names, count); });
    EXPECT_TRUE(count == 0);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(fake.OpenHandleCount(), 0u);
}

TEST(FakeRegistryOnly, AValueThatGrowsBetweenItsSizeAndItsFetchIsReadWhole) {
    FakeRegistry fake;
    ScopedRegistryApi use{fake};
    WriteSetting(kHKeyCurrentUser, "T", "Settings", "Interface", "eth0");
    // Another program writes a longer name just before the value's data is fetched.
    std::string grown = "Wireless Network Connection";
    fake.Fault = [&](const std::string& call, const std::string&) {
        if (call == "QueryValue" && !grown.empty())
            WriteSetting(kHKeyCurrentUser, "T", "Settings", "Interface", std::exchange(grown, {}));
        return kErrorSuccess;
    };
    EXPECT_EQ(ReadSetting(kHKeyCurrentUser, "T", "Settings", "Interface", "-"),
              "Wireless Network Connection");
}

TEST(FakeRegistryOnly, WithoutARegistryInstalledReadsGiveDefaultsAndWritesAreRefused) {
    SetRegistryApi(nullptr);
    EXPECT_EQ(ReadSetting(kHKeyCurrentUser, "T", "Settings", "FirstRun", "1"), "1");
    const auto raised = RaisedError([] { WriteSetting(kHKeyCurrentUser, "T", "Settings", "FirstRun", "0"); });
    ASSERT_TRUE(raised.has_value()) << "a write to no registry was taken as done";
    EXPECT_EQ(raised->Number, 26001);
}
