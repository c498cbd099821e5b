#include "net/mNetStatus.h"
#include "net/IfTableLayout.h"
#include "net/InterfaceReader.h"
#include "support/NetFakes.h"
#include "support/ScopedSeam.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

using Names = std::vector<std::string>;

namespace {
class Reader : public testing::Test {
protected:
    FakeInterfaceTable table;
    ScopedSeam<IInterfaceTable*> useTable{CurrentInterfaceTable, SetInterfaceTable, &table};
};

// A table that misreports: a row count beyond the buffer, or a size it cannot need.
struct LyingTable : IInterfaceTable {
    uint32_t GetIfTable(void* table, uint32_t* size, bool) override {
        using namespace IfTableLayout;
        if (answerSize) {
            *size = answerSize;
            return kInsufficientBuffer;
        }
        auto* bytes = static_cast<unsigned char*>(table);
        WriteU32(bytes, 1000000);
        for (std::size_t off = kHeaderSize; off + kRowSize <= *size; off += kRowSize) {
            std::memset(bytes + off, 0, kRowSize);
            WriteU32(bytes + off + kInOctets, 1);
        }
        return kNoError;
    }
    bool GetIfTable2(IfRow2*, std::size_t, std::size_t*) override { return false; }
    uint32_t answerSize = 0;
};
} // namespace

// Every row counts in the sum, which wraps as the counters do; a name gives the first row it names.
TEST_F(Reader, NamesAreDescriptionsUpToTheirFirstNulAndTheFirstExactMatchGivesTheCounters) {
    const std::string wide(256, 'x');
    const auto raw = [](std::string descr, uint32_t len, uint64_t in, uint64_t out) {
        FakeInterfaceTable::Row row = FakeInterfaceTable::WineRow("", in, out);
        row.descr = std::move(descr);
        row.descrLen = len;
        return row;
    };
    table.rows = {raw(std::string("Realtek PCI\0", 12), 12, 1, 0xFFFFFFFFu), // Windows counts the NUL
                  FakeInterfaceTable::WineRow("lo", 2, 0x80000000u),         // Wine does not
                  raw("", 0, 4, 0),
                  raw("eth0garbage", 4, 8, 0), // bytes beyond dwDescrLen are no part of the name
                  raw(std::string("abc\0def", 7), 7, 16, 0),
                  raw(wide, 1000, 32, 0), // a length beyond the field is held to the field
                  FakeInterfaceTable::WindowsRow("eth0", 64, 0)};
    EXPECT_EQ(NumInterfaces(), 7);
    EXPECT_EQ(GetInterfaceNames(), (Names{"Realtek PCI", "lo", "", "eth0", "abc", wide, "eth0"}));
    const std::pair<std::string, int32_t> in[] = {
        {"", 127},    {"Realtek PCI", 1}, {"lo", 2},        {"eth0", 8},
        {"abc", 16},  {wide, 32},         {"ETH0", 0},      {"eth", 0},
        {"eth0 ", 0}, {"eth0garbage", 0}, {{"lo\0", 3}, 0}, {{"abc\0def", 7}, 0}};
    for (const auto& [name, octets] : in)
        EXPECT_EQ(GetInOctets(name), octets) << name;
    EXPECT_EQ(GetOutOctets("Realtek PCI"), -1);
    EXPECT_EQ(GetOutOctets("lo"), INT32_MIN);
    EXPECT_EQ(GetOutOctets(""), INT32_MAX); // 2^32 - 1 + 2^31, modulo 2^32
}

// A table that grows while asked is asked again, but not forever: the read ends. (That every row of a
// table beyond the fixed buffer is read is the sampler's test of a table with 64 rows.)
TEST_F(Reader, AGrowingTableIsAskedAgainBeyondItsFixedBufferButNotForever) {
    for (std::size_t i = 0; i < 40; ++i)
        table.rows.push_back(FakeInterfaceTable::WindowsRow("nic" + std::to_string(i), i + 1, 1000 + i));
    int grow = 2; // rows added before each call
    table.beforeCall = [&] {
        for (int i = 0; i < grow; ++i)
            table.rows.push_back(FakeInterfaceTable::WindowsRow("late", 1, 1));
    };
    EXPECT_EQ(NumInterfaces(), 44); // 42 at the question, 44 at the answer: within the headroom
    grow = 100;                     // outgrows every buffer it is given
    EXPECT_EQ(GetInOctets("nic0"), 0);
}

TEST_F(Reader, AnEmptyFailingOrMisreportingTableReadsAsFewerRowsNeverOutsideTheBuffer) {
    const auto expectNone = [](const char* why) {
        EXPECT_EQ(NumInterfaces(), 0) << why;
        EXPECT_EQ(GetInOctets(""), 0) << why;
        EXPECT_EQ(GetOutOctets("eth0"), 0) << why;
        EXPECT_TRUE(GetInterfaceNames().empty()) << why;
    };
    table.rows = {FakeInterfaceTable::WindowsRow("eth0", 5, 6)};
    table.unsupported = true;
    expectNone("a table that cannot be read");
    table.rows.clear();
    table.unsupported = false;
    expectNone("a table without rows");

    LyingTable lying;
    SetInterfaceTable(&lying);
    EXPECT_EQ(NumInterfaces(), 32) << "only the rows that fit in the buffer given are read";
    EXPECT_EQ(GetInOctets(""), 32);
    for (const uint32_t answer : {0xFFFFFFFFu, 100u, 4u + 32u * 860u}) {
        lying.answerSize = answer; // absurdly large, or no larger than the buffer already given
        EXPECT_EQ(NumInterfaces(), 0) << answer;
    }
}

namespace {
FakeInterfaceTable::Row Kind(std::string name, uint64_t in, uint32_t index, uint32_t type, bool hardware,
                             bool filter, uint32_t medium = 0) {
    FakeInterfaceTable::Row row = FakeInterfaceTable::WindowsRow(name, in, 0, index);
    row.type = type;
    row.hardware = hardware;
    row.filter = filter;
    row.medium = medium;
    return row;
}
} // namespace

// All Interfaces counts the wire once: no filter row, no loopback, no software adapter whose traffic
// also crosses a physical one; then the fallbacks when no row qualifies. A name is matched over all.
TEST_F(Reader, AllInterfacesCountsHardwareBluetoothAndMobileBroadbandRowsThenFallsBack) {
    table.rows = {Kind("Wi-Fi", 1, 1, 71, true, false),
                  Kind("Wi-Fi-QoS Packet Scheduler-0000", 1 << 8, 2, 71, true, true),
                  Kind("Loopback", 1 << 9, 3, 24, false, false),
                  Kind("Bluetooth PAN", 2, 4, 6, false, false, 10),
                  Kind("Mobile GSM", 4, 5, 243, false, false),
                  Kind("Mobile CDMA", 8, 6, 244, false, false),
                  Kind("Hyper-V vEthernet", 1 << 10, 7, 6, false, false),
                  Kind("Teredo", 1 << 11, 8, 131, false, false),
                  Kind("Loopback hardware", 1 << 12, 9, 24, true, false),
                  Kind("Filter hardware", 1 << 13, 10, 6, true, true, 10)};
    EXPECT_EQ(GetInOctets(""), 15);
    EXPECT_EQ(GetInOctets("Wi-Fi-QoS Packet Scheduler-0000"), 1 << 8) << "a chosen row counts whatever it is";
    table.rows.erase(table.rows.begin() + 3, table.rows.begin() + 6);
    table.rows.erase(table.rows.begin());
    EXPECT_EQ(GetInOctets(""), (1 << 10) + (1 << 11)) << "no row qualifies: every own, non-loopback row";
    table.rows.erase(table.rows.begin() + 2, table.rows.begin() + 4);
    EXPECT_EQ(GetInOctets(""), (1 << 8) + (1 << 9) + (1 << 12) + (1 << 13))
        << "none of those either: every row";
}

// The newer table is joined by index, in whatever order it comes; a row it lacks is read from the old
// table alone. Without it, filter rows are known by their names.
TEST_F(Reader, JoinsTheTablesByIndexAndWithoutTheNewerOneKnowsFiltersByName) {
    const auto listed = [] {
        std::vector<std::pair<std::string, std::string>> out;
        for (const auto& row : GetListedInterfaces())
            out.emplace_back(row.name, row.alias);
        return out;
    };
    using Listed = std::vector<std::pair<std::string, std::string>>;
    table.rows = {Kind("Intel X", 0x100000005ull, 4, 6, true, false),
                  Kind("Intel X-QoS Packet Scheduler-0000", 0x100000005ull, 9, 6, true, true),
                  Kind("Intel X-0000", 0, 2, 6, true, false),
                  Kind("Intel X-QoS-000", 0, 7, 6, true, false),
                  Kind("Intel X-QoS-00a0", 0, 5, 6, true, false),
                  Kind("Other-Foo-0000", 0, 3, 6, true, false),
                  Kind("X-Intel X-QoS-0000", 0, 8, 6, true, false)};
    for (std::size_t i = 0; i < table.rows.size(); ++i)
        table.rows[i].alias = "alias " + std::to_string(i);
    table.rows[3].inTable2 = false;
    table.table2Reversed = true;
    EXPECT_EQ(listed(), (Listed{{"Intel X", "alias 0"},
                                {"Intel X-0000", "alias 2"},
                                {"Intel X-QoS-000", ""},
                                {"Intel X-QoS-00a0", "alias 4"},
                                {"Other-Foo-0000", "alias 5"},
                                {"X-Intel X-QoS-0000", "alias 6"}}));
    table.noTable2 = true;
    EXPECT_EQ(listed(), (Listed{{"Intel X", ""},
                                {"Intel X-0000", ""},
                                {"Intel X-QoS-000", ""},
                                {"Intel X-QoS-00a0", ""},
                                {"Other-Foo-0000", ""},
                                {"X-Intel X-QoS-0000", ""}}));
    EXPECT_EQ(GetInOctets("Intel X"), 5) << "the old table's counters";
}
