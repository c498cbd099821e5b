// The reader, the timers and the sampler on the system's own interface table and timers.
#include "AllocCounter.h"
#include "IfTableContract.h"
#include "net/CTimer.h"
#include "net/MTimer.h"
#include "net/NetSeamsWin32.h"
#include "net/cNetStatus.h"
#include "support/WinTestUtil.h"

#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
struct SystemTableProvider {
    static IInterfaceTable& Table() {
        static Win32InterfaceTable table;
        return table;
    }
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

// Wine counts a description without its NUL, Windows with it: either way the name is the text alone.
TEST_F(SystemNet, EveryRowIsNamedByItsDescription) {
    ULONG size = 0;
    ASSERT_EQ(GetIfTable(nullptr, &size, FALSE), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    std::vector<DWORD> words(size / sizeof(DWORD) + 1);
    auto* table = reinterpret_cast<MIB_IFTABLE*>(words.data());
    ASSERT_EQ(GetIfTable(table, &size, FALSE), static_cast<DWORD>(NO_ERROR));
    const std::vector<std::string> names = GetInterfaceNames();
    ASSERT_EQ(names.size(), table->dwNumEntries);
    EXPECT_EQ(NumInterfaces(), static_cast<int32_t>(table->dwNumEntries));
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        const MIB_IFROW& row = table->table[i];
        const auto* descr = reinterpret_cast<const char*>(row.bDescr);
        EXPECT_EQ(names[i], std::string(descr, strnlen(descr, std::min<DWORD>(row.dwDescrLen, 256))));
        EXPECT_FALSE(names[i].empty()) << "row " << i;
    }
}

// The first sample comes inside Start, the next from the system timer about a second later; ticks
// on the real table never run backwards and allocate nothing.
TEST_F(SystemNet, TheSamplerTicksAboutOnceASecondWithoutAllocating) {
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

// The table tells system timers apart by identifier alone: two at once tick on their own, and one that
// is stopped ticks no more while the other goes on.
TEST_F(SystemNet, SystemTimersTickUnderIdentifiersOfTheirOwnUntilStopped) {
    int a = 0, b = 0;
    auto ta = CTimer::New(), tb = CTimer::New();
    ta->ThatTime = [&a] { ++a; };
    tb->ThatTime = [&b] { ++b; };
    ta->SetInterval(20);
    tb->SetInterval(20);
    EXPECT_NE(ta->TimerID(), tb->TimerID());
    ASSERT_TRUE(PumpUntil([&] { return a >= 2 && b >= 2; }, 3000));
    ta->SetInterval(0);
    const int stoppedAt = a, goneOn = b;
    ASSERT_TRUE(PumpUntil([&] { return b >= goneOn + 3; }, 3000));
    EXPECT_EQ(a, stoppedAt);
}
