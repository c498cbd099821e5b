#pragma once
#include "net/IfTableLayout.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One row of the newer interface table (GetIfTable2's MIB_IF_ROW2), as far as the meter reads it.
struct IfRow2 {
    uint32_t index = 0;  // InterfaceIndex, the old table's dwIndex
    uint32_t type = 0;   // Type (IANA ifType)
    uint32_t medium = 0; // PhysicalMediumType
    bool hardware = false;
    bool filter = false;
    uint64_t inOctets = 0;
    uint64_t outOctets = 0;
    std::array<uint8_t, 16> guid{}; // InterfaceGuid, its bytes as the system holds them
    char alias[257] = {};           // Alias in the ANSI code page, NUL-terminated: "Wi-Fi", "Ethernet 2"
};

// Where the reader gets the interface tables. GetIfTable fills a MIB_IFTABLE byte image
// (see IfTableLayout.h): `size` is the size of `table` in bytes; when it is too small the call
// answers kInsufficientBuffer and writes the size needed back. GetIfTable2 is false when the system
// cannot give the newer table; otherwise `*count` is its number of rows, of which the first that fit
// in `capacity` are copied to `rows`.
class IInterfaceTable {
public:
    virtual uint32_t GetIfTable(void* table, uint32_t* size, bool order) = 0;
    virtual bool GetIfTable2(IfRow2* rows, std::size_t capacity, std::size_t* count) = 0;

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
// The empty name gives the sum over the rows that carry wire traffic (CountRows), modulo 2^32.
// Counters are handed on as the signed 32-bit number of their low 32 bits.
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

// A snapshot row's name: its description up to the first NUL within dwDescrLen.
std::string_view RowName(const unsigned char* row);
