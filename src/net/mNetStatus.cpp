#include "net/mNetStatus.h"
#include "net/IfTableLayout.h"
#include "net/InterfaceReader.h"

#include <algorithm>
#include <cstring>
#include <memory>

using namespace IfTableLayout;

namespace {
IInterfaceTable* g_table = nullptr;

// An answer beyond this is not believed: no rows is safer than an enormous allocation.
constexpr std::size_t kMaxRows = 8192;
// A table that keeps growing between question and answer is asked this often.
constexpr int kAttempts = 4;

// Calls `visit` with each row of one fresh snapshot in the system's order until it returns false.
template <class Visit>
void ForEachRow(Visit&& visit) {
    SnapshotSpace space;
    const SnapshotSpace::Rows rows = space.Take();
    for (std::size_t i = 0; i < rows.count; ++i) {
        if (!visit(rows.Row(i)))
            return;
    }
}

int32_t Counter(std::string_view interfaceName, bool in) {
    // Too large for the stack of every caller.
    const auto reader = std::make_unique<InterfaceReader>();
    const std::span<InterfaceRow> rows = reader->Take();
    CountRows(rows, interfaceName);
    uint32_t value = 0; // the sum wraps like the counters
    for (const InterfaceRow& row : rows) {
        if (row.counted)
            value += static_cast<uint32_t>(in ? row.inOctets : row.outOctets);
    }
    return static_cast<int32_t>(value);
}
} // namespace

std::string_view RowName(const unsigned char* row) {
    // Wine counts the description without its NUL, Windows with it: the first NUL ends the name.
    std::size_t len = ReadU32(row + kDescrLen);
    if (len > kDescrSize)
        len = kDescrSize;
    const char* text = reinterpret_cast<const char*>(row + kDescr);
    const void* nul = std::memchr(text, 0, len);
    return {text, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : len};
}

SnapshotSpace::Rows SnapshotSpace::Take() {
    if (!g_table)
        return {};
    // A heap block that grew for an earlier snapshot is where this table fits.
    unsigned char* buffer = m_heapSize ? reinterpret_cast<unsigned char*>(m_heap.get()) : m_fixed;
    uint32_t provided = m_heapSize ? m_heapSize : static_cast<uint32_t>(sizeof m_fixed);
    uint32_t size = provided;
    WriteU32(buffer, 0);
    uint32_t rc = g_table->GetIfTable(buffer, &size, false);
    for (int attempt = 1; rc == kInsufficientBuffer && attempt < kAttempts; ++attempt) {
        if (size <= provided || size > TableSize(kMaxRows))
            return {};
        // A little headroom, so that one more interface does not cost another round.
        provided = static_cast<uint32_t>(size + 4 * kRowSize);
        m_heap.reset(new uint32_t[(provided + 3) / 4]);
        m_heapSize = provided;
        buffer = reinterpret_cast<unsigned char*>(m_heap.get());
        size = provided;
        WriteU32(buffer, 0);
        rc = g_table->GetIfTable(buffer, &size, false);
    }
    if (rc != kNoError)
        return {};
    // Never trust the count beyond the rows that fit in the buffer given.
    const std::size_t fit = (provided - kHeaderSize) / kRowSize;
    return {buffer + kHeaderSize, std::min<std::size_t>(ReadU32(buffer), fit)};
}

void SetInterfaceTable(IInterfaceTable* table) {
    g_table = table;
}
IInterfaceTable* CurrentInterfaceTable() {
    return g_table;
}

int32_t NumInterfaces() {
    int32_t n = 0;
    ForEachRow([&](const unsigned char*) {
        ++n;
        return true;
    });
    return n;
}

std::vector<std::string> GetInterfaceNames() {
    std::vector<std::string> names;
    ForEachRow([&](const unsigned char* row) {
        names.emplace_back(RowName(row));
        return true;
    });
    return names;
}

int32_t GetInOctets(std::string_view interfaceName) {
    return Counter(interfaceName, true);
}
int32_t GetOutOctets(std::string_view interfaceName) {
    return Counter(interfaceName, false);
}
