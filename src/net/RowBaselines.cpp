#include "net/RowBaselines.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {
// A counter wraps at 2^32, so its forward movement is the difference modulo 2^32. Movement of half the
// range or more is a counter that went back: its adapter restarted, and nothing moved that can be told.
uint32_t Movement(uint32_t before, uint32_t now) {
    const uint32_t moved = now - before;
    return moved < 0x80000000u ? moved : 0;
}

// Word by word in line, the last word overlapping the one before: cheaper than a library call, or a
// byte loop, for every row of every tick.
bool SameBytes(const char* a, const char* b, std::size_t n) {
    const auto word = [](const char* p) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        return v;
    };
    if (n < 8) {
        for (std::size_t i = 0; i < n; ++i) {
            if (a[i] != b[i])
                return false;
        }
        return true;
    }
    for (std::size_t i = 0; i + 8 < n; i += 8) {
        if (word(a + i) != word(b + i))
            return false;
    }
    return word(a + n - 8) == word(b + n - 8);
}
} // namespace

void RowBaselines::Store::Reserve(std::size_t rows, std::size_t keep) {
    if (rows <= m_capacity)
        return;
    std::vector<Baseline> bigger(std::max(rows, 2 * m_capacity));
    std::copy_n(m_data, keep, bigger.begin());
    m_heap.swap(bigger);
    m_data = m_heap.data();
    m_capacity = m_heap.size();
}

int32_t RowBaselines::Read(std::string_view interfaceName, Direction direction, SnapshotSpace& space) {
    using namespace IfTableLayout;
    const std::size_t offset = direction == Direction::In ? kInOctets : kOutOctets;
    const SnapshotSpace::Rows rows = space.Take();
    m_known = m_count;
    m_seen = 0;
    m_changed = false;
    m_sum = 0;
    if (interfaceName.empty()) {
        // Every row, every second: the description's bytes within dwDescrLen tell the interface as
        // well as its name does, without a search for the NUL. The usual tick, the same rows in the
        // same order, runs here in line; from the first row that differs on, each is looked up.
        std::size_t i = 0;
        uint64_t sum = 0;
        Baseline* const known = m_rows.Data();
        for (const std::size_t n = std::min(rows.count, m_known); i < n; ++i) {
            const unsigned char* row = rows.Row(i);
            Baseline& b = known[i];
            const std::size_t len = std::min<std::size_t>(ReadU32(row + kDescrLen), kDescrSize);
            if (b.index != ReadU32(row + kIndex) || b.descrLength != len ||
                !SameBytes(b.descr, reinterpret_cast<const char*>(row + kDescr), len))
                break;
            const uint32_t octets = ReadU32(row + offset);
            sum += Movement(b.octets, octets);
            b.octets = octets;
        }
        m_sum = sum;
        m_seen = i;
        for (; i < rows.count; ++i) {
            const unsigned char* row = rows.Row(i);
            const std::size_t len = std::min<std::size_t>(ReadU32(row + kDescrLen), kDescrSize);
            Take(ReadU32(row + kIndex), {reinterpret_cast<const char*>(row + kDescr), len},
                 ReadU32(row + offset));
        }
    } else {
        for (std::size_t i = 0; i < rows.count; ++i) {
            const unsigned char* row = rows.Row(i);
            if (RowIsNamed(row, interfaceName)) {
                Take(ReadU32(row + kIndex), interfaceName, ReadU32(row + offset));
                break;
            }
        }
    }
    m_count = m_seen;
    return static_cast<int32_t>(std::min<uint64_t>(m_sum, std::numeric_limits<int32_t>::max()));
}

void RowBaselines::Take(uint32_t index, std::string_view descr, uint32_t octets) {
    const auto same = [&](const Baseline& b) {
        return b.index == index && b.descrLength == descr.size() &&
               SameBytes(b.descr, descr.data(), descr.size());
    };
    const std::size_t i = m_seen++;
    if (!m_changed) {
        // The usual tick: the same rows in the same order.
        if (i < m_known && same(m_rows.Data()[i])) {
            Baseline& b = m_rows.Data()[i];
            m_sum += Movement(b.octets, octets);
            b.octets = octets;
            return;
        }
        // The table changed shape: the rows from here on are looked up among the earlier ones left.
        m_changed = true;
        m_earlierCount = m_known > i ? m_known - i : 0;
        m_earlier.Reserve(m_earlierCount, 0);
        std::copy_n(m_rows.Data() + i, m_earlierCount, m_earlier.Data());
        for (std::size_t k = 0; k < m_earlierCount; ++k)
            m_earlier.Data()[k].taken = false;
    }
    m_rows.Reserve(i + 1, i);
    Baseline& slot = m_rows.Data()[i];
    Baseline* const earlier = std::find_if(m_earlier.Data(), m_earlier.Data() + m_earlierCount,
                                           [&](const Baseline& b) { return !b.taken && same(b); });
    if (earlier != m_earlier.Data() + m_earlierCount) {
        earlier->taken = true;
        m_sum += Movement(earlier->octets, octets);
    }
    slot.index = index;
    slot.octets = octets;
    slot.descrLength = static_cast<uint16_t>(descr.size());
    std::memcpy(slot.descr, descr.data(), descr.size());
}
