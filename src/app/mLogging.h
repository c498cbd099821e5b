#pragma once
#include <string>

// The diagnostic log: lines are written only when the switch was on at start-up.
void SetLoggingSwitch(bool on);
bool LoggingSwitch();
void OpenLog(const std::string& fileName);
void WriteLog(const std::string& text);
// Pushes buffered lines to the file (before the process ends without running destructors).
void FlushLog();
