#pragma once
// The quotas' view of the usage history: the octets it holds and the local calendar it reckons in.
#include "history/HistoryData.h"
#include "history/ZoneCalendar.h"
#include "quotas/QuotaTime.h"

// Whole 15-minute totals that start in [fromUtc, toUtc): the quarter under way counts from its start.
class HistoryUsageSource : public IUsageSource {
public:
    explicit HistoryUsageSource(const HistoryData& data) : m_data(data) {}
    // "" sums the interfaces All Interfaces counts; a description, every interface of that description.
    Octets Between(const std::string& interfaceName, int64_t fromUtc, int64_t toUtc) const override;

private:
    const HistoryData& m_data;
};

class HistoryLocalCalendar : public ILocalCalendar {
public:
    explicit HistoryLocalCalendar(const ZoneCalendar& zone) : m_zone(zone) {}
    LocalDateTime ToLocal(int64_t utc) const override;
    int64_t LocalMidnight(const CivilDate& date) const override { return m_zone.StartOfDay(date); }

private:
    const ZoneCalendar& m_zone;
};
