#include "support/QuotaFakes.h"

namespace {
constexpr int64_t kDay = 86400;

LocalDateTime FromLocalSeconds(int64_t local) {
    const int64_t days = (local >= 0 ? local : local - (kDay - 1)) / kDay;
    const int64_t second = local - days * kDay;
    LocalDateTime time;
    time.Date = CivilFromDays(days);
    time.Hour = static_cast<int>(second / 3600);
    time.Minute = static_cast<int>(second / 60 % 60);
    time.Second = static_cast<int>(second % 60);
    return time;
}
} // namespace

int64_t UtcSeconds(int year, int month, int day, int hour, int minute, int second) {
    return DaysFromCivil({year, month, day}) * kDay + hour * 3600 + minute * 60 + second;
}

LocalDateTime FixedOffsetCalendar::ToLocal(int64_t utc) const {
    return FromLocalSeconds(utc + m_offset);
}

int64_t FixedOffsetCalendar::LocalMidnight(const CivilDate& date) const {
    return DaysFromCivil(date) * kDay - m_offset;
}

LocalDateTime OneChangeCalendar::ToLocal(int64_t utc) const {
    return FromLocalSeconds(utc + OffsetAt(utc));
}

int64_t OneChangeCalendar::LocalMidnight(const CivilDate& date) const {
    const int64_t local = DaysFromCivil(date) * kDay;
    // The midnight under the old offset, when it falls before the change, comes first; else the one
    // under the new offset; and when neither exists the clocks skipped it and the date begins at the
    // change itself.
    if (const int64_t before = local - m_before; before < m_change)
        return before;
    if (const int64_t after = local - m_after; after >= m_change)
        return after;
    return m_change;
}

void FakeUsageSource::Add(const std::string& interfaceName, int64_t utc, uint64_t in, uint64_t out) {
    m_records.insert({utc, {interfaceName, {in, out}}});
}

Octets FakeUsageSource::Between(const std::string& interfaceName, int64_t fromUtc, int64_t toUtc) const {
    Octets sum;
    for (auto it = m_records.lower_bound(fromUtc); it != m_records.end() && it->first < toUtc; ++it) {
        if (!interfaceName.empty() && it->second.first != interfaceName)
            continue;
        sum.In += it->second.second.In;
        sum.Out += it->second.second.Out;
    }
    return sum;
}
