#include "net/mNetStatus.h"
#include "net/IfTableLayout.h"
#include "net/NetFakes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using Row = FakeInterfaceTable::Row;
using Names = std::vector<std::string>;

namespace {
class Reader : public testing::Test {
protected:
    void SetUp() override { SetInterfaceTable(&table); }
    void TearDown() override { SetInterfaceTable(nullptr); }

    void Rows(std::size_t n) {
        table.rows.clear();
        for (std::size_t i = 0; i < n; ++i)
            table.rows.push_back(FakeInterfaceTable::WindowsRow("nic" + std::to_string(i), i + 1, 1000 + i));
    }

    FakeInterfaceTable table;
};
} // namespace

TEST_F(Reader, EmptyNameSumsEveryRowLoopbackAndDownInterfacesIncluded) {
    table.rows = {FakeInterfaceTable::WindowsRow("MS TCP Loopback interface", 100, 10),
                  FakeInterfaceTable::WindowsRow("Realtek PCIe GBE", 5000, 700),
                  FakeInterfaceTable::WindowsRow("WAN Miniport (disconnected)", 3, 2)};
    EXPECT_EQ(NumInterfaces(), 3);
    EXPECT_EQ(GetInOctets(""), 5103);
    EXPECT_EQ(GetOutOctets(""), 712);
    EXPECT_EQ(GetInterfaceNames(),
              (Names{"MS TCP Loopback interface", "Realtek PCIe GBE", "WAN Miniport (disconnected)"}));

    table.rows.clear();
    EXPECT_EQ(NumInterfaces(), 0);
    EXPECT_EQ(GetInOctets(""), 0);
    EXPECT_EQ(GetOutOctets(""), 0);
    EXPECT_TRUE(GetInterfaceNames().empty());
}

TEST_F(Reader, ANameMatchesExactlyAndTheFirstOfTwoEqualRowsWins) {
    table.rows = {FakeInterfaceTable::WindowsRow("eth0", 5, 50), FakeInterfaceTable::WindowsRow("NIC", 7, 70),
                  FakeInterfaceTable::WindowsRow("NIC", 9, 90)};
    EXPECT_EQ(GetInOctets("NIC"), 7);
    EXPECT_EQ(GetOutOctets("NIC"), 70);
    EXPECT_EQ(GetInOctets("eth0"), 5);
    for (const char* other : {"nic", "Nic", "NI", "NIC ", "NIC\t", "Wireless"}) {
        EXPECT_EQ(GetInOctets(other), 0) << other;
        EXPECT_EQ(GetOutOctets(other), 0) << other;
    }
}

TEST_F(Reader, ANameIsTheDescriptionUpToItsFirstNulWithinDescrLen) {
    Row twelve{std::string("Realtek PCI\0", 12), 12, 1, 0}; // Windows counts the NUL: 11 characters
    Row wine = FakeInterfaceTable::WineRow("lo", 9);        // Wine does not
    Row empty{"", 0, 2, 0};
    Row shortLen{"eth0garbage", 4, 3, 0}; // bytes beyond dwDescrLen are not part of the name
    Row inner{std::string("abc\0def", 7), 7, 4, 0};
    Row full{std::string(256, 'x'), 1000, 5, 0}; // a length beyond the field is held to the field
    table.rows = {twelve, wine, empty, shortLen, inner, full};

    const Names names = GetInterfaceNames();
    EXPECT_EQ(names, (Names{"Realtek PCI", "lo", "", "eth0", "abc", std::string(256, 'x')}));
    EXPECT_EQ(names[0].size(), 11u);
    EXPECT_EQ(GetInOctets("Realtek PCI"), 1);
    EXPECT_EQ(GetInOctets("lo"), 9);
    EXPECT_EQ(GetInOctets("eth0"), 3);
    EXPECT_EQ(GetInOctets("abc"), 4);
    EXPECT_EQ(GetInOctets(std::string(256, 'x')), 5);
    EXPECT_EQ(GetInOctets("eth0garbage"), 0);
}

TEST_F(Reader, CountersKeepTheirBitsAndTheSumWrapsModulo2To32) {
    table.rows = {FakeInterfaceTable::WindowsRow("max", 0xFFFFFFFFu, 0x80000000u),
                  FakeInterfaceTable::WindowsRow("five", 5, 0x7FFFFFFFu)};
    EXPECT_EQ(GetInOctets("max"), -1);
    EXPECT_EQ(GetOutOctets("max"), INT32_MIN);
    EXPECT_EQ(GetOutOctets("five"), INT32_MAX);
    EXPECT_EQ(GetInOctets(""), 4);         // 2^32 - 1 + 5
    EXPECT_EQ(GetOutOctets(""), -1);       // 2^31 + 2^31 - 1
    table.rows[1].outOctets = 0x80000000u; // the sum reaches 2^32 and wraps to 0
    EXPECT_EQ(GetOutOctets(""), 0);
}

TEST_F(Reader, SeesEveryRowBeyondElevenAndBeyondItsFixedBuffer) {
    for (const std::size_t n : {12u, 32u, 33u, 64u, 300u}) {
        Rows(n);
        EXPECT_EQ(NumInterfaces(), static_cast<int32_t>(n)) << n;
        const Names names = GetInterfaceNames();
        ASSERT_EQ(names.size(), n);
        EXPECT_EQ(names.back(), "nic" + std::to_string(n - 1));
        EXPECT_EQ(GetInOctets(names.back()), static_cast<int32_t>(n));
        EXPECT_EQ(GetOutOctets(names.back()), static_cast<int32_t>(1000 + n - 1));
        EXPECT_EQ(GetInOctets(""), static_cast<int32_t>(n * (n + 1) / 2));
    }
    // Up to the fixed buffer one question per snapshot; beyond it one more for the larger buffer.
    Rows(32);
    table.calls = 0;
    GetInOctets("");
    EXPECT_EQ(table.calls, 1);
    Rows(33);
    table.calls = 0;
    GetInOctets("");
    EXPECT_EQ(table.calls, 2);
}

TEST_F(Reader, ATableThatGrowsWhileAskedIsAskedAgainButNotForever) {
    Rows(40);
    int grow = 2; // rows added before each call
    table.beforeCall = [&] {
        for (int i = 0; i < grow; ++i)
            table.rows.push_back(FakeInterfaceTable::WindowsRow("late", 1, 1));
    };
    EXPECT_EQ(NumInterfaces(), 44); // 42 at the question, 44 at the answer: within the headroom

    grow = 100; // outgrows every buffer it is given
    table.calls = 0;
    EXPECT_EQ(NumInterfaces(), 0);
    EXPECT_EQ(GetInOctets("nic0"), 0);
    EXPECT_LE(table.calls, 8);
}

namespace {
// A table that misreports: a row count beyond the buffer, or sizes that cannot be believed.
struct LyingTable : IInterfaceTable {
    uint32_t GetIfTable(void* table, uint32_t* size, bool) override {
        ++calls;
        if (answerSize) {
            *size = answerSize;
            return IfTableLayout::kInsufficientBuffer;
        }
        auto* bytes = static_cast<unsigned char*>(table);
        IfTableLayout::WriteU32(bytes, 1000000);
        for (std::size_t off = 4; off + IfTableLayout::kRowSize <= *size; off += IfTableLayout::kRowSize) {
            std::memset(bytes + off, 0, IfTableLayout::kRowSize);
            IfTableLayout::WriteU32(bytes + off + IfTableLayout::kInOctets, 1);
        }
        return IfTableLayout::kNoError;
    }
    uint32_t answerSize = 0;
    int calls = 0;
};
} // namespace

TEST_F(Reader, AFailingOrMisreportingTableReadsAsFewerRowsAndNeverOutsideTheBuffer) {
    table.rows = {FakeInterfaceTable::WindowsRow("eth0", 5, 6)};
    table.unsupported = true;
    EXPECT_EQ(NumInterfaces(), 0);
    EXPECT_TRUE(GetInterfaceNames().empty());
    EXPECT_EQ(GetInOctets(""), 0);
    EXPECT_EQ(GetOutOctets("eth0"), 0);

    SetInterfaceTable(nullptr);
    EXPECT_EQ(NumInterfaces(), 0);
    EXPECT_EQ(GetInOctets(""), 0);

    LyingTable lying;
    SetInterfaceTable(&lying);
    EXPECT_EQ(NumInterfaces(), 32) << "only the rows that fit in the buffer given are read";
    EXPECT_EQ(GetInOctets(""), 32);
    for (const uint32_t answer : {0xFFFFFFFFu, 100u, 4u + 32u * 860u}) {
        lying.answerSize = answer; // absurdly large, or no larger than the buffer already given
        lying.calls = 0;
        EXPECT_EQ(NumInterfaces(), 0) << answer;
        EXPECT_EQ(lying.calls, 1) << answer;
    }
}
