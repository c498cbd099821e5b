// Cost of one sample on the raster surface (AddData plus DrawGraph) beside one full-surface copy.
#include "graph/cGraph.h"
#include "support/RasterSurface.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {
enum Traffic { FullHeight = 0, Typical = 1 };

void Fill(cGraph& graph, Traffic traffic, std::mt19937& random) {
    // Typical traffic: columns up to a quarter of the height.
    std::uniform_int_distribution<int32_t> quarter(0, 250);
    if (traffic == FullHeight)
        graph.AddData(1000, 1000);
    else
        graph.AddData(quarter(random), quarter(random));
}

void BM_FullSurfaceCopy(benchmark::State& state) {
    RasterSurface surface(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        surface.Clear(); // the persistent image copied over the drawing layer
        benchmark::DoNotOptimize(surface.Pixels().data());
    }
}

void BM_AddDataDrawGraph(benchmark::State& state) {
    RasterSurface surface(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const auto traffic = static_cast<Traffic>(state.range(2));
    cGraph graph;
    graph.SetStyle(static_cast<int32_t>(state.range(3)));
    graph.SetScaleValue(1000);
    graph.SetPicture(&surface);
    std::mt19937 random(1);
    for (int i = 0; i < 1000; ++i)
        Fill(graph, traffic, random);
    graph.DrawGraph(true, true);
    for (auto _ : state) {
        Fill(graph, traffic, random);
        graph.DrawGraph(true, false);
        benchmark::DoNotOptimize(surface.Pixels().data());
    }
}
} // namespace

// The machine is shared: "min" over repetitions is the cost without interruptions.
double Min(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

BENCHMARK(BM_FullSurfaceCopy)->Args({200, 64})->Args({1000, 300})->ComputeStatistics("min", Min);
// Arguments: width, height, traffic (0 full height, 1 typical), style (0 fill, 1 lines).
BENCHMARK(BM_AddDataDrawGraph)
    ->ArgNames({"w", "h", "typical", "style"})
    ->Args({200, 64, FullHeight, 0})
    ->Args({200, 64, Typical, 0})
    ->Args({1000, 300, FullHeight, 0})
    ->Args({1000, 300, Typical, 0})
    ->Args({200, 64, FullHeight, 1})
    ->Args({200, 64, Typical, 1})
    ->Args({1000, 300, FullHeight, 1})
    ->Args({1000, 300, Typical, 1})
    ->ComputeStatistics("min", Min);

BENCHMARK_MAIN();
