#pragma once
// Records the traffic of every interface: minute totals in memory, written to the month's journal
// once a minute and on request, with the counters they account for in the state file.
#include "history/HistoryData.h"
#include "history/HistoryFormat.h"
#include "history/HistorySeams.h"
#include "history/StateFile.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class HistoryRecorder {
public:
    using LogSink = std::function<void(const std::string&)>;
    HistoryRecorder(IHistoryFiles& files, IHistoryClock& clock, LogSink log = {});
    ~HistoryRecorder();

    // Takes the lock, archives the months that have ended, cuts a torn journal tail and reads the whole
    // history. False when another copy is the writer: then everything is read-only.
    bool Open();
    bool ReadOnly() const { return !lock_; }
    // Everything written so far (what Flush has written included).
    const HistoryData& Data() const { return data_; }

    // The interface as this run sees it; returns its slot for the calls below. `inCounter`/`outCounter`
    // are its counters now, the baseline of its first sample.
    std::size_t Track(const HistoryInterface& entry, uint64_t inCounter, uint64_t outCounter);
    // Adds what moved since the last run to the minute of start, when this is the same boot and the
    // counters went on rising; returns the number of interfaces it counted for.
    std::size_t CountWhileClosed(bool enabled);

    // Once per sample, before its Add calls: reads the clock and notices when it jumped.
    void BeginSample();
    // Memory only: octets moved (from a sample or a gap) and the counters after them.
    void Add(std::size_t slot, uint64_t in, uint64_t out, uint64_t inCounter, uint64_t outCounter);

    // Writes the minutes that have ended (once a minute); `all` writes the current one too (suspend,
    // logoff, close, Exit). False when a write failed; the minutes stay queued for the next try.
    bool Flush(bool all = false);

private:
    struct Slot {
        HistoryInterface iface;
        uint16_t journalSlot = 0;
        bool announced = false; // its interface record is in the journal
        int64_t minute = 0;
        uint64_t in = 0, out = 0;
        uint8_t flags = 0;
        uint64_t lastIn = 0, lastOut = 0;     // counters after the latest sample
        uint64_t closedIn = 0, closedOut = 0; // counters the queued and written minutes account for
    };
    void Log(const std::string& text) const;
    void CloseMinute(Slot& slot, bool keepMinute);
    bool OpenJournal(int month);
    void RollMonth(int month);
    bool WriteStateFile();

    IHistoryFiles& files_;
    IHistoryClock& clock_;
    LogSink log_;
    std::unique_ptr<IHistoryLock> lock_;
    std::unique_ptr<IHistoryFile> journal_;
    std::unique_ptr<IHistoryFile> stateFile_;
    int journalMonth_ = 0;
    uint64_t journalSize_ = 0;
    std::vector<InterfaceGuid> journalSlots_;
    HistoryData data_;
    HistoryState state_;
    bool haveState_ = false;
    std::vector<Slot> slots_;
    std::vector<MinuteRecord> queue_;
    std::vector<uint8_t> bytes_;
    int64_t nowUtc_ = 0;
    uint64_t nowTicks_ = 0;
    bool sampled_ = false;
};
