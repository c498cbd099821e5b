#include "net/InterfaceReader.h"
#include "net/IfTableLayout.h"

#include <algorithm>
#include <cstring>
#include <memory>

using namespace IfTableLayout;

namespace {
constexpr std::size_t kRoom = 32;
// A newer table beyond this is not believed.
constexpr std::size_t kMaxRows2 = 8192;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Without the newer table's flags a filter row is known by its name alone: the adapter's description,
// "-", the filter's name, "-" and four digits ("...-QoS Packet Scheduler-0000").
bool NamesAFilterOf(std::string_view row, std::string_view adapter) {
    constexpr std::size_t kTail = 5; // "-0000"
    if (adapter.empty() || row.size() < adapter.size() + 2 + kTail || !row.starts_with(adapter) ||
        row[adapter.size()] != '-')
        return false;
    const std::string_view tail = row.substr(row.size() - kTail);
    return tail[0] == '-' && std::all_of(tail.begin() + 1, tail.end(), IsDigit);
}

void MarkFiltersByName(std::span<InterfaceRow> rows) {
    for (InterfaceRow& row : rows) {
        row.filter = std::any_of(rows.begin(), rows.end(), [&](const InterfaceRow& other) {
            return &other != &row && NamesAFilterOf(row.descr, other.descr);
        });
    }
}
} // namespace

InterfaceReader::InterfaceReader() : m_rows2(kRoom) {
    m_rows.reserve(kRoom);
}

std::span<InterfaceRow> InterfaceReader::Take() {
    const SnapshotSpace::Rows rows = m_space.Take();
    IInterfaceTable* table = CurrentInterfaceTable();
    std::size_t count = 0;
    bool joined = table && table->GetIfTable2(m_rows2.data(), m_rows2.size(), &count);
    if (joined && count > m_rows2.size()) {
        // The table grew: once more with room for it and a few more.
        if (count <= kMaxRows2)
            m_rows2.resize(count + 4);
        joined = count <= kMaxRows2 && table->GetIfTable2(m_rows2.data(), m_rows2.size(), &count) &&
                 count <= m_rows2.size();
    }
    if (!joined)
        count = 0;

    m_rows.clear();
    std::size_t hint = 0;
    for (std::size_t i = 0; i < rows.count; ++i) {
        const unsigned char* old = rows.Row(i);
        InterfaceRow& row = m_rows.emplace_back();
        row.index = ReadU32(old + kIndex);
        row.type = ReadU32(old + kType);
        row.descr = RowName(old);
        // The two tables usually list the rows in the same order: look from where the last one was.
        const IfRow2* match = nullptr;
        for (std::size_t k = 0; k < count && !match; ++k) {
            const IfRow2& candidate = m_rows2[(hint + k) % count];
            if (candidate.index == row.index) {
                match = &candidate;
                hint = (hint + k + 1) % count;
            }
        }
        if (match) {
            row.type = match->type;
            row.medium = match->medium;
            row.hardware = match->hardware;
            row.filter = match->filter;
            row.inOctets = match->inOctets;
            row.outOctets = match->outOctets;
            row.guid = match->guid;
            row.alias = {match->alias, strnlen(match->alias, sizeof match->alias)};
        } else {
            row.legacy = true;
            row.inOctets = ReadU32(old + kInOctets);
            row.outOctets = ReadU32(old + kOutOctets);
        }
    }
    if (!joined)
        MarkFiltersByName(m_rows);
    return m_rows;
}

void CountRows(std::span<InterfaceRow> rows, std::string_view interfaceName) {
    for (InterfaceRow& row : rows)
        row.counted = false;
    if (!interfaceName.empty()) {
        // A name holds no NUL: one that does names no row.
        if (interfaceName.find('\0') != std::string_view::npos)
            return;
        const auto named = std::find_if(rows.begin(), rows.end(),
                                        [&](const InterfaceRow& row) { return row.descr == interfaceName; });
        if (named != rows.end())
            named->counted = true;
        return;
    }
    const auto mark = [&](auto rule) {
        bool any = false;
        for (InterfaceRow& row : rows) {
            row.counted = rule(row);
            any = any || row.counted;
        }
        return any;
    };
    const auto own = [](const InterfaceRow& row) { return !row.filter && row.type != kSoftwareLoopback; };
    if (mark([&](const InterfaceRow& row) {
            return own(row) && (row.hardware || row.medium == kMediumBluetooth ||
                                row.type == kMobileBroadbandGsm || row.type == kMobileBroadbandCdma);
        }))
        return;
    if (mark(own))
        return;
    mark([](const InterfaceRow&) { return true; });
}

std::vector<ListedInterface> GetListedInterfaces() {
    // Too large for the stack of a dialog's handler.
    const auto reader = std::make_unique<InterfaceReader>();
    std::vector<ListedInterface> listed;
    for (const InterfaceRow& row : reader->Take()) {
        if (!row.filter)
            listed.push_back({std::string(row.descr), std::string(row.alias)});
    }
    return listed;
}
