#pragma once
// What the timer table relies on in SetTimer/KillTimer and the tick callback, stated once and run
// against the fake natively and against the system's timers under Wine. A Provider has
// `static ISystemTimer& Timers()` and `static bool DeliverUntil(const std::function<bool()>& done)`,
// which lets due ticks arrive until `done` holds (false when it never does).
#include "net/CTimer.h"
#include "net/MTimer.h"

#include <gtest/gtest.h>

#include <functional>

template <class Provider>
class SystemTimerContract : public testing::Test {
protected:
    void SetUp() override {
        ResetTimerTable();
        SetSystemTimer(&Provider::Timers());
    }
    void TearDown() override {
        ResetTimerTable();
        SetSystemTimer(nullptr);
    }
    ISystemTimer& Timers() { return Provider::Timers(); }
};
TYPED_TEST_SUITE_P(SystemTimerContract);

TYPED_TEST_P(SystemTimerContract, IdentifiersAreNeverZeroNorSharedAndDieOnce) {
    const uintptr_t a = this->Timers().SetTimer(50);
    const uintptr_t b = this->Timers().SetTimer(50);
    EXPECT_NE(a, 0u);
    EXPECT_NE(b, 0u);
    EXPECT_NE(a, b);
    EXPECT_TRUE(this->Timers().KillTimer(a));
    EXPECT_FALSE(this->Timers().KillTimer(a)) << "a killed timer cannot be killed again";
    EXPECT_TRUE(this->Timers().KillTimer(b));
}

TYPED_TEST_P(SystemTimerContract, TicksReachTheTimerUntilItStops) {
    auto timer = CTimer::New();
    int ticks = 0;
    timer->ThatTime = [&ticks] { ++ticks; };
    timer->SetInterval(20);
    EXPECT_TRUE(TypeParam::DeliverUntil([&] { return ticks >= 2; }));
    timer->SetInterval(0);
    const int seen = ticks;
    EXPECT_FALSE(TypeParam::DeliverUntil([&] { return ticks > seen; })) << "a stopped timer ticked";
}

REGISTER_TYPED_TEST_SUITE_P(SystemTimerContract, IdentifiersAreNeverZeroNorSharedAndDieOnce,
                            TicksReachTheTimerUntilItStops);
