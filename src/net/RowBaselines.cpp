#include "net/RowBaselines.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t kRoom = 32;

// Counters of the old table are 32 bits wide and wrap: movement is the difference modulo 2^32, and
// movement of half that range or more is a counter that went back. A 64-bit counter that went back
// restarted.
uint64_t Movement(uint64_t before, bool beforeLegacy, uint64_t now, bool nowLegacy) {
    if (beforeLegacy || nowLegacy) {
        const uint32_t moved = static_cast<uint32_t>(now) - static_cast<uint32_t>(before);
        return moved < 0x80000000u ? moved : 0;
    }
    return now >= before ? now - before : 0;
}
} // namespace

RowBaselines::RowBaselines() {
    m_rows.reserve(kRoom);
    m_next.reserve(kRoom);
}

RowBaselines::Baseline* RowBaselines::Find(std::size_t position, const InterfaceRow& row) {
    const auto same = [&](const Baseline& b) {
        return !b.taken && b.index == row.index && b.descrLength == row.descr.size() &&
               std::memcmp(b.descr, row.descr.data(), row.descr.size()) == 0;
    };
    // The usual tick: the same rows in the same order.
    if (position < m_rows.size() && same(m_rows[position]))
        return &m_rows[position];
    const auto found = std::find_if(m_rows.begin(), m_rows.end(), same);
    return found == m_rows.end() ? nullptr : &*found;
}

void RowBaselines::Advance(std::span<InterfaceRow> rows) {
    // Both stores grow together, so that the one swapped in next tick has the room already.
    m_rows.reserve(rows.size());
    m_next.reserve(rows.size());
    m_next.clear();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        InterfaceRow& row = rows[i];
        row.movedIn = row.movedOut = 0;
        if (Baseline* b = Find(i, row)) {
            b->taken = true;
            row.movedIn = Movement(b->inOctets, b->legacy, row.inOctets, row.legacy);
            row.movedOut = Movement(b->outOctets, b->legacy, row.outOctets, row.legacy);
        }
        Baseline& next = m_next.emplace_back();
        next.index = row.index;
        next.legacy = row.legacy;
        next.taken = false;
        next.inOctets = row.inOctets;
        next.outOctets = row.outOctets;
        next.descrLength = static_cast<uint16_t>(std::min(row.descr.size(), sizeof next.descr));
        std::memcpy(next.descr, row.descr.data(), next.descrLength);
    }
    m_rows.swap(m_next);
}
