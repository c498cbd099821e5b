#include "base/mBenchmark.h"

#include <chrono>

namespace {
uint32_t SteadyTick() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
TickSource g_tickSource = SteadyTick;
uint32_t g_startTick = 0;
} // namespace

void SetTickSource(TickSource source) {
    g_tickSource = source ? source : SteadyTick;
}
uint32_t CurrentTick() {
    return g_tickSource();
}

void StartTimer() {
    g_startTick = CurrentTick();
}

// Modulo 2^32, so the wrap of the tick counter after 49.7 days gives the true small difference.
std::string ElapsedTime() {
    return std::to_string(CurrentTick() - g_startTick);
}
