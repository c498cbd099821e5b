#pragma once
#include "net/mNetStatus.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One interface row of a reading: the old table's row joined by index with the newer table's.
struct InterfaceRow {
    uint32_t index = 0;
    uint32_t type = 0;
    uint32_t medium = 0;
    bool hardware = false;
    bool filter = false;
    // Only the old table knew this row: its counters are 32 bits wide, hardware and medium unknown.
    bool legacy = false;
    uint64_t inOctets = 0;
    uint64_t outOctets = 0;
    std::array<uint8_t, 16> guid{};
    std::string_view descr; // the interface's name: its description up to the first NUL within dwDescrLen
    std::string_view alias; // empty where unknown
    // Filled by the sampler: whether the watched interface takes this row in, and what it moved.
    bool counted = false;
    uint64_t movedIn = 0;
    uint64_t movedOut = 0;
};

// IANA interface types and the physical medium the rules below name.
inline constexpr uint32_t kSoftwareLoopback = 24;
inline constexpr uint32_t kMobileBroadbandGsm = 243;
inline constexpr uint32_t kMobileBroadbandCdma = 244;
inline constexpr uint32_t kMediumBluetooth = 10;

// Both tables, read once and joined; the rows (and the texts they point at) hold until the next Take.
// Room for 32 rows is made at construction and grows only with the table: a reading allocates
// nothing otherwise.
class InterfaceReader {
public:
    InterfaceReader();
    InterfaceReader(const InterfaceReader&) = delete;
    InterfaceReader& operator=(const InterfaceReader&) = delete;

    std::span<InterfaceRow> Take();

private:
    SnapshotSpace m_space;
    std::vector<IfRow2> m_rows2;
    std::vector<InterfaceRow> m_rows;
};

// Marks the rows `interfaceName` takes in. A name takes the first row of exactly that name. The empty
// name counts every byte of the wire once: rows that are no filter, no loopback, and are hardware, a
// Bluetooth network or mobile broadband; failing any, every row that is no filter and no loopback;
// failing those too, every row.
void CountRows(std::span<InterfaceRow> rows, std::string_view interfaceName);

// What a user could mean by an interface, in the system's order: every row but the filter rows.
struct ListedInterface {
    std::string name; // the description, which is what is stored
    std::string alias;
};
std::vector<ListedInterface> GetListedInterfaces();
