#include "app/mLogging.h"

#include <cstdio>

namespace {
bool g_on = false;
std::FILE* g_file = nullptr;
} // namespace

void SetLoggingSwitch(bool on) { g_on = on; }
bool LoggingSwitch() { return g_on; }

void OpenLog(const std::string& fileName) {
    if (!g_on || g_file)
        return;
    g_file = std::fopen(fileName.c_str(), "ab");
}

void WriteLog(const std::string& text) {
    if (!g_on || !g_file)
        return;
    std::fputs(text.c_str(), g_file);
    std::fputs("\r\n", g_file);
}

void FlushLog() {
    if (g_file)
        std::fflush(g_file);
}
