#include "base/AppError.h"
#include "base/AppInfo.h"
#include "net/CTimer.h"
#include "net/MTimer.h"
#include "support/NetFakes.h"
#include "support/RaisedError.h"
#include "support/ScopedSeam.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {
class Timers : public testing::Test {
protected:
    void SetUp() override {
        ResetTimerTable();
        SetExeBaseName("Meter");
    }
    void TearDown() override {
        ResetTimerTable();
        SetExeBaseName(kAppTitle);
    }

    // A running timer that counts its ticks in `ticks`.
    std::shared_ptr<CTimer> Counting(int& ticks, int32_t interval) {
        auto timer = CTimer::New();
        timer->ThatTime = [&ticks] { ++ticks; };
        timer->SetInterval(interval);
        return timer;
    }
    static void ExpectStopped(const CTimer& timer) {
        EXPECT_EQ(timer.Interval(), 0);
        EXPECT_EQ(timer.TimerID(), 0u);
        EXPECT_EQ(TimerSlotOf(timer), 0);
    }

    FakeSystemTimer sys;
    ScopedSeam<ISystemTimer*> useTimers{CurrentSystemTimer, SetSystemTimer, &sys};
};
} // namespace

TEST_F(Timers, IntervalStartsRestartsAndStopsTheSystemTimerOnceAndTicksGoByIdentifier) {
    int ticks = 0, other = 0;
    auto timer = Counting(ticks, 1000);
    const uintptr_t first = timer->TimerID();
    EXPECT_EQ(sys.ElapseOf(first), 1000u);
    EXPECT_EQ(TimerSlotOf(*timer), 1);
    timer->SetInterval(1000); // the value it has: nothing
    EXPECT_EQ(timer->TimerID(), first);
    timer->SetInterval(1); // a new system timer with a new identifier; the shortest interval still runs
    EXPECT_EQ(sys.ElapseOf(timer->TimerID()), 1u);
    EXPECT_EQ(TimerSlotOf(*timer), 1);
    EXPECT_EQ(sys.ElapseOf(first), 0u);
    EXPECT_EQ(sys.RunningCount(), 1u);

    auto second = Counting(other, 100);
    ASSERT_TRUE(sys.Fire(second->TimerID()));
    TimerProc(0, 0x0113, 424242, 0); // unknown identifiers are ignored
    TimerProc(0, 0x0113, 0, 0);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(other, 1);
    for (const int32_t stop : {0, 0, -7})
        timer->SetInterval(stop);
    ExpectStopped(*timer);
    EXPECT_EQ(sys.RunningCount(), 1u);
    timer->PulseTimer(); // a pulse comes at once, with or without a system timer
    EXPECT_EQ(ticks, 1);
    timer->ThatTime = nullptr;
    timer->PulseTimer();
}

TEST_F(Timers, NoSystemTimerRaises13652AndAFullTable13651BothLeavingTheTimerStopped) {
    sys.failSetTimer = true;
    auto extra = CTimer::New();
    EXPECT_RAISES(-2147207852, "Meter.WindowProc", "Can't create system timer",
                  [&] { extra->SetInterval(1000); });
    ExpectStopped(*extra);
    // Numbers up to 1000 are raised bare; other object errors have no description.
    EXPECT_RAISES(1000, "", "", [&] { extra->ErrRaise(1000); });
    EXPECT_RAISES(-2147220503, "Meter.WindowProc", "", [&] { extra->ErrRaise(1001); });

    sys.failSetTimer = false;
    int ticks = 0;
    std::vector<std::shared_ptr<CTimer>> timers;
    for (int i = 0; i < kTimerSlots; ++i)
        timers.push_back(Counting(ticks, 10 + i));
    EXPECT_EQ(TimerSlotOf(*timers[99]), 100);
    EXPECT_RAISES(-2147207853, "Meter.WindowProc", "No more than 10 timers allowed per class",
                  [&] { extra->SetInterval(1000); });
    ExpectStopped(*extra);
    EXPECT_EQ(sys.RunningCount(), 100u) << "the system timer made for the refused one must go";
    timers[36]->SetInterval(0);
    extra->SetInterval(1000);
    EXPECT_EQ(TimerSlotOf(*extra), 37);
    EXPECT_EQ(sys.ElapseOf(extra->TimerID()), 1000u);
}

TEST_F(Timers, ARunningTimerOutlivesItsOwnerAndMayStopItselfDuringATick) {
    int ticks = 0;
    auto timer = Counting(ticks, 1000);
    const uintptr_t id = timer->TimerID();
    std::weak_ptr<CTimer> watch = timer;
    CTimer* raw = timer.get();
    timer.reset();
    ASSERT_FALSE(watch.expired()) << "the table keeps a running timer alive";
    // The handler stops its own timer: the slot holds the last reference, the tick must survive it.
    raw->ThatTime = [raw, &ticks] {
        raw->SetInterval(0);
        ++ticks;
    };
    ASSERT_TRUE(sys.Fire(id));
    EXPECT_EQ(ticks, 1);
    EXPECT_TRUE(watch.expired());
    EXPECT_FALSE(sys.Fire(id));
}
