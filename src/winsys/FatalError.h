#pragma once
#include <exception>

// An error that reaches the top of a message handler ends the program with a report.
// Tests replace the handler so that no message box waits for a click.
using FatalErrorHandler = void (*)(const std::exception& error);
void SetFatalErrorHandler(FatalErrorHandler handler);
// What the report does before it shows the error: `quiet` stops what would keep raising events while
// the box is open (the sampler), `save` stores what it can. Either may be null; an error in one is
// logged and costs the report nothing.
using FatalErrorStep = void (*)();
void SetFatalErrorSteps(FatalErrorStep quiet, FatalErrorStep save);
// Runs once: an error raised while the report is shown (a message handled by the box's own loop) ends
// the process at once, without a box inside the box.
[[noreturn]] void ReportFatalError(const std::exception& error);
