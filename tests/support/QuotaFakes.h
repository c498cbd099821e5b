#pragma once
#include "quotas/HistoryUsage.h"
#include "support/FakeHistoryFiles.h"

#include <map>
#include <string>

// The program's own local calendar, under zone rules that are the same every year (UTC by default).
class RulesCalendar : public ILocalCalendar {
public:
    explicit RulesCalendar(ZoneYearRules rules = {}) : m_rules(rules) {}
    RulesCalendar(const RulesCalendar&) = delete;
    LocalDateTime ToLocal(int64_t utc) const override { return m_calendar.ToLocal(utc); }
    int64_t LocalMidnight(const CivilDate& date) const override { return m_calendar.LocalMidnight(date); }

private:
    FixedZoneRules m_rules;
    ZoneCalendar m_zone{m_rules};
    HistoryLocalCalendar m_calendar{m_zone};
};

// Usage recorded as octets at instants; Between sums those in [from, to) for one interface name, or
// for every name when it is "".
class FakeUsageSource : public IUsageSource {
public:
    void Add(const std::string& interfaceName, int64_t utc, uint64_t in, uint64_t out) {
        m_records.insert({utc, {interfaceName, {in, out}}});
    }
    Octets Between(const std::string& interfaceName, int64_t fromUtc, int64_t toUtc) const override;

private:
    std::multimap<int64_t, std::pair<std::string, Octets>> m_records;
};
