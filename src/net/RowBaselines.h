#pragma once
#include "net/IfTableLayout.h"
#include "net/mNetStatus.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// The previous reading of every interface row, known by its index and name, so that the traffic of a
// tick is the sum of each row's own movement. A row seen for the first time only gives its baseline,
// a row that is gone gives nothing, and a counter that went back (the adapter restarted) gives nothing
// and starts again from its new reading: adapters that come and go never show as traffic.
enum class Direction { In, Out };

class RowBaselines {
public:
    RowBaselines() = default;
    RowBaselines(const RowBaselines&) = delete;
    RowBaselines& operator=(const RowBaselines&) = delete;

    // Forgets every row: the next reading only takes baselines.
    void Clear() { m_count = 0; }
    // One fresh snapshot: the octets `interfaceName` moved in `direction` since the previous reading,
    // up to the largest sample there is.
    int32_t Read(std::string_view interfaceName, Direction direction, SnapshotSpace& space);

private:
    struct Baseline {
        uint32_t index;
        uint32_t octets;
        uint16_t descrLength;
        bool taken;
        // On a word boundary, so that comparing it word by word never splits a load across two lines.
        alignas(8) char descr[IfTableLayout::kDescrSize];
    };

    // Room for the usual machine inside the object; larger tables grow a heap block that is kept.
    class Store {
    public:
        Store() = default;
        Store(const Store&) = delete;
        Store& operator=(const Store&) = delete;
        Baseline* Data() { return m_data; }
        // Room for `rows`, keeping the first `keep`.
        void Reserve(std::size_t rows, std::size_t keep);

    private:
        std::array<Baseline, 32> m_fixed{};
        std::vector<Baseline> m_heap;
        Baseline* m_data = m_fixed.data();
        std::size_t m_capacity = m_fixed.size();
    };

    // One row of the reading: `descr` tells the interface, with its index.
    void Take(uint32_t index, std::string_view descr, uint32_t octets);

    Store m_rows;
    std::size_t m_count = 0;
    // One reading: rows seen so far, rows known before it, and once the table has changed shape, the
    // earlier rows not yet passed, to be looked up by identity.
    Store m_earlier;
    std::size_t m_seen = 0;
    std::size_t m_known = 0;
    std::size_t m_earlierCount = 0;
    bool m_changed = false;
    uint64_t m_sum = 0;
};
