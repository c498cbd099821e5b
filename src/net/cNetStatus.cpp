#include "net/cNetStatus.h"
#include "base/mLogging.h"
#include "net/mNetStatus.h"

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
    m_lastIn.Clear();
    m_lastOut.Clear();
}

void cNetStatus::Start() {
    // A second Start replaces the timer; the old one must neither tick here nor run on for no one.
    if (m_timer) {
        m_timer->ThatTime = nullptr;
        m_timer->SetInterval(0);
    }
    m_lastIn.Clear();
    m_lastOut.Clear();
    m_timer = CTimer::New();
    m_timer->ThatTime = [this] { Timer_ThatTime(); };
    m_timer->SetInterval(1000);
    m_timer->PulseTimer();
}

void cNetStatus::Timer_ThatTime() {
    // Two snapshots, as each reading stands alone. The baselines are stored before the handlers run:
    // one of them may choose another interface (a fresh baseline that must hold) or release this sampler.
    const int32_t lIn = m_lastIn.Read(m_interface, Direction::In, m_space);
    const int32_t lOut = m_lastOut.Read(m_interface, Direction::Out, m_space);
    if (Status)
        Status(lIn, lOut);
}
