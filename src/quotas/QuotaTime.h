#pragma once
#include "history/ZoneCalendar.h"

#include <cstdint>
#include <string>

// What the quotas need of the usage history: octets counted and the local calendar it reckons in.
// Instants are UTC seconds since 1970.

// A local date and time, to the second.
struct LocalDateTime {
    CivilDate Date;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
};

// The local calendar with the time-zone rules in force at each instant.
class ILocalCalendar {
public:
    virtual ~ILocalCalendar() = default;
    virtual LocalDateTime ToLocal(int64_t utc) const = 0;
    // The first instant of the local date: its midnight, or, where the clocks skip midnight, the
    // instant the date begins after the gap. Where midnight comes twice, the first one.
    virtual int64_t LocalMidnight(const CivilDate& date) const = 0;
};

struct Octets {
    uint64_t In = 0;
    uint64_t Out = 0;
};

// Octets moved on one interface ("" for all of them, else its description) in [fromUtc, toUtc).
class IUsageSource {
public:
    virtual ~IUsageSource() = default;
    virtual Octets Between(const std::string& interfaceName, int64_t fromUtc, int64_t toUtc) const = 0;
};

CivilDate AddDays(const CivilDate& date, int64_t days);
// 1 Monday .. 7 Sunday.
int Weekday(const CivilDate& date);
