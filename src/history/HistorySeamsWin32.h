#pragma once
// The history's seams on Windows: files of one folder, the system clock and tick count, and the
// zone rules that the system gives for each year.
#include "history/HistorySeams.h"

#include <string>

class Win32HistoryFiles : public IHistoryFiles {
public:
    // `folder` ends in a backslash and is created when missing.
    explicit Win32HistoryFiles(std::wstring folder);
    // %LOCALAPPDATA%\Vantorel\History\ (empty when the system names no such folder).
    static std::wstring DefaultFolder();

    std::unique_ptr<IHistoryFile> Open(const std::string& name, Mode mode) override;
    bool Replace(const std::string& from, const std::string& to) override;
    bool Remove(const std::string& name) override;
    std::vector<std::string> List() override;
    std::unique_ptr<IHistoryLock> TryLock(const std::string& name) override;

private:
    std::wstring Path(const std::string& name) const;
    std::wstring folder_;
};

class Win32HistoryClock : public IHistoryClock {
public:
    int64_t UtcNow() override;
    uint64_t Ticks() override;
};

// The current time zone's rules for each year, dynamic daylight saving included.
class Win32ZoneRules : public IZoneRules {
public:
    ZoneYearRules ForYear(int year) const override;
};
