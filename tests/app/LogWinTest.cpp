#include "app/mLogging.h"
#include "settings/SystemServices.h"
#include "settings/Win32LogSystem.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {
std::string TempLogName() {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "VantorelLogTest" + std::to_string(GetCurrentProcessId()) + ".txt";
}

// A handle of another program on the same file.
class OtherHandle {
public:
    OtherHandle(const std::string& name, DWORD access, DWORD share, DWORD disposition = OPEN_EXISTING)
        : m_file(CreateFileA(name.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                             nullptr)) {}
    ~OtherHandle() {
        if (Valid())
            CloseHandle(m_file);
    }
    bool Valid() const { return m_file != INVALID_HANDLE_VALUE; }
    std::string ReadAll() {
        SetFilePointer(m_file, 0, nullptr, FILE_BEGIN);
        std::string content;
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(m_file, buffer, sizeof buffer, &got, nullptr) && got > 0)
            content.append(buffer, got);
        return content;
    }
    bool AppendAtEnd(const std::string& text) {
        SetFilePointer(m_file, 0, nullptr, FILE_END);
        DWORD written = 0;
        return WriteFile(m_file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
               written == text.size();
    }

private:
    HANDLE m_file;
};

class LogFile : public testing::Test {
protected:
    void SetUp() override {
        UseSystemServices();
        DeleteFileA(name.c_str());
        SetLoggingSwitch(true);
    }
    void TearDown() override {
        CloseLog();
        SetLoggingSwitch(false);
        DeleteFileA(name.c_str());
    }
    std::string TodayPrefix() {
        SYSTEMTIME st{};
        GetLocalTime(&st);
        char date[128] = {};
        GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date);
        return date;
    }
    const std::string name = TempLogName();
};
} // namespace

TEST_F(LogFile, IsAppendedAndStaysOpenToOtherProgramsForReadingAndWriting) {
    {
        OtherHandle before(name, GENERIC_WRITE, 0, CREATE_NEW);
        ASSERT_TRUE(before.Valid());
        ASSERT_TRUE(before.AppendAtEnd("old line\r\n"));
    }
    OpenLog(name);
    ASSERT_TRUE(LogIsOpen());
    WriteLog("first");
    FlushLog();

    OtherHandle other(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(other.Valid()) << "the log holds a lock: error " << GetLastError();
    std::string content = other.ReadAll();
    EXPECT_EQ(content.rfind("old line\r\n" + TodayPrefix(), 0), 0u) << content;
    EXPECT_EQ(content.substr(content.size() - 9), ": first\r\n");

    const std::string foreign = "other program\r\n";
    ASSERT_TRUE(other.AppendAtEnd(foreign));
    WriteLog("second");
    FlushLog();
    content = other.ReadAll();
    const size_t at = content.find(foreign);
    ASSERT_NE(at, std::string::npos) << content;
    EXPECT_EQ(content.substr(at - 9, 9), ": first\r\n");
    const std::string after = content.substr(at + foreign.size());
    EXPECT_EQ(after.rfind(TodayPrefix(), 0), 0u) << "the log's next line goes after the other program's text";
    EXPECT_EQ(after.find("\r\n"), after.size() - 2);
    EXPECT_EQ(after.substr(after.size() - 10), ": second\r\n");
}

TEST_F(LogFile, AFileHeldExclusivelyLeavesTheProgramWithoutALog) {
    OtherHandle holder(name, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_TRUE(holder.Valid());
    OpenLog(name);
    EXPECT_FALSE(LogIsOpen());
    WriteLog("frmMain_Load");
    FlushLog();
    EXPECT_EQ(holder.ReadAll(), "");
}

TEST_F(LogFile, AtMidnightTheUsersShortDateStandsAlone) {
    Win32LogSystem system;
    const LogDateTime midnight{2024, 3, 6, 0, 0, 0};
    const std::string date = system.ShortDate(midnight);
    EXPECT_FALSE(date.empty());
    EXPECT_EQ(GeneralDate(system, midnight), date);
    const LogDateTime evening{2024, 3, 6, 21, 15, 7};
    EXPECT_EQ(GeneralDate(system, evening), date + " " + system.LongTime(evening));
    EXPECT_NE(system.LongTime(evening).find("15"), std::string::npos);
}
