#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

// An interval timer: owns one system timer while its interval is above 0 and raises ThatTime each
// time it fires. A running timer is held by the timer table (MTimer), so it keeps running after its
// owner lets go; only an interval of 0 (or a change of interval) takes it out.
class CTimer : public std::enable_shared_from_this<CTimer> {
    struct Key {
        explicit Key() = default;
    };

public:
    // The table holds timers by counted reference, so they only exist as shared objects.
    static std::shared_ptr<CTimer> New();
    explicit CTimer(Key) {}
    ~CTimer();
    CTimer(const CTimer&) = delete;
    CTimer& operator=(const CTimer&) = delete;

    // A piece of data the owner may keep with the timer.
    using ItemValue = std::variant<std::monostate, std::string, int16_t, int32_t, std::vector<uint8_t>,
                                   std::shared_ptr<void>>;
    ItemValue Item;

    // Milliseconds; 0 means stopped.
    int32_t Interval() const { return m_interval; }
    // Above 0 starts or restarts the timer (raising 13652 when no system timer can be made, 13651 when
    // the table is full); 0 or less stops it. The value it already has changes nothing.
    void SetInterval(int32_t iIntervalA);
    // Raises ThatTime now, outside the timer's rhythm.
    void PulseTimer();
    // Raises error n: above 1000 as an object error with this module's source and text, else bare.
    [[noreturn]] void ErrRaise(int32_t n) const;

    // The running system timer's identifier; 0 means none.
    uintptr_t TimerID() const { return m_timerId; }
    void SetTimerID(uintptr_t id) { m_timerId = id; }

    std::function<void()> ThatTime;

private:
    int32_t m_interval = 0;
    uintptr_t m_timerId = 0;
};
