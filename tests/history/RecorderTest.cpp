#include "HistoryTestUtil.h"

#include <gtest/gtest.h>

namespace {
struct Recording : testing::Test {
    FakeHistoryFiles files;
    FakeHistoryClock clock;
    std::vector<std::string> log;
    void SetUp() override {
        clock.utc = Utc(2026, 12, 8, 9);
        clock.ticks = 3600000;
    }
    std::unique_ptr<HistoryRecorder> Start() {
        auto r = std::make_unique<HistoryRecorder>(files, clock,
                                                   [this](const std::string& s) { log.push_back(s); });
        r->Open();
        return r;
    }
    // A run of `seconds` at 10 octets in and 1 out a second, killed at its end; returns its meter's
    // counters.
    Meter Run(int seconds, const HistoryInterface& entry = Interface(1), uint64_t counters = 0) {
        auto r = Start();
        Meter meter{*r, clock, r->Track(entry, counters, 0), counters};
        meter.Run(seconds, 10, 1);
        return meter;
    }
    uint64_t Recorded() { return TotalIn(Start()->Data(), 1); }
};

TEST_F(Recording, AKilledRunAndAPowerCutKeepEveryWholeMinute) {
    Run(150); // 09:00:01 to 09:02:30
    files.PowerCut();
    EXPECT_EQ(Recorded(), 1190u);
}

TEST_F(Recording, AFailedWriteIsReportedAndItsMinutesAreWrittenByTheNext) {
    auto r = Start();
    Meter meter{*r, clock, r->Track(Interface(1), 0, 0)};
    meter.Run(59, 10, 1);
    clock.Advance(1);
    files.DieAfter(0);
    EXPECT_FALSE(r->Flush());
    files.Restart();
    meter.Run(60, 10, 1);
    r.reset();
    EXPECT_EQ(Recorded(), 1180u);
}

TEST_F(Recording, FlushOnRequestWritesTheMinuteSoFar) {
    auto r = Start();
    Meter meter{*r, clock, r->Track(Interface(1), 0, 0)};
    meter.Run(150, 10, 1);
    r->Flush(true);
    meter.Run(10, 10, 1); // the same minute goes on
    r->Flush(true);
    r.reset();
    EXPECT_EQ(Recorded(), 1600u);
}

TEST_F(Recording, TrafficWhileClosedInTheSameBootIsAddedToTheMinuteOfStartAndMarked) {
    const Meter before = Run(150); // killed: the last 30 seconds were never written
    clock.Advance(600);
    auto r = Start();
    r->Track(Interface(1), before.in + 5000, before.out);
    EXPECT_EQ(r->CountWhileClosed(true), 1u);
    r->Flush(true);
    EXPECT_EQ(TotalIn(r->Data(), 1), before.in + 5000);
    EXPECT_EQ(r->Data().Series(0).back().flags, kCountedWhileClosed);
}

TEST_F(Recording, NothingIsCountedWhileClosedAfterARebootOrWhenSwitchedOffOrWhenTheCounterWentDown) {
    Run(60, Interface(1), 50000);
    const auto again = [&](bool enabled, uint64_t counter = 100000) {
        auto r = Start();
        r->Track(Interface(1), counter, 0);
        return r->CountWhileClosed(enabled);
    };
    clock.Advance(600);
    EXPECT_EQ(again(true, 10), 0u);
    EXPECT_EQ(again(false), 0u);
    clock.ticks = 30000; // restarted half a minute ago
    EXPECT_EQ(again(true), 0u);
    clock.ticks = 400000000; // restarted, and up for longer than the last boot was
    EXPECT_EQ(again(true), 0u);
}

TEST_F(Recording, TheClockSetBackOrForwardByADayKeepsEveryMinuteAtItsOwnTime) {
    for (int64_t jump : {-86400, 86400}) {
        SCOPED_TRACE(jump);
        files.files.clear();
        log.clear();
        clock.utc = Utc(2026, 12, 1); // set back, the clock is in the month before
        auto r = Start();
        Meter meter{*r, clock, r->Track(Interface(1), 0, 0)};
        meter.Run(120, 10, 1);
        clock.utc += jump;
        meter.Run(120, 10, 1);
        r->Flush(true);
        r.reset();
        const HistoryData data = Start()->Data();
        EXPECT_EQ(TotalIn(data, 1), 2400u);
        EXPECT_EQ(data.Series(0).size(), 2u); // the quarter before and the quarter after
        EXPECT_EQ(log.size(), 1u);
    }
}

TEST_F(Recording, ASecondCopyOnlyReads) {
    auto first = Start();
    Meter meter{*first, clock, first->Track(Interface(1), 0, 0)};
    meter.Run(60, 10, 1);
    auto second = Start();
    EXPECT_TRUE(second->ReadOnly());
    EXPECT_EQ(TotalIn(second->Data(), 1), 590u);
    const std::size_t slot = second->Track(Interface(1), 0, 0);
    clock.Advance(60);
    second->BeginSample();
    second->Add(slot, 1, 1, 1, 1);
    second->Flush(true);
    first.reset();
    second.reset();
    EXPECT_EQ(Recorded(), 590u);
}

TEST_F(Recording, ANewDescriptionIsWrittenAndAnUnchangedOneIsNot) {
    Run(60);
    const std::size_t before = files.files.at("2026-12.journal")->bytes.size();
    Run(60);
    EXPECT_EQ(files.files.at("2026-12.journal")->bytes.size() - before, kRecordOverhead + 27);
    HistoryInterface renamed = Interface(1);
    renamed.alias = "Office";
    Run(60, renamed);
    EXPECT_EQ(Start()->Data().Interfaces()[0].alias, "Office");
}
} // namespace
