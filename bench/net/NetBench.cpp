// The cost of one sampler tick over fake tables of typical and large sizes, beside the two table
// queries alone, so that what the reader and the sampler add beyond the queries shows.
#include "net/IfTableLayout.h"
#include "net/MTimer.h"
#include "net/cNetStatus.h"
#include "support/AllocCounter.h"
#include "support/NetFakes.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {
void Fill(FakeInterfaceTable& table, std::size_t rows) {
    for (std::size_t i = 0; i < rows; ++i)
        table.rows.push_back(FakeInterfaceTable::WindowsRow("Network Adapter " + std::to_string(i), 1000 * i,
                                                            i, static_cast<uint32_t>(i + 1)));
}

double Seconds(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

// One tick as the system delivers it (TimerProc, two snapshots, Status) and, in turns with it, the two
// table queries of a tick alone into a buffer that fits; the machine's load falls on both alike. The
// time shown is the tick's; "x queries" is the best block of ticks over the best block of queries.
// `last` watches the last row (every name compared), otherwise all rows are summed.
void Tick(benchmark::State& state, bool last) {
    const auto rows = static_cast<std::size_t>(state.range(0));
    FakeInterfaceTable table;
    FakeSystemTimer sys;
    Fill(table, rows);
    ResetTimerTable();
    SetInterfaceTable(&table);
    SetSystemTimer(&sys);
    std::vector<uint32_t> buffer(IfTableLayout::TableSize(rows) / 4 + 1);
    constexpr int kBlock = 16;
    double bestTicks = 1e30, bestQueries = 1e30;
    int64_t sum = 0;
    std::size_t allocations = 0;
    {
        cNetStatus net;
        net.Status = [&sum](int32_t lIn, int32_t lOut) { sum += lIn + lOut; };
        net.SetInterface(last ? table.rows.back().descr.c_str() : "");
        net.Start();
        const uintptr_t id = net.Timer()->TimerID();
        for (auto _ : state) {
            const std::size_t before = AllocationCount();
            auto start = std::chrono::steady_clock::now();
            for (int i = 0; i < kBlock; ++i) {
                table.rows.back().inOctets += 1500;
                sys.Fire(id);
            }
            const double ticks = Seconds(start);
            allocations += AllocationCount() - before;
            start = std::chrono::steady_clock::now();
            for (int i = 0; i < 2 * kBlock; ++i) {
                uint32_t size = static_cast<uint32_t>(buffer.size() * 4);
                benchmark::DoNotOptimize(table.GetIfTable(buffer.data(), &size, false));
                benchmark::ClobberMemory();
            }
            const double queries = Seconds(start);
            state.SetIterationTime(ticks / kBlock);
            bestTicks = std::min(bestTicks, ticks);
            bestQueries = std::min(bestQueries, queries);
        }
    }
    state.counters["x queries"] = bestTicks / bestQueries;
    state.counters["allocs/tick"] =
        static_cast<double>(allocations) / (static_cast<double>(state.iterations()) * kBlock);
    benchmark::DoNotOptimize(sum);
    ResetTimerTable();
    SetInterfaceTable(nullptr);
    SetSystemTimer(nullptr);
}

void BM_TickAllInterfaces(benchmark::State& state) {
    Tick(state, false);
}
void BM_TickLastInterface(benchmark::State& state) {
    Tick(state, true);
}
} // namespace

BENCHMARK(BM_TickAllInterfaces)->Arg(4)->Arg(11)->Arg(64)->Arg(256)->UseManualTime();
BENCHMARK(BM_TickLastInterface)->Arg(4)->Arg(11)->Arg(64)->Arg(256)->UseManualTime();
BENCHMARK_MAIN();
