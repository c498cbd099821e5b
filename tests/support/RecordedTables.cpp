#include "support/RecordedTables.h"
#include "base/mBenchmark.h"
#include "net/MTimer.h"
#include "net/cNetStatus.h"
#include "support/NetFakes.h"
#include "support/ScopedSeam.h"

#include <charconv>
#include <memory>
#include <sstream>
#include <string_view>

namespace {
// The next word of `line` (blanks before it skipped), which is consumed.
std::string_view Word(std::string_view& line) {
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        line = {};
        return {};
    }
    line.remove_prefix(start);
    const std::size_t end = std::min(line.find(' '), line.size());
    const std::string_view word = line.substr(0, end);
    line.remove_prefix(end);
    return word;
}

template <class Number>
bool Decimal(std::string_view word, Number& value) {
    if (word.empty())
        return false;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return ec == std::errc() && end == word.data() + word.size();
}

bool Flag(std::string_view word, bool& value) {
    if (word != "0" && word != "1")
        return false;
    value = word == "1";
    return true;
}

uint64_t g_clock = 0;
} // namespace

ParsedRecording ParseRecording(std::istream& in) {
    ParsedRecording parsed;
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        const auto fail = [&](const std::string& why) {
            parsed.error = "line " + std::to_string(number) + ": " + why;
            parsed.ticks.clear();
            return parsed;
        };
        std::string_view line = text;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        std::string_view rest = line;
        const std::string_view keyword = Word(rest);
        if (keyword.empty() || keyword.starts_with('#'))
            continue;
        if (keyword == "tick") {
            RecordedTick tick;
            if (!Decimal(Word(rest), tick.ms))
                return fail("a tick needs its milliseconds as a decimal number");
            const std::string_view mode = Word(rest);
            if (mode == "legacy")
                tick.legacy = true;
            else if (!mode.empty())
                return fail("a tick is followed by nothing or by legacy, not \"" + std::string(mode) + "\"");
            if (!Word(rest).empty())
                return fail("too much after the tick");
            parsed.ticks.push_back(std::move(tick));
        } else if (keyword == "row") {
            if (parsed.ticks.empty())
                return fail("a row before the first tick");
            uint32_t index = 0, type = 0, medium = 0;
            bool hardware = false, filter = false;
            uint64_t octetsIn = 0, octetsOut = 0;
            if (!Decimal(Word(rest), index) || !Decimal(Word(rest), type) || !Flag(Word(rest), hardware) ||
                !Flag(Word(rest), filter) || !Decimal(Word(rest), medium) || !Decimal(Word(rest), octetsIn) ||
                !Decimal(Word(rest), octetsOut))
                return fail("a row is INDEX TYPE HW FILTER MEDIUM IN OUT DESCRIPTION: decimal numbers, HW "
                            "and FILTER 0 or 1");
            // The description is the rest of the line after the one blank that ends OUT.
            if (!rest.empty())
                rest.remove_prefix(1);
            if (rest.size() > 255)
                return fail("a description holds at most 255 characters");
            FakeInterfaceTable::Row row =
                FakeInterfaceTable::WindowsRow(std::string(rest), octetsIn, octetsOut, index);
            row.type = type;
            row.hardware = hardware;
            row.filter = filter;
            row.medium = medium;
            parsed.ticks.back().rows.push_back(std::move(row));
        } else {
            return fail("neither tick nor row: \"" + std::string(keyword) + "\"");
        }
    }
    return parsed;
}

ReplayResult Replay(const std::vector<RecordedTick>& ticks, const std::string& interfaceName) {
    ReplayResult result;
    if (ticks.empty())
        return result;
    FakeInterfaceTable table;
    FakeSystemTimer timers;
    const ScopedSeam<IInterfaceTable*> useTable{CurrentInterfaceTable, SetInterfaceTable, &table};
    const ScopedSeam<ISystemTimer*> useTimers{CurrentSystemTimer, SetSystemTimer, &timers};
    g_clock = 1000000;
    const ScopedSeam<TickSource64> useClock{CurrentTickSource64, SetTickSource64, [] { return g_clock; }};
    const auto show = [&](const RecordedTick& tick) {
        table.rows = tick.rows;
        table.noTable2 = tick.legacy;
    };
    {
        cNetStatus net;
        net.Status = [&](int32_t lIn, int32_t lOut) {
            result.events.push_back({false, lIn, lOut, {}});
            result.totalIn += lIn;
            result.totalOut += lOut;
        };
        net.Gap = [&](uint64_t in, uint64_t out, uint64_t ms) {
            result.events.push_back({true, 0, 0, {in, out, ms}});
        };
        net.SetInterface(interfaceName);
        show(ticks.front());
        net.Start();
        for (std::size_t i = 1; i < ticks.size(); ++i) {
            show(ticks[i]);
            g_clock += ticks[i].ms;
            timers.Fire(net.Timer()->TimerID());
        }
        net.Timer()->SetInterval(0);
    }
    ResetTimerTable();
    return result;
}

std::string FormatReplay(const ReplayResult& result) {
    std::ostringstream out;
    for (const auto& event : result.events) {
        if (event.gap)
            out << "gap " << event.gapOctets.in << ' ' << event.gapOctets.out << ' ' << event.gapOctets.ms
                << '\n';
        else
            out << event.lIn << ' ' << event.lOut << '\n';
    }
    out << "total " << result.totalIn << ' ' << result.totalOut << '\n';
    return out.str();
}
