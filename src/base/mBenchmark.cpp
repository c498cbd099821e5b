#include "base/mBenchmark.h"

#include <chrono>

namespace {
uint32_t SteadyTick() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
uint64_t SteadyTick64() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
TickSource g_tickSource = SteadyTick;
TickSource64 g_tickSource64 = SteadyTick64;
uint32_t g_startTick = 0;
} // namespace

void SetTickSource(TickSource source) {
    g_tickSource = source ? source : SteadyTick;
}
TickSource CurrentTickSource() {
    return g_tickSource;
}
uint32_t CurrentTick() {
    return g_tickSource();
}
void SetTickSource64(TickSource64 source) {
    g_tickSource64 = source ? source : SteadyTick64;
}
TickSource64 CurrentTickSource64() {
    return g_tickSource64;
}
uint64_t CurrentTick64() {
    return g_tickSource64();
}

void StartTimer() {
    g_startTick = CurrentTick();
}

// Modulo 2^32, so the wrap of the tick counter after 49.7 days gives the true small difference.
std::string ElapsedTime() {
    return std::to_string(CurrentTick() - g_startTick);
}
