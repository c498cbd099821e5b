// The reader, the timers and the sampler on the system's own interface table and timers.
#include "app/SystemInstall.h"
#include "net/IfTableLayout.h"
#include "net/InterfaceReader.h"
#include "net/MTimer.h"
#include "net/NetSeamsWin32.h"
#include "net/cNetStatus.h"
#include "support/AllocCounter.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <iphlpapi.h>

#include <cstddef>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {
Win32InterfaceTable g_table;
} // namespace

// Too little room gets the size of the whole table and nothing written; that size or more gets every
// row, each with a description and an index of its own (the sampler tells adapters apart by both).
TEST(SystemTable, TellsTheSizeItNeedsThenFillsABufferOfThatSize) {
    using namespace IfTableLayout;
    std::vector<uint32_t> words(4000, 0xABABABABu);
    const auto* bytes = reinterpret_cast<const unsigned char*>(words.data());
    EXPECT_EQ(g_table.GetIfTable(words.data(), nullptr, false), kInvalidParameter);
    uint32_t needed = 0;
    ASSERT_EQ(g_table.GetIfTable(nullptr, &needed, false), kInsufficientBuffer);
    ASSERT_GE(needed, TableSize(1));
    ASSERT_EQ((needed - kHeaderSize) % kRowSize, 0u) << needed;
    words.resize(needed / 4 + 1250, 0xABABABABu);
    uint32_t size = needed - 1;
    EXPECT_EQ(g_table.GetIfTable(words.data(), &size, false), kInsufficientBuffer);
    EXPECT_EQ(size, needed);
    EXPECT_EQ(words[0], 0xABABABABu);
    for (const uint32_t extra : {0u, 5000u}) {
        size = needed + extra;
        ASSERT_EQ(g_table.GetIfTable(words.data(), &size, false), kNoError);
        EXPECT_EQ(size, needed + extra);
        ASSERT_EQ(TableSize(ReadU32(bytes)), needed);
        std::set<uint32_t> indexes{0};
        for (uint32_t i = 0; i < ReadU32(bytes); ++i) {
            const unsigned char* row = bytes + TableSize(i);
            EXPECT_GT(ReadU32(row + kDescrLen), 0u) << "row " << i;
            EXPECT_LE(ReadU32(row + kDescrLen), kDescrSize) << "row " << i;
            EXPECT_TRUE(indexes.insert(ReadU32(row + kIndex)).second)
                << "row " << i << ": index 0 or repeated";
        }
    }
}

// The newer table tells its row count whatever the room given and fills only that room. (That it
// knows every row of the old table is the join's test below: no row is read from the old table alone.)
TEST(SystemTable, TheNewerTableCountsItsRowsAndFillsOnlyTheRoomGiven) {
    std::size_t count = 0;
    ASSERT_TRUE(g_table.GetIfTable2(nullptr, 0, &count));
    ASSERT_GE(count, 1u);
    std::vector<IfRow2> rows(count + 1);
    rows.back().index = 0xDEADu;
    std::size_t again = 0;
    ASSERT_TRUE(g_table.GetIfTable2(rows.data(), count, &again));
    EXPECT_EQ(again, count);
    EXPECT_EQ(rows.back().index, 0xDEADu) << "written beyond the room given";
}

// The system timer's ticks reach the sampler, and ticks on the real table allocate nothing. The first
// sample inside Start and the one-second interval handed to the timer are the sampler's own tests'; the
// table's names and counters are read by the contract above.
TEST(SystemNet, TheSystemTimerTicksTheSamplerWithoutAllocating) {
    InstallSystemServices();
    std::size_t samples = 0;
    cNetStatus net;
    net.Status = [&](int32_t, int32_t) { ++samples; };
    net.Start();
    ASSERT_TRUE(PumpUntil([&] { return samples >= 2; }, 3000)) << "no tick from the system timer";
    const std::size_t before = AllocationCount(), seen = samples;
    for (int i = 0; i < 100; ++i)
        TimerProc(0, WM_TIMER, net.Timer()->TimerID(), 0);
    EXPECT_EQ(AllocationCount() - before, 0u);
    EXPECT_EQ(samples, seen + 100) << "the ticks must reach the sampler for the count to mean anything";
}

// Wine joins the two tables on every row, marks every row but loopback as hardware and none as a
// filter (what real Windows marks is in the recorded tables), and its newer counters carry the old
// table's low 32 bits.
TEST(SystemNet, TheTwoTablesJoinOnEveryRowWithWinesFlags) {
    UseSystemNetworkSeams();
    const auto reader = std::make_unique<InterfaceReader>();
    const auto rows = reader->Take();
    ASSERT_FALSE(rows.empty());
    bool loopback = false;
    for (const InterfaceRow& row : rows) {
        const std::string name(row.descr);
        EXPECT_FALSE(row.legacy) << name;
        EXPECT_FALSE(row.filter) << name;
        EXPECT_EQ(row.hardware, row.type != kSoftwareLoopback) << name;
        EXPECT_FALSE(row.alias.empty()) << name;
        loopback = loopback || row.type == kSoftwareLoopback;
    }
    EXPECT_TRUE(loopback) << "Wine lists lo";
    std::vector<unsigned char> old(IfTableLayout::TableSize(rows.size() + 8));
    ULONG size = static_cast<ULONG>(old.size());
    ASSERT_EQ(GetIfTable(reinterpret_cast<PMIB_IFTABLE>(old.data()), &size, FALSE), NO_ERROR);
    const auto* table = reinterpret_cast<const MIB_IFTABLE*>(old.data());
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        for (const InterfaceRow& row : rows) {
            // The old table was read a moment later: its counter is at least the newer one's, modulo 2^32.
            if (row.index != table->table[i].dwIndex)
                continue;
            EXPECT_LT(table->table[i].dwInOctets - static_cast<uint32_t>(row.inOctets), 1u << 30)
                << row.descr;
        }
    }
}
