#include "HistoryTestUtil.h"
#include "history/HistoryFiles.h"

#include <gtest/gtest.h>

namespace {
// November's last ten minutes recorded, then the clock reaches December.
struct MonthEnd : testing::Test {
    FakeHistoryFiles files;
    FakeHistoryClock clock;
    void RecordNovember() {
        clock.utc = Utc(2026, 11, 30, 23, 50);
        HistoryRecorder recorder(files, clock);
        recorder.Open();
        Meter meter{recorder, clock, recorder.Track(Interface(1), 0, 0)};
        meter.Run(600, 7, 3);
        recorder.Flush(true);
    }
    uint64_t Loaded() {
        HistoryData data;
        LoadHistory(files, data);
        return TotalIn(data, 1);
    }
};

TEST_F(MonthEnd, ACrashBetweenAnyTwoStepsOfTheArchiveLeavesTheMonthReadable) {
    RecordNovember();
    files.files.erase("2026-11.archive");
    for (int steps = 0;; ++steps) {
        SCOPED_TRACE(steps);
        FakeHistoryFiles copy = files;
        for (auto& [name, content] : copy.files)
            content = std::make_shared<FakeHistoryFiles::Content>(*content);
        copy.DieAfter(steps);
        const int before = copy.Steps();
        const bool made = MakeArchive(copy, MonthOfUtc(Utc(2026, 11, 1)));
        copy.PowerCut();
        copy.Restart();
        HistoryData data;
        LoadHistory(copy, data);
        EXPECT_EQ(TotalIn(data, 1), 4200u);
        HistoryRecorder recorder(copy, clock);
        recorder.Open();
        EXPECT_EQ(TotalIn(recorder.Data(), 1), 4200u);
        EXPECT_EQ(copy.files.count("2026-11.archive.tmp"), 0u);
        if (made && copy.Steps() - before <= steps)
            break;
    }
}

TEST_F(MonthEnd, EndedMonthsBecomeArchivesAndJournalsOlderThanLastMonthGo) {
    RecordNovember();
    clock.utc = Utc(2026, 12, 31, 23, 59);
    {
        HistoryRecorder recorder(files, clock);
        recorder.Open();
        Meter meter{recorder, clock, recorder.Track(Interface(1), 0, 0)};
        meter.Run(120, 1, 1);
    }
    EXPECT_EQ(files.files.count("2026-12.archive"), 1u);
    EXPECT_EQ(files.files.count("2026-12.journal"), 1u); // beside its archive for a month
    EXPECT_EQ(files.files.count("2027-01.journal"), 1u);
    EXPECT_EQ(files.files.count("2026-11.journal"), 0u);
    EXPECT_EQ(files.files.count("2026-11.archive"), 1u);
    EXPECT_EQ(Loaded(), 4200u + 119u);
}

TEST_F(MonthEnd, AnUnsoundArchiveGivesWayToItsJournal) {
    RecordNovember();
    files.files.at("2026-11.archive")->bytes[20] ^= 1;
    EXPECT_EQ(Loaded(), 4200u);
}
} // namespace
