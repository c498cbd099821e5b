#pragma once
// What the history window shows, as rules: amounts in the user's units, the chart's axis and bars,
// the names of periods in the list and under the bars, and the totals line.
#include "history/HistoryAggregate.h"

#include <cstdint>
#include <string>
#include <vector>

// Powers of 1024, as the statistics window counts.
enum class OctetUnit { Bytes, Kilobytes, Megabytes, Gigabytes, Terabytes };

// The largest unit of which `octets` holds at least one whole (bytes for less than a kilobyte).
OctetUnit UnitFor(uint64_t octets);
// "512 b", "1.5 kb", "2.25 mb": bytes whole, kilobytes to one place, larger units to two, ties to
// even; the separator is the user's.
std::string FormatOctets(uint64_t octets, OctetUnit unit);
inline std::string FormatOctets(uint64_t octets) {
    return FormatOctets(octets, UnitFor(octets));
}

// The value axis: `steps` gridlines `step` units apart up to `top`, a round number (1, 2 or 5 times
// a power of ten) of the unit of the largest bar. Never zero, so that an empty period has an axis too.
struct ChartAxis {
    OctetUnit unit = OctetUnit::Bytes;
    double step = 1; // in the unit
    int steps = 1;
    uint64_t Top() const; // in octets
};
ChartAxis AxisFor(uint64_t largest);
std::string AxisLabel(const ChartAxis& axis, int gridline); // gridline 0 is the base
// The largest in + out of the buckets.
uint64_t LargestBar(const std::vector<HistoryBucket>& buckets);

// Pixels of `height` that `octets` fills on an axis up to `top`, rounded, at most `height`.
int BarHeight(uint64_t octets, uint64_t top, int height);
// Bar `index` of `count` across `width` pixels from `left`: its left edge and its width, a gap on
// either side of at least one pixel once each slot has room for it.
struct BarSpan {
    int left = 0;
    int width = 0;
};
BarSpan BarAt(int index, int count, int left, int width);
// Every how many bars a name fits under them, names `nameWidth` pixels wide.
int NameEvery(int count, int width, int nameWidth);

// A bucket's name in the list: "14:00", "Tue 8", "December"; and under its bar: "14", "8", "Dec".
std::string ListName(HistoryPeriod period, const HistoryBucket& bucket);
std::string BarName(HistoryPeriod period, const HistoryBucket& bucket);

// "In 1.5 gb   Out 200 mb   Total 1.7 gb", with a note when another copy is the history's writer.
std::string TotalsText(const std::vector<HistoryBucket>& buckets, bool readOnly);
uint64_t SumIn(const std::vector<HistoryBucket>& buckets);
uint64_t SumOut(const std::vector<HistoryBucket>& buckets);
// The two added, stopping at the largest number instead of wrapping.
uint64_t Together(uint64_t a, uint64_t b);

// The date shown after a step: none beyond the period that holds `today`.
bool CanStepForward(HistoryPeriod period, const CivilDate& shown, const CivilDate& today);
// "Vantorel history 2026-12-08.csv", "Vantorel history 2026-12.csv", "Vantorel history 2026.csv".
std::string ExportFileName(HistoryPeriod period, const CivilDate& date);
