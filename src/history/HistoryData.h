#pragma once
// The usage history in memory: every interface ever recorded and its 15-minute UTC totals.
#include "history/HistorySeams.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int64_t kQuarterSeconds = 900;
// Traffic that moved while the program was not running, added when it started again.
constexpr uint8_t kCountedWhileClosed = 1;

struct HistoryInterface {
    InterfaceGuid guid;
    std::string description;
    std::string alias;
    bool countedInAll = true; // part of "All Interfaces", as the meter counts it
};

struct QuarterTotal {
    int64_t quarter = 0; // UTC seconds / 900
    uint64_t in = 0;
    uint64_t out = 0;
    uint8_t flags = 0;
};

class HistoryData {
public:
    const std::vector<HistoryInterface>& Interfaces() const { return interfaces_; }
    // Sorted by quarter, one entry per quarter.
    const std::vector<QuarterTotal>& Series(std::size_t index) const { return series_[index]; }

    // The index of the interface, added when new; a later description, alias or flag replaces the
    // stored one.
    std::size_t Intern(const HistoryInterface& entry);
    std::size_t Find(const InterfaceGuid& guid) const; // Interfaces().size() when absent

    void Add(std::size_t index, int64_t quarter, uint64_t in, uint64_t out, uint8_t flags);
    // Room for `more` quarters of the interface, growing geometrically.
    void Reserve(std::size_t index, std::size_t more);

    uint64_t TotalIn(std::size_t index) const;
    uint64_t TotalOut(std::size_t index) const;

private:
    std::vector<HistoryInterface> interfaces_;
    std::vector<std::vector<QuarterTotal>> series_;
};
