#include "support/RecordedTables.h"
#include "base/mBenchmark.h"
#include "net/MTimer.h"
#include "net/cNetStatus.h"
#include "support/NetFakes.h"
#include "support/ScopedSeam.h"

#include <charconv>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {
uint64_t g_clock = 0;

// The next word of `line` as a decimal number: digits only, within the type's range.
template <class Number>
bool Decimal(std::istringstream& line, Number& value) {
    std::string word;
    line >> word;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return !word.empty() && ec == std::errc() && end == word.data() + word.size();
}

bool Flag(std::istringstream& line, bool& value) {
    uint32_t n = 2;
    value = Decimal(line, n) && n == 1;
    return n <= 1;
}

// Why one line is bad, or nothing: a tick starts a reading, a row adds to the latest one.
std::string ParseLine(const std::string& text, std::vector<RecordedTick>& ticks) {
    std::istringstream line(text);
    std::string keyword, mode, more;
    line >> keyword;
    if (keyword.empty() || keyword.starts_with('#'))
        return {};
    if (keyword == "tick") {
        RecordedTick tick;
        if (!Decimal(line, tick.ms) || (line >> mode && mode != "legacy") || line >> more)
            return "a tick is MS or MS legacy";
        tick.legacy = mode == "legacy";
        ticks.push_back(std::move(tick));
        return {};
    }
    if (keyword != "row")
        return "neither tick nor row";
    if (ticks.empty())
        return "a row before the first tick";
    FakeInterfaceTable::Row row;
    if (!Decimal(line, row.index) || !Decimal(line, row.type) || !Flag(line, row.hardware) ||
        !Flag(line, row.filter) || !Decimal(line, row.medium) || !Decimal(line, row.inOctets) ||
        !Decimal(line, row.outOctets))
        return "a row is INDEX TYPE HW FILTER MEDIUM IN OUT DESCRIPTION, HW and FILTER 0 or 1";
    // The description is the rest of the line after the one blank that ends OUT.
    std::string descr;
    if (line.get() == ' ')
        std::getline(line, descr);
    if (descr.size() > 255)
        return "a description holds at most 255 characters";
    row.descrLen = static_cast<uint32_t>(descr.size() + 1); // as Windows counts it, with the NUL
    row.descr = descr + '\0';
    ticks.back().rows.push_back(std::move(row));
    return {};
}
} // namespace

ParsedRecording ParseRecording(std::istream& in) {
    ParsedRecording parsed;
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        if (text.ends_with('\r'))
            text.pop_back();
        if (const std::string why = ParseLine(text, parsed.ticks); !why.empty()) {
            parsed.error = "line " + std::to_string(number) + ": " + why;
            parsed.ticks.clear();
            break;
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
            result.lines += std::to_string(lIn) + ' ' + std::to_string(lOut) + '\n';
            result.totalIn += lIn;
            result.totalOut += lOut;
        };
        net.Gap = [&](uint64_t in, uint64_t out, uint64_t ms) {
            result.lines +=
                "gap " + std::to_string(in) + ' ' + std::to_string(out) + ' ' + std::to_string(ms) + '\n';
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
    return result.lines + "total " + std::to_string(result.totalIn) + ' ' + std::to_string(result.totalOut) +
           '\n';
}
