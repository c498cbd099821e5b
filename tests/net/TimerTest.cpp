#include "app/AppError.h"
#include "app/AppInfo.h"
#include "net/CTimer.h"
#include "net/MTimer.h"
#include "net/NetFakes.h"
#include "settings/RaisedError.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {
const std::string kNoTimer = "-2147207852 Meter.WindowProc: Can't create system timer";

class Timers : public testing::Test {
protected:
    void SetUp() override {
        ResetTimerTable();
        SetSystemTimer(&sys);
        SetExeBaseName("Meter");
    }
    void TearDown() override {
        ResetTimerTable();
        SetSystemTimer(nullptr);
        SetExeBaseName(kAppTitle);
    }

    // A running timer that counts its ticks in `ticks`.
    std::shared_ptr<CTimer> Counting(int& ticks, int32_t interval) {
        auto timer = CTimer::New();
        timer->ThatTime = [&ticks] { ++ticks; };
        timer->SetInterval(interval);
        return timer;
    }
    // The interval, whether a system timer of that period runs for it, and the slot it holds.
    std::string State(const CTimer& timer) const {
        const uintptr_t id = timer.TimerID();
        const char* system = !id                                              ? " stopped"
                             : sys.ElapseOf(id) == uint32_t(timer.Interval()) ? " running"
                                                                              : " astray";
        return std::to_string(timer.Interval()) + system + " in slot " + std::to_string(TimerSlotOf(timer));
    }

    FakeSystemTimer sys;
};
} // namespace

TEST_F(Timers, IntervalStartsRestartsAndStopsTheSystemTimerOnce) {
    int ticks = 0;
    auto timer = Counting(ticks, 1000);
    const uintptr_t first = timer->TimerID();
    EXPECT_EQ(State(*timer), "1000 running in slot 1");
    timer->SetInterval(1000); // the value it has: nothing
    EXPECT_EQ(sys.setCalls + sys.killCalls, 1);
    timer->SetInterval(1); // a new system timer with a new identifier; the shortest interval still runs
    EXPECT_EQ(State(*timer), "1 running in slot 1");
    EXPECT_TRUE(!sys.IsRunning(first) && sys.RunningCount() == 1u);
    for (const int32_t stop : {0, 0, -7})
        timer->SetInterval(stop);
    EXPECT_EQ(State(*timer), "0 stopped in slot 0");
    EXPECT_EQ(sys.killCalls, 2) << "stopping twice must kill the system timer once";
    EXPECT_EQ(sys.RunningCount() + ticks, 0u);
}

TEST_F(Timers, ATickReachesOnlyTheTimerWithThatIdentifierAndAPulseComesAtOnce) {
    int a = 0, b = 0;
    auto ta = Counting(a, 100);
    auto tb = Counting(b, 100);
    ASSERT_TRUE(sys.Fire(tb->TimerID()));
    TimerProc(0, 0x0113, 424242, 0); // unknown identifiers are ignored
    TimerProc(0, 0x0113, 0, 0);
    EXPECT_TRUE(a == 0 && b == 1) << a << ", " << b;
    ta->SetInterval(0);
    ta->PulseTimer(); // with or without a system timer
    EXPECT_EQ(a, 1);
    ta->ThatTime = nullptr;
    ta->PulseTimer(); // no handler connected: nothing
}

TEST_F(Timers, NoSystemTimerRaises13652AndLeavesTheTimerStopped) {
    sys.failSetTimer = true;
    auto timer = CTimer::New();
    EXPECT_EQ(RaisedError([&] { timer->SetInterval(1000); }), kNoTimer);
    EXPECT_EQ(State(*timer), "0 stopped in slot 0");
    // Numbers up to 1000 are raised bare; other object errors have no description.
    EXPECT_EQ(RaisedError([&] { timer->ErrRaise(1000); }), "1000 : ");
    EXPECT_EQ(RaisedError([&] { timer->ErrRaise(1001); }), "-2147220503 Meter.WindowProc: ");
}

TEST_F(Timers, AFullTableRaises13651AndAFreedSlotIsReused) {
    int ticks = 0;
    std::vector<std::shared_ptr<CTimer>> timers;
    for (int i = 0; i < kTimerSlots; ++i)
        timers.push_back(Counting(ticks, 10 + i));
    EXPECT_EQ(State(*timers[99]), "109 running in slot 100");
    auto extra = CTimer::New();
    EXPECT_EQ(RaisedError([&] { extra->SetInterval(1000); }),
              "-2147207853 Meter.WindowProc: No more than 10 timers allowed per class");
    EXPECT_EQ(State(*extra), "0 stopped in slot 0");
    EXPECT_EQ(sys.RunningCount(), 100u) << "the system timer made for the refused one must go";
    timers[36]->SetInterval(0);
    extra->SetInterval(1000);
    EXPECT_EQ(State(*extra), "1000 running in slot 37");
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
    EXPECT_TRUE(ticks == 1 && watch.expired() && !sys.Fire(id));
}
