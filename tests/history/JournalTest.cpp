#include "HistoryTestUtil.h"
#include "history/HistoryFormat.h"

#include <gtest/gtest.h>

namespace {
// A journal of one interface record and four minutes of 100, 200, 300 and 400 octets in; `starts`
// holds where each record begins, and the journal's length last.
std::vector<uint8_t> Journal(std::vector<std::size_t>& starts) {
    std::vector<uint8_t> bytes;
    starts.push_back(0);
    AppendInterfaceRecord(bytes, 0, Interface(1));
    for (uint64_t m = 1; m <= 4; ++m) {
        starts.push_back(bytes.size());
        AppendMinuteRecord(bytes, MinuteRecord{0, 29000008 + static_cast<int64_t>(m), 100 * m, m, 0});
    }
    starts.push_back(bytes.size());
    return bytes;
}

TEST(Journal, CutAtEveryOffsetOfItsLastRecordKeepsEveryEarlierRecord) {
    std::vector<std::size_t> starts;
    const std::vector<uint8_t> whole = Journal(starts);
    const std::size_t last = starts[starts.size() - 2];
    for (std::size_t cut = last; cut < whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        HistoryData data;
        const JournalScan scan =
            ScanJournal({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)}, data);
        EXPECT_EQ(scan.validLength, last);
        EXPECT_EQ(TotalIn(data, 1), 600u);
    }
}

TEST(Journal, OneFlippedBitInAnyRecordEndsItAndKeepsEveryEarlierRecord) {
    std::vector<std::size_t> starts;
    const std::vector<uint8_t> whole = Journal(starts);
    const uint64_t before[] = {0, 0, 100, 300, 600};
    for (std::size_t r = 0; r + 1 < starts.size(); ++r)
        for (std::size_t bit = starts[r] * 8; bit < starts[r + 1] * 8; ++bit) {
            SCOPED_TRACE(bit);
            std::vector<uint8_t> bytes = whole;
            bytes[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
            HistoryData data;
            EXPECT_EQ(ScanJournal(bytes, data).validLength, starts[r]);
            EXPECT_EQ(TotalIn(data, 1), before[r]);
        }
}

TEST(Journal, AnArchiveKeepsWhetherAllInterfacesCountsAnInterface) {
    HistoryData month, read;
    month.Add(month.Intern(Interface(2, false)), 7, 1, 1, 0);
    ASSERT_TRUE(DecodeArchive(EncodeArchive(month), read));
    EXPECT_FALSE(read.Interfaces()[0].countedInAll);
}

TEST(Journal, TornTailIsCutFromTheFileAndLaterRecordsFollowTheSoundOnes) {
    FakeHistoryFiles files;
    FakeHistoryClock clock;
    clock.utc = Utc(2026, 12, 8, 10);
    {
        HistoryRecorder recorder(files, clock);
        recorder.Open();
        Meter meter{recorder, clock, recorder.Track(Interface(1), 0, 0)};
        meter.Run(120, 10, 1);
    }
    auto& journal = files.files.at("2026-12.journal")->bytes;
    journal.resize(journal.size() - 3);
    HistoryRecorder recorder(files, clock);
    recorder.Open();
    EXPECT_EQ(TotalIn(recorder.Data(), 1), 590u); // the minute of 10:00:01 to 10:00:59
    Meter meter{recorder, clock, recorder.Track(Interface(1), 0, 0)};
    meter.Run(60, 10, 1);
    HistoryRecorder reader(files, clock);
    reader.Open();
    EXPECT_EQ(TotalIn(reader.Data(), 1), 1180u);
}
} // namespace
