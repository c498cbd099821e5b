#pragma once
#include "net/IfTableLayout.h"
#include "net/InterfaceReader.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The previous reading of every interface row, known by its index and name, so that the traffic of a
// tick is the sum of each row's own movement. A row seen for the first time only gives its baseline,
// a row that is gone gives nothing, and a counter that went back (the adapter restarted) gives nothing
// and starts again from its new reading: adapters that come and go never show as traffic.
class RowBaselines {
public:
    RowBaselines();
    RowBaselines(const RowBaselines&) = delete;
    RowBaselines& operator=(const RowBaselines&) = delete;

    // Forgets every row: the next reading only takes baselines.
    void Clear() { m_rows.clear(); }
    // Sets each row's movedIn and movedOut since its baseline, and makes `rows` the baselines.
    void Advance(std::span<InterfaceRow> rows);

private:
    struct Baseline {
        uint32_t index;
        bool legacy;
        bool taken;
        uint16_t descrLength;
        uint64_t inOctets;
        uint64_t outOctets;
        char descr[IfTableLayout::kDescrSize];
    };
    Baseline* Find(std::size_t position, const InterfaceRow& row);

    std::vector<Baseline> m_rows;
    std::vector<Baseline> m_next;
};
