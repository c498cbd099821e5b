#include "base/mLogging.h"
#include "base/AppInfo.h"
#include "base/mMisc.h"

#include <cstdio>
#include <ctime>

namespace {
// Lines wait in memory until this many bytes are gathered, as ordinary buffered file output does.
constexpr size_t kBufferSize = 4096;

class PortableLogFile : public ILogFile {
public:
    explicit PortableLogFile(std::FILE* file) : m_file(file) {}
    ~PortableLogFile() override { std::fclose(m_file); }
    bool Append(const std::string& bytes) override {
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), m_file) == bytes.size();
        return std::fflush(m_file) == 0 && written;
    }

private:
    std::FILE* m_file;
};

class PortableLogSystem : public ILogSystem {
public:
    LogDateTime Now() override {
        const std::time_t now = std::time(nullptr);
        const std::tm* local = std::localtime(&now);
        if (!local)
            return {};
        return {local->tm_year + 1900, local->tm_mon + 1, local->tm_mday,
                local->tm_hour,        local->tm_min,     local->tm_sec};
    }
    std::string ShortDate(const LogDateTime& when) override {
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", when.Year, when.Month, when.Day);
        return text;
    }
    std::string LongTime(const LogDateTime& when) override {
        char text[32];
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", when.Hour, when.Minute, when.Second);
        return text;
    }
    std::unique_ptr<ILogFile> OpenForAppend(const std::string& fileName) override {
        // The C runtime opens without locking on every platform we build for.
        std::FILE* file = std::fopen(fileName.c_str(), "ab");
        if (!file)
            return nullptr;
        return std::make_unique<PortableLogFile>(file);
    }
};

struct LogState {
    bool on = false;
    std::unique_ptr<ILogFile> file;
    std::string pending;

    void Flush() {
        if (!file || pending.empty())
            return;
        // Lines that cannot be written are dropped: the next flush may succeed.
        file->Append(pending);
        pending.clear();
    }
    ~LogState() {
        try {
            Flush();
        } catch (...) {
        }
    }
};

PortableLogSystem g_portable;
ILogSystem* g_system = &g_portable;
LogState g_log;
} // namespace

void SetLogSystem(ILogSystem* system) {
    g_system = system ? system : &g_portable;
}
ILogSystem* CurrentLogSystem() {
    return g_system;
}

std::string GeneralDate(ILogSystem& system, const LogDateTime& when) {
    if (when.Hour == 0 && when.Minute == 0 && when.Second == 0)
        return system.ShortDate(when);
    return system.ShortDate(when) + " " + system.LongTime(when);
}

void SetLoggingSwitch(bool on) {
    g_log.on = on;
}
bool LoggingSwitch() {
    return g_log.on;
}

void OpenLog(const std::string& fileName) {
    if (!g_log.on)
        return;
    try {
        CloseLog();
        g_log.file = g_system->OpenForAppend(fileName);
    } catch (...) {
        g_log.file.reset();
    }
}

void WriteLog(const std::string& text) {
    if (!g_log.on || !g_log.file)
        return;
    try {
        g_log.pending += GeneralDate(*g_system, g_system->Now());
        g_log.pending += ": ";
        g_log.pending += text;
        g_log.pending += "\r\n";
        if (g_log.pending.size() >= kBufferSize)
            g_log.Flush();
    } catch (...) {
        g_log.pending.clear();
    }
}

void FlushLog() {
    try {
        g_log.Flush();
    } catch (...) {
        g_log.pending.clear();
    }
}

void CloseLog() {
    FlushLog();
    g_log.file.reset();
    g_log.pending.clear();
}

bool LogIsOpen() {
    return g_log.file != nullptr;
}

std::string LogFileName() {
    return AppPath() + ExeBaseName() + "Log.txt";
}
