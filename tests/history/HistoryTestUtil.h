#pragma once
#include "history/HistoryRecorder.h"
#include "history/ZoneCalendar.h"
#include "support/FakeHistoryFiles.h"

inline InterfaceGuid Guid(uint8_t n) {
    InterfaceGuid g;
    g.bytes.fill(n);
    return g;
}

inline HistoryInterface Interface(uint8_t n, bool countedInAll = true) {
    return {Guid(n), "Adapter " + std::to_string(n), "Ethernet " + std::to_string(n), countedInAll};
}

// One interface's counters as the sampler would see them, fed to a recorder second by second with a
// flush at every whole minute, as the program's minute timer does.
struct Meter {
    HistoryRecorder& recorder;
    FakeHistoryClock& clock;
    std::size_t slot;
    uint64_t in = 0, out = 0;

    void Run(int seconds, uint64_t inPerSecond, uint64_t outPerSecond) {
        for (int i = 0; i < seconds; ++i) {
            clock.Advance(1);
            recorder.BeginSample();
            in += inPerSecond;
            out += outPerSecond;
            recorder.Add(slot, inPerSecond, outPerSecond, in, out);
            if (clock.utc % 60 == 0)
                recorder.Flush();
        }
    }
};

inline uint64_t TotalIn(const HistoryData& data, uint8_t n) {
    const std::size_t i = data.Find(Guid(n));
    return i < data.Interfaces().size() ? data.TotalIn(i) : 0;
}
