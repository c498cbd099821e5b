#include "stats/StatisticsFormat.h"
#include "base/Convert.h"
#include "net/cNetStatistics.h"

#include <limits>

namespace {
constexpr int64_t kScale = 10000;

// The exact decimal form of a fixed-point amount: "12345", "-0.5", "2.0625".
std::string FixedText(int64_t amount) {
    const bool negative = amount < 0;
    // Unsigned, so that the most negative amount has a magnitude too.
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(amount) : static_cast<uint64_t>(amount);
    std::string text = negative ? "-" : "";
    text += std::to_string(magnitude / kScale);
    if (const uint64_t fraction = magnitude % kScale; fraction != 0) {
        const std::string digits = std::to_string(fraction + kScale);
        text += DecimalSeparator();
        text.append(digits, 1, digits.find_last_not_of('0'));
    }
    return text;
}

// Rates are whole octets per second; widened before they are added, so that two fast directions
// together never wrap.
int64_t Amount(int64_t octets) {
    return octets * kScale;
}

// The totals stop at the edge of their range, as the statistics do.
int64_t Sum(int64_t a, int64_t b) {
    int64_t sum = 0; // no-mutate
    if (__builtin_add_overflow(a, b, &sum))
        return a < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max(); // no-mutate
    return sum;
}
} // namespace

std::string FormatAmount(int64_t amount, StatisticsUnit unit) {
    const double value = static_cast<double>(amount) / kScale;
    switch (unit) {
    case StatisticsUnit::Bytes:
        return FixedText(amount) + " b";
    case StatisticsUnit::Kilobytes:
        return FormatNumber(RoundDecimals(value / 1024, 1)) + " kb";
    case StatisticsUnit::Megabytes:
        break;
    }
    return FormatNumber(RoundDecimals(value / 1048576, 2)) + " mb";
}

std::array<std::string, 12> StatisticsTexts(const cNetStatistics& s, StatisticsUnit unit) {
    auto rate = [unit](int64_t octets) { return FormatAmount(Amount(octets), unit) + "/s"; };
    const int64_t averageIn = s.AverageIn(), averageOut = s.AverageOut();
    const auto meanAverage =
        static_cast<int64_t>(RoundHalfEven(static_cast<double>(averageIn + averageOut) / 2));
    return {FormatAmount(s.TotalIn(), unit),
            FormatAmount(s.TotalOut(), unit),
            FormatAmount(Sum(s.TotalIn(), s.TotalOut()), unit),
            rate(s.CurrentIn()),
            rate(s.CurrentOut()),
            rate(int64_t{s.CurrentIn()} + s.CurrentOut()),
            rate(averageIn),
            rate(averageOut),
            rate(meanAverage),
            rate(s.MaxIn()),
            rate(s.MaxOut()),
            rate(int64_t{s.MaxIn()} + s.MaxOut())};
}
