#pragma once
#include "net/MTimer.h"
#include "net/mNetStatus.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Stops every timer in the table, so that each test starts with every slot free.
void ResetTimerTable();

// Stand-ins for the system's interface table and timers that behave as the system does (the same
// contract tests run against them and against the real ones), for tests and benchmarks.

class FakeInterfaceTable : public IInterfaceTable {
public:
    struct Row {
        std::string descr;     // the bytes of bDescr (at most 256 are kept)
        uint32_t descrLen = 0; // dwDescrLen as reported, not checked against descr
        uint64_t inOctets = 0; // the old table gets their low 32 bits
        uint64_t outOctets = 0;
        uint32_t index = 0; // dwIndex: the system's own number for the interface
        // As the newer table gives them; the old one knows the type too.
        uint32_t type = 6; // Ethernet
        bool hardware = true;
        bool filter = false;
        uint32_t medium = 0;
        std::string alias;
        std::array<uint8_t, 16> guid{};
        bool inTable2 = true; // false: gone from the newer table between the two reads
    };
    // A row as Windows reports it (dwDescrLen counts the NUL) and as Wine does (it does not).
    static Row WindowsRow(const std::string& name, uint64_t in = 0, uint64_t out = 0, uint32_t index = 0);
    static Row WineRow(const std::string& name, uint64_t in = 0, uint64_t out = 0, uint32_t index = 0);

    uint32_t GetIfTable(void* table, uint32_t* size, bool order) override;
    bool GetIfTable2(IfRow2* rows, std::size_t capacity, std::size_t* count) override;

    std::vector<Row> rows;
    bool unsupported = false;         // answer as a system without an interface table
    bool noTable2 = false;            // answer as a system without the newer table (before Vista)
    bool table2Reversed = false;      // the newer table lists the rows in the opposite order
    std::function<void()> beforeCall; // runs at the start of every call (e.g. to grow the table)
};

class FakeSystemTimer : public ISystemTimer {
public:
    uintptr_t SetTimer(uint32_t elapseMs) override;
    void KillTimer(uintptr_t id) override;

    // Delivers one tick of a running timer to TimerProc, as the system's dispatch would; false (and
    // nothing happens) when no timer with this identifier runs.
    bool Fire(uintptr_t id);
    bool IsRunning(uintptr_t id) const { return m_running.count(id) != 0; }
    uint32_t ElapseOf(uintptr_t id) const;
    std::size_t RunningCount() const { return m_running.size(); }

    bool failSetTimer = false;

private:
    std::map<uintptr_t, uint32_t> m_running;
    uintptr_t m_next = 32767;
};
