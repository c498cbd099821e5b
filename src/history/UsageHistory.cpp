#include "history/UsageHistory.h"
#include "base/mLogging.h"
#include "net/InterfaceReader.h"

#include <windows.h>

#include <algorithm>

namespace {
constexpr int32_t kAfterBoundaryMs = 500;

bool Identified(const InterfaceRow& row) {
    // A row only the old table knew has no GUID: it cannot be known again after a restart.
    return !row.filter && std::any_of(row.guid.begin(), row.guid.end(), [](uint8_t b) { return b != 0; });
}
} // namespace

UsageHistory::UsageHistory(std::wstring folder)
    : m_files(std::move(folder)),
      m_recorder(m_files, m_clock, [](const std::string& text) { WriteLog(text); }) {}

void UsageHistory::Open(std::span<const InterfaceRow> rows, bool countWhileClosed) {
    m_recorder.Open();
    for (const InterfaceRow& row : rows)
        if (Identified(row) && !Find(row, 0))
            Track(rows, row);
    if (const std::size_t counted = m_recorder.CountWhileClosed(countWhileClosed))
        WriteLog("History: traffic while closed counted for " + std::to_string(counted) + " interfaces");
}

void UsageHistory::Track(std::span<const InterfaceRow> rows, const InterfaceRow& row) {
    // What "All Interfaces" takes in, whatever interface the meter watches.
    std::vector<InterfaceRow> all(rows.begin(), rows.end());
    CountRows(all, "");
    HistoryInterface entry;
    std::copy(row.guid.begin(), row.guid.end(), entry.guid.bytes.begin());
    entry.description = std::string(row.descr);
    entry.alias = std::string(row.alias);
    entry.countedInAll = all[static_cast<std::size_t>(&row - rows.data())].counted;
    m_tracked.push_back({row.guid, m_recorder.Track(entry, row.inOctets, row.outOctets)});
}

const UsageHistory::Tracked* UsageHistory::Find(const InterfaceRow& row, std::size_t hint) const {
    // The usual reading has the same rows in the same order.
    if (hint < m_tracked.size() && m_tracked[hint].guid == row.guid)
        return &m_tracked[hint];
    const auto found = std::find_if(m_tracked.begin(), m_tracked.end(),
                                    [&](const Tracked& t) { return t.guid == row.guid; });
    return found == m_tracked.end() ? nullptr : &*found;
}

void UsageHistory::Add(std::span<const InterfaceRow> rows) {
    m_recorder.BeginSample();
    std::size_t hint = 0;
    for (const InterfaceRow& row : rows) {
        if (!Identified(row))
            continue;
        const Tracked* tracked = Find(row, hint);
        if (!tracked) {
            // A new adapter: its first reading is its baseline.
            Track(rows, row);
            continue;
        }
        hint = static_cast<std::size_t>(tracked - m_tracked.data()) + 1;
        m_recorder.Add(tracked->slot, row.movedIn, row.movedOut, row.inOctets, row.outOctets);
    }
}

bool UsageHistory::Flush(bool all) {
    return m_recorder.Flush(all);
}

int32_t UsageHistory::DelayToNext(int64_t nowMs, int32_t periodMs) {
    const int64_t into = ((nowMs % periodMs) + periodMs) % periodMs;
    return static_cast<int32_t>(periodMs - into + kAfterBoundaryMs);
}

int64_t UsageHistory::UtcNowMs() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    const uint64_t since1601 = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<int64_t>(since1601 / 10000) - 11644473600000;
}
