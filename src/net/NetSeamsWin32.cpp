#include "net/NetSeamsWin32.h"
#include "net/IfTableLayout.h"
#include "winsys/FatalError.h"

#include <windows.h>

#include <iphlpapi.h>

#include <cstddef>

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

uint32_t Win32InterfaceTable::GetIfTable(void* table, uint32_t* size, bool order) {
    if (!size)
        return ::GetIfTable(static_cast<PMIB_IFTABLE>(table), nullptr, order);
    ULONG length = *size;
    const DWORD rc = ::GetIfTable(static_cast<PMIB_IFTABLE>(table), &length, order);
    *size = length;
    return rc;
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
