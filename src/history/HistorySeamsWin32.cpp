#include "history/HistorySeamsWin32.h"

#include <windows.h>

namespace {
// Names in the folder are the store's own ASCII names; anything else is passed through as UTF-8.
std::wstring Widen(const std::string& text) {
    if (text.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string Narrow(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return {};
    std::string narrow(static_cast<std::size_t>(n - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), n, nullptr, nullptr);
    return narrow;
}

OVERLAPPED At(uint64_t offset) {
    OVERLAPPED o{};
    o.Offset = static_cast<DWORD>(offset);
    o.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return o;
}

class Win32HistoryFile : public IHistoryFile {
public:
    explicit Win32HistoryFile(HANDLE file) : file_(file) {}
    ~Win32HistoryFile() override { CloseHandle(file_); }
    Win32HistoryFile(const Win32HistoryFile&) = delete;
    Win32HistoryFile& operator=(const Win32HistoryFile&) = delete;

    uint64_t Size() override {
        LARGE_INTEGER size{};
        return GetFileSizeEx(file_, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
    }
    std::size_t Read(uint64_t offset, uint8_t* into, std::size_t count) override {
        std::size_t done = 0;
        while (done < count) {
            OVERLAPPED o = At(offset + done);
            DWORD read = 0;
            const DWORD chunk = static_cast<DWORD>(count - done > 0x10000000 ? 0x10000000 : count - done);
            if (!ReadFile(file_, into + done, chunk, &read, &o) || read == 0)
                break;
            done += read;
        }
        return done;
    }
    bool Append(const uint8_t* data, std::size_t count) override { return WriteAt(Size(), data, count); }
    bool WriteAt(uint64_t offset, const uint8_t* data, std::size_t count) override {
        std::size_t done = 0;
        while (done < count) {
            OVERLAPPED o = At(offset + done);
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(count - done > 0x10000000 ? 0x10000000 : count - done);
            if (!WriteFile(file_, data + done, chunk, &written, &o) || written == 0)
                return false;
            done += written;
        }
        return true;
    }
    bool Truncate(uint64_t size) override {
        LARGE_INTEGER to{};
        to.QuadPart = static_cast<LONGLONG>(size);
        return SetFilePointerEx(file_, to, nullptr, FILE_BEGIN) && SetEndOfFile(file_);
    }
    bool Flush() override { return FlushFileBuffers(file_) != 0; }

private:
    HANDLE file_;
};

class Win32HistoryLock : public IHistoryLock {
public:
    explicit Win32HistoryLock(HANDLE file) : file_(file) {}
    ~Win32HistoryLock() override { CloseHandle(file_); }
    Win32HistoryLock(const Win32HistoryLock&) = delete;
    Win32HistoryLock& operator=(const Win32HistoryLock&) = delete;

private:
    HANDLE file_;
};

ZoneDate FromSystemTime(const SYSTEMTIME& st) {
    return {st.wYear, st.wMonth, st.wDayOfWeek, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}
} // namespace

Win32HistoryFiles::Win32HistoryFiles(std::wstring folder) : folder_(std::move(folder)) {
    // Every missing folder of the path, from the top down; existing ones fail harmlessly.
    for (std::size_t at = folder_.find(L'\\', 3); at != std::wstring::npos; at = folder_.find(L'\\', at + 1))
        CreateDirectoryW(folder_.substr(0, at).c_str(), nullptr);
}

std::wstring Win32HistoryFiles::DefaultFolder() {
    wchar_t base[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return {};
    std::wstring folder(base, n);
    if (folder.back() != L'\\')
        folder += L'\\';
    return folder + L"Vantorel\\History\\";
}

std::wstring Win32HistoryFiles::Path(const std::string& name) const {
    return folder_ + Widen(name);
}

std::unique_ptr<IHistoryFile> Win32HistoryFiles::Open(const std::string& name, Mode mode) {
    // Readers share everything so that the writer and a move over the file are never kept out.
    const bool write = mode == Mode::Write;
    HANDLE file = CreateFileW(Path(name).c_str(), write ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              write ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<Win32HistoryFile>(file);
}

bool Win32HistoryFiles::Replace(const std::string& from, const std::string& to) {
    return MoveFileExW(Path(from).c_str(), Path(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32HistoryFiles::Remove(const std::string& name) {
    return DeleteFileW(Path(name).c_str()) != 0;
}

std::vector<std::string> Win32HistoryFiles::List() {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder_ + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(Narrow(found.cFileName));
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

std::unique_ptr<IHistoryLock> Win32HistoryFiles::TryLock(const std::string& name) {
    // Opened without sharing for the whole run: a second copy, from any folder, cannot open it.
    HANDLE file = CreateFileW(Path(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<Win32HistoryLock>(file);
}

int64_t Win32HistoryClock::UtcNow() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    const uint64_t since1601 = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<int64_t>(since1601 / 10000000) - 11644473600;
}

uint64_t Win32HistoryClock::Ticks() {
    return GetTickCount64();
}

ZoneYearRules Win32ZoneRules::ForYear(int year) const {
    // Windows 7 and later give each year its rules; the build's headers declare the call only for
    // targets newer than the one it names.
    using ForYearFn = BOOL(WINAPI*)(USHORT, PDYNAMIC_TIME_ZONE_INFORMATION, LPTIME_ZONE_INFORMATION);
    static const auto forYear = reinterpret_cast<ForYearFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTimeZoneInformationForYear")));
    TIME_ZONE_INFORMATION tzi{};
    const bool known =
        forYear && year >= 1601 && year <= 30827 && forYear(static_cast<USHORT>(year), nullptr, &tzi);
    if (!known && GetTimeZoneInformation(&tzi) == TIME_ZONE_ID_INVALID)
        return {};
    return {tzi.Bias, tzi.StandardBias, tzi.DaylightBias, FromSystemTime(tzi.StandardDate),
            FromSystemTime(tzi.DaylightDate)};
}
