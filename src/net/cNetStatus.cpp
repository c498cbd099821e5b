#include "net/cNetStatus.h"
#include "app/mLogging.h"
#include "net/mNetStatus.h"

namespace {
// Counters wrap at 2^32; their difference modulo 2^32 is the traffic in between.
int32_t Difference(int32_t now, int32_t before) {
    return static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(before));
}
} // namespace

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
    m_lastIn = 0;
    m_lastOut = 0;
}

void cNetStatus::Start() {
    // A second Start replaces the timer; the old one must neither tick here nor run on for no one.
    if (m_timer) {
        m_timer->ThatTime = nullptr;
        m_timer->SetInterval(0);
    }
    m_timer = CTimer::New();
    m_timer->ThatTime = [this] { Timer_ThatTime(); };
    m_timer->SetInterval(1000);
    m_timer->PulseTimer();
}

void cNetStatus::Timer_ThatTime() {
    // Two snapshots, as each reading stands alone.
    const int32_t in = GetInOctets(m_interface);
    const int32_t out = GetOutOctets(m_interface);
    if (m_lastIn == 0)
        m_lastIn = in;
    if (m_lastOut == 0)
        m_lastOut = out;
    const int32_t lIn = Difference(in, m_lastIn);
    const int32_t lOut = Difference(out, m_lastOut);
    // Stored before the handlers run: one of them may choose another interface (a fresh baseline
    // that must hold) or release this sampler.
    m_lastIn = in;
    m_lastOut = out;
    if (Status)
        Status(lIn, lOut);
}
