// Interface tables recorded (or written as a machine gives them) replayed through the sampler: each
// fixture's expected samples are worked out by hand from the counting rules, never by this code.
#include "support/RecordedTables.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {
const std::filesystem::path kTables = VANTOREL_TABLES_DIR;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

// "wine.lo.expected" replays wine.txt; a first line "interface NAME" chooses the interface.
TEST(RecordedTables, EveryFixtureGivesItsExpectedSamples) {
    int fixtures = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kTables)) {
        if (entry.path().extension() != ".expected")
            continue;
        ++fixtures;
        const std::string name = entry.path().filename().string();
        std::string expected = ReadFile(entry.path()), interfaceName;
        if (expected.starts_with("interface ")) {
            const std::size_t end = expected.find('\n');
            interfaceName = expected.substr(10, end - 10);
            expected.erase(0, end + 1);
        }
        std::ifstream table(kTables / (name.substr(0, name.find('.')) + ".txt"), std::ios::binary);
        const ParsedRecording parsed = ParseRecording(table);
        EXPECT_FALSE(parsed.error) << name << ": " << parsed.error.value_or("");
        EXPECT_EQ(FormatReplay(Replay(parsed.ticks, interfaceName)), expected) << name;
    }
    EXPECT_GE(fixtures, 8);
}
