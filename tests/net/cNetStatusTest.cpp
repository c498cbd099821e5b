#include "net/cNetStatus.h"
#include "net/MTimer.h"
#include "support/AllocCounter.h"
#include "support/NetFakes.h"

#include <gtest/gtest.h>

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
        table.rows = {FakeInterfaceTable::WindowsRow("Loopback", 0, 0, 1),
                      FakeInterfaceTable::WineRow("eth0", 5000, 300, 2)};
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

TEST_F(Sampler, CountersThatWrapOrCross2To31GiveTheirTrueDifference) {
    net->Start();
    net->SetInterface(""); // the next tick takes a baseline
    // The two rows' incoming counters, and the sample they give.
    const struct {
        uint32_t loopback, eth0;
        int32_t lIn;
    } steps[] = {
        {0xFFFFFF00u, 0x80u, 0},                // a baseline
        {0xFFFFFFF0u, 0x100u, 0x170},           // the loopback wraps
        {0xE0000000u, 0x50u, 0},                // back by less than half the range, or from the lower half:
        {0xE0000001u, 0x52u, 3},                // restarts, which start new baselines
        {0x40000000u, 0x70000000u, 0x7FFFFFFF}, // each possible, together more than a sample holds
        {0xC0000000u, 0x70000000u, 0},          // half the range: a counter that went back
    };
    for (const auto& step : steps) {
        Counters(0, step.loopback, 0);
        Counters(1, step.eth0, 0);
        EXPECT_EQ(Tick(), std::pair(step.lIn, 0)) << std::hex << step.loopback << ", " << step.eth0;
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

TEST_F(Sampler, ARandomWalkOfAdaptersNeverGoesNegativeAndCountsEveryOctetFedIn) {
    // Rows join anywhere (names repeat, counters often near the top), leave, swap places and restart;
    // the table grows to hundreds of rows and shrinks again. Each tick's octets on rows already seen
    // are what the sampler must report.
    std::mt19937 rng(20240607);
    const auto below = [&rng](uint32_t n) { return n ? static_cast<uint32_t>(rng() % n) : 0u; };
    const auto near = [&] { return below(2) ? static_cast<uint32_t>(rng()) : 0xFFFFFFFFu - below(50000000); };
    std::vector<char> fresh(table.rows.size(), false);
    net->Start();
    int64_t fed = 0, seen = 0, wraps = 0;
    for (uint32_t tick = 0, index = 10; tick < 3000 && !HasFailure(); ++tick) {
        for (uint32_t n = below(tick < 1500 ? 5 : 2); n > 0 && table.rows.size() < 300; --n, ++index) {
            const auto at = below(static_cast<uint32_t>(table.rows.size()) + 1);
            table.rows.insert(
                table.rows.begin() + at,
                FakeInterfaceTable::WindowsRow("NIC " + std::to_string(index % 7), near(), near(), index));
            fresh.insert(fresh.begin() + at, true);
        }
        for (uint32_t n = below(tick < 1500 ? 2 : 5); n > 0 && !table.rows.empty(); --n) {
            const auto at = below(static_cast<uint32_t>(table.rows.size()));
            table.rows.erase(table.rows.begin() + at);
            fresh.erase(fresh.begin() + at);
        }
        for (std::size_t i = 0; i < table.rows.size(); ++i) {
            auto& row = table.rows[i];
            if (below(50) == 0 && row.inOctets < 0x80000000u && row.outOctets < 0x80000000u) {
                row.inOctets = below(row.inOctets); // a restart (from the upper half it would be a wrap)
                row.outOctets = below(row.outOctets);
                continue;
            }
            const uint32_t in = below(5) ? below(100000) : below(4000000), out = below(9000);
            wraps += row.inOctets + in < row.inOctets;
            row.inOctets += in;
            row.outOctets += out;
            fed += fresh[i] ? 0 : int64_t{in} + out;
        }
        if (below(20) == 0 && table.rows.size() > 1) {
            std::swap(table.rows.front(), table.rows.back());
            std::swap(fresh.front(), fresh.back());
        }
        const auto [lIn, lOut] = Tick();
        ASSERT_GE(lIn, 0) << "tick " << tick;
        ASSERT_GE(lOut, 0) << "tick " << tick;
        seen += int64_t{lIn} + lOut;
        fresh.assign(table.rows.size(), false);
    }
    EXPECT_EQ(seen, fed);
    EXPECT_GT(wraps, 100);
}

TEST_F(Sampler, ASecondStartReplacesTheTimerAndAHandlerMayEndTheSampler) {
    net->Start();
    const uintptr_t first = net->Timer()->TimerID();
    net->Start();
    const uintptr_t id = net->Timer()->TimerID();
    EXPECT_TRUE(!sys.IsRunning(first) && sys.RunningCount() == 1u);
    net->Status = [this](int32_t lIn, int32_t lOut) {
        samples.emplace_back(lIn, lOut);
        net.reset();
    };
    EXPECT_TRUE(sys.Fire(id) && sys.Fire(id)) << "there is no stop: the timer runs on for no one";
    EXPECT_TRUE(net == nullptr && samples.size() == 3u) << "two at Start, one tick, then no one";
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
