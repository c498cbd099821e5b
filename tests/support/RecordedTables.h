#pragma once
#include "support/NetFakes.h"

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

// A recorded sequence of interface tables, as iftable_record writes it and iftable_replay reads it:
//   # comments and blank lines are ignored
//   tick MS           a reading MS milliseconds after the one before (ignored on the first)
//   tick MS legacy    a reading in which GetIfTable2 failed
//   row INDEX TYPE HW FILTER MEDIUM IN OUT DESCRIPTION
struct RecordedTick {
    uint64_t ms = 0;
    bool legacy = false;
    std::vector<FakeInterfaceTable::Row> rows;
};

// The ticks of `in`, or the message naming the first bad line ("line 7: ...").
struct ParsedRecording {
    std::vector<RecordedTick> ticks;
    std::optional<std::string> error;
};
ParsedRecording ParseRecording(std::istream& in);

// What the sampler raised when fed the recording through its seams, watching `interfaceName`: one line
// "IN OUT" per sample and "gap IN OUT MS" per gap (before the sample it is raised with), in order.
struct ReplayResult {
    std::string lines;
    int64_t totalIn = 0, totalOut = 0;
};
ReplayResult Replay(const std::vector<RecordedTick>& ticks, const std::string& interfaceName);

// The lines, then "total IN OUT".
std::string FormatReplay(const ReplayResult& result);
