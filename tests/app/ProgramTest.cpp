#include "support/ProgramFixture.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {
void WriteDword(const char* key, const char* name, DWORD value) {
    RegSetKeyValueA(HKEY_CURRENT_USER, key, name, REG_DWORD, &value, sizeof value);
}

class ProgramCopy : public PrivateProgram {
protected:
    // Starts the copy, waits for its controller window, lets it run, then asks it to close.
    void RunOnce(DWORD runMs = 1500) {
        ChildProcess p('"' + exe + '"');
        ASSERT_TRUE(p.Started());
        HWND main = nullptr;
        ASSERT_TRUE(
            PumpUntil([&] { return (main = FindProcessWindow(p.Id(), "VantorelMain")) != nullptr; }, 20000))
            << "the controller window never appeared";
        PumpFor(runMs);
        ASSERT_FALSE(p.WaitForExit(0)) << "the program ended on its own";
        PostMessageA(main, WM_CLOSE, 0, 0);
        DWORD code = 1234;
        ASSERT_TRUE(p.WaitForExit(20000, &code)) << "a close request must end the program";
        EXPECT_EQ(code, 0u);
    }

    // The messages of the log, without their time stamps.
    std::vector<std::string> LogMessages() const {
        std::ifstream in(LogPath(), std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        std::vector<std::string> lines;
        std::string text = all.str(), line;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find("\r\n", start);
            EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
            if (end == std::string::npos)
                end = text.size();
            line = text.substr(start, end - start);
            const size_t colon = line.find(": ");
            lines.push_back(colon == std::string::npos ? "<no time stamp> " + line : line.substr(colon + 2));
            start = end + 2;
        }
        return lines;
    }

    static int Count(const std::vector<std::string>& lines, const std::string& what) {
        return static_cast<int>(std::count(lines.begin(), lines.end(), what));
    }
};
} // namespace

TEST(Program, SecondCopyEndsAtOnceAndACloseRequestEndsTheFirst) {
    ChildProcess first('"' + BuiltExePath() + '"');
    ASSERT_TRUE(first.Started());
    HWND main = nullptr;
    ASSERT_TRUE(
        PumpUntil([&] { return (main = FindProcessWindow(first.Id(), "VantorelMain")) != nullptr; }, 20000));
    EXPECT_FALSE(IsWindowVisible(main)) << "the controller must stay hidden";

    ChildProcess second('"' + BuiltExePath() + '"');
    ASSERT_TRUE(second.Started());
    DWORD code = 1234;
    EXPECT_TRUE(second.WaitForExit(10000, &code)) << "a second copy must end at once";
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(first.WaitForExit(0)) << "the running copy must be untouched";

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.WaitForExit(20000, &code)) << "a close request must end the program";
    EXPECT_EQ(code, 0u);
}

TEST_F(ProgramCopy, FirstRunRegistersAndLogsAndLaterRunsDoNot) {
    WriteValue("Software\\Vantorel\\Settings", "Logging", "True");
    RunOnce();

    auto log = LogMessages();
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(log[0], std::string(50, '='));
    EXPECT_EQ(log[1], "Vantorel build: 9 Loading...");
    EXPECT_EQ(log[2], "frmMain_Load");
    EXPECT_EQ(Count(log, "First Run"), 1);
    const auto num =
        std::find_if(log.begin(), log.end(), [](auto& l) { return l.rfind("NumInterfaces: ", 0) == 0; });
    ASSERT_NE(num, log.end());
    const int interfaces = std::stoi(num->substr(15));
    EXPECT_GE(interfaces, 1) << "Wine reports at least the loopback interface";
    for (int k = 1; k <= interfaces; ++k) {
        const std::string prefix = "Interface " + std::to_string(k) + ": ";
        EXPECT_TRUE(std::any_of(log.begin(), log.end(), [&](auto& l) { return l.rfind(prefix, 0) == 0; }))
            << prefix;
    }
    EXPECT_EQ(Count(log, "Adding SysTray"), 1);
    EXPECT_EQ(Count(log, "frmMain_Unload"), 1);
    EXPECT_EQ(log.back(), "End");

    EXPECT_EQ(ReadValue("Software\\Vantorel\\Settings", "FirstRun"), "0");
    EXPECT_EQ(ReadValue("Software\\Vantorel\\General", "Path"), folder + "\\");
    // Quoted, so that a folder with blanks cannot make Windows start another program.
    EXPECT_EQ(ReadValue(kRunKey, "Vantorel"), "\"" + exe + "\"");

    // The user removes the start-up entry; a later run leaves it removed and logs no first run.
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Vantorel");
    RunOnce();
    log = LogMessages();
    EXPECT_EQ(Count(log, "First Run"), 1);
    EXPECT_EQ(Count(log, "frmMain_Load"), 2);
    EXPECT_EQ(ReadValue(kRunKey, "Vantorel"), "<missing>");
}

TEST_F(ProgramCopy, ACopyStartedWhileOneRunsLogsAndChangesNothing) {
    WriteValue("Software\\Vantorel\\Settings", "Logging", "True");
    WriteValue("Software\\Vantorel\\Settings", "FirstRun", "0");
    ChildProcess first('"' + exe + '"');
    HWND main = nullptr;
    ASSERT_TRUE(
        PumpUntil([&] { return (main = FindProcessWindow(first.Id(), "VantorelMain")) != nullptr; }, 20000));
    PumpFor(500);
    const auto before = LogMessages();
    WriteValue("Software\\Vantorel\\General", "Path", "untouched");

    ChildProcess second('"' + exe + '"');
    ASSERT_TRUE(second.WaitForExit(10000));
    EXPECT_EQ(ReadValue("Software\\Vantorel\\General", "Path"), "untouched");
    EXPECT_EQ(ReadValue(kRunKey, "Vantorel"), "<missing>");

    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(first.WaitForExit(20000));
    const auto after = LogMessages();
    // The second copy appended its header and "Previous Instance" (the file is shared, not locked).
    std::vector<std::string> added(after.begin() + static_cast<long>(before.size()), after.end());
    EXPECT_EQ(Count(added, "Previous Instance"), 1);
    EXPECT_EQ(Count(added, "frmMain_Load"), 1);
    EXPECT_EQ(Count(added, "First Run"), 0);
}

TEST_F(ProgramCopy, GarbageSettingsLeaveTheProgramRunningAndValidValuesIntact) {
    const char* graph = "Software\\Vantorel\\Graph";
    WriteValue("Software\\Vantorel\\Settings", "Logging", "perhaps");
    WriteValue("Software\\Vantorel\\Settings", "FirstRun", "seven");
    WriteValue("Software\\Vantorel\\Settings", "Interface", std::string(300, 'x'));
    WriteValue(graph, "AutoScale", "False");
    WriteValue(graph, "Scale", "99999999999999999999");
    WriteValue(graph, "Show Numerical Values", "");
    WriteDword(graph, "Show Gridlines", 0);
    WriteValue(graph, "BackColor", "white");
    WriteValue(graph, "BothColor", "-5");
    WriteValue(graph, "ChartColor", "1e400");
    WriteValue(graph, "FillUnderGraph", "0");
    WriteValue(graph, "NumColor", "255");
    WriteValue(graph, "Background", "no such picture.bmp");
    WriteValue(graph, "StretchBackground", "yes");
    WriteValue(graph, "ShowOnStartup", "maybe");
    WriteValue(graph, "Alpha", "abc");
    WriteValue("Software\\Vantorel\\Position", "Width", "-1e30");
    WriteValue("Software\\Vantorel\\Position", "Left", "huge");
    WriteValue("Software\\Vantorel\\Position", "NoBorder", "sometimes");
    RunOnce(2500);

    // Values that were valid come back as they were; nothing is written as garbage.
    EXPECT_EQ(ReadValue(graph, "NumColor"), "255");
    EXPECT_EQ(ReadValue(graph, "FillUnderGraph"), "False");
    EXPECT_EQ(ReadValue(graph, "AutoScale"), "False");
    EXPECT_EQ(ReadValue(graph, "Scale"), "1") << "an unreadable scale leaves the graph's own";
    EXPECT_EQ(ReadValue(graph, "BackColor"), "16777215");
    EXPECT_EQ(ReadValue("Software\\Vantorel\\Settings", "FirstRun"), "seven") << "not a first run";
    EXPECT_EQ(ReadValue(kRunKey, "Vantorel"), "<missing>");
    EXPECT_EQ(ReadValue("Software\\Vantorel\\Settings", "Interface"), std::string(300, 'x'));
}

TEST_F(ProgramCopy, TheEndOfTheSessionSavesTheSettingsOnceAndEndsTheProgram) {
    const char* settings = "Software\\Vantorel\\Settings";
    const char* graph = "Software\\Vantorel\\Graph";
    WriteValue(settings, "Logging", "True");
    WriteValue(settings, "FirstRun", "0");
    ChildProcess p('"' + exe + '"');
    HWND main = nullptr;
    ASSERT_TRUE(
        PumpUntil([&] { return (main = FindProcessWindow(p.Id(), "VantorelMain")) != nullptr; }, 20000));
    PumpFor(1000);
    // The messages as the system sends them at logoff, answer awaited.
    const auto send = [&](UINT msg, WPARAM wParam) {
        DWORD_PTR answer = 0;
        EXPECT_TRUE(
            SendMessageTimeoutA(main, msg, wParam, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &answer));
        return answer;
    };

    // Another program refuses the logoff: nothing is saved and the meter runs on.
    EXPECT_EQ(send(WM_QUERYENDSESSION, 0), static_cast<DWORD_PTR>(TRUE));
    send(WM_ENDSESSION, FALSE);
    PumpFor(300);
    EXPECT_FALSE(p.WaitForExit(0));
    EXPECT_EQ(ReadValue(graph, "AutoScale"), "<missing>");

    EXPECT_EQ(send(WM_QUERYENDSESSION, 0), static_cast<DWORD_PTR>(TRUE));
    send(WM_ENDSESSION, TRUE);
    DWORD code = 1234;
    ASSERT_TRUE(p.WaitForExit(20000, &code)) << "the end of the session must end the program";
    EXPECT_EQ(code, 0u);
    const auto log = LogMessages();
    EXPECT_EQ(Count(log, "frmMain_Unload"), 1);
    EXPECT_EQ(Count(log, "frmMeter_Unload"), 1);
    EXPECT_EQ(log.back(), "End");
    EXPECT_EQ(ReadValue(graph, "AutoScale"), "True");
    EXPECT_EQ(ReadValue(graph, "BackColor"), "16777215");
    EXPECT_NE(ReadValue("Software\\Vantorel\\Position", "Width"), "<missing>") << "the meter saves its place";
}
