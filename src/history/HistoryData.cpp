#include "history/HistoryData.h"

#include <algorithm>

std::size_t HistoryData::Find(const InterfaceGuid& guid) const {
    for (std::size_t i = 0; i < interfaces_.size(); ++i)
        if (interfaces_[i].guid == guid)
            return i;
    return interfaces_.size();
}

std::size_t HistoryData::Intern(const HistoryInterface& interface) {
    const std::size_t i = Find(interface.guid);
    if (i < interfaces_.size()) {
        interfaces_[i] = interface;
        return i;
    }
    interfaces_.push_back(interface);
    series_.emplace_back();
    return i;
}

void HistoryData::Add(std::size_t index, int64_t quarter, uint64_t in, uint64_t out, uint8_t flags) {
    auto& series = series_[index];
    // Nearly every addition is to the newest quarter.
    auto at = series.end();
    if (!series.empty() && series.back().quarter >= quarter)
        at = std::lower_bound(series.begin(), series.end(), quarter,
                              [](const QuarterTotal& q, int64_t key) { return q.quarter < key; });
    if (at != series.end() && at->quarter == quarter) {
        at->in += in;
        at->out += out;
        at->flags |= flags;
        return;
    }
    series.insert(at, QuarterTotal{quarter, in, out, flags});
}

void HistoryData::Reserve(std::size_t index, std::size_t more) {
    auto& series = series_[index];
    if (series.capacity() - series.size() < more)
        series.reserve(std::max(series.size() + more, 2 * series.capacity()));
}

uint64_t HistoryData::TotalIn(std::size_t index) const {
    uint64_t sum = 0;
    for (const QuarterTotal& q : series_[index])
        sum += q.in;
    return sum;
}

uint64_t HistoryData::TotalOut(std::size_t index) const {
    uint64_t sum = 0;
    for (const QuarterTotal& q : series_[index])
        sum += q.out;
    return sum;
}
