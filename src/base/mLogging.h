#pragma once
#include <exception>
#include <memory>
#include <string>

// The diagnostic log: lines are written only when the switch was on at start-up. The controller reads
// Settings\Logging (default False) and calls SetLoggingSwitch, then OpenLog(LogFileName()).
// Nothing here raises or stops the program: a log that cannot be opened or written is passed over.
void SetLoggingSwitch(bool on);
bool LoggingSwitch();
// Opens `fileName` for appending, shared for reading and writing with other programs, when the switch
// is on. A file that cannot be opened leaves the program without a log.
void OpenLog(const std::string& fileName);
// One line: the local date and time in the user's general date format, ": ", the text, CRLF.
// Lines are buffered; with the switch off this is one test of the switch.
void WriteLog(const std::string& text);
// Pushes buffered lines to the file (before the process ends without running destructors).
void FlushLog();
// Flushes and closes the file; later lines go nowhere until OpenLog.
void CloseLog();
// Whether a log file is open.
bool LogIsOpen();
// The log beside the executable: AppPath() + ExeBaseName() + "Log.txt".
std::string LogFileName();

// Where nothing may be thrown (teardown, a step whose failure must cost no other): runs `statement` and
// logs its error as `where`, " error: " and the description instead of raising it. False on an error.
template <class Statement>
bool LoggingErrors(const std::string& where, Statement&& statement) {
    try {
        statement();
        return true;
    } catch (const std::exception& error) {
        WriteLog(where + " error: " + error.what());
        return false;
    }
}

// A local date and time, to the second.
struct LogDateTime {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
};

// A log file opened for appending.
class ILogFile {
public:
    virtual ~ILogFile() = default;
    // Appends the bytes at the end of the file; false when they could not all be written.
    virtual bool Append(const std::string& bytes) = 0;
};

// What the log needs of the system: the local clock, the user's date and time formats, and files.
class ILogSystem {
public:
    virtual ~ILogSystem() = default;
    virtual LogDateTime Now() = 0;
    virtual std::string ShortDate(const LogDateTime& when) = 0;
    virtual std::string LongTime(const LogDateTime& when) = 0;
    // Opens (creating it when missing) for appending without locking; null when it cannot be opened.
    virtual std::unique_ptr<ILogFile> OpenForAppend(const std::string& fileName) = 0;
};

// Installs the system the log uses (not owned); null puts back the portable one (C runtime file,
// dates as yyyy-mm-dd, times as hh:mm:ss). The Win32 build installs its own in UseSystemServices.
void SetLogSystem(ILogSystem* system);
ILogSystem* CurrentLogSystem();
// The general date form: the short date, a blank and the long time; only the date at midnight.
std::string GeneralDate(ILogSystem& system, const LogDateTime& when);
