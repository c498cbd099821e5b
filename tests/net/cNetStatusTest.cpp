#include "net/cNetStatus.h"
#include "base/mBenchmark.h"
#include "base/mLogging.h"
#include "net/MTimer.h"
#include "support/AllocCounter.h"
#include "support/FakeLogSystem.h"
#include "support/NetFakes.h"
#include "support/ScopedSeam.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

using Samples = std::vector<std::pair<int32_t, int32_t>>;

namespace {
uint64_t g_now = 0;

class Sampler : public testing::Test {
protected:
    void SetUp() override {
        g_now = 5000000000ull; // beyond 32 bits: the sampler's clock does not wrap
        ResetTimerTable();
        table.rows = {FakeInterfaceTable::WindowsRow("Loopback", 0, 0, 1),
                      FakeInterfaceTable::WineRow("eth0", 5000, 300, 2)};
        net = std::make_unique<cNetStatus>();
        net->Status = [this](int32_t lIn, int32_t lOut) { samples.emplace_back(lIn, lOut); };
    }
    void TearDown() override {
        net.reset();
        ResetTimerTable();
    }

    // Every sample of one tick of the sampler's timer as the system delivers it, `ms` after the one before.
    const Samples& LateTick(uint64_t ms) {
        g_now += ms;
        samples.clear();
        EXPECT_TRUE(sys.Fire(net->Timer()->TimerID()));
        return samples;
    }
    // The one sample of an on-time tick.
    std::pair<int32_t, int32_t> Tick() {
        const Samples& raised = LateTick(1000); // no copy: the tick's allocations are counted
        EXPECT_EQ(raised.size(), 1u);
        return raised.empty() ? std::pair{-99, -99} : raised.back();
    }
    void Counters(std::size_t row, uint64_t in, uint64_t out) {
        table.rows[row].inOctets = in;
        table.rows[row].outOctets = out;
    }

    FakeInterfaceTable table;
    FakeSystemTimer sys;
    ScopedSeam<IInterfaceTable*> useTable{CurrentInterfaceTable, SetInterfaceTable, &table};
    ScopedSeam<ISystemTimer*> useTimers{CurrentSystemTimer, SetSystemTimer, &sys};
    ScopedSeam<TickSource64> useClock{CurrentTickSource64, SetTickSource64, [] { return g_now; }};
    std::unique_ptr<cNetStatus> net;
    Samples samples;
};
} // namespace

TEST_F(Sampler, StartAndAChangeOfInterfaceTakeABaselineAndAVanishedInterfaceComesBackAsOne) {
    net->SetInterface("eth0");
    net->Start();
    EXPECT_EQ(samples, (Samples{{0, 0}}));
    EXPECT_EQ(sys.ElapseOf(net->Timer()->TimerID()), 1000u);
    Counters(1, 7048, 310);
    EXPECT_EQ(Tick(), std::pair(2048, 10));
    EXPECT_EQ(Tick(), std::pair(0, 0)); // nothing moved

    net->SetInterface(""); // all interfaces, loopback included
    Counters(0, 100, 100);
    Counters(1, 7100, 350);
    EXPECT_EQ(Tick(), std::pair(0, 0)) << "the first tick after a change only takes the baseline";
    Counters(0, 150, 120);
    Counters(1, 7152, 440);
    EXPECT_EQ(Tick(), std::pair(102, 110));

    // A watched interface that vanishes gives zeroes, and comes back as a baseline.
    net->SetInterface("eth0");
    EXPECT_EQ(Tick(), std::pair(0, 0));
    Counters(1, 7200, 460);
    EXPECT_EQ(Tick(), std::pair(48, 20));
    table.rows.pop_back();
    EXPECT_EQ(Tick(), std::pair(0, 0));
    // Back first, under its old index with higher counters, before a namesake: the first is the watched
    // one. The same name under another index is another adapter.
    table.rows.insert(table.rows.begin(), FakeInterfaceTable::WindowsRow("eth0", 9100, 330, 2));
    table.rows.push_back(FakeInterfaceTable::WindowsRow("eth0", 1, 1, 4));
    EXPECT_EQ(Tick(), std::pair(0, 0));
    Counters(0, 9160, 335);
    EXPECT_EQ(Tick(), std::pair(60, 5));
    table.rows[0].index = 5;
    Counters(0, 9200, 340);
    EXPECT_EQ(Tick(), std::pair(0, 0));
}

TEST_F(Sampler, SixtyFourBitCountersGiveTheirTrueDifferenceAndACounterThatGoesDownRestarts) {
    net->Start();
    net->SetInterface(""); // the next tick takes a baseline
    // The two rows' incoming counters, and the sample they give.
    const struct {
        uint64_t first, second;
        int32_t lIn;
    } steps[] = {
        {0xFFFFFF00u, 0x7FFFFFF0u, 0},             // a baseline
        {0x100000000ull, 0x80000001u, 0x111},      // across 2^32 and across 2^31: no wrap, no restart
        {0x50u, 0x80000002u, 1},                   // a restart from above 2^31: nothing, a new baseline
        {0x60u, 0x80000003u, 0x11},                //
        {0x400000000ull, 0x80000003u, 0x7FFFFFFF}, // more than a second can carry is held to it
        {0x400000001ull, 0x80000002u, 1},          // the second went back: it gives nothing
    };
    for (const auto& step : steps) {
        Counters(0, step.first, 0);
        Counters(1, step.second, 0);
        EXPECT_EQ(Tick(), std::pair(step.lIn, 0)) << std::hex << step.first << ", " << step.second;
    }
    // An index and a length that go with a name differing in any one byte are another adapter: only a
    // baseline, and moves from there (a name shorter than a word; each word of a longer one).
    table.rows[0] = FakeInterfaceTable::WindowsRow("Intel(R) Ethernet I219-V", 0, 0, 1);
    for (const auto& [row, at] :
         {std::pair(1, 0), std::pair(0, 0), std::pair(0, 8), std::pair(0, 16), std::pair(0, 24)}) {
        table.rows[row].descr[at] ^= 1;
        table.rows[row].inOctets += 5;
        EXPECT_EQ(Tick(), std::pair(0, 0)) << "row " << row << ", byte " << at;
        table.rows[row].inOctets += 7;
        EXPECT_EQ(Tick(), std::pair(7, 0)) << "row " << row << ", byte " << at;
    }
}

TEST_F(Sampler, WithoutTheNewerTableCountersWrapAt2To32AndAChangeOfTableInventsNothing) {
    table.noTable2 = true;
    Counters(1, 0x1FFFFFF00ull, 0); // the old table has only the low 32 bits
    net->Start();
    const struct {
        uint64_t eth0;
        bool table2;
        int32_t lIn;
    } steps[] = {
        {0x200000010ull, false, 0x110}, // a wrap of the low 32 bits
        {0x200000020ull, true, 0x10},   // from the old table to the new: the low 32 bits compared
        {0x200000030ull, true, 0x10},   // 64 bits on both sides
        {0x200000040ull, false, 0x10},  // and back
        {0x280000050ull, false, 0},     // half the range or more: a counter that went back
        {0x280000060ull, false, 0x10},
    };
    for (const auto& step : steps) {
        table.noTable2 = !step.table2;
        Counters(1, step.eth0, 0);
        EXPECT_EQ(Tick(), std::pair(step.lIn, 0)) << std::hex << step.eth0;
    }
}

TEST_F(Sampler, ALateTickRaisesOneSampleASecondAndKeepsTheTotal) {
    net->Start();
    const struct {
        uint64_t ms, moved;
        Samples samples;
    } steps[] = {
        {1000, 7, {{7, 0}}},
        {400, 7, {{7, 0}}},                  // early: still one sample
        {1499, 7, {{7, 0}}},                 // rounded down
        {1500, 7, {{3, 0}, {4, 0}}},         // a tie goes to the even count: 2
        {2500, 9, {{4, 0}, {5, 0}}},         // 2 again
        {2501, 9, {{3, 0}, {3, 0}, {3, 0}}}, // 3
        {3400, 2, {{0, 0}, {0, 0}, {2, 0}}}, // the remainder rides on the last second
        {3500, 8, Samples(4, {2, 0})},       // 4, the even count
        {10000, 10, Samples(10, {1, 0})},    // the longest tick that is no gap
    };
    for (const auto& step : steps) {
        table.rows[1].inOctets += step.moved;
        EXPECT_EQ(LateTick(step.ms), step.samples) << step.ms << " ms";
    }
}

TEST_F(Sampler, AGapOfMoreThanTenSecondsIsNoSpikeAndItsTrafficGoesToTheGapEvent) {
    struct GapSeen {
        uint64_t in, out, ms;
        bool operator==(const GapSeen&) const = default;
    };
    std::vector<GapSeen> gaps;
    net->Gap = [&](uint64_t in, uint64_t out, uint64_t ms) {
        gaps.push_back({in, out, ms});
        EXPECT_TRUE(samples.empty()) << "the gap comes before its sample";
    };
    net->Start();
    Counters(1, 5000 + 3000000000ull, 300 + 40);
    EXPECT_EQ(LateTick(10001), (Samples{{0, 0}}));
    EXPECT_EQ(gaps, (std::vector<GapSeen>{{3000000000ull, 40, 10001}}));
    Counters(1, 5000 + 3000000100ull, 300 + 45);
    EXPECT_EQ(LateTick(1000), (Samples{{100, 5}})) << "the gap's readings are the new baselines";
    net->SetInterface("eth0");
    EXPECT_EQ(LateTick(3600000), (Samples{{0, 0}})) << "a baseline tick after a change is no gap";
    EXPECT_EQ(gaps.size(), 1u);
}

TEST_F(Sampler, ASecondBeyondWhatASampleHoldsIsClampedAndLoggedOnce) {
    FakeLogSystem log;
    const ScopedSeam<ILogSystem*> useLog{CurrentLogSystem, SetLogSystem, &log};
    const ScopedSeam<bool> logging{LoggingSwitch, SetLoggingSwitch, true};
    OpenLog("net.log");
    net->Start();
    table.rows[1].inOctets += 0x80000000ull;
    EXPECT_EQ(Tick(), std::pair(INT32_MAX, 0));
    table.rows[1].outOctets += 3 * 0x80000000ull + 2;
    EXPECT_EQ(LateTick(2000), (Samples{{0, INT32_MAX}, {0, INT32_MAX}})) << "each second is held alone";
    FlushLog();
    const std::string line = "more than 2147483647 octets in a second";
    EXPECT_NE(log.file.find(line), std::string::npos) << log.file;
    EXPECT_EQ(log.file.find(line), log.file.rfind(line)) << log.file;
    CloseLog();
}

// A late tick raises three samples and a gap one more; the rows are read once each time.
TEST_F(Sampler, EachReadingReachesItsListenerOnceWithTheRowsMovementAndWhetherTheyCounted) {
    table.rows[0].type = 24; // software loopback: never in All Interfaces
    table.rows[1].alias = "Ethernet";
    table.rows[1].guid[15] = 0x42;
    uint64_t movedIn = 0;
    net->Reading = [&] {
        for (const InterfaceRow& row : net->Rows())
            movedIn += row.movedIn;
    };
    net->Start();
    Counters(0, 10, 20);
    Counters(1, 5100, 350);
    Tick();
    const auto rows = net->Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_FALSE(rows[0].counted);
    EXPECT_EQ(rows[0].movedIn, 10u);
    EXPECT_TRUE(rows[1].counted);
    EXPECT_EQ(rows[1].movedIn, 100u);
    EXPECT_EQ(rows[1].movedOut, 50u);
    EXPECT_EQ(rows[1].alias, "Ethernet");
    EXPECT_EQ(rows[1].guid[15], 0x42);
    Counters(1, 8000, 350);
    LateTick(3000);
    Counters(1, 20000, 350);
    LateTick(60000);
    EXPECT_EQ(movedIn, 110u + 2900u + 12000u);
}

TEST_F(Sampler, ASecondStartReplacesTheTimerAndAHandlerMayEndTheSampler) {
    net->Start();
    const uintptr_t first = net->Timer()->TimerID();
    net->Start();
    const uintptr_t id = net->Timer()->TimerID();
    EXPECT_FALSE(sys.IsRunning(first));
    EXPECT_EQ(sys.RunningCount(), 1u);
    net->Status = [this](int32_t lIn, int32_t lOut) {
        samples.emplace_back(lIn, lOut);
        net.reset();
    };
    for (int tick = 0; tick < 2; ++tick)
        EXPECT_TRUE(sys.Fire(id)) << "there is no stop: the timer runs on for no one";
    EXPECT_EQ(net, nullptr);
    EXPECT_EQ(samples.size(), 3u) << "two at Start, one tick, then no one";
}

TEST_F(Sampler, ATickAllocatesNothingOnceTheTableHasBeenSeen) {
    // Beyond the fixed room the snapshot and the baselines grow once, at Start, and are kept.
    for (const std::size_t rows : {4u, 32u, 64u, 256u}) {
        table.rows.clear();
        for (std::size_t i = 0; i < rows; ++i)
            table.rows.push_back(FakeInterfaceTable::WindowsRow("Adapter " + std::to_string(i), 0, 0, i + 1));
        const bool all = rows == 4 || rows == 64;
        net->SetInterface(all ? "" : table.rows.back().descr.c_str());
        net->Start();
        const std::size_t before = AllocationCount();
        for (int i = 0; i < 50; ++i) {
            for (auto& row : table.rows)
                row.inOctets += 100;
            ASSERT_EQ(Tick().first, all ? 100 * static_cast<int32_t>(rows) : 100);
        }
        EXPECT_EQ(AllocationCount() - before, 0u) << rows << " rows";
        if (rows == 64) { // every row looked up among the earlier ones, in a store grown to exactly 64
            std::swap(table.rows[0], table.rows[1]);
            EXPECT_EQ(Tick().first, 0);
        }
    }
}
