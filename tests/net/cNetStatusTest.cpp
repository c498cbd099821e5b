#include "net/cNetStatus.h"
#include "app/AppError.h"
#include "net/MTimer.h"
#include "net/NetFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

using Samples = std::vector<std::pair<int32_t, int32_t>>;

namespace {
class Sampler : public testing::Test {
protected:
    void SetUp() override {
        ResetTimerTable();
        SetSystemTimer(&sys);
        SetInterfaceTable(&table);
        table.rows = {FakeInterfaceTable::WindowsRow("Loopback", 0, 0),
                      FakeInterfaceTable::WindowsRow("eth0", 5000, 300)};
        net = std::make_unique<cNetStatus>();
        net->Status = [this](int32_t lIn, int32_t lOut) { samples.emplace_back(lIn, lOut); };
    }
    void TearDown() override {
        net.reset();
        ResetTimerTable();
        SetSystemTimer(nullptr);
        SetInterfaceTable(nullptr);
    }

    // One tick of the sampler's timer as the system delivers it; the sample it raised.
    std::pair<int32_t, int32_t> Tick() {
        samples.clear();
        EXPECT_TRUE(sys.Fire(net->Timer()->TimerID()));
        EXPECT_EQ(samples.size(), 1u);
        return samples.empty() ? std::pair{-99, -99} : samples.back();
    }
    void Counters(std::size_t row, uint32_t in, uint32_t out) {
        table.rows[row].inOctets = in;
        table.rows[row].outOctets = out;
    }

    FakeInterfaceTable table;
    FakeSystemTimer sys;
    std::unique_ptr<cNetStatus> net;
    Samples samples;
};
} // namespace

TEST_F(Sampler, StartTakesABaselineSampleBeforeReturningThenTicksEverySecond) {
    net->SetInterface("eth0");
    net->Start();
    EXPECT_EQ(samples, (Samples{{0, 0}}));
    ASSERT_TRUE(net->Timer());
    EXPECT_EQ(net->Timer()->Interval(), 1000);
    EXPECT_EQ(sys.ElapseOf(net->Timer()->TimerID()), 1000u);

    Counters(1, 7048, 310);
    EXPECT_EQ(Tick(), std::pair(2048, 10));
    EXPECT_EQ(Tick(), std::pair(0, 0)); // nothing moved
    Counters(1, 7100, 400);
    EXPECT_EQ(Tick(), std::pair(52, 90));
    EXPECT_EQ(net->Interface(), "eth0");
}

TEST_F(Sampler, TheEmptyInterfaceSumsAllAndAChangeOfInterfaceTakesAFreshBaseline) {
    net->Start();
    Counters(0, 100, 100);
    EXPECT_EQ(Tick(), std::pair(100, 100)); // loopback traffic counts in the sum

    net->SetInterface("eth0");
    EXPECT_EQ(net->Interface(), "eth0");
    Counters(1, 9000, 900);
    EXPECT_EQ(Tick(), std::pair(0, 0)) << "the first tick after a change only takes the baseline";
    Counters(1, 9500, 950);
    EXPECT_EQ(Tick(), std::pair(500, 50));

    net->SetInterface(""); // back to all: the sum is far above the single counter
    EXPECT_EQ(Tick(), std::pair(0, 0));
}

TEST_F(Sampler, AdaptersThatComeAndGoAddNothingToTheSumOfAllInterfaces) {
    table.rows = {FakeInterfaceTable::WindowsRow("Loopback", 0, 0, 1),
                  FakeInterfaceTable::WindowsRow("eth0", 5000, 300, 2)};
    net->Start();
    Counters(1, 5100, 310);
    EXPECT_EQ(Tick(), std::pair(100, 10));

    // A VPN appears with counters of its own: its first reading is only its baseline.
    table.rows.insert(table.rows.begin() + 1, FakeInterfaceTable::WindowsRow("VPN", 900000000, 4000000, 7));
    Counters(2, 5150, 310);
    EXPECT_EQ(Tick(), std::pair(50, 0));
    Counters(1, 900001000, 4000020);
    EXPECT_EQ(Tick(), std::pair(1000, 20));

    // It goes, while eth0 moves on: nothing is taken away.
    table.rows.erase(table.rows.begin() + 1);
    Counters(1, 5170, 311);
    EXPECT_EQ(Tick(), std::pair(20, 1));
    // It comes back under a new index: a baseline again. The table's order changes too.
    table.rows.insert(table.rows.begin(), FakeInterfaceTable::WindowsRow("VPN", 123, 45, 8));
    EXPECT_EQ(Tick(), std::pair(0, 0));
    std::swap(table.rows[0], table.rows[2]);
    table.rows[0].inOctets += 7;
    table.rows[2].inOctets += 9;
    EXPECT_EQ(Tick(), std::pair(16, 0));
    // Its index goes to another adapter: a baseline, whatever the counters.
    table.rows[2] = FakeInterfaceTable::WindowsRow("Wi-Fi", 5000, 500, 8);
    EXPECT_EQ(Tick(), std::pair(0, 0));
}

TEST_F(Sampler, AWatchedInterfaceThatVanishesGivesZeroesAndItsReturnIsABaseline) {
    table.rows[1] = FakeInterfaceTable::WindowsRow("eth0", 5000, 1, 2);
    net->SetInterface("eth0");
    net->Start();
    Counters(1, 7048, 21);
    EXPECT_EQ(Tick(), std::pair(2048, 20));
    table.rows.pop_back();
    EXPECT_EQ(Tick(), std::pair(0, 0));
    EXPECT_EQ(Tick(), std::pair(0, 0));
    // Back under a new index, with counters above the old ones: still only a baseline.
    table.rows.push_back(FakeInterfaceTable::WindowsRow("eth0", 9000, 30, 3));
    EXPECT_EQ(Tick(), std::pair(0, 0));
    Counters(1, 9060, 35);
    EXPECT_EQ(Tick(), std::pair(60, 5));
}

TEST_F(Sampler, ACounterThatGoesBackRestartsItsRowWhileARealWrapStillCounts) {
    table.rows[0] = FakeInterfaceTable::WindowsRow("Loopback", 1000, 1000, 1);
    table.rows[1] = FakeInterfaceTable::WindowsRow("eth0", 5000, 0xFFFFFF00u, 2);
    net->Start();
    // eth0's counters restart from zero while the loopback moves: only the loopback counts.
    Counters(0, 1100, 1000);
    Counters(1, 40, 0x10);
    EXPECT_EQ(Tick(), std::pair(100, 0x110)) << "out wrapped from the top of the range: it counts";
    Counters(1, 100, 0x20);
    EXPECT_EQ(Tick(), std::pair(60, 0x10)) << "the restarted counter is the new baseline";

    net->SetInterface("eth0");
    Counters(1, 0xF0000000u, 0x80000010u);
    EXPECT_EQ(Tick(), std::pair(0, 0));
    // Back by a little from the top half is no wrap (that would be 3.75 GB in a second).
    Counters(1, 0xE0000000u, 5);
    EXPECT_EQ(Tick(), std::pair(0, 0x7FFFFFF5));
    Counters(1, 0xE0000005u, 6);
    EXPECT_EQ(Tick(), std::pair(5, 1));
}

TEST_F(Sampler, TwoRowsWithTheSameNameAreTwoInterfacesAndTheFirstIsTheWatchedOne) {
    table.rows = {FakeInterfaceTable::WindowsRow("NIC", 100, 0, 3),
                  FakeInterfaceTable::WindowsRow("NIC", 200, 0, 4)};
    net->Start();
    Counters(0, 110, 0);
    Counters(1, 220, 0);
    EXPECT_EQ(Tick(), std::pair(30, 0));

    net->SetInterface("NIC");
    EXPECT_EQ(Tick(), std::pair(0, 0));
    Counters(0, 115, 0);
    Counters(1, 2000, 0);
    EXPECT_EQ(Tick(), std::pair(5, 0));
    // The first goes: the second is now the watched row, and its first reading a baseline.
    table.rows.erase(table.rows.begin());
    EXPECT_EQ(Tick(), std::pair(0, 0));
    Counters(0, 2003, 0);
    EXPECT_EQ(Tick(), std::pair(3, 0));
}

TEST_F(Sampler, TheSumAcrossManyRowsCountsEachOnceInAnyOrderAndStopsAtTheLargestSample) {
    table.rows.clear();
    for (uint32_t i = 0; i < 256; ++i)
        table.rows.push_back(
            FakeInterfaceTable::WindowsRow("Adapter " + std::to_string(i), i * 1000, 7, 10 + i));
    net->Start();
    for (auto& row : table.rows)
        row.inOctets += row.index - 9; // 1 to 256
    EXPECT_EQ(Tick(), std::pair(256 * 257 / 2, 0));
    std::reverse(table.rows.begin(), table.rows.end());
    for (auto& row : table.rows)
        row.inOctets += 2;
    table.rows[5].outOctets += 1;
    EXPECT_EQ(Tick(), std::pair(512, 1));

    // Each row's movement is possible, their sum is not a sample: the largest one stands for it.
    table.rows[0].inOctets += 0x60000000u;
    table.rows[1].inOctets += 0x60000000u;
    EXPECT_EQ(Tick(), std::pair(0x7FFFFFFF, 0));
}

TEST_F(Sampler, ALongRandomWalkOfAdaptersNeverGoesNegativeAndCountsEveryOctetFedIn) {
    struct Adapter {
        bool fresh; // joined since the last tick: its reading is only a baseline
    };
    std::mt19937 rng(20240607);
    const auto below = [&rng](uint32_t n) { return n ? static_cast<uint32_t>(rng() % n) : 0u; };
    table.rows.clear();
    std::vector<Adapter> adapters;
    uint32_t nextIndex = 1;
    const auto join = [&] {
        const uint32_t at = below(static_cast<uint32_t>(table.rows.size()) + 1);
        const uint32_t index = nextIndex++;
        // Names repeat, as identical adapters' descriptions do; counters start anywhere, near the top too.
        table.rows.insert(table.rows.begin() + at,
                          FakeInterfaceTable::WindowsRow("Adapter " + std::to_string(index % 7),
                                                         static_cast<uint32_t>(rng()),
                                                         static_cast<uint32_t>(rng()), index));
        adapters.insert(adapters.begin() + at, Adapter{true});
    };
    for (int i = 0; i < 28; ++i)
        join();
    net->Start();
    for (auto& a : adapters)
        a.fresh = false;

    int64_t fedIn = 0, fedOut = 0, seenIn = 0, seenOut = 0;
    int wraps = 0;
    for (int tick = 0; tick < 3000 && !HasFailure(); ++tick) {
        for (int n = below(3); n > 0 && table.rows.size() < 44; --n)
            join();
        for (int n = below(3); n > 0 && !table.rows.empty(); --n) {
            const uint32_t at = below(static_cast<uint32_t>(table.rows.size()));
            table.rows.erase(table.rows.begin() + at);
            adapters.erase(adapters.begin() + at);
        }
        if (below(40) == 0 && !table.rows.empty()) {
            const uint32_t at = below(static_cast<uint32_t>(table.rows.size()));
            std::swap(table.rows[at], table.rows.back());
            std::swap(adapters[at], adapters.back());
        }
        for (std::size_t i = 0; i < table.rows.size(); ++i) {
            auto& row = table.rows[i];
            // A restart from the lower half only: from the upper half it cannot be told from a wrap.
            if (below(30) == 0 && row.inOctets < 0x80000000u && row.outOctets < 0x80000000u) {
                row.inOctets = below(row.inOctets);
                row.outOctets = below(row.outOctets);
                continue;
            }
            const uint32_t in = below(5) == 0 ? below(40000000) : below(200000);
            const uint32_t out = below(50000);
            wraps += row.inOctets + in < row.inOctets;
            row.inOctets += in; // wraps at 2^32 as the system's counters do
            row.outOctets += out;
            if (!adapters[i].fresh) {
                fedIn += in;
                fedOut += out;
            }
        }
        const auto [lIn, lOut] = Tick();
        ASSERT_GE(lIn, 0) << "tick " << tick;
        ASSERT_GE(lOut, 0) << "tick " << tick;
        seenIn += lIn;
        seenOut += lOut;
        for (auto& a : adapters)
            a.fresh = false;
    }
    EXPECT_EQ(seenIn, fedIn);
    EXPECT_EQ(seenOut, fedOut);
    EXPECT_GT(wraps, 50) << "the walk must wrap counters many times over";
}

TEST_F(Sampler, CountersThatWrapOrCross2To31GiveTheirTrueDifference) {
    net->SetInterface("eth0");
    Counters(1, 0xFFFFFFFFu, 0x7FFFFF00u);
    net->Start();
    Counters(1, 5, 0x80000100u);
    EXPECT_EQ(Tick(), std::pair(6, 0x200));
    Counters(1, 0x7FFFFFFFu, 0xFFFFFFF0u); // a gap of nearly 2^31 in, across the top out
    EXPECT_EQ(Tick(), std::pair(0x7FFFFFFA, 0x7FFFFEF0));

    net->SetInterface(""); // the all-interfaces sum wraps as one counter
    Counters(0, 0xFFFFFF00u, 0);
    Counters(1, 0x80u, 0);
    EXPECT_EQ(Tick(), std::pair(0, 0));
    Counters(0, 0xFFFFFFF0u, 0);
    Counters(1, 0x100u, 0);
    EXPECT_EQ(Tick(), std::pair(0x170, 0));
}

TEST_F(Sampler, ADestroyedSamplerLeavesItsTimerRunningForNoOne) {
    net->Start();
    const uintptr_t id = net->Timer()->TimerID();
    net.reset();
    samples.clear();
    EXPECT_TRUE(sys.IsRunning(id)) << "the sampler has no stop: its timer runs on";
    EXPECT_TRUE(sys.Fire(id));
    EXPECT_TRUE(sys.Fire(id));
    EXPECT_TRUE(samples.empty());
}

TEST_F(Sampler, AStatusHandlerMayChooseAnotherInterfaceOrReleaseTheSampler) {
    net->Start();
    net->Status = [this](int32_t lIn, int32_t lOut) {
        samples.emplace_back(lIn, lOut);
        net->SetInterface("eth0");
    };
    Counters(1, 6000, 400);
    EXPECT_EQ(Tick(), std::pair(1000, 100));
    Counters(1, 8000, 800);
    EXPECT_EQ(Tick(), std::pair(0, 0)) << "the baseline asked for inside the handler must hold";

    const uintptr_t id = net->Timer()->TimerID();
    net->Status = [this](int32_t lIn, int32_t lOut) {
        samples.emplace_back(lIn, lOut);
        net.reset();
    };
    samples.clear();
    EXPECT_TRUE(sys.Fire(id));
    EXPECT_EQ(net, nullptr);
    EXPECT_TRUE(sys.Fire(id));
    EXPECT_EQ(samples.size(), 1u);
}

TEST_F(Sampler, ASecondStartReplacesTheTimerInsteadOfAddingOne) {
    net->Start();
    const uintptr_t first = net->Timer()->TimerID();
    net->Start();
    EXPECT_FALSE(sys.IsRunning(first));
    EXPECT_EQ(sys.RunningCount(), 1u);
    samples.clear();
    sys.FireAll();
    EXPECT_EQ(samples.size(), 1u);
}

TEST_F(Sampler, StartWithoutASystemTimerRaises13652AndSamplesNothing) {
    sys.failSetTimer = true;
    try {
        net->Start();
        FAIL() << "Start must raise";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number, ObjectError(13652));
    }
    EXPECT_TRUE(samples.empty());
    EXPECT_EQ(sys.RunningCount(), 0u);
}
