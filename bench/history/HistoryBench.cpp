// Opening a year of history for ten interfaces (every archive and the current journal read, then the
// year grouped by local months), and one sample's cost to the recorder.
#include "history/HistoryAggregate.h"
#include "history/HistoryFiles.h"
#include "history/HistoryFormat.h"
#include "history/HistoryRecorder.h"
#include "support/AllocCounter.h"
#include "support/FakeHistoryFiles.h"

#include <benchmark/benchmark.h>

namespace {
constexpr int kInterfaces = 10;

InterfaceGuid Guid(int n) {
    InterfaceGuid g;
    g.bytes.fill(static_cast<uint8_t>(n + 1));
    return g;
}

HistoryInterface Interface(int n) {
    return {Guid(n), "Network Adapter " + std::to_string(n), "Ethernet " + std::to_string(n), true};
}

void Store(FakeHistoryFiles& files, const std::string& name, std::vector<uint8_t> bytes) {
    auto content = std::make_shared<FakeHistoryFiles::Content>();
    content->bytes = std::move(bytes);
    content->durable = content->bytes;
    files.files[name] = content;
}

// Twelve ended months with traffic in every quarter of every interface, last month's journal beside
// its archive, and the current month's first week of minutes.
void FillYear(FakeHistoryFiles& files, int64_t now) {
    const int current = MonthOfUtc(now);
    for (int month = current - 12; month < current; ++month) {
        const int64_t from = DaysFromCivil(month / 12, month % 12 + 1, 1) * 86400;
        const int64_t to = DaysFromCivil((month + 1) / 12, (month + 1) % 12 + 1, 1) * 86400;
        HistoryData data;
        for (int i = 0; i < kInterfaces; ++i) {
            data.Intern(Interface(i));
            for (int64_t q = from / kQuarterSeconds; q < to / kQuarterSeconds; ++q)
                data.Add(static_cast<std::size_t>(i), q, 1000000 + static_cast<uint64_t>(q % 977), 50000, 0);
        }
        Store(files, ArchiveName(month), EncodeArchive(data));
    }
    std::vector<uint8_t> journal;
    for (int i = 0; i < kInterfaces; ++i)
        AppendInterfaceRecord(journal, static_cast<uint16_t>(i), Interface(i));
    for (int64_t minute = now / 60 - 7 * 1440; minute < now / 60; ++minute)
        for (int i = 0; i < kInterfaces; ++i)
            AppendMinuteRecord(journal, MinuteRecord{static_cast<uint16_t>(i), minute, 70000, 3000, 0});
    Store(files, JournalName(current), std::move(journal));
}

class Utc : public IZoneRules {
public:
    ZoneYearRules ForYear(int) const override { return {-60, 0, -60, {0, 10, 0, 5, 3}, {0, 3, 0, 5, 2}}; }
};

void OpenYear(benchmark::State& state) {
    FakeHistoryFiles files;
    FakeHistoryClock clock;
    clock.utc = DaysFromCivil(2027, 1, 8) * 86400;
    FillYear(files, clock.utc);
    Utc rules;
    const ZoneCalendar zone(rules);
    for (auto _ : state) {
        HistoryRecorder recorder(files, clock);
        recorder.Open();
        const auto months =
            Aggregate(recorder.Data(), zone, HistoryPeriod::Year, {2026, 1, 1}, kAllInterfaces);
        benchmark::DoNotOptimize(months.data());
    }
}
BENCHMARK(OpenYear)->Unit(benchmark::kMillisecond);

// One sample of ten interfaces; the minute's flush runs outside the timing. "allocs" counts the
// allocations of the samples alone.
void Sample(benchmark::State& state) {
    FakeHistoryFiles files;
    FakeHistoryClock clock;
    clock.utc = DaysFromCivil(2027, 1, 8) * 86400;
    HistoryRecorder recorder(files, clock);
    recorder.Open();
    std::size_t slots[kInterfaces];
    for (int i = 0; i < kInterfaces; ++i)
        slots[i] = recorder.Track(Interface(i), 0, 0);
    uint64_t counter = 0;
    std::size_t allocations = 0;
    for (auto _ : state) {
        clock.Advance(1);
        const std::size_t before = AllocationCount();
        recorder.BeginSample();
        counter += 1500;
        for (std::size_t slot : slots)
            recorder.Add(slot, 1500, 100, counter, counter / 15);
        allocations += AllocationCount() - before;
        if (clock.utc % 60 == 0) {
            state.PauseTiming();
            recorder.Flush();
            state.ResumeTiming();
        }
    }
    state.counters["allocs"] = static_cast<double>(allocations);
}
BENCHMARK(Sample);
} // namespace

BENCHMARK_MAIN();
