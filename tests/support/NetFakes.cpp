#include "support/NetFakes.h"
#include "net/IfTableLayout.h"

#include <algorithm>
#include <cstring>

using namespace IfTableLayout;

FakeInterfaceTable::Row FakeInterfaceTable::WindowsRow(const std::string& name, uint32_t in, uint32_t out,
                                                       uint32_t index) {
    return {name + '\0', static_cast<uint32_t>(name.size() + 1), in, out, index};
}

FakeInterfaceTable::Row FakeInterfaceTable::WineRow(const std::string& name, uint32_t in, uint32_t out,
                                                    uint32_t index) {
    return {name, static_cast<uint32_t>(name.size()), in, out, index};
}

uint32_t FakeInterfaceTable::GetIfTable(void* table, uint32_t* size, bool) {
    ++calls;
    if (beforeCall)
        beforeCall();
    if (unsupported)
        return kNotSupported;
    if (!size)
        return kInvalidParameter;
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
        WriteU32(row + kInOctets, rows[i].inOctets);
        WriteU32(row + kOutOctets, rows[i].outOctets);
        WriteU32(row + kDescrLen, rows[i].descrLen);
        std::memcpy(row + kDescr, rows[i].descr.data(), std::min(rows[i].descr.size(), kDescrSize));
    }
    return kNoError;
}

uintptr_t FakeSystemTimer::SetTimer(uint32_t elapseMs) {
    ++setCalls;
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
    ++killCalls;
    m_running.erase(id);
}

bool FakeSystemTimer::Fire(uintptr_t id) {
    if (!IsRunning(id))
        return false;
    constexpr uint32_t kWmTimer = 0x0113;
    TimerProc(0, kWmTimer, id, 0);
    return true;
}

void FakeSystemTimer::FireAll() {
    // A tick may start or stop timers: fire those that ran when the round began and still run.
    std::vector<uintptr_t> ids;
    for (const auto& [id, elapse] : m_running)
        ids.push_back(id);
    for (const uintptr_t id : ids)
        Fire(id);
}

uint32_t FakeSystemTimer::ElapseOf(uintptr_t id) const {
    const auto it = m_running.find(id);
    return it == m_running.end() ? 0 : it->second;
}
