#include "base/mLogging.h"
#include "support/FakeLogSystem.h"
#include "support/ScopedSeam.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {
class Log : public testing::Test {
protected:
    void SetUp() override { CloseLog(); }
    void TearDown() override { CloseLog(); }
    FakeLogSystem fake;
    ScopedSeam<ILogSystem*> useLog{CurrentLogSystem, SetLogSystem, &fake};
    ScopedSeam<bool> logging{LoggingSwitch, SetLoggingSwitch, true};
};

std::string LocalDate(std::time_t when) {
    char text[16] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d", std::localtime(&when));
    return text;
}
} // namespace

TEST_F(Log, LinesCarryTheUsersDateAndTimeOnlyTheDateAtMidnightAndAreBufferedInWholeLines) {
    OpenLog("C:\\Meter\\MeterLog.txt");
    EXPECT_EQ(fake.opened, "C:\\Meter\\MeterLog.txt");
    WriteLog("frmMeter_Load    ");
    const struct {
        LogDateTime now;
        const char* text;
    } lines[] = {
        {{2024, 3, 6, 0, 0, 0}, "End"}, {{2024, 3, 6, 0, 0, 1}, ""}, {{2024, 12, 31, 12, 0, 0}, "x"}};
    for (const auto& line : lines) {
        fake.now = line.now;
        WriteLog(line.text);
    }
    EXPECT_EQ(fake.file, "") << "lines are buffered, not flushed one by one";
    FlushLog();
    EXPECT_EQ(fake.file, "5.3.2024 13:4:5: frmMeter_Load    \r\n6.3.2024: End\r\n6.3.2024 0:0:1: \r\n"
                         "31.12.2024 12:0:0: x\r\n");

    // A long run reaches the file without waiting for a flush, in whole lines.
    fake.file.clear();
    for (int i = 0; i < 100; ++i)
        WriteLog(std::string(100, 'x'));
    EXPECT_FALSE(fake.file.empty()) << "the buffer is bounded";
    EXPECT_TRUE(fake.file.ends_with("\r\n")) << "only whole lines leave the buffer";
    FlushLog();
    EXPECT_EQ(fake.file.size(), 100u * (17 + 2 + 100 + 2));
}

TEST_F(Log, OffOrUnopenableItTouchesNothingAndAFailedWriteLosesOnlyItsLines) {
    SetLoggingSwitch(false);
    OpenLog("log");
    WriteLog("frmMain_Load");
    SetLoggingSwitch(true);
    fake.refuseOpen = true;
    OpenLog("log");
    EXPECT_FALSE(LogIsOpen());
    WriteLog("frmMain_Load");
    FlushLog();
    EXPECT_EQ(fake.opened, "log") << "with the switch off nothing is opened";
    EXPECT_FALSE(fake.clockRead) << "nor the clock read";

    fake.refuseOpen = false;
    OpenLog("log");
    ASSERT_TRUE(LogIsOpen());
    fake.failWrites = true;
    WriteLog("lost");
    FlushLog();
    fake.failWrites = false;
    fake.clockBroken = true;
    WriteLog("no time");
    fake.clockBroken = false;
    WriteLog("kept");
    FlushLog();
    EXPECT_EQ(fake.file, "5.3.2024 13:4:5: kept\r\n");
}

TEST_F(Log, TheRealFileGetsTodaysLinesAfterItsOldContentOrCannotBeOpened) {
    SetLogSystem(nullptr);
    const auto folder = std::filesystem::temp_directory_path() /
                        ("vantorel-log-" + std::to_string(reinterpret_cast<uintptr_t>(&fake)));
    std::filesystem::create_directories(folder);
    const auto path = folder / "MeterLog.txt";
    OpenLog((folder / "missing" / "MeterLog.txt").string());
    EXPECT_FALSE(LogIsOpen());

    std::ofstream(path, std::ios::binary) << "old line\r\n";
    const std::string before = LocalDate(std::time(nullptr));
    OpenLog(path.string());
    WriteLog("Previous Instance");
    CloseLog();
    std::stringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    std::filesystem::remove_all(folder);
    const std::string text = content.str(), after = LocalDate(std::time(nullptr));
    // The date may turn over while the test runs.
    EXPECT_THAT(text, testing::AnyOf(testing::StartsWith("old line\r\n" + before),
                                     testing::StartsWith("old line\r\n" + after)));
    EXPECT_TRUE(text.ends_with(": Previous Instance\r\n")) << text;
}
