#include "net/MTimer.h"
#include "net/CTimer.h"

#include <array>

namespace {
ISystemTimer* g_system = nullptr;

struct Table {
    std::array<std::shared_ptr<CTimer>, kTimerSlots> slots; // slot k lives at index k - 1
    int16_t inUse = 0;
};

// Never destroyed: a running timer lives until the process ends, and no timer may be torn down
// during static destruction, after the system seam it would call.
Table& TheTable() {
    static Table* table = new Table;
    return *table;
}
} // namespace

void SetSystemTimer(ISystemTimer* timers) {
    g_system = timers;
}
ISystemTimer* CurrentSystemTimer() {
    return g_system;
}

bool TimerCreate(const std::shared_ptr<CTimer>& timer) {
    const uintptr_t id = g_system ? g_system->SetTimer(static_cast<uint32_t>(timer->Interval())) : 0;
    timer->SetTimerID(id);
    if (id == 0) {
        timer->SetInterval(0);
        return false;
    }
    Table& table = TheTable();
    for (int k = 1; k <= kTimerSlots; ++k) {
        std::shared_ptr<CTimer>& slot = table.slots[k - 1];
        if (!slot) {
            slot = timer;
            if (k > table.inUse)
                table.inUse = static_cast<int16_t>(k);
            return true;
        }
    }
    // No slot: take the system timer back, or it would fire for no one for the rest of the run.
    g_system->KillTimer(id);
    timer->SetTimerID(0);
    timer->SetInterval(0);
    timer->ErrRaise(13651);
}

bool TimerDelete(CTimer& timer) {
    const uintptr_t id = timer.TimerID();
    if (id == 0)
        return false;
    Table& table = TheTable();
    for (int k = 1; k <= table.inUse; ++k) {
        std::shared_ptr<CTimer>& slot = table.slots[k - 1];
        if (slot && slot->TimerID() == id) {
            if (g_system)
                g_system->KillTimer(id);
            slot->SetTimerID(0);
            slot.reset();
            return true;
        }
    }
    return false;
}

void TimerProc(uintptr_t, uint32_t, uintptr_t idEvent, uint32_t) {
    Table& table = TheTable();
    for (int k = 1; k <= table.inUse; ++k) {
        const std::shared_ptr<CTimer>& slot = table.slots[k - 1];
        if (slot && slot->TimerID() == idEvent) {
            // Held for the tick: a handler may stop the timer and so empty its slot.
            const std::shared_ptr<CTimer> timer = slot;
            timer->PulseTimer();
            return;
        }
    }
}

int16_t TimerSlotsInUse() {
    return TheTable().inUse;
}

int TimerSlotOf(const CTimer& timer) {
    const Table& table = TheTable();
    for (int k = 1; k <= kTimerSlots; ++k) {
        if (table.slots[k - 1].get() == &timer)
            return k;
    }
    return 0;
}

std::shared_ptr<CTimer> TimerInSlot(int slot) {
    if (slot < 1 || slot > kTimerSlots)
        return nullptr;
    return TheTable().slots[slot - 1];
}
