#pragma once
#include "base/mLogging.h"

// The log's system on Windows: the local time, the user's short date and long time
// (GetDateFormatA with DATE_SHORTDATE, GetTimeFormatA, LOCALE_USER_DEFAULT), and a file opened for
// appending that other programs may read, write and delete while it is open.
class Win32LogSystem : public ILogSystem {
public:
    LogDateTime Now() override;
    std::string ShortDate(const LogDateTime& when) override;
    std::string LongTime(const LogDateTime& when) override;
    std::unique_ptr<ILogFile> OpenForAppend(const std::string& fileName) override;
};
