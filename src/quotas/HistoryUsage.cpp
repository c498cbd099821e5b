#include "quotas/HistoryUsage.h"

#include <algorithm>

Octets HistoryUsageSource::Between(const std::string& interfaceName, int64_t fromUtc, int64_t toUtc) const {
    Octets sum;
    const int64_t first = FloorDiv(fromUtc + kQuarterSeconds - 1, kQuarterSeconds);
    const int64_t end = FloorDiv(toUtc + kQuarterSeconds - 1, kQuarterSeconds);
    const auto& interfaces = m_data.Interfaces();
    for (std::size_t i = 0; i < interfaces.size(); ++i) {
        if (interfaceName.empty() ? !interfaces[i].countedInAll : interfaces[i].description != interfaceName)
            continue;
        const auto& series = m_data.Series(i);
        auto q = std::lower_bound(series.begin(), series.end(), first,
                                  [](const QuarterTotal& t, int64_t key) { return t.quarter < key; });
        for (; q != series.end() && q->quarter < end; ++q) {
            sum.In += q->in;
            sum.Out += q->out;
        }
    }
    return sum;
}

LocalDateTime HistoryLocalCalendar::ToLocal(int64_t utc) const {
    const int64_t local = m_zone.ToLocal(utc);
    const int64_t days = FloorDiv(local, 86400);
    const int64_t second = local - days * 86400;
    return {CivilFromDays(days), static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60),
            static_cast<int>(second % 60)};
}
