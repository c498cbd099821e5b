#include "net/cNetStatistics.h"
#include "base/Convert.h"
#include "base/mLogging.h"

#include <limits>

namespace {
constexpr int64_t kScale = 10000;

// Totals stop at the edge of their range instead of overflowing; no run comes near it.
int64_t AddSample(int64_t total, int32_t sample) {
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    const int64_t amount = static_cast<int64_t>(sample) * kScale;
    if (amount > 0 && total > kMax - amount)
        return kMax;
    if (amount < 0 && total < kMin - amount)
        return kMin;
    return total + amount;
}

int32_t Average(int64_t total, int32_t time) {
    // Division by a time of 0 gives NaN or infinity, which the rounding refuses: the average is 0.
    const double quotient = static_cast<double>(total) / kScale / static_cast<double>(time);
    return TryRoundToInt32(quotient).value_or(0);
}
} // namespace

cNetStatistics::cNetStatistics() {
    WriteLog("cNetStatistics_Initialize");
}
cNetStatistics::~cNetStatistics() {
    WriteLog("cNetStatistics_Terminate");
}

int32_t cNetStatistics::AverageIn() const {
    return Average(m_totalIn, m_time);
}
int32_t cNetStatistics::AverageOut() const {
    return Average(m_totalOut, m_time);
}

void cNetStatistics::AddData(int32_t lIn, int32_t lOut) {
    m_currentIn = lIn;
    m_currentOut = lOut;
    m_totalIn = AddSample(m_totalIn, lIn);
    m_totalOut = AddSample(m_totalOut, lOut);
    if (m_time < std::numeric_limits<int32_t>::max())
        ++m_time;
    if (lIn > m_maxIn)
        m_maxIn = lIn;
    if (lOut > m_maxOut)
        m_maxOut = lOut;
}
