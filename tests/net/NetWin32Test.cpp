// The reader, the timers and the sampler on the system's own interface table and timers.
#include "AllocCounter.h"
#include "IfTableContract.h"
#include "net/MTimer.h"
#include "net/NetSeamsWin32.h"
#include "net/cNetStatus.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct SystemTableProvider {
    static IInterfaceTable& Table() {
        static Win32InterfaceTable table;
        return table;
    }
};
} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(System, IfTableContract, SystemTableProvider);

// The first sample comes inside Start (as the sampler's own tests show), the next from the system timer
// about a second later; ticks on the real table allocate nothing. The table's names and counters are
// read by the contract above; what the sampler makes of them is its own tests' to check.
TEST(SystemNet, TheSamplerTicksAboutOnceASecondWithoutAllocating) {
    UseSystemNetworkSeams();
    std::vector<DWORD> samples;
    samples.reserve(200);
    cNetStatus net;
    net.Status = [&](int32_t, int32_t) { samples.push_back(GetTickCount()); };
    net.Start();
    ASSERT_TRUE(PumpUntil([&] { return samples.size() >= 2; }, 3000));
    EXPECT_TRUE(samples[1] - samples[0] >= 500 && samples[1] - samples[0] <= 2000) << samples[1] - samples[0];
    const std::size_t before = AllocationCount(), seen = samples.size();
    for (int i = 0; i < 100; ++i)
        TimerProc(0, WM_TIMER, net.Timer()->TimerID(), 0);
    EXPECT_EQ(AllocationCount() - before, 0u);
    EXPECT_EQ(samples.size(), seen + 100);
}
