#pragma once
// What the usage history needs from the system: its folder's files, the clock and the zone rules.
#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// An interface as Windows names it across restarts: the 16 bytes of its GUID.
struct InterfaceGuid {
    std::array<uint8_t, 16> bytes{};
    auto operator<=>(const InterfaceGuid&) const = default;
};

// One open file of the history folder.
class IHistoryFile {
public:
    virtual ~IHistoryFile() = default;
    virtual uint64_t Size() = 0;
    // Reads up to `count` bytes at `offset`; returns how many were read.
    virtual std::size_t Read(uint64_t offset, uint8_t* into, std::size_t count) = 0;
    virtual bool Append(const uint8_t* data, std::size_t count) = 0;
    virtual bool WriteAt(uint64_t offset, const uint8_t* data, std::size_t count) = 0;
    virtual bool Truncate(uint64_t size) = 0;
    // Returns once everything written so far is on the disk.
    virtual bool Flush() = 0;
};

// Held for as long as this process is the history's one writer.
class IHistoryLock {
public:
    virtual ~IHistoryLock() = default;
};

// The history folder; names are plain file names inside it.
class IHistoryFiles {
public:
    enum class Mode { Read, Write }; // Write creates a missing file and keeps an existing one's bytes
    virtual ~IHistoryFiles() = default;
    virtual std::unique_ptr<IHistoryFile> Open(const std::string& name, Mode mode) = 0;
    // Moves `from` over `to`, replacing it, and returns once the move is on the disk.
    virtual bool Replace(const std::string& from, const std::string& to) = 0;
    virtual bool Remove(const std::string& name) = 0;
    virtual std::vector<std::string> List() = 0;
    // Null when another process holds the lock.
    virtual std::unique_ptr<IHistoryLock> TryLock(const std::string& name) = 0;
};

class IHistoryClock {
public:
    virtual ~IHistoryClock() = default;
    // Seconds since 1970-01-01 00:00 UTC, as the wall clock says.
    virtual int64_t UtcNow() = 0;
    // Milliseconds since the machine started; never set back.
    virtual uint64_t Ticks() = 0;
};

// A transition date as Windows gives it: with wYear 0 the day is the wDay-th (5 = last) wDayOfWeek of
// the month; otherwise it is that exact date.
struct ZoneDate {
    int year = 0, month = 0, dayOfWeek = 0, day = 0, hour = 0, minute = 0, second = 0, milliseconds = 0;
};

// One year's rules, as TIME_ZONE_INFORMATION holds them; biases in minutes, UTC = local + bias.
// A zone without daylight saving has standardDate.month 0.
struct ZoneYearRules {
    int32_t bias = 0;
    int32_t standardBias = 0;
    int32_t daylightBias = 0;
    ZoneDate standardDate; // to standard time, in daylight local time
    ZoneDate daylightDate; // to daylight time, in standard local time
};

// The rules in force in a given year (dynamic daylight saving gives each year its own).
class IZoneRules {
public:
    virtual ~IZoneRules() = default;
    virtual ZoneYearRules ForYear(int year) const = 0;
};
