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
} // namespace

void SetFatalErrorHandler(FatalErrorHandler handler) {
    g_handler = handler ? handler : ShowAndEnd;
}

void ReportFatalError(const std::exception& error) {
    WriteLog(std::string("Fatal error: ") + error.what());
    FlushLog();
    g_handler(error);
    ExitProcess(1);
}
