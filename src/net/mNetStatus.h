#pragma once
#include "net/IfTableLayout.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Where the reader gets the interface table: GetIfTable over a MIB_IFTABLE byte image
// (see IfTableLayout.h). `size` is the size of `table` in bytes; when it is too small the call
// answers kInsufficientBuffer and writes the size needed back.
class IInterfaceTable {
public:
    virtual uint32_t GetIfTable(void* table, uint32_t* size, bool order) = 0;

protected:
    ~IInterfaceTable() = default;
};

// The table every reader call uses; null (the start state) stands for a system without one: no rows.
void SetInterfaceTable(IInterfaceTable* table);
IInterfaceTable* CurrentInterfaceTable();

// The interface counter reader. Every call takes its own fresh snapshot of the table and keeps
// nothing. A table that cannot be read has no rows. An interface's name is its description up to the
// first NUL within dwDescrLen; the empty name stands for all interfaces together.
int32_t NumInterfaces();
// Names in the system's table order; element i (from 0) is row i. Logs number them from 1.
std::vector<std::string> GetInterfaceNames();
// The counter of the first row named exactly (case-sensitive) `interfaceName`, or 0 when none is.
// The empty name gives the sum over every row, modulo 2^32. Counters are unsigned 32-bit values
// handed on as the signed 32-bit number of the same bits.
int32_t GetInOctets(std::string_view interfaceName);
int32_t GetOutOctets(std::string_view interfaceName);

// Room for one snapshot of the table: a fixed buffer for the usual machine and, for larger tables, a
// heap block that is kept, so that a caller reading every second allocates only when the table grows.
class SnapshotSpace {
public:
    SnapshotSpace() = default;
    SnapshotSpace(const SnapshotSpace&) = delete;
    SnapshotSpace& operator=(const SnapshotSpace&) = delete;

    // The rows of one fresh snapshot, in the system's order, valid until the next one; none when the
    // table cannot be read. Row i is kRowSize bytes at Row(i) (IfTableLayout.h).
    struct Rows {
        const unsigned char* first = nullptr;
        std::size_t count = 0;
        const unsigned char* Row(std::size_t i) const { return first + i * IfTableLayout::kRowSize; }
    };
    Rows Take();

private:
    static constexpr std::size_t kFixedRows = 32;
    alignas(uint32_t) unsigned char m_fixed[IfTableLayout::TableSize(kFixedRows)];
    std::unique_ptr<uint32_t[]> m_heap;
    uint32_t m_heapSize = 0;
};

// Whether a snapshot's row is named exactly `name` (its description up to the first NUL within
// dwDescrLen), decided without searching the description for its NUL. In line: it runs for every row
// of every tick that watches one interface.
inline bool RowIsNamed(const unsigned char* row, std::string_view name) {
    // A name holds no NUL: one that does names no row.
    const std::size_t len = std::min<std::size_t>(IfTableLayout::ReadU32(row + IfTableLayout::kDescrLen),
                                                  IfTableLayout::kDescrSize);
    const std::size_t n = name.size();
    const char* text = reinterpret_cast<const char*>(row + IfTableLayout::kDescr);
    if (n > len || (n < len && text[n] != '\0') || (n > 0 && text[n - 1] != name[n - 1]))
        return false;
    return std::memcmp(text, name.data(), n) == 0 && name.find('\0') == std::string_view::npos;
}
