#pragma once
// The running program's usage history: the recorder on the history folder's files, the system clock
// and the zone rules, fed from the sampler's readings.
#include "history/HistoryRecorder.h"
#include "history/HistorySeamsWin32.h"
#include "history/ZoneCalendar.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct InterfaceRow;

class UsageHistory {
public:
    // On the files of `folder` (ending in a backslash); Open reads them.
    explicit UsageHistory(std::wstring folder);
    UsageHistory(const UsageHistory&) = delete;
    UsageHistory& operator=(const UsageHistory&) = delete;

    // With the first reading: takes the lock (read-only without it), reads the history and tracks
    // every row that is not a filter; the traffic moved since the last run of this boot goes to this
    // minute when `countWhileClosed`.
    void Open(std::span<const InterfaceRow> rows, bool countWhileClosed);
    // Once per reading, memory only: what each row moved (gap octets included) and its counters. A row
    // not seen before is tracked from here on.
    void Add(std::span<const InterfaceRow> rows);
    // Writes the minutes that have ended; `all` the current one too.
    bool Flush(bool all = false);

    bool ReadOnly() const { return m_recorder.ReadOnly(); }
    const HistoryData& Data() const { return m_recorder.Data(); }
    const ZoneCalendar& Calendar() const { return m_calendar; }
    // The folder's file names are the store's own; a small file beside them (the quotas' state).
    IHistoryFiles& Files() { return m_files; }

    // Milliseconds from `nowMs` (UTC) until just after the next whole multiple of `periodMs`, so that a
    // write comes right after each minute has ended.
    static int32_t DelayToNext(int64_t nowMs, int32_t periodMs);
    static int64_t UtcNowMs();

private:
    struct Tracked {
        std::array<uint8_t, 16> guid{};
        std::size_t slot = 0;
    };
    void Track(std::span<const InterfaceRow> rows, const InterfaceRow& row);
    const Tracked* Find(const InterfaceRow& row, std::size_t hint) const;

    Win32HistoryFiles m_files;
    Win32HistoryClock m_clock;
    Win32ZoneRules m_zone;
    ZoneCalendar m_calendar{m_zone};
    HistoryRecorder m_recorder;
    std::vector<Tracked> m_tracked;
};
