#include "net/cNetStatus.h"
#include "base/mBenchmark.h"
#include "base/mLogging.h"

#include <algorithm>
#include <string>

cNetStatus::cNetStatus() {
    WriteLog("cNetStatus_Initialize");
}

cNetStatus::~cNetStatus() {
    // The table keeps the timer running: its later ticks must reach no one.
    if (m_timer)
        m_timer->ThatTime = nullptr;
    WriteLog("cNetStatus_Terminate");
}

void cNetStatus::SetInterface(std::string text) {
    m_interface = std::move(text);
    m_baselined = false;
}

void cNetStatus::Start() {
    // A second Start replaces the timer; the old one must neither tick here nor run on for no one.
    if (m_timer) {
        m_timer->ThatTime = nullptr;
        m_timer->SetInterval(0);
    }
    m_baselined = false;
    m_timer = CTimer::New();
    m_timer->ThatTime = [this] { Timer_ThatTime(); };
    m_timer->SetInterval(1000);
    m_timer->PulseTimer();
}

int32_t cNetStatus::Clamped(uint64_t octets) {
    if (octets <= static_cast<uint64_t>(kMaxSample))
        return static_cast<int32_t>(octets);
    if (!m_clampLogged) {
        m_clampLogged = true;
        WriteLog("cNetStatus: more than " + std::to_string(kMaxSample) + " octets in a second, shown as " +
                 std::to_string(kMaxSample));
    }
    return kMaxSample;
}

void cNetStatus::Timer_ThatTime() {
    // One reading of both tables. The baselines are stored before the handlers run: one of them may
    // choose another interface (a fresh baseline that must hold) or release this sampler.
    const std::span<InterfaceRow> rows = m_reader.Take();
    const uint64_t now = CurrentTick64();
    if (!m_baselined)
        m_baselines.Clear();
    m_baselines.Advance(rows);
    CountRows(rows, m_interface);
    m_latest = rows;
    uint64_t in = 0, out = 0;
    for (const InterfaceRow& row : rows) {
        if (row.counted) {
            in += row.movedIn;
            out += row.movedOut;
        }
    }
    const bool baseline = !m_baselined;
    const uint64_t elapsed = now - m_lastTick;
    m_baselined = true;
    m_lastTick = now;

    const std::weak_ptr<char> alive = m_life;
    if (Reading) {
        Reading();
        if (alive.expired())
            return;
    }
    if (!baseline && elapsed > kGapMs) {
        if (Gap)
            Gap(in, out, elapsed);
        if (alive.expired())
            return;
    }
    if (baseline || elapsed > kGapMs) {
        if (Status)
            Status(0, 0);
        return;
    }
    // The seconds the tick covers, to nearest with ties to even, at least one.
    uint64_t seconds = elapsed / 1000;
    const uint64_t part = elapsed % 1000;
    if (part > 500 || (part == 500 && seconds % 2 == 1))
        ++seconds;
    seconds = std::max<uint64_t>(seconds, 1);
    for (uint64_t s = 1; s <= seconds; ++s) {
        const bool last = s == seconds;
        const int32_t lIn = Clamped(in / seconds + (last ? in % seconds : 0));
        const int32_t lOut = Clamped(out / seconds + (last ? out % seconds : 0));
        if (Status)
            Status(lIn, lOut);
        if (alive.expired())
            return;
    }
}
