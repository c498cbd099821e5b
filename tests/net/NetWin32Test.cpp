// The reader, the timers and the sampler on the system's own interface table and timers.
#include "AllocCounter.h"
#include "IfTableContract.h"
#include "SystemTimerContract.h"
#include "net/NetSeamsWin32.h"
#include "net/cNetStatus.h"
#include "support/WinTestUtil.h"

#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {
struct SystemTableProvider {
    static IInterfaceTable& Table() {
        static Win32InterfaceTable table;
        return table;
    }
    static void Prepare() {}
};

struct SystemTimerProvider {
    static ISystemTimer& Timers() {
        static Win32SystemTimer timers;
        return timers;
    }
    static bool DeliverUntil(const std::function<bool()>& done) { return PumpUntil(done, 800); }
};

class SystemNet : public testing::Test {
protected:
    void SetUp() override {
        ResetTimerTable();
        UseSystemNetworkSeams();
    }
    void TearDown() override {
        ResetTimerTable();
        SetSystemTimer(nullptr);
        SetInterfaceTable(nullptr);
    }
};
} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(System, IfTableContract, SystemTableProvider);
INSTANTIATE_TYPED_TEST_SUITE_P(System, SystemTimerContract, SystemTimerProvider);

TEST_F(SystemNet, TheTableHasANamedLoopbackRowAndTheReaderSeesEveryRow) {
    ULONG size = 0;
    ASSERT_EQ(GetIfTable(nullptr, &size, FALSE), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    std::vector<DWORD> words(size / sizeof(DWORD) + 1);
    auto* table = reinterpret_cast<MIB_IFTABLE*>(words.data());
    ASSERT_EQ(GetIfTable(table, &size, FALSE), static_cast<DWORD>(NO_ERROR));

    const std::vector<std::string> names = GetInterfaceNames();
    ASSERT_EQ(names.size(), table->dwNumEntries);
    EXPECT_EQ(NumInterfaces(), static_cast<int32_t>(table->dwNumEntries));
    bool loopback = false;
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        const MIB_IFROW& row = table->table[i];
        EXPECT_FALSE(names[i].empty()) << "row " << i;
        EXPECT_EQ(names[i].find('\0'), std::string::npos);
        EXPECT_LE(names[i].size(), row.dwDescrLen);
        EXPECT_EQ(names[i], std::string(reinterpret_cast<const char*>(row.bDescr), names[i].size()));
        if (row.dwType == IF_TYPE_SOFTWARE_LOOPBACK)
            loopback = !names[i].empty();
    }
    EXPECT_TRUE(loopback) << "no named loopback row";
}

TEST_F(SystemNet, SamplerStartsWithABaselineThenTicksAboutOnceASecond) {
    struct Sample {
        DWORD at;
        int32_t in, out;
    };
    std::vector<Sample> samples;
    samples.reserve(16);
    auto net = std::make_unique<cNetStatus>();
    net->Status = [&](int32_t lIn, int32_t lOut) { samples.push_back({GetTickCount(), lIn, lOut}); };
    net->Start();
    ASSERT_EQ(samples.size(), 1u) << "Start must sample before it returns";
    EXPECT_EQ(samples[0].in, 0);
    EXPECT_EQ(samples[0].out, 0);

    ASSERT_TRUE(PumpUntil([&] { return samples.size() >= 4; }, 8000)) << samples.size() << " samples";
    for (std::size_t i = 1; i < samples.size(); ++i) {
        const DWORD gap = samples[i].at - samples[i - 1].at;
        EXPECT_GE(gap, 500u) << "tick " << i;
        EXPECT_LE(gap, 2000u) << "tick " << i;
        EXPECT_GE(samples[i].in, 0) << "traffic cannot run backwards on a steady machine";
        EXPECT_GE(samples[i].out, 0);
    }

    // Destroyed, the sampler leaves its timer running for no one.
    const std::shared_ptr<CTimer> timer = net->Timer();
    net.reset();
    const std::size_t seen = samples.size();
    PumpFor(1300);
    EXPECT_NE(TimerSlotOf(*timer), 0);
    EXPECT_EQ(samples.size(), seen);
}

TEST_F(SystemNet, ATickOnTheRealTableAllocatesNothing) {
    int32_t total = 0;
    cNetStatus net;
    net.Status = [&total](int32_t lIn, int32_t lOut) { total += (lIn >= 0) + (lOut >= 0); };
    net.Start();
    const uintptr_t id = net.Timer()->TimerID();
    const std::size_t before = AllocationCount();
    for (int i = 0; i < 100; ++i)
        TimerProc(0, WM_TIMER, id, 0);
    EXPECT_EQ(AllocationCount() - before, 0u);
    EXPECT_EQ(total, 202) << "every tick must have sampled";
}
