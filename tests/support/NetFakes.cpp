#include "support/NetFakes.h"
#include "net/CTimer.h"
#include "net/IfTableLayout.h"

#include <algorithm>
#include <cstring>

using namespace IfTableLayout;

void ResetTimerTable() {
    for (int slot = 1; slot <= kTimerSlots; ++slot) {
        if (const auto timer = TimerInSlot(slot))
            timer->SetInterval(0);
    }
}

FakeInterfaceTable::Row FakeInterfaceTable::WindowsRow(const std::string& name, uint64_t in, uint64_t out,
                                                       uint32_t index) {
    Row row;
    row.descr = name + '\0';
    row.descrLen = static_cast<uint32_t>(name.size() + 1);
    row.inOctets = in;
    row.outOctets = out;
    row.index = index;
    return row;
}

FakeInterfaceTable::Row FakeInterfaceTable::WineRow(const std::string& name, uint64_t in, uint64_t out,
                                                    uint32_t index) {
    Row row = WindowsRow(name, in, out, index);
    row.descr = name;
    row.descrLen = static_cast<uint32_t>(name.size());
    return row;
}

uint32_t FakeInterfaceTable::GetIfTable(void* table, uint32_t* size, bool) {
    if (beforeCall)
        beforeCall();
    if (unsupported)
        return kNotSupported;
    const std::size_t needed = TableSize(rows.size());
    if (!table || *size < needed) {
        *size = static_cast<uint32_t>(needed);
        return kInsufficientBuffer;
    }
    auto* out = static_cast<unsigned char*>(table);
    WriteU32(out, static_cast<uint32_t>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        unsigned char* row = out + kHeaderSize + i * kRowSize;
        std::memset(row, 0, kRowSize);
        WriteU32(row + kIndex, rows[i].index);
        WriteU32(row + kType, rows[i].type);
        WriteU32(row + kInOctets, static_cast<uint32_t>(rows[i].inOctets));
        WriteU32(row + kOutOctets, static_cast<uint32_t>(rows[i].outOctets));
        WriteU32(row + kDescrLen, rows[i].descrLen);
        std::memcpy(row + kDescr, rows[i].descr.data(), std::min(rows[i].descr.size(), kDescrSize));
    }
    return kNoError;
}

bool FakeInterfaceTable::GetIfTable2(IfRow2* out, std::size_t capacity, std::size_t* count) {
    if (unsupported || noTable2)
        return false;
    // Without allocating: the sampler's own allocations are counted around it.
    std::size_t listed = 0;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const Row& row = rows[table2Reversed ? rows.size() - 1 - k : k];
        if (!row.inTable2 || listed++ >= capacity)
            continue;
        IfRow2& r = out[listed - 1];
        r.index = row.index;
        r.type = row.type;
        r.medium = row.medium;
        r.hardware = row.hardware;
        r.filter = row.filter;
        r.inOctets = row.inOctets;
        r.outOctets = row.outOctets;
        r.guid = row.guid;
        const std::size_t n = std::min(row.alias.size(), sizeof r.alias - 1);
        std::memcpy(r.alias, row.alias.data(), n);
        r.alias[n] = '\0';
    }
    *count = listed;
    return true;
}

uintptr_t FakeSystemTimer::SetTimer(uint32_t elapseMs) {
    if (failSetTimer)
        return 0;
    // Like the system's, identifiers are never 0 and never shared by two running timers.
    while (m_next == 0 || IsRunning(m_next))
        --m_next;
    const uintptr_t id = m_next--;
    m_running[id] = elapseMs;
    return id;
}

void FakeSystemTimer::KillTimer(uintptr_t id) {
    m_running.erase(id);
}

bool FakeSystemTimer::Fire(uintptr_t id) {
    if (!IsRunning(id))
        return false;
    constexpr uint32_t kWmTimer = 0x0113;
    TimerProc(0, kWmTimer, id, 0);
    return true;
}

uint32_t FakeSystemTimer::ElapseOf(uintptr_t id) const {
    const auto it = m_running.find(id);
    return it == m_running.end() ? 0 : it->second;
}
