#include "base/Win32LogSystem.h"

#include <windows.h>

namespace {
SYSTEMTIME ToSystemTime(const LogDateTime& when) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(when.Year);
    st.wMonth = static_cast<WORD>(when.Month);
    st.wDay = static_cast<WORD>(when.Day);
    st.wHour = static_cast<WORD>(when.Hour);
    st.wMinute = static_cast<WORD>(when.Minute);
    st.wSecond = static_cast<WORD>(when.Second);
    return st;
}

class Win32LogFile : public ILogFile {
public:
    explicit Win32LogFile(HANDLE file) : m_file(file) {}
    ~Win32LogFile() override { CloseHandle(m_file); }
    Win32LogFile(const Win32LogFile&) = delete;
    Win32LogFile& operator=(const Win32LogFile&) = delete;

    bool Append(const std::string& bytes) override {
        size_t done = 0;
        while (done < bytes.size()) {
            DWORD written = 0;
            const DWORD chunk =
                static_cast<DWORD>(bytes.size() - done > 0x10000000 ? 0x10000000 : bytes.size() - done);
            if (!WriteFile(m_file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
                return false;
            done += written;
        }
        return true;
    }

private:
    HANDLE m_file;
};
} // namespace

LogDateTime Win32LogSystem::Now() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::string Win32LogSystem::ShortDate(const LogDateTime& when) {
    const SYSTEMTIME st = ToSystemTime(when);
    char text[128] = {};
    if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, sizeof text) == 0)
        return {};
    return text;
}

std::string Win32LogSystem::LongTime(const LogDateTime& when) {
    const SYSTEMTIME st = ToSystemTime(when);
    char text[128] = {};
    if (GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, text, sizeof text) == 0)
        return {};
    return text;
}

std::unique_ptr<ILogFile> Win32LogSystem::OpenForAppend(const std::string& fileName) {
    // Append access alone puts every write at the end of the file, also after another program wrote.
    HANDLE file = CreateFileA(fileName.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<Win32LogFile>(file);
}
