#include "history/HistoryAggregate.h"

#include <algorithm>
#include <cstdio>

namespace {
const char* const kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                 "July",    "August",   "September", "October", "November", "December"};
const char* const kDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

void AddRange(const std::vector<QuarterTotal>& series, HistoryBucket& b) {
    const int64_t from = FloorDiv(b.startUtc, kQuarterSeconds), to = FloorDiv(b.endUtc, kQuarterSeconds);
    auto it = std::lower_bound(series.begin(), series.end(), from,
                               [](const QuarterTotal& q, int64_t key) { return q.quarter < key; });
    for (; it != series.end() && it->quarter < to; ++it) {
        b.in += it->in;
        b.out += it->out;
        if (it->flags & kCountedWhileClosed)
            b.countedWhileClosed = true;
    }
}

void Fill(const HistoryData& data, std::size_t interface, HistoryBucket& b) {
    if (interface != kAllInterfaces) {
        AddRange(data.Series(interface), b);
        return;
    }
    for (std::size_t i = 0; i < data.Interfaces().size(); ++i)
        if (data.Interfaces()[i].countedInAll)
            AddRange(data.Series(i), b);
}

CivilDate NextDay(const CivilDate& d) {
    return CivilFromDays(DaysFromCivil(d.year, d.month, d.day) + 1);
}
} // namespace

std::vector<HistoryBucket> Aggregate(const HistoryData& data, const ZoneCalendar& zone, HistoryPeriod period,
                                     const CivilDate& date, std::size_t interface) {
    std::vector<int64_t> starts;
    if (period == HistoryPeriod::Day) {
        const int64_t end = zone.StartOfDay(NextDay(date));
        int64_t t = zone.StartOfDay(date);
        starts.push_back(t);
        int64_t hour = FloorDiv(zone.ToLocal(t), 3600);
        int32_t offset = zone.OffsetAt(t);
        // Offsets and their changes fall on quarter hours, so stepping by quarters finds every hour.
        for (t += kQuarterSeconds; t < end; t += kQuarterSeconds) {
            const int32_t o = zone.OffsetAt(t);
            const int64_t h = FloorDiv(t + o, 3600);
            if (h != hour || o != offset)
                starts.push_back(t);
            hour = h;
            offset = o;
        }
        starts.push_back(end);
    } else if (period == HistoryPeriod::Month) {
        const int days = DaysInMonth(date.year, date.month);
        for (int d = 1; d <= days + 1; ++d)
            starts.push_back(d <= days ? zone.StartOfDay({date.year, date.month, d})
                                       : zone.StartOfDay(StepPeriod(HistoryPeriod::Month, date, 1)));
    } else {
        for (int m = 1; m <= 13; ++m)
            starts.push_back(m <= 12 ? zone.StartOfDay({date.year, m, 1})
                                     : zone.StartOfDay({date.year + 1, 1, 1}));
    }
    std::vector<HistoryBucket> buckets;
    buckets.reserve(starts.size() - 1);
    for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
        HistoryBucket b;
        b.startUtc = starts[i];
        b.endUtc = starts[i + 1];
        b.offset = zone.OffsetAt(b.startUtc);
        Fill(data, interface, b);
        buckets.push_back(b);
    }
    return buckets;
}

CivilDate StepPeriod(HistoryPeriod period, const CivilDate& date, int steps) {
    switch (period) {
    case HistoryPeriod::Day:
        return CivilFromDays(DaysFromCivil(date.year, date.month, date.day) + steps);
    case HistoryPeriod::Month: {
        const int64_t m = static_cast<int64_t>(date.year) * 12 + date.month - 1 + steps;
        return {static_cast<int>(FloorDiv(m, 12)), static_cast<int>(m - FloorDiv(m, 12) * 12) + 1, 1};
    }
    case HistoryPeriod::Year:
        break;
    }
    return {date.year + steps, 1, 1};
}

std::string PeriodName(HistoryPeriod period, const CivilDate& date) {
    const std::string month = kMonths[(date.month - 1) % 12];
    switch (period) {
    case HistoryPeriod::Day:
        return std::string(kDays[WeekDay(DaysFromCivil(date.year, date.month, date.day))]) + ", " +
               std::to_string(date.day) + " " + month + " " + std::to_string(date.year);
    case HistoryPeriod::Month:
        return month + " " + std::to_string(date.year);
    case HistoryPeriod::Year:
        break;
    }
    return std::to_string(date.year);
}

std::string InterfaceLabel(const HistoryData& data, std::size_t interface) {
    if (interface == kAllInterfaces)
        return "All Interfaces";
    const HistoryInterface& h = data.Interfaces()[interface];
    if (h.alias.empty() || h.alias == h.description)
        return h.description;
    if (h.description.empty())
        return h.alias;
    return h.alias + " (" + h.description + ")";
}

namespace {
std::string IsoDateTime(int64_t seconds) {
    const int64_t days = FloorDiv(seconds, 86400);
    const int64_t inDay = seconds - days * 86400;
    const CivilDate d = CivilFromDays(days);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", d.year, d.month, d.day,
                  static_cast<int>(inDay / 3600), static_cast<int>(inDay / 60 % 60),
                  static_cast<int>(inDay % 60));
    return text;
}
} // namespace

std::string IsoUtc(int64_t utc) {
    return IsoDateTime(utc) + "Z";
}

std::string IsoLocal(int64_t utc, int32_t offset) {
    const int32_t minutes = (offset < 0 ? -offset : offset) / 60;
    char zone[16];
    std::snprintf(zone, sizeof zone, "%c%02d:%02d", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return IsoDateTime(utc + offset) + zone;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string ExportCsv(const HistoryData& data, const ZoneCalendar& zone, HistoryPeriod period,
                      const CivilDate& date, std::size_t interface) {
    std::string csv = "start_utc,start_local,interface,in_bytes,out_bytes\r\n";
    const std::string name = CsvField(InterfaceLabel(data, interface));
    for (const HistoryBucket& b : Aggregate(data, zone, period, date, interface))
        csv += IsoUtc(b.startUtc) + "," + IsoLocal(b.startUtc, b.offset) + "," + name + "," +
               std::to_string(b.in) + "," + std::to_string(b.out) + "\r\n";
    return csv;
}
