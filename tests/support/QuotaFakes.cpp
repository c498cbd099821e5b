#include "support/QuotaFakes.h"

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
