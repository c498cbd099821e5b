// The reader, the timers and the sampler on the system's own interface table and timers.
#include "AllocCounter.h"
#include "IfTableContract.h"
#include "net/MTimer.h"
#include "net/NetSeamsWin32.h"
#include "net/cNetStatus.h"
#include "net/mNetStatus.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
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

// The first sample comes inside Start, the next from the system timer about a second later; ticks
// on the real table never run backwards and allocate nothing. Every row has a name: Wine counts a
// description without its NUL, Windows with it.
TEST(SystemNet, TheSamplerTicksAboutOnceASecondWithoutAllocating) {
    UseSystemNetworkSeams();
    const std::vector<std::string> names = GetInterfaceNames();
    ASSERT_EQ(names.size(), static_cast<std::size_t>(NumInterfaces()));
    for (const std::string& name : names)
        EXPECT_TRUE(!name.empty() && name.find('\0') == std::string::npos);
    std::vector<std::pair<DWORD, int32_t>> samples;
    samples.reserve(200);
    cNetStatus net;
    net.Status = [&](int32_t lIn, int32_t lOut) {
        samples.emplace_back(GetTickCount(), std::min(lIn, lOut));
    };
    net.Start();
    ASSERT_EQ(samples.size(), 1u) << "Start must sample before it returns";
    EXPECT_EQ(samples[0].second, 0);
    ASSERT_TRUE(PumpUntil([&] { return samples.size() >= 2; }, 3000));
    EXPECT_TRUE(samples[1].first - samples[0].first >= 500 && samples[1].first - samples[0].first <= 2000)
        << samples[1].first - samples[0].first << " ms";
    const std::size_t before = AllocationCount(), seen = samples.size();
    for (int i = 0; i < 100; ++i)
        TimerProc(0, WM_TIMER, net.Timer()->TimerID(), 0);
    EXPECT_EQ(AllocationCount() - before, 0u);
    ASSERT_EQ(samples.size(), seen + 100);
    for (const auto& [at, least] : samples)
        EXPECT_GE(least, 0) << "traffic cannot run backwards on a steady machine";
}
