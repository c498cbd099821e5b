#pragma once
#include "net/MTimer.h"
#include "net/mNetStatus.h"

// The system's interface tables (iphlpapi GetIfTable and GetIfTable2) and timers (user32 SetTimer/KillTimer
// with no window), each calling the real function and nothing else.
class Win32InterfaceTable : public IInterfaceTable {
public:
    uint32_t GetIfTable(void* table, uint32_t* size, bool order) override;
    bool GetIfTable2(IfRow2* rows, std::size_t capacity, std::size_t* count) override;
};

class Win32SystemTimer : public ISystemTimer {
public:
    uintptr_t SetTimer(uint32_t elapseMs) override;
    void KillTimer(uintptr_t id) override;
};

// Makes the reader and the timers use the system's: the program calls this once at start.
void UseSystemNetworkSeams();
