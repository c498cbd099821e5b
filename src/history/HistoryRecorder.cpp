#include "history/HistoryRecorder.h"

#include "history/HistoryFiles.h"
#include "history/ZoneCalendar.h"

#include <algorithm>

namespace {
// Wall time that moves this much further or less far than the tick count has been set.
constexpr int64_t kClockJumpSeconds = 10;
// The boot's start time moves with the wall clock's small corrections; a reboot moves it far more.
constexpr int64_t kSameBootSeconds = 120;

bool ArchiveSound(IHistoryFiles& files, int month) {
    std::vector<uint8_t> bytes;
    HistoryData data;
    return ReadWholeFile(files, ArchiveName(month), bytes) && DecodeArchive(bytes, data);
}
} // namespace

HistoryRecorder::HistoryRecorder(IHistoryFiles& files, IHistoryClock& clock, LogSink log)
    : files_(files), clock_(clock), log_(std::move(log)) {}

HistoryRecorder::~HistoryRecorder() = default;

void HistoryRecorder::Log(const std::string& text) const {
    if (log_)
        log_("History: " + text);
}

bool HistoryRecorder::Open() {
    nowUtc_ = clock_.UtcNow();
    nowTicks_ = clock_.Ticks();
    lock_ = files_.TryLock(kLockFileName);
    if (!lock_) {
        LoadHistory(files_, data_);
        Log("another copy is recording; read-only");
        return false;
    }
    int writing = MonthOfUtc(nowUtc_);
    std::vector<int> journals;
    for (const std::string& name : files_.List()) {
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0)
            files_.Remove(name); // an archive that was never moved into place
        else if (auto m = JournalMonth(name))
            journals.push_back(*m);
    }
    // A journal from a later month than the clock says stays the one written: the clock was set back.
    for (int m : journals)
        writing = std::max(writing, m);
    for (int m : journals) {
        if (m >= writing)
            continue;
        if (!ArchiveSound(files_, m) && !MakeArchive(files_, m)) {
            Log("could not archive " + JournalName(m));
            continue;
        }
        // Minutes are kept for the month before the current one.
        if (m < writing - 1 && ArchiveSound(files_, m))
            files_.Remove(JournalName(m));
    }
    LoadHistory(files_, data_, writing);
    if (!OpenJournal(writing))
        Log("could not open " + JournalName(writing));
    stateFile_ = files_.Open(kStateFileName, IHistoryFiles::Mode::Write);
    haveState_ = stateFile_ && ReadState(*stateFile_, state_);
    return true;
}

bool HistoryRecorder::OpenJournal(int month) {
    journalMonth_ = month;
    journalSlots_.clear();
    journalSize_ = 0;
    for (Slot& s : slots_)
        s.announced = false;
    journal_ = files_.Open(JournalName(month), IHistoryFiles::Mode::Write);
    if (!journal_)
        return false;
    std::vector<uint8_t> bytes(static_cast<std::size_t>(journal_->Size()));
    bytes.resize(journal_->Read(0, bytes.data(), bytes.size()));
    const JournalScan scan = ScanJournal(bytes, data_);
    journalSlots_ = scan.slots;
    journalSize_ = scan.validLength;
    if (scan.validLength < bytes.size()) {
        Log("cut " + std::to_string(bytes.size() - scan.validLength) + " unsound bytes from the end of " +
            JournalName(month));
        if (!journal_->Truncate(scan.validLength) || !journal_->Flush())
            return false;
    }
    return true;
}

std::size_t HistoryRecorder::Track(const HistoryInterface& interface, uint64_t inCounter,
                                   uint64_t outCounter) {
    Slot s;
    s.iface = interface;
    s.minute = FloorDiv(nowUtc_, 60);
    s.lastIn = s.closedIn = inCounter;
    s.lastOut = s.closedOut = outCounter;
    slots_.push_back(s);
    queue_.reserve(slots_.size() * 4);
    return slots_.size() - 1;
}

std::size_t HistoryRecorder::CountWhileClosed(bool enabled) {
    if (ReadOnly() || !haveState_ || !enabled)
        return 0;
    const int64_t bootStart = nowUtc_ - static_cast<int64_t>(nowTicks_ / 1000);
    const int64_t drift = bootStart - state_.bootStart;
    if (nowTicks_ < state_.ticks || drift > kSameBootSeconds || drift < -kSameBootSeconds) {
        Log("the machine has restarted since the last run; nothing counted while closed");
        return 0;
    }
    std::size_t counted = 0;
    for (Slot& s : slots_) {
        const auto saved = std::find_if(state_.counters.begin(), state_.counters.end(),
                                        [&](const SavedCounters& c) { return c.guid == s.iface.guid; });
        // A counter lower than saved was restarted: what it moved before cannot be known.
        if (saved == state_.counters.end() || s.lastIn < saved->in || s.lastOut < saved->out)
            continue;
        const uint64_t in = s.lastIn - saved->in, out = s.lastOut - saved->out;
        if (in == 0 && out == 0)
            continue;
        s.in += in;
        s.out += out;
        s.flags |= kCountedWhileClosed;
        s.closedIn = saved->in;
        s.closedOut = saved->out;
        ++counted;
    }
    return counted;
}

void HistoryRecorder::BeginSample() {
    const int64_t utc = clock_.UtcNow();
    const uint64_t ticks = clock_.Ticks();
    const int64_t expected = nowUtc_ + static_cast<int64_t>((ticks - nowTicks_) / 1000);
    if (utc - expected > kClockJumpSeconds || expected - utc > kClockJumpSeconds)
        Log("the clock was set by " + std::to_string(utc - expected) +
            " s; recording goes on at the new time");
    nowUtc_ = utc;
    nowTicks_ = ticks;
}

void HistoryRecorder::CloseMinute(Slot& s, bool keepMinute) {
    if (s.in != 0 || s.out != 0 || s.flags != 0) {
        const std::size_t index = static_cast<std::size_t>(&s - slots_.data());
        queue_.push_back(MinuteRecord{static_cast<uint16_t>(index), s.minute, s.in, s.out, s.flags});
    }
    s.in = s.out = 0;
    s.flags = 0;
    s.closedIn = s.lastIn;
    s.closedOut = s.lastOut;
    if (!keepMinute)
        s.minute = FloorDiv(nowUtc_, 60);
}

void HistoryRecorder::Add(std::size_t slot, uint64_t in, uint64_t out, uint64_t inCounter,
                          uint64_t outCounter) {
    Slot& s = slots_[slot];
    if (FloorDiv(nowUtc_, 60) != s.minute)
        CloseMinute(s, false);
    s.in += in;
    s.out += out;
    s.lastIn = inCounter;
    s.lastOut = outCounter;
}

bool HistoryRecorder::Flush(bool all) {
    if (ReadOnly())
        return true;
    nowUtc_ = clock_.UtcNow();
    nowTicks_ = clock_.Ticks();
    for (Slot& s : slots_)
        if (all || FloorDiv(nowUtc_, 60) != s.minute)
            CloseMinute(s, all);
    if (!journal_ && !OpenJournal(journalMonth_))
        return false;
    bytes_.clear();
    std::vector<std::size_t> announcing;
    for (const MinuteRecord& r : queue_) {
        Slot& s = slots_[r.slot];
        if (!s.announced && std::find(announcing.begin(), announcing.end(), r.slot) == announcing.end()) {
            const auto found = std::find(journalSlots_.begin(), journalSlots_.end(), s.iface.guid);
            const std::size_t known = data_.Find(s.iface.guid);
            const bool same = found != journalSlots_.end() && known < data_.Interfaces().size() &&
                              data_.Interfaces()[known].description == s.iface.description &&
                              data_.Interfaces()[known].alias == s.iface.alias &&
                              data_.Interfaces()[known].countedInAll == s.iface.countedInAll;
            if (same) {
                s.journalSlot = static_cast<uint16_t>(found - journalSlots_.begin());
                s.announced = true;
            } else {
                s.journalSlot = static_cast<uint16_t>(journalSlots_.size() + announcing.size());
                AppendInterfaceRecord(bytes_, s.journalSlot, s.iface);
                announcing.push_back(r.slot);
            }
        }
        MinuteRecord written = r;
        written.slot = s.journalSlot;
        AppendMinuteRecord(bytes_, written);
    }
    if (!bytes_.empty()) {
        if (!journal_->Append(bytes_.data(), bytes_.size()) || !journal_->Flush()) {
            // What did reach the file must not stand before the next records.
            journal_->Truncate(journalSize_);
            for (std::size_t i : announcing)
                slots_[i].journalSlot = 0;
            Log("could not write " + JournalName(journalMonth_));
            return false;
        }
        journalSize_ += bytes_.size();
        for (std::size_t i : announcing) {
            slots_[i].announced = true;
            journalSlots_.push_back(slots_[i].iface.guid);
            data_.Intern(slots_[i].iface);
        }
        for (const MinuteRecord& r : queue_)
            data_.Add(data_.Find(slots_[r.slot].iface.guid), FloorDiv(r.minute, kQuarterSeconds / 60), r.in,
                      r.out, r.flags);
        queue_.clear();
    }
    const bool stateWritten = WriteStateFile();
    const int month = MonthOfUtc(nowUtc_);
    if (month > journalMonth_)
        RollMonth(month);
    return stateWritten;
}

bool HistoryRecorder::WriteStateFile() {
    if (!stateFile_)
        return false;
    state_.bootStart = nowUtc_ - static_cast<int64_t>(nowTicks_ / 1000);
    state_.ticks = nowTicks_;
    state_.counters.clear();
    for (const Slot& s : slots_)
        state_.counters.push_back(SavedCounters{s.iface.guid, s.closedIn, s.closedOut});
    haveState_ = true;
    return WriteState(*stateFile_, state_);
}

void HistoryRecorder::RollMonth(int month) {
    const int ended = journalMonth_;
    journal_.reset();
    if (!OpenJournal(month))
        Log("could not open " + JournalName(month));
    if (!MakeArchive(files_, ended))
        Log("could not archive " + JournalName(ended) + "; it is kept and tried again at the next start");
    for (const std::string& name : files_.List())
        if (auto m = JournalMonth(name); m && *m < month - 1 && ArchiveSound(files_, *m))
            files_.Remove(name);
}
