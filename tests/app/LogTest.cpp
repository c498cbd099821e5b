#include "app/mBenchmark.h"
#include "app/mLogging.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace {
class FakeLogSystem : public ILogSystem {
public:
    class File : public ILogFile {
    public:
        File(FakeLogSystem& system, std::string name) : m_system(system), m_name(std::move(name)) {}
        bool Append(const std::string& bytes) override {
            if (m_system.failWrites)
                return false;
            m_system.files[m_name] += bytes;
            return true;
        }

    private:
        FakeLogSystem& m_system;
        std::string m_name;
    };

    LogDateTime Now() override {
        ++nowCalls;
        if (clockBroken)
            throw std::runtime_error("no clock");
        return now;
    }
    // A day-first format, so that the test sees the system's format and not a built-in one.
    std::string ShortDate(const LogDateTime& w) override {
        char text[32];
        std::snprintf(text, sizeof text, "%02d.%02d.%04d", w.Day, w.Month, w.Year);
        return text;
    }
    std::string LongTime(const LogDateTime& w) override {
        char text[32];
        std::snprintf(text, sizeof text, "%d:%02d:%02d", w.Hour, w.Minute, w.Second);
        return text;
    }
    std::unique_ptr<ILogFile> OpenForAppend(const std::string& fileName) override {
        opened.push_back(fileName);
        if (refuseOpen)
            return nullptr;
        return std::make_unique<File>(*this, fileName);
    }

    LogDateTime now{2024, 3, 5, 13, 4, 5};
    int nowCalls = 0;
    bool refuseOpen = false;
    bool failWrites = false;
    bool clockBroken = false;
    std::vector<std::string> opened;
    std::map<std::string, std::string> files;
};

class Log : public testing::Test {
protected:
    void SetUp() override {
        CloseLog();
        SetLoggingSwitch(false);
        SetLogSystem(&fake);
    }
    void TearDown() override {
        CloseLog();
        SetLoggingSwitch(false);
        SetLogSystem(nullptr);
    }
    const std::string name = "C:\\Meter\\MeterLog.txt";
    FakeLogSystem fake;
};

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A folder of its own for one test, removed afterwards.
struct TempFolder {
    TempFolder() {
        path = std::filesystem::temp_directory_path() /
               ("vantorel-log-" + std::to_string(reinterpret_cast<uintptr_t>(this)) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};
} // namespace

TEST_F(Log, LinesCarryTheUsersDateAndTimeAndEndInCrLf) {
    SetLoggingSwitch(true);
    OpenLog(name);
    WriteLog("frmMain_Load");
    WriteLog("frmMeter_Load    ");
    fake.now = {2024, 12, 31, 23, 59, 59};
    WriteLog("");
    EXPECT_EQ(fake.files[name], "") << "lines are buffered, not flushed one by one";
    FlushLog();
    EXPECT_EQ(fake.files[name], "05.03.2024 13:04:05: frmMain_Load\r\n"
                                "05.03.2024 13:04:05: frmMeter_Load    \r\n"
                                "31.12.2024 23:59:59: \r\n");
}

TEST_F(Log, AtMidnightExactlyOnlyTheDateIsWritten) {
    SetLoggingSwitch(true);
    OpenLog(name);
    fake.now = {2024, 3, 6, 0, 0, 0};
    WriteLog("End");
    fake.now = {2024, 3, 6, 0, 0, 1};
    WriteLog("End");
    fake.now = {2024, 3, 6, 12, 0, 0};
    WriteLog("End");
    FlushLog();
    EXPECT_EQ(fake.files[name], "06.03.2024: End\r\n06.03.2024 0:00:01: End\r\n06.03.2024 12:00:00: End\r\n");
}

TEST_F(Log, ALongRunWritesWithoutWaitingForAFlush) {
    SetLoggingSwitch(true);
    OpenLog(name);
    const std::string text(100, 'x');
    for (int i = 0; i < 100; ++i)
        WriteLog(text);
    const std::string& written = fake.files[name];
    EXPECT_GT(written.size(), 0u) << "the buffer is bounded";
    EXPECT_EQ(written.substr(written.size() - 2), "\r\n") << "only whole lines leave the buffer";
    FlushLog();
    EXPECT_EQ(fake.files[name].size(), 100 * (19 + 2 + 100 + 2));
}

TEST_F(Log, WithTheSwitchOffNothingIsOpenedOrFormatted) {
    OpenLog(name);
    WriteLog("frmMain_Load");
    FlushLog();
    EXPECT_TRUE(fake.opened.empty());
    EXPECT_EQ(fake.nowCalls, 0);
    EXPECT_FALSE(LogIsOpen());
}

TEST_F(Log, ALogThatCannotBeOpenedOrWrittenLeavesTheProgramRunning) {
    SetLoggingSwitch(true);
    fake.refuseOpen = true;
    OpenLog(name);
    EXPECT_FALSE(LogIsOpen());
    WriteLog("frmMain_Load");
    FlushLog();
    EXPECT_EQ(fake.nowCalls, 0);

    fake.refuseOpen = false;
    OpenLog(name);
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
    EXPECT_EQ(fake.files[name], "05.03.2024 13:04:05: kept\r\n");
}

TEST_F(Log, TheRealFileGetsNewLinesAfterItsOldContent) {
    SetLogSystem(nullptr);
    TempFolder folder;
    const auto path = folder.path / "MeterLog.txt";
    std::ofstream(path, std::ios::binary) << "old line\r\n";
    SetLoggingSwitch(true);
    OpenLog(path.string());
    WriteLog("==================================================");
    WriteLog("Previous Instance");
    FlushLog();
    const std::string content = ReadFile(path);
    const std::regex expected("old line\r\n"
                              "\\d{4}-\\d{2}-\\d{2}( \\d{2}:\\d{2}:\\d{2})?: ={50}\r\n"
                              "\\d{4}-\\d{2}-\\d{2}( \\d{2}:\\d{2}:\\d{2})?: Previous Instance\r\n");
    EXPECT_TRUE(std::regex_match(content, expected)) << content;
}

TEST_F(Log, WithTheSwitchOffNoFileIsCreatedAndAMissingFolderIsNoLog) {
    SetLogSystem(nullptr);
    TempFolder folder;
    const auto path = folder.path / "MeterLog.txt";
    OpenLog(path.string());
    WriteLog("frmMain_Load");
    FlushLog();
    EXPECT_FALSE(std::filesystem::exists(path));
    SetLoggingSwitch(true);
    OpenLog((folder.path / "missing" / "MeterLog.txt").string());
    EXPECT_FALSE(LogIsOpen());
    WriteLog("frmMain_Load");
    FlushLog();
}

namespace {
uint32_t g_tick = 0;
uint32_t FakeTick() {
    return g_tick;
}
struct TickGuard {
    TickGuard() { SetTickSource(FakeTick); }
    ~TickGuard() { SetTickSource(nullptr); }
};
} // namespace

TEST(Stopwatch, ElapsedTimeIsTheTickDifferenceAlsoAcrossTheWrap) {
    TickGuard guard;
    const struct {
        uint32_t start, end;
        const char* elapsed;
    } cases[] = {
        {1000, 1000, "0"},
        {1000, 1250, "250"},
        {0x7FFFFFF0u, 0x80000010u, "32"}, // the tick turns negative as a signed number
        {0xFFFFFFF0u, 0x00000010u, "32"}, // the counter wraps after 49.7 days
    };
    for (const auto& c : cases) {
        g_tick = c.start;
        StartTimer();
        g_tick = c.end;
        EXPECT_EQ(ElapsedTime(), c.elapsed);
    }
}

TEST(Stopwatch, RightAfterTheStartLittleTimeHasPassed) {
    SetTickSource(nullptr);
    StartTimer();
    EXPECT_LT(std::stoul(ElapsedTime()), 1000u);
}
