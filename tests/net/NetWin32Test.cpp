// The reader, the timers and the sampler on the system's own interface table and timers.
#include "IfTableContract.h"
#include "app/SystemInstall.h"
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

namespace {
struct SystemTableProvider {
    static IInterfaceTable& Table() {
        static Win32InterfaceTable table;
        return table;
    }
};
} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(System, IfTableContract, SystemTableProvider);

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
