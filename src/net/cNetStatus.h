#pragma once
#include "net/CTimer.h"
#include "net/InterfaceReader.h"
#include "net/RowBaselines.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

// The throughput sampler: once a second it reads the interface tables and raises Status with the
// octets received and sent since the previous tick, summed row by row so that adapters that come, go
// or restart never show as traffic. A sample is one second's octets: a late tick raises Status once
// for each second it covers, and a gap of more than ten seconds (sleep, a long hang) raises Gap with
// what moved and Status once with 0 and 0. The first tick after Start or after a change of interface
// only takes the baselines and reports 0 and 0.
class cNetStatus {
public:
    cNetStatus();
    ~cNetStatus();
    cNetStatus(const cNetStatus&) = delete;
    cNetStatus& operator=(const cNetStatus&) = delete;

    // The watched interface's name; empty for all interfaces together.
    const std::string& Interface() const { return m_interface; }
    // Takes a fresh baseline on the next tick.
    void SetInterface(std::string text);

    // Starts the 1000 ms timer and takes the first sample before returning (raising Status 0, 0).
    // Timer errors (13651, 13652) reach the caller.
    void Start();

    // The sampling timer; empty until Start. When the sampler goes, the timer keeps running for no one.
    const std::shared_ptr<CTimer>& Timer() const { return m_timer; }

    // The latest tick's reading, row by row, with what each row moved and whether it was counted;
    // valid until the next tick.
    std::span<const InterfaceRow> Rows() const { return m_latest; }

    // Octets a sample can carry; a second beyond it is clamped to it.
    static constexpr int32_t kMaxSample = 0x7FFFFFFF;
    // Longer than this between two ticks is a gap: its traffic is no one second's.
    static constexpr uint64_t kGapMs = 10000;

    // Once per tick, before Gap and Status, with Rows() holding the new reading.
    std::function<void()> Reading;
    std::function<void(int32_t lIn, int32_t lOut)> Status;
    std::function<void(uint64_t inOctets, uint64_t outOctets, uint64_t ms)> Gap;

private:
    void Timer_ThatTime();
    int32_t Clamped(uint64_t octets);

    std::shared_ptr<CTimer> m_timer;
    std::string m_interface;
    InterfaceReader m_reader;
    RowBaselines m_baselines;
    std::span<const InterfaceRow> m_latest;
    bool m_baselined = false;
    bool m_clampLogged = false;
    uint64_t m_lastTick = 0;
    // Outlived by the weak references a tick holds while its handlers run: one may end this sampler.
    std::shared_ptr<char> m_life = std::make_shared<char>();
};
