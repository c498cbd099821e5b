#pragma once
#include <exception>

// An error that reaches the top of a message handler ends the program with a report.
// Tests replace the handler so that no message box waits for a click.
using FatalErrorHandler = void (*)(const std::exception& error);
void SetFatalErrorHandler(FatalErrorHandler handler);
[[noreturn]] void ReportFatalError(const std::exception& error);
