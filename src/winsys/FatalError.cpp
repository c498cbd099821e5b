#include "winsys/FatalError.h"
#include "base/AppError.h"
#include "base/AppInfo.h"
#include "base/mLogging.h"

#include <windows.h>

#include <string>

namespace {
void ShowAndEnd(const std::exception& error) {
    std::string text;
    if (const auto* app = dynamic_cast<const AppError*>(&error)) {
        text = "Run-time error '" + std::to_string(app->Number) + "':\r\n\r\n" + app->Description;
        if (!app->Source.empty())
            text += "\r\n\r\n(" + app->Source + ")";
    } else {
        text = std::string("Run-time error:\r\n\r\n") + error.what();
    }
    MessageBoxA(nullptr, text.c_str(), kAppTitle, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}
FatalErrorHandler g_handler = ShowAndEnd;
FatalErrorStep g_quiet = nullptr;
FatalErrorStep g_save = nullptr;
bool g_reporting = false;

void RunStep(FatalErrorStep step) {
    if (!step)
        return;
    try {
        step();
    } catch (const std::exception& error) {
        WriteLog(std::string("Fatal error report: ") + error.what());
    } catch (...) {
        WriteLog("Fatal error report: unknown error");
    }
}
} // namespace

void SetFatalErrorHandler(FatalErrorHandler handler) {
    g_handler = handler ? handler : ShowAndEnd;
}

void SetFatalErrorSteps(FatalErrorStep quiet, FatalErrorStep save) {
    g_quiet = quiet;
    g_save = save;
}

void ReportFatalError(const std::exception& error) {
    WriteLog(std::string(g_reporting ? "Fatal error during the report: " : "Fatal error: ") + error.what());
    FlushLog();
    if (g_reporting)
        ExitProcess(1);
    g_reporting = true;
    RunStep(g_quiet);
    // Saved before the box: the user may end the process rather than click it away.
    RunStep(g_save);
    FlushLog();
    g_handler(error);
    ExitProcess(1);
}
