// MIB_IF_ROW2 is declared only when these two come before <windows.h> and <iphlpapi.h>.
#include <winsock2.h>

#include <ws2ipdef.h>

#include <windows.h>

#include <iphlpapi.h>

#include "net/IfTableLayout.h"
#include "net/NetSeamsWin32.h"
#include "winsys/FatalError.h"
#include "winsys/SystemLibrary.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

// The reader reads the table as bytes; the record must be laid out as it expects.
static_assert(offsetof(MIB_IFTABLE, table) == IfTableLayout::kHeaderSize);
static_assert(offsetof(MIB_IFROW, dwIndex) == IfTableLayout::kIndex);
static_assert(offsetof(MIB_IFROW, dwInOctets) == IfTableLayout::kInOctets);
static_assert(offsetof(MIB_IFROW, dwOutOctets) == IfTableLayout::kOutOctets);
static_assert(offsetof(MIB_IFROW, dwDescrLen) == IfTableLayout::kDescrLen);
static_assert(offsetof(MIB_IFROW, bDescr) == IfTableLayout::kDescr);
static_assert(sizeof(MIB_IFROW::bDescr) == IfTableLayout::kDescrSize);
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(MIB_IFROW) == 860);
#endif
static_assert(sizeof(MIB_IFROW) == IfTableLayout::kRowSize);
static_assert(offsetof(MIB_IFROW, dwType) == IfTableLayout::kType);
static_assert(offsetof(MIB_IF_TABLE2, Table) == 8);
static_assert(sizeof(GUID) == sizeof(IfRow2::guid));

namespace {
// iphlpapi.dll is no known DLL: imported statically it would be loaded from the program's folder
// first. Its functions are looked up once, in the system's own copy.
struct IpHelper {
    using GetIfTableFn = DWORD(WINAPI*)(PMIB_IFTABLE, PULONG, BOOL);
    using GetIfTable2Fn = DWORD(WINAPI*)(PMIB_IF_TABLE2*);
    using FreeMibTableFn = VOID(WINAPI*)(PVOID);
    GetIfTableFn getIfTable = SystemFunction<GetIfTableFn>("iphlpapi.dll", "GetIfTable");
    GetIfTable2Fn getIfTable2 = SystemFunction<GetIfTable2Fn>("iphlpapi.dll", "GetIfTable2");
    FreeMibTableFn freeMibTable = SystemFunction<FreeMibTableFn>("iphlpapi.dll", "FreeMibTable");
};
const IpHelper& Functions() {
    static const IpHelper functions;
    return functions;
}
} // namespace

uint32_t Win32InterfaceTable::GetIfTable(void* table, uint32_t* size, bool order) {
    const auto getIfTable = Functions().getIfTable;
    if (!getIfTable)
        return ERROR_NOT_SUPPORTED;
    if (!size)
        return getIfTable(static_cast<PMIB_IFTABLE>(table), nullptr, order);
    ULONG length = *size;
    const DWORD rc = getIfTable(static_cast<PMIB_IFTABLE>(table), &length, order);
    *size = length;
    return rc;
}

bool Win32InterfaceTable::GetIfTable2(IfRow2* rows, std::size_t capacity, std::size_t* count) {
    const IpHelper& f = Functions();
    PMIB_IF_TABLE2 table = nullptr;
    if (!f.getIfTable2 || !f.freeMibTable || f.getIfTable2(&table) != NO_ERROR || !table)
        return false;
    *count = table->NumEntries;
    for (std::size_t i = 0; i < std::min<std::size_t>(capacity, table->NumEntries); ++i) {
        const MIB_IF_ROW2& row = table->Table[i];
        IfRow2& r = rows[i];
        r.index = row.InterfaceIndex;
        r.type = row.Type;
        r.medium = row.PhysicalMediumType;
        r.hardware = row.InterfaceAndOperStatusFlags.HardwareInterface;
        r.filter = row.InterfaceAndOperStatusFlags.FilterInterface;
        r.inOctets = row.InOctets;
        r.outOctets = row.OutOctets;
        std::memcpy(r.guid.data(), &row.InterfaceGuid, r.guid.size());
        if (!WideCharToMultiByte(CP_ACP, 0, row.Alias, -1, r.alias, sizeof r.alias, nullptr, nullptr))
            r.alias[0] = '\0';
        r.alias[sizeof r.alias - 1] = '\0';
    }
    f.freeMibTable(table);
    return true;
}

namespace {
void CALLBACK SystemTimerProc(HWND hwnd, UINT msg, UINT_PTR idEvent, DWORD time) {
    // The top of a message handler: an error that gets here ends the program with a report.
    try {
        TimerProc(reinterpret_cast<uintptr_t>(hwnd), msg, idEvent, time);
    } catch (const std::exception& error) {
        ReportFatalError(error);
    }
}
} // namespace

uintptr_t Win32SystemTimer::SetTimer(uint32_t elapseMs) {
    return ::SetTimer(nullptr, 0, elapseMs, SystemTimerProc);
}

void Win32SystemTimer::KillTimer(uintptr_t id) {
    ::KillTimer(nullptr, id);
}

void UseSystemNetworkSeams() {
    static Win32InterfaceTable table;
    static Win32SystemTimer timers;
    SetInterfaceTable(&table);
    SetSystemTimer(&timers);
}
