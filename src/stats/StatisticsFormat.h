#pragma once
#include <array>
#include <cstdint>
#include <string>

class cNetStatistics;

// The unit the statistics window shows its figures in.
enum class StatisticsUnit { Bytes, Kilobytes, Megabytes };

// A fixed-point amount (value times 10000) in the unit: "12345 b", "1.5 kb", "1.25 mb". Kilobytes are
// rounded to one place and megabytes to two, ties to even; the separator is the user's.
std::string FormatAmount(int64_t amount, StatisticsUnit unit);

// The twelve fields of one update, row by row (total, current, average, maximum), each row in, out and
// total; the rate rows end in "/s". The average row's total is the rounded mean of in and out.
std::array<std::string, 12> StatisticsTexts(const cNetStatistics& statistics, StatisticsUnit unit);
