#pragma once
// Local time from UTC with the zone rules in force at each instant, and back.
#include "history/HistorySeams.h"

#include <array>
#include <cstdint>

int64_t DaysFromCivil(int year, int month, int day);
struct CivilDate {
    int year = 1970, month = 1, day = 1;
    auto operator<=>(const CivilDate&) const = default;
};
inline int64_t DaysFromCivil(const CivilDate& date) {
    return DaysFromCivil(date.year, date.month, date.day);
}
CivilDate CivilFromDays(int64_t days);
int DaysInMonth(int year, int month);
int WeekDay(int64_t days); // 0 Sunday .. 6 Saturday, as SYSTEMTIME counts

// Floor division for keys of instants before 1970 as well.
constexpr int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

class ZoneCalendar {
public:
    explicit ZoneCalendar(const IZoneRules& rules) : rules_(rules) {}

    // Seconds to add to UTC for the local time at that instant.
    int32_t OffsetAt(int64_t utc) const;
    int64_t ToLocal(int64_t utc) const { return utc + OffsetAt(utc); }
    // The first instant whose local time is `local` or later: the earlier of a repeated time, the end
    // of the gap for a time that is skipped.
    int64_t ToUtc(int64_t local) const;
    int64_t StartOfDay(const CivilDate& date) const {
        return ToUtc(DaysFromCivil(date.year, date.month, date.day) * 86400);
    }

private:
    struct Year {
        int year = 0;
        bool valid = false, daylight = false;
        int32_t standardOffset = 0, daylightOffset = 0; // seconds to add to UTC
        int64_t daylightStart = 0, daylightEnd = 0;     // UTC
    };
    const Year& RulesOf(int year) const;

    const IZoneRules& rules_;
    mutable std::array<Year, 4> cache_{};
    mutable std::size_t next_ = 0;
};
