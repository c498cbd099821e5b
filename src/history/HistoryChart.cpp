#include "history/HistoryChart.h"
#include "base/Convert.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {
const char* const kSuffixes[] = {" b", " kb", " mb", " gb", " tb"};

double UnitSize(OctetUnit unit) {
    return std::ldexp(1.0, 10 * static_cast<int>(unit));
}

CivilDate LocalDate(const HistoryBucket& bucket) {
    return CivilFromDays(FloorDiv(bucket.startUtc + bucket.offset, 86400));
}

// The month's name, as the period names write it.
std::string MonthName(const CivilDate& date) {
    const std::string name = PeriodName(HistoryPeriod::Month, date);
    return name.substr(0, name.find(' '));
}
} // namespace

OctetUnit UnitFor(uint64_t octets) {
    int unit = 0;
    for (uint64_t rest = octets; rest >= 1024 && unit < 4; rest /= 1024)
        ++unit;
    return static_cast<OctetUnit>(unit);
}

std::string FormatOctets(uint64_t octets, OctetUnit unit) {
    if (unit == OctetUnit::Bytes)
        return std::to_string(octets) + kSuffixes[0];
    const double value = static_cast<double>(octets) / UnitSize(unit);
    return FormatNumber(RoundDecimals(value, unit == OctetUnit::Kilobytes ? 1 : 2)) +
           kSuffixes[static_cast<int>(unit)];
}

ChartAxis AxisFor(uint64_t largest) {
    ChartAxis axis;
    axis.unit = UnitFor(largest);
    const double value = static_cast<double>(largest) / UnitSize(axis.unit);
    // About four steps of 1, 2 or 5 times a power of ten; tenths only above bytes.
    const auto roundStep = [value](double power) {
        for (;; power *= 10)
            for (const double m : {1.0, 2.0, 5.0})
                if (m * power * 4 >= value)
                    return m * power;
    };
    axis.step = roundStep(axis.unit == OctetUnit::Bytes ? 1 : 0.1);
    axis.steps = std::max(1, static_cast<int>(std::ceil(value / axis.step - 1e-9)));
    return axis;
}

uint64_t ChartAxis::Top() const {
    return static_cast<uint64_t>(std::llround(step * steps * UnitSize(unit)));
}

std::string AxisLabel(const ChartAxis& axis, int gridline) {
    return FormatNumber(RoundDecimals(axis.step * gridline, 1)) + kSuffixes[static_cast<int>(axis.unit)];
}

uint64_t LargestBar(const std::vector<HistoryBucket>& buckets) {
    uint64_t largest = 0;
    for (const HistoryBucket& b : buckets)
        largest = std::max(largest, Together(b.in, b.out));
    return largest;
}

int BarHeight(uint64_t octets, uint64_t top, int height) {
    if (top == 0 || height <= 0)
        return 0;
    const long double share = static_cast<long double>(octets) / static_cast<long double>(top);
    return static_cast<int>(std::min<long double>(std::llround(share * height), height));
}

BarSpan BarAt(int index, int count, int left, int width) {
    if (count <= 0)
        return {left, 0};
    const double slot = static_cast<double>(width) / count;
    const int from = left + static_cast<int>(std::lround(index * slot));
    const int to = left + static_cast<int>(std::lround((index + 1) * slot));
    const int gap = slot >= 3 ? std::max(1, static_cast<int>(std::lround(slot * 0.15))) : 0;
    return {from + gap, std::max(1, to - from - 2 * gap)};
}

int NameEvery(int count, int width, int nameWidth) {
    if (count <= 1 || width <= 0)
        return std::max(count, 1);
    // Four pixels between names.
    const int64_t needed = static_cast<int64_t>(count) * (std::max(nameWidth, 0) + 4);
    return static_cast<int>(std::clamp<int64_t>((needed + width - 1) / width, 1, count));
}

std::string ListName(HistoryPeriod period, const HistoryBucket& bucket) {
    const CivilDate date = LocalDate(bucket);
    switch (period) {
    case HistoryPeriod::Day: {
        const int64_t inDay =
            bucket.startUtc + bucket.offset - FloorDiv(bucket.startUtc + bucket.offset, 86400) * 86400;
        char text[8];
        std::snprintf(text, sizeof text, "%02d:%02d", static_cast<int>(inDay / 3600),
                      static_cast<int>(inDay / 60 % 60));
        return text;
    }
    case HistoryPeriod::Month:
        return PeriodName(HistoryPeriod::Day, date).substr(0, 3) + " " + std::to_string(date.day);
    case HistoryPeriod::Year:
        break;
    }
    return MonthName(date);
}

std::string BarName(HistoryPeriod period, const HistoryBucket& bucket) {
    switch (period) {
    case HistoryPeriod::Day:
        return std::to_string(FloorDiv(bucket.startUtc + bucket.offset, 3600) -
                              FloorDiv(bucket.startUtc + bucket.offset, 86400) * 24);
    case HistoryPeriod::Month:
        return std::to_string(LocalDate(bucket).day);
    case HistoryPeriod::Year:
        break;
    }
    return MonthName(LocalDate(bucket)).substr(0, 3);
}

uint64_t Together(uint64_t a, uint64_t b) {
    return a > std::numeric_limits<uint64_t>::max() - b ? std::numeric_limits<uint64_t>::max() : a + b;
}

uint64_t SumIn(const std::vector<HistoryBucket>& buckets) {
    uint64_t sum = 0;
    for (const HistoryBucket& b : buckets)
        sum = Together(sum, b.in);
    return sum;
}

uint64_t SumOut(const std::vector<HistoryBucket>& buckets) {
    uint64_t sum = 0;
    for (const HistoryBucket& b : buckets)
        sum = Together(sum, b.out);
    return sum;
}

std::string TotalsText(const std::vector<HistoryBucket>& buckets, bool readOnly) {
    const uint64_t in = SumIn(buckets), out = SumOut(buckets);
    std::string text = "In " + FormatOctets(in) + "   Out " + FormatOctets(out) + "   Total " +
                       FormatOctets(Together(in, out));
    if (readOnly)
        text += "   (read-only: another copy of Vantorel keeps the history)";
    return text;
}

bool CanStepForward(HistoryPeriod period, const CivilDate& shown, const CivilDate& today) {
    return StepPeriod(period, shown, 1) <= today;
}

std::string ExportFileName(HistoryPeriod period, const CivilDate& date) {
    char text[48];
    if (period == HistoryPeriod::Day)
        std::snprintf(text, sizeof text, "Vantorel history %04d-%02d-%02d.csv", date.year, date.month,
                      date.day);
    else if (period == HistoryPeriod::Month)
        std::snprintf(text, sizeof text, "Vantorel history %04d-%02d.csv", date.year, date.month);
    else
        std::snprintf(text, sizeof text, "Vantorel history %04d.csv", date.year);
    return text;
}
