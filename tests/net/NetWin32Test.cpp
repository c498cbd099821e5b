// The reader, the timers and the sampler on the system's own interface table and timers.
#include "IfTableContract.h"
#include "app/SystemInstall.h"
#include "net/MTimer.h"
#include "net/NetSeamsWin32.h"
#include "net/cNetStatus.h"
#include "support/AllocCounter.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <cstddef>

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
