#pragma once
#include <cstdint>
#include <memory>

class CTimer;

// Where timers come from: SetTimer/KillTimer with no window and the module's TimerProc as callback.
class ISystemTimer {
public:
    // A new periodic timer whose ticks reach TimerProc; its identifier, or 0 when none could be made.
    virtual uintptr_t SetTimer(uint32_t elapseMs) = 0;
    // Nothing is told back: a timer that is already gone is as good as killed.
    virtual void KillTimer(uintptr_t id) = 0;

protected:
    ~ISystemTimer() = default;
};

// The seam every timer uses; null (the start state) stands for a system without timers.
void SetSystemTimer(ISystemTimer* timers);
ISystemTimer* CurrentSystemTimer();

// The timer table: 100 slots, numbered from 1, each empty or holding a running timer.
inline constexpr int kTimerSlots = 100;

// Starts the system timer for `timer` and puts it in the first free slot. False when the system
// gives no timer (the timer is then stopped); raises 13651 when every slot is taken.
bool TimerCreate(const std::shared_ptr<CTimer>& timer);
// Kills the system timer of `timer` and empties its slot; false when it is in no slot.
bool TimerDelete(CTimer& timer);
// The system's callback: raises ThatTime of the timer with this identifier; unknown ones are ignored.
void TimerProc(uintptr_t hwnd, uint32_t msg, uintptr_t idEvent, uint32_t time);

// The highest slot ever filled (never lowered), the slot of a timer (0 when in none) and the timer in
// a slot (null when it is empty or out of 1 to kTimerSlots).
int16_t TimerSlotsInUse();
int TimerSlotOf(const CTimer& timer);
std::shared_ptr<CTimer> TimerInSlot(int slot);
