#pragma once
#include "net/MTimer.h"
#include "net/mNetStatus.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Stand-ins for the system's interface table and timers that behave as the system does (the same
// contract tests run against them and against the real ones), for tests and benchmarks.

class FakeInterfaceTable : public IInterfaceTable {
public:
    struct Row {
        std::string descr;     // the bytes of bDescr (at most 256 are kept)
        uint32_t descrLen = 0; // dwDescrLen as reported, not checked against descr
        uint32_t inOctets = 0;
        uint32_t outOctets = 0;
        uint32_t index = 0; // dwIndex: the system's own number for the interface
    };
    // A row as Windows reports it (dwDescrLen counts the NUL) and as Wine does (it does not).
    static Row WindowsRow(const std::string& name, uint32_t in = 0, uint32_t out = 0, uint32_t index = 0);
    static Row WineRow(const std::string& name, uint32_t in = 0, uint32_t out = 0, uint32_t index = 0);

    uint32_t GetIfTable(void* table, uint32_t* size, bool order) override;

    std::vector<Row> rows;
    bool unsupported = false;         // answer as a system without an interface table
    std::function<void()> beforeCall; // runs at the start of every call (e.g. to grow the table)
    int calls = 0;
};

class FakeSystemTimer : public ISystemTimer {
public:
    uintptr_t SetTimer(uint32_t elapseMs) override;
    void KillTimer(uintptr_t id) override;

    // Delivers one tick of a running timer to TimerProc, as the system's dispatch would; false (and
    // nothing happens) when no timer with this identifier runs.
    bool Fire(uintptr_t id);
    // One tick of every running timer, in order of identifier.
    void FireAll();
    bool IsRunning(uintptr_t id) const { return m_running.count(id) != 0; }
    uint32_t ElapseOf(uintptr_t id) const;
    std::size_t RunningCount() const { return m_running.size(); }

    bool failSetTimer = false;
    int setCalls = 0;
    int killCalls = 0;

private:
    std::map<uintptr_t, uint32_t> m_running;
    uintptr_t m_next = 32767;
};
