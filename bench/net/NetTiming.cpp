// Timing on the system's own interface tables (run under Wine by tools/bench): the two raw table
// reads and one whole sampler tick, with the allocations a tick makes.
#include "app/SystemInstall.h"
#include "net/MTimer.h"
#include "net/cNetStatus.h"
#include "support/AllocCounter.h"
#include "support/NetFakes.h"

#include <winsock2.h>

#include <ws2ipdef.h>

#include <windows.h>

#include <iphlpapi.h>

#include <cstdio>
#include <string>
#include <vector>

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

    static std::vector<unsigned char> buffer(4 + 300 * sizeof(MIB_IFROW));
    const auto readOld = [] {
        ULONG size = static_cast<ULONG>(buffer.size());
        g_sink =
            static_cast<int32_t>(GetIfTable(reinterpret_cast<MIB_IFTABLE*>(buffer.data()), &size, FALSE));
    };
    const auto readNew = [] {
        PMIB_IF_TABLE2 table = nullptr;
        g_sink = static_cast<int32_t>(GetIfTable2(&table));
        FreeMibTable(table);
    };
    const auto readBoth = [&] {
        readOld();
        readNew();
    };
    const int32_t rows = NumInterfaces();

    cNetStatus net;
    net.Status = [](int32_t lIn, int32_t lOut) { g_sink = lIn + lOut; };
    net.Start();
    const uintptr_t id = net.Timer()->TimerID();

    // The measurements take turns, so that a busy spell of the machine falls on all of them alike.
    MicrosPerCall(kCalls / 4, readBoth);
    Best oldTable, newTable, both, tick;
    std::size_t tickAllocations = 0;
    for (int round = 0; round < 5; ++round) {
        oldTable.Take(MicrosPerCall(kCalls, readOld));
        newTable.Take(MicrosPerCall(kCalls, readNew));
        both.Take(MicrosPerCall(kCalls, readBoth));
        const std::size_t before = AllocationCount();
        tick.Take(MicrosPerCall(kCalls, [id] { TimerProc(0, WM_TIMER, id, 0); }));
        tickAllocations += AllocationCount() - before;
    }
    const double allocs = static_cast<double>(tickAllocations) / (5.0 * kCalls);

    std::printf("net: system interface table with %d rows\n", rows);
    std::printf("net: GetIfTable alone            %8.2f us/call\n", oldTable.us);
    std::printf("net: GetIfTable2 + FreeMibTable  %8.2f us/call\n", newTable.us);
    std::printf("net: both tables                 %8.2f us/call\n", both.us);
    std::printf("net: sampler tick                %8.2f us/tick  (%.3f times the two table reads)\n", tick.us,
                tick.us / both.us);
    std::printf("net: allocations per tick        %8.2f  (ours; the system's own table aside)\n", allocs);
    ResetTimerTable();
    return 0;
}
