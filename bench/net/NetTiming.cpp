// Timing on the system's own interface table (run under Wine by tools/bench): the raw table query,
// the reader's operations and one whole sampler tick, with the allocations a tick makes.
#include "app/SystemInstall.h"
#include "net/MTimer.h"
#include "net/cNetStatus.h"
#include "support/AllocCounter.h"

#include <windows.h>

#include <iphlpapi.h>

#include <cstdio>
#include <string>

namespace {
double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency;
}

// Microseconds per call of `body` over `n` calls.
template <class Body>
double MicrosPerCall(int n, Body body) {
    const double start = Now();
    for (int i = 0; i < n; ++i)
        body();
    return (Now() - start) * 1e6 / n;
}

// The least of the rounds: the figure least disturbed by the rest of the machine.
struct Best {
    double us = 1e30;
    void Take(double v) {
        if (v < us)
            us = v;
    }
};

volatile int32_t g_sink;
} // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    InstallSystemServices();
    constexpr int kCalls = 100; // a query takes the better part of a millisecond under Wine

    alignas(4) static unsigned char buffer[4 + 32 * sizeof(MIB_IFROW)];
    const auto query = [] {
        ULONG size = sizeof buffer;
        g_sink = static_cast<int32_t>(GetIfTable(reinterpret_cast<MIB_IFTABLE*>(buffer), &size, FALSE));
    };
    const int32_t rows = NumInterfaces();
    const std::string last = rows > 0 ? GetInterfaceNames().back() : std::string();

    cNetStatus net;
    net.Status = [](int32_t lIn, int32_t lOut) { g_sink = lIn + lOut; };
    net.Start();
    const uintptr_t id = net.Timer()->TimerID();

    // The measurements take turns, so that a busy spell of the machine falls on all of them alike.
    MicrosPerCall(kCalls / 4, query);
    Best raw, sumAll, named, tick;
    std::size_t tickAllocations = 0;
    for (int round = 0; round < 5; ++round) {
        raw.Take(MicrosPerCall(kCalls, query));
        sumAll.Take(MicrosPerCall(kCalls, [] { g_sink = GetInOctets(""); }));
        named.Take(MicrosPerCall(kCalls, [&] { g_sink = GetInOctets(last); }));
        const std::size_t before = AllocationCount();
        tick.Take(MicrosPerCall(kCalls, [id] { TimerProc(0, WM_TIMER, id, 0); }));
        tickAllocations += AllocationCount() - before;
    }
    const double queryUs = raw.us;
    const double allocs = static_cast<double>(tickAllocations) / (5.0 * kCalls);

    std::printf("net: system interface table with %d rows (watched by name: \"%s\")\n", rows, last.c_str());
    std::printf("net: GetIfTable alone            %8.2f us/call\n", queryUs);
    std::printf("net: GetInOctets(all)            %8.2f us/call  (%+.2f us beyond the query)\n", sumAll.us,
                sumAll.us - queryUs);
    std::printf("net: GetInOctets(last row)       %8.2f us/call  (%+.2f us beyond the query)\n", named.us,
                named.us - queryUs);
    std::printf("net: sampler tick (2 snapshots)  %8.2f us/tick  (%+.2f us beyond two queries)\n", tick.us,
                tick.us - 2 * queryUs);
    std::printf("net: allocations per tick        %8.2f\n", allocs);
    ResetTimerTable();
    return 0;
}
