#include "net/CTimer.h"
#include "base/AppError.h"
#include "base/AppInfo.h"
#include "net/MTimer.h"

std::shared_ptr<CTimer> CTimer::New() {
    return std::make_shared<CTimer>(Key{});
}

CTimer::~CTimer() {
    SetInterval(0);
}

void CTimer::SetInterval(int32_t iIntervalA) {
    // Held for the call: emptying the slot may drop the last reference to this timer.
    const std::shared_ptr<CTimer> self = weak_from_this().lock();
    if (iIntervalA > 0) {
        if (iIntervalA == m_interval)
            return;
        if (m_interval != 0)
            TimerDelete(*this);
        m_interval = iIntervalA;
        if (!TimerCreate(self))
            ErrRaise(13652);
    } else if (m_interval > 0) {
        m_interval = 0;
        TimerDelete(*this);
    }
}

void CTimer::PulseTimer() {
    // Run from a copy, so that a handler may disconnect itself (or end its owner) while it runs.
    if (const std::function<void()> handler = ThatTime)
        handler();
}

void CTimer::ErrRaise(int32_t n) const {
    if (n <= 1000)
        throw AppError(n);
    const char* description = n == 13651   ? "No more than 10 timers allowed per class"
                              : n == 13652 ? "Can't create system timer"
                                           : "";
    throw AppError(ObjectError(n), ExeBaseName() + ".WindowProc", description);
}
