// Interface tables recorded (or written as a machine gives them) replayed through the sampler: each
// fixture's expected samples are worked out by hand from the counting rules, never by this code.
#include "support/RecordedTables.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {
const std::filesystem::path kTables = VANTOREL_TABLES_DIR;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The fixture's name up to its first dot: "wine.lo.expected" replays wine.txt.
std::filesystem::path TableFor(const std::filesystem::path& expected) {
    const std::string name = expected.filename().string();
    return kTables / (name.substr(0, name.find('.')) + ".txt");
}

std::string ReplayOutput(const std::filesystem::path& table, const std::string& interfaceName) {
    std::ifstream in(table, std::ios::binary);
    const ParsedRecording parsed = ParseRecording(in);
    EXPECT_FALSE(parsed.error) << table << ": " << parsed.error.value_or("");
    return FormatReplay(Replay(parsed.ticks, interfaceName));
}

// The program's output and exit status, run through the shell.
std::pair<std::string, int> RunCommand(const std::string& command) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    std::string out;
    char buffer[512];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe))
        out += buffer;
    const int status = pipe ? pclose(pipe) : -1;
    return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}
} // namespace

TEST(RecordedTables, EveryFixtureGivesItsExpectedSamples) {
    int fixtures = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kTables)) {
        if (entry.path().extension() != ".expected")
            continue;
        ++fixtures;
        std::string expected = ReadFile(entry.path()), interfaceName;
        if (expected.starts_with("interface ")) {
            const std::size_t end = expected.find('\n');
            interfaceName = expected.substr(10, end - 10);
            expected.erase(0, end + 1);
        }
        EXPECT_EQ(ReplayOutput(TableFor(entry.path()), interfaceName), expected) << entry.path().filename();
    }
    EXPECT_GE(fixtures, 8);
}

TEST(RecordedTables, ABadLineIsNamedByItsNumberAndNothingIsReplayed) {
    const struct {
        std::string text;
        const char* error;
    } cases[] = {
        {"row 1 6 1 0 0 5 5 eth0\n", "line 1: a row before the first tick"},
        {"# c\n\ntick x\n", "line 3: a tick needs"},
        {"tick 0\ntick 1000 legacy extra\n", "line 2: too much after the tick"},
        {"tick 0 late\n", "line 1: a tick is followed by nothing or by legacy"},
        {"tick 0\nrow 1 6 2 0 0 5 5 eth0\n", "line 2: a row is"},
        {"tick 0\nrow 1 6 1 0 0 -5 5 eth0\n", "line 2: a row is"},
        {"tick 0\nrow 1 6 1 0 0 18446744073709551616 5 eth0\n", "line 2: a row is"},
        {"tick 0\nrow 1 6 1 0\n", "line 2: a row is"},
        {"tick 0\nrows 1\n", "line 2: neither tick nor row"},
        {"tick 0\nrow 1 6 1 0 0 5 5 " + std::string(256, 'x') + "\n", "line 2: a description holds"},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        const ParsedRecording parsed = ParseRecording(in);
        EXPECT_TRUE(parsed.error.value_or("").starts_with(c.error)) << c.text << parsed.error.value_or("");
        EXPECT_TRUE(parsed.ticks.empty()) << c.text;
    }
    // What a good file may hold: Windows line ends, blanks in the description, an empty description.
    std::istringstream in("tick 5 legacy\r\nrow 4 6 1 0 14 18446744073709551615 0 Intel(R)  Ethernet \r\n"
                          "  # indented comment\nrow 5 24 0 0 0 0 0 \n");
    const ParsedRecording parsed = ParseRecording(in);
    ASSERT_FALSE(parsed.error) << *parsed.error;
    ASSERT_EQ(parsed.ticks.size(), 1u);
    EXPECT_TRUE(parsed.ticks[0].legacy);
    ASSERT_EQ(parsed.ticks[0].rows.size(), 2u);
    EXPECT_EQ(parsed.ticks[0].rows[0].descr, std::string("Intel(R)  Ethernet \0", 20));
    EXPECT_EQ(parsed.ticks[0].rows[0].inOctets, UINT64_MAX);
    EXPECT_EQ(parsed.ticks[0].rows[0].medium, 14u);
    EXPECT_EQ(parsed.ticks[0].rows[1].type, 24u);
    EXPECT_EQ(parsed.ticks[0].rows[1].descr, std::string("\0", 1));
}

// The command-line program replays a file with one command and refuses a bad one with status 2.
TEST(RecordedTables, TheReplayProgramPrintsTheSamplesAndEndsBadFilesWithStatus2) {
    const std::string program = VANTOREL_REPLAY_PROGRAM;
    const auto [out, status] = RunCommand(program + " --interface lo " + (kTables / "wine.txt").string());
    EXPECT_EQ(status, 0);
    std::string expected = ReadFile(kTables / "wine.lo.expected");
    expected.erase(0, expected.find('\n') + 1);
    EXPECT_EQ(out, expected);

    const std::filesystem::path bad = std::filesystem::temp_directory_path() / "iftable_replay_bad.txt";
    std::ofstream(bad) << "tick 0\nrow 1 6 1 0 0 5 5 eth0\nrow 1 six\n";
    const auto [message, badStatus] = RunCommand(program + " " + bad.string());
    EXPECT_EQ(badStatus, 2);
    EXPECT_NE(message.find("line 3"), std::string::npos) << message;
    std::filesystem::remove(bad);
    EXPECT_EQ(RunCommand(program).second, 2) << "no file";
    EXPECT_EQ(RunCommand(program + " /nonexistent/table.txt").second, 2);
}
