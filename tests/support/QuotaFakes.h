#pragma once
#include "quotas/QuotaTime.h"

#include <map>
#include <string>

// A local calendar whose zone is a fixed offset from UTC.
class FixedOffsetCalendar : public ILocalCalendar {
public:
    explicit FixedOffsetCalendar(int64_t offsetSeconds = 0) : m_offset(offsetSeconds) {}
    LocalDateTime ToLocal(int64_t utc) const override;
    int64_t LocalMidnight(const CivilDate& date) const override;

private:
    int64_t m_offset;
};

// A zone with one change of offset at one instant, as a daylight-saving start (the offset grows: an
// hour of local time does not exist) or end (it shrinks: an hour comes twice).
class OneChangeCalendar : public ILocalCalendar {
public:
    OneChangeCalendar(int64_t offsetBefore, int64_t changeUtc, int64_t offsetAfter)
        : m_before(offsetBefore), m_change(changeUtc), m_after(offsetAfter) {}
    LocalDateTime ToLocal(int64_t utc) const override;
    int64_t LocalMidnight(const CivilDate& date) const override;

private:
    int64_t OffsetAt(int64_t utc) const { return utc < m_change ? m_before : m_after; }
    int64_t m_before, m_change, m_after;
};

// Usage recorded as octets at instants; Between sums those in [from, to) for one interface name, or
// for every name when it is "".
class FakeUsageSource : public IUsageSource {
public:
    void Add(const std::string& interfaceName, int64_t utc, uint64_t in, uint64_t out);
    Octets Between(const std::string& interfaceName, int64_t fromUtc, int64_t toUtc) const override;

private:
    std::multimap<int64_t, std::pair<std::string, Octets>> m_records;
};

// Seconds since 1970 of a UTC date and time.
int64_t UtcSeconds(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
