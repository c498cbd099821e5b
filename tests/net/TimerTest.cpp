#include "app/AppError.h"
#include "app/AppInfo.h"
#include "net/CTimer.h"
#include "net/MTimer.h"
#include "net/NetFakes.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {
constexpr uint32_t kWmTimer = 0x0113;

class Timers : public testing::Test {
protected:
    void SetUp() override {
        ResetTimerTable();
        SetSystemTimer(&sys);
    }
    void TearDown() override {
        ResetTimerTable();
        SetSystemTimer(nullptr);
    }

    // A running timer that counts its ticks in `ticks`.
    std::shared_ptr<CTimer> Counting(int& ticks, int32_t interval) {
        auto timer = CTimer::New();
        timer->ThatTime = [&ticks] { ++ticks; };
        timer->SetInterval(interval);
        return timer;
    }

    FakeSystemTimer sys;
};

AppError Raised(const std::function<void()>& action) {
    try {
        action();
    } catch (const AppError& e) {
        return e;
    }
    ADD_FAILURE() << "no error raised";
    return AppError(0);
}
} // namespace

TEST_F(Timers, IntervalStartsRestartsAndStopsTheSystemTimerOnce) {
    int ticks = 0;
    auto timer = Counting(ticks, 1000);
    const uintptr_t first = timer->TimerID();
    ASSERT_NE(first, 0u);
    EXPECT_EQ(timer->Interval(), 1000);
    EXPECT_EQ(sys.ElapseOf(first), 1000u);
    EXPECT_EQ(TimerSlotOf(*timer), 1);

    timer->SetInterval(1000); // the value it has: nothing
    EXPECT_EQ(sys.setCalls, 1);
    EXPECT_EQ(sys.killCalls, 0);
    EXPECT_EQ(timer->TimerID(), first);

    timer->SetInterval(250); // a new system timer with a new identifier
    EXPECT_FALSE(sys.IsRunning(first));
    EXPECT_NE(timer->TimerID(), first);
    EXPECT_EQ(sys.ElapseOf(timer->TimerID()), 250u);
    EXPECT_EQ(sys.RunningCount(), 1u);
    EXPECT_EQ(TimerSlotOf(*timer), 1);

    const int kills = sys.killCalls;
    timer->SetInterval(0);
    timer->SetInterval(0);
    timer->SetInterval(-7);
    EXPECT_EQ(sys.killCalls, kills + 1) << "stopping twice must kill the system timer once";
    EXPECT_EQ(sys.RunningCount(), 0u);
    EXPECT_EQ(timer->Interval(), 0);
    EXPECT_EQ(timer->TimerID(), 0u);
    EXPECT_EQ(TimerSlotOf(*timer), 0);
    EXPECT_EQ(ticks, 0);
}

TEST_F(Timers, ATickReachesOnlyTheTimerWithThatIdentifier) {
    int a = 0, b = 0;
    auto ta = Counting(a, 100);
    auto tb = Counting(b, 100);
    ASSERT_TRUE(sys.Fire(tb->TimerID()));
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 1);
    TimerProc(0, kWmTimer, 424242, 0); // unknown identifiers are ignored
    TimerProc(0, kWmTimer, 0, 0);
    EXPECT_EQ(a + b, 1);
    ta->PulseTimer(); // at once, with or without a system timer
    EXPECT_EQ(a, 1);
    auto stopped = CTimer::New();
    int c = 0;
    stopped->ThatTime = [&c] { ++c; };
    stopped->PulseTimer();
    EXPECT_EQ(c, 1);
    stopped->ThatTime = nullptr;
    stopped->PulseTimer(); // no handler connected: nothing
}

TEST_F(Timers, NoSystemTimerRaises13652AndLeavesTheTimerStopped) {
    SetExeBaseName("Meter");
    sys.failSetTimer = true;
    auto timer = CTimer::New();
    const AppError e = Raised([&] { timer->SetInterval(1000); });
    EXPECT_EQ(e.Number, -2147207852);
    EXPECT_EQ(e.Source, "Meter.WindowProc");
    EXPECT_EQ(e.Description, "Can't create system timer");
    EXPECT_EQ(timer->Interval(), 0);
    EXPECT_EQ(timer->TimerID(), 0u);
    EXPECT_EQ(TimerSlotOf(*timer), 0);

    // A running timer whose restart fails is stopped too, its old system timer gone.
    sys.failSetTimer = false;
    timer->SetInterval(500);
    sys.failSetTimer = true;
    EXPECT_EQ(Raised([&] { timer->SetInterval(800); }).Number, ObjectError(13652));
    EXPECT_EQ(timer->Interval(), 0);
    EXPECT_EQ(sys.RunningCount(), 0u);
    EXPECT_EQ(TimerSlotOf(*timer), 0);

    SetSystemTimer(nullptr); // a system without timers
    sys.failSetTimer = false;
    EXPECT_EQ(Raised([&] { timer->SetInterval(500); }).Number, ObjectError(13652));
    SetExeBaseName(kAppTitle);
}

TEST_F(Timers, AFullTableRaises13651AndTheLowestFreeSlotIsReused) {
    int ticks = 0;
    std::vector<std::shared_ptr<CTimer>> timers;
    for (int i = 0; i < kTimerSlots; ++i)
        timers.push_back(Counting(ticks, 10 + i));
    EXPECT_EQ(TimerSlotsInUse(), 100);
    EXPECT_EQ(TimerSlotOf(*timers[99]), 100);

    auto extra = CTimer::New();
    const AppError e = Raised([&] { extra->SetInterval(1000); });
    EXPECT_EQ(e.Number, -2147207853);
    EXPECT_EQ(e.Source, ExeBaseName() + ".WindowProc");
    EXPECT_EQ(e.Description, "No more than 10 timers allowed per class");
    EXPECT_EQ(extra->Interval(), 0);
    EXPECT_EQ(extra->TimerID(), 0u);
    EXPECT_EQ(sys.RunningCount(), 100u) << "the system timer made for the refused one must go";

    timers[36]->SetInterval(0);
    timers[70]->SetInterval(0);
    extra->SetInterval(1000);
    EXPECT_EQ(TimerSlotOf(*extra), 37);
    EXPECT_EQ(TimerSlotsInUse(), 100);
    ASSERT_TRUE(sys.Fire(extra->TimerID()));

    // A restart takes the first free slot, which may be lower than its old one.
    timers[99]->SetInterval(5);
    EXPECT_EQ(TimerSlotOf(*timers[99]), 71);
}

TEST_F(Timers, ErrorsUpTo1000AreRaisedBare) {
    auto timer = CTimer::New();
    const AppError bare = Raised([&] { timer->ErrRaise(5); });
    EXPECT_EQ(bare.Number, 5);
    EXPECT_EQ(bare.Source, "");
    EXPECT_EQ(bare.Description, "");
    const AppError other = Raised([&] { timer->ErrRaise(2000); });
    EXPECT_EQ(other.Number, ObjectError(2000));
    EXPECT_EQ(other.Description, "");
}

TEST_F(Timers, ARunningTimerOutlivesItsOwnerAndMayStopItselfDuringATick) {
    int ticks = 0;
    auto timer = Counting(ticks, 1000);
    const uintptr_t id = timer->TimerID();
    std::weak_ptr<CTimer> watch = timer;
    CTimer* raw = timer.get();
    timer.reset();
    ASSERT_FALSE(watch.expired()) << "the table keeps a running timer alive";
    ASSERT_TRUE(sys.Fire(id));
    EXPECT_EQ(ticks, 1);

    // The handler stops its own timer: the slot holds the last reference, the tick must survive it.
    raw->ThatTime = [raw, &ticks] {
        raw->SetInterval(0);
        ++ticks;
    };
    ASSERT_TRUE(sys.Fire(id));
    EXPECT_EQ(ticks, 2);
    EXPECT_TRUE(watch.expired());
    EXPECT_FALSE(sys.IsRunning(id));
    EXPECT_FALSE(sys.Fire(id));
}
