#pragma once
// The history grouped into local hours, days and months, and its CSV export.
#include "history/HistoryData.h"
#include "history/ZoneCalendar.h"

#include <cstdint>
#include <string>
#include <vector>

enum class HistoryPeriod { Day, Month, Year };

// Stands for "All Interfaces": the interfaces flagged as counted by it.
constexpr std::size_t kAllInterfaces = static_cast<std::size_t>(-1);

struct HistoryBucket {
    int64_t startUtc = 0;
    int64_t endUtc = 0;
    int32_t offset = 0; // seconds to add to startUtc for its local time
    uint64_t in = 0;
    uint64_t out = 0;
    bool countedWhileClosed = false;
};

// The period holding `date`, in local time: a Day in hours (a daylight-saving change starts a new one,
// so a day has 23 to 25 of them), a Month in days, a Year in months.
std::vector<HistoryBucket> Aggregate(const HistoryData& data, const ZoneCalendar& zone, HistoryPeriod period,
                                     const CivilDate& date, std::size_t index);

// The first day of the period `steps` periods before (negative) or after `date`'s.
CivilDate StepPeriod(HistoryPeriod period, const CivilDate& date, int steps);
// "Tuesday, 8 December 2026", "December 2026", "2026".
std::string PeriodName(HistoryPeriod period, const CivilDate& date);
// "All Interfaces", or the alias with the description beside it when they differ.
std::string InterfaceLabel(const HistoryData& data, std::size_t index);

std::string IsoUtc(int64_t utc);                   // 2026-12-08T00:00:00Z
std::string IsoLocal(int64_t utc, int32_t offset); // 2026-12-08T01:00:00+01:00
std::string CsvField(const std::string& text);     // quoted when it has to be
// One line per bucket under the header start_utc,start_local,interface,in_bytes,out_bytes; lines end
// in CRLF.
std::string ExportCsv(const HistoryData& data, const ZoneCalendar& zone, HistoryPeriod period,
                      const CivilDate& date, std::size_t index);
