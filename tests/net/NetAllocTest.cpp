#include "AllocCounter.h"
#include "net/MTimer.h"
#include "net/NetFakes.h"
#include "net/cNetStatus.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
// Operator new calls during `ticks` sampler ticks over a fake table of `rows` rows.
std::size_t AllocationsPerTicks(std::size_t rows, const std::string& watched, int ticks) {
    FakeInterfaceTable table;
    FakeSystemTimer sys;
    for (std::size_t i = 0; i < rows; ++i)
        table.rows.push_back(
            FakeInterfaceTable::WindowsRow("Adapter " + std::to_string(i), 1000 * i, 10 * i));
    ResetTimerTable();
    SetInterfaceTable(&table);
    SetSystemTimer(&sys);
    int64_t sum = 0;
    {
        cNetStatus net;
        net.Status = [&sum](int32_t lIn, int32_t lOut) { sum += lIn + lOut; };
        net.SetInterface(watched);
        net.Start();
        const uintptr_t id = net.Timer()->TimerID();
        const std::size_t before = AllocationCount();
        for (int i = 0; i < ticks; ++i) {
            for (auto& row : table.rows)
                row.inOctets += 100;
            sys.Fire(id);
        }
        const std::size_t used = AllocationCount() - before;
        ResetTimerTable();
        SetInterfaceTable(nullptr);
        SetSystemTimer(nullptr);
        EXPECT_GT(sum, 0) << "the ticks did not sample";
        return used;
    }
}
} // namespace

TEST(NetAllocations, ATickAllocatesNothingOnceTheTableHasBeenSeen) {
    EXPECT_EQ(AllocationsPerTicks(4, "", 50), 0u);
    EXPECT_EQ(AllocationsPerTicks(32, "Adapter 31", 50), 0u);
    // Beyond the fixed room the snapshot and the baselines grow once, at Start, and are kept.
    EXPECT_EQ(AllocationsPerTicks(64, "", 50), 0u);
    EXPECT_EQ(AllocationsPerTicks(256, "Adapter 255", 50), 0u);
}
