// The cost of one sampler tick over fake tables of typical and large sizes, and of the table query
// alone, so that what the reader adds beyond the query shows.
#include "AllocCounter.h"
#include "net/IfTableLayout.h"
#include "net/MTimer.h"
#include "net/NetFakes.h"
#include "net/cNetStatus.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {
void Fill(FakeInterfaceTable& table, std::size_t rows) {
    for (std::size_t i = 0; i < rows; ++i)
        table.rows.push_back(
            FakeInterfaceTable::WindowsRow("Network Adapter " + std::to_string(i), 1000 * i, i));
}

// One tick as the system delivers it: TimerProc, two snapshots, Status. `last` watches the last row
// (every name compared), otherwise all rows are summed.
void Tick(benchmark::State& state, bool last) {
    const auto rows = static_cast<std::size_t>(state.range(0));
    FakeInterfaceTable table;
    FakeSystemTimer sys;
    Fill(table, rows);
    ResetTimerTable();
    SetInterfaceTable(&table);
    SetSystemTimer(&sys);
    int64_t sum = 0;
    {
        cNetStatus net;
        net.Status = [&sum](int32_t lIn, int32_t lOut) { sum += lIn + lOut; };
        net.SetInterface(last ? table.rows.back().descr.c_str() : "");
        net.Start();
        const uintptr_t id = net.Timer()->TimerID();
        const std::size_t before = AllocationCount();
        for (auto _ : state) {
            table.rows.back().inOctets += 1500;
            sys.Fire(id);
        }
        state.counters["allocs/tick"] = benchmark::Counter(static_cast<double>(AllocationCount() - before) /
                                                           static_cast<double>(state.iterations()));
    }
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

// The two table queries of one tick and nothing else, into a buffer that fits.
void BM_TwoTableQueries(benchmark::State& state) {
    const auto rows = static_cast<std::size_t>(state.range(0));
    FakeInterfaceTable table;
    Fill(table, rows);
    std::vector<uint32_t> buffer(IfTableLayout::TableSize(rows) / 4 + 1);
    for (auto _ : state) {
        for (int i = 0; i < 2; ++i) {
            uint32_t size = static_cast<uint32_t>(buffer.size() * 4);
            benchmark::DoNotOptimize(table.GetIfTable(buffer.data(), &size, false));
            benchmark::ClobberMemory();
        }
    }
}
} // namespace

BENCHMARK(BM_TickAllInterfaces)->Arg(4)->Arg(11)->Arg(64)->Arg(256);
BENCHMARK(BM_TickLastInterface)->Arg(4)->Arg(11)->Arg(64)->Arg(256);
BENCHMARK(BM_TwoTableQueries)->Arg(4)->Arg(11)->Arg(64)->Arg(256);
BENCHMARK_MAIN();
