#pragma once
#include "net/CTimer.h"
#include "net/RowBaselines.h"
#include "net/mNetStatus.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The throughput sampler: once a second it reads the watched interface's counters (mNetStatus) and
// raises Status with the octets received and sent since the previous tick, summed row by row so that
// adapters that come, go or restart never show as traffic. The first tick after Start or after a
// change of interface only takes the baselines and reports 0 and 0.
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

    std::function<void(int32_t lIn, int32_t lOut)> Status;

private:
    void Timer_ThatTime();

    std::shared_ptr<CTimer> m_timer;
    std::string m_interface;
    RowBaselines m_lastIn;
    RowBaselines m_lastOut;
    SnapshotSpace m_space;
};
