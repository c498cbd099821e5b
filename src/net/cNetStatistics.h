#pragma once
#include <cstdint>

// Accumulates the sampler's samples into the figures of the statistics window. Amounts are octets
// per sample; totals are fixed point with four decimals (value times 10000). A new object is the reset.
class cNetStatistics {
public:
    cNetStatistics();
    ~cNetStatistics();
    cNetStatistics(const cNetStatistics&) = delete;
    cNetStatistics& operator=(const cNetStatistics&) = delete;

    // Largest sample seen, never below 0.
    int32_t MaxIn() const { return m_maxIn; }
    int32_t MaxOut() const { return m_maxOut; }
    int32_t CurrentIn() const { return m_currentIn; }
    int32_t CurrentOut() const { return m_currentOut; }
    int64_t TotalIn() const { return m_totalIn; }
    int64_t TotalOut() const { return m_totalOut; }
    // The number of samples.
    int32_t Time() const { return m_time; }
    // Total over samples, rounded to nearest with ties to even; 0 without samples or out of range.
    int32_t AverageIn() const;
    int32_t AverageOut() const;

    void AddData(int32_t lIn, int32_t lOut);

private:
    int64_t m_totalIn = 0;
    int64_t m_totalOut = 0;
    int32_t m_time = 0;
    int32_t m_currentIn = 0;
    int32_t m_currentOut = 0;
    int32_t m_maxIn = 0;
    int32_t m_maxOut = 0;
};
