#include "app/mLogging.h"
#include "settings/SystemServices.h"
#include "settings/Win32LogSystem.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {
class LogFile : public testing::Test {
protected:
    void SetUp() override {
        UseSystemServices();
        char folder[MAX_PATH] = {};
        GetTempPathA(sizeof folder, folder);
        name = std::string(folder) + "VantorelLogTest" + std::to_string(GetCurrentProcessId()) + ".txt";
        DeleteFileA(name.c_str());
        SetLoggingSwitch(true);
    }
    void TearDown() override {
        CloseLog();
        SetLoggingSwitch(false);
        DeleteFileA(name.c_str());
    }
    std::string name;
};

// A clock that reads zero, with the user's formats.
struct ZeroClock : Win32LogSystem {
    LogDateTime Now() override { return {}; }
};
} // namespace

TEST_F(LogFile, AFileHeldExclusivelyLeavesTheProgramWithoutALog) {
    HANDLE holder = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    OpenLog(name);
    EXPECT_FALSE(LogIsOpen());
    WriteLog("frmMain_Load");
    FlushLog();
    EXPECT_EQ(GetFileSize(holder, nullptr), 0u);
    CloseHandle(holder);
}

TEST_F(LogFile, LinesCarryTheUsersShortDateAndLongTimeAndAZeroClockLosesNoText) {
    Win32LogSystem system;
    const LogDateTime midnight{2024, 3, 6, 0, 0, 0}, evening{2024, 3, 6, 21, 15, 7};
    const std::string date = system.ShortDate(midnight);
    EXPECT_FALSE(date.empty());
    EXPECT_EQ(GeneralDate(system, midnight), date);
    EXPECT_EQ(GeneralDate(system, evening), date + " " + system.LongTime(evening));
    EXPECT_NE(system.LongTime(evening).find("15"), std::string::npos);

    ZeroClock zero;
    SetLogSystem(&zero);
    OpenLog(name);
    WriteLog("frmMain_Load");
    CloseLog();
    UseSystemServices();
    std::stringstream content;
    content << std::ifstream(name, std::ios::binary).rdbuf();
    EXPECT_TRUE(content.str().ends_with(": frmMain_Load\r\n")) << content.str();
    EXPECT_EQ(content.str().find("\r\n"), content.str().size() - 2) << "one line";
}
