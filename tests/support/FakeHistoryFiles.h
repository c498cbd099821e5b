#pragma once
// An in-memory history folder that keeps what was flushed apart from what was only written, so that a
// test can cut the power, or make the process die at any step.
#include "history/ZoneCalendar.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class FakeHistoryFiles : public IHistoryFiles {
public:
    struct Content {
        std::vector<uint8_t> bytes;   // what the process sees
        std::vector<uint8_t> durable; // what survives a power cut
    };

    std::unique_ptr<IHistoryFile> Open(const std::string& name, Mode mode) override;
    bool Replace(const std::string& from, const std::string& to) override;
    bool Remove(const std::string& name) override;
    std::vector<std::string> List() override;
    std::unique_ptr<IHistoryLock> TryLock(const std::string& name) override;

    // Every change after the next `steps` ones fails, as if the process had died there.
    void DieAfter(int steps) { stepsLeft_ = steps; }
    // The process is started again: changes succeed again.
    void Restart() { stepsLeft_ = -1; }
    // Files are as they were at their last flush (empty when never flushed).
    void PowerCut();
    int Steps() const { return steps_; }

    std::map<std::string, std::shared_ptr<Content>> files;
    std::map<std::string, bool> locks; // held

private:
    friend class FakeHistoryFile;
    bool Step(); // false once the process has died
    int stepsLeft_ = -1;
    int steps_ = 0;
};

class FakeHistoryClock : public IHistoryClock {
public:
    int64_t UtcNow() override { return utc; }
    uint64_t Ticks() override { return ticks; }
    // Both clocks move on together.
    void Advance(int64_t seconds) {
        utc += seconds;
        ticks += static_cast<uint64_t>(seconds) * 1000;
    }
    int64_t utc = 0;
    uint64_t ticks = 0;
};

// The same rules for every year.
class FixedZoneRules : public IZoneRules {
public:
    explicit FixedZoneRules(ZoneYearRules r) : rules(r) {}
    ZoneYearRules ForYear(int) const override { return rules; }
    ZoneYearRules rules;
};

// Seconds since 1970 of a UTC date and time.
inline int64_t Utc(int y, int mo, int d, int h = 0, int mi = 0) {
    return DaysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60;
}
