// history_seed DAYS: gives an empty history folder (%LOCALAPPDATA%\Vantorel\History) the traffic of
// one made-up Ethernet adapter for the DAYS days before now, so that screenshots show real bars: the
// months that have ended as archives, the current one as its journal. It never touches a folder that
// holds files already.
#include "history/HistoryFiles.h"
#include "history/HistoryFormat.h"
#include "history/HistorySeamsWin32.h"
#include "history/ZoneCalendar.h"

#include <cstdio>
#include <cstdlib>
#include <map>

namespace {
bool Write(IHistoryFiles& files, const std::string& name, const std::vector<uint8_t>& bytes) {
    auto file = files.Open(name, IHistoryFiles::Mode::Write);
    return file && file->Truncate(0) && file->Append(bytes.data(), bytes.size()) && file->Flush();
}

// Evenings busy, nights quiet, weekends busier; the same every run.
uint64_t Octets(int64_t local, uint32_t& seed, uint64_t scale) {
    static const int kHourly[24] = {3, 2, 1, 1, 1,  1,  2,  4,  6,  7,  8,  8,
                                    9, 8, 8, 9, 10, 12, 15, 18, 20, 18, 12, 6};
    const int hour = static_cast<int>(local / 3600 % 24);
    const int weekDay = WeekDay(FloorDiv(local, 86400));
    seed = seed * 1103515245u + 12345u;
    const uint64_t noise = 50 + (seed >> 16) % 100;
    return scale * static_cast<uint64_t>(kHourly[hour]) * (weekDay == 0 || weekDay == 6 ? 3 : 2) * noise /
           100;
}
} // namespace

int main(int argc, char** argv) {
    char* end = nullptr;
    const long days = argc == 2 ? std::strtol(argv[1], &end, 10) : -1;
    if (argc != 2 || *end != '\0' || days < 1 || days > 400) {
        std::fprintf(stderr, "usage: history_seed DAYS   (1 to 400)\n");
        return 2;
    }
    Win32HistoryFiles files(Win32HistoryFiles::DefaultFolder());
    if (!files.List().empty()) {
        std::fprintf(stderr, "history_seed: the history folder holds files already; nothing written\n");
        return 1;
    }
    Win32HistoryClock clock;
    Win32ZoneRules rules;
    const ZoneCalendar zone(rules);
    const int64_t now = clock.UtcNow() / kQuarterSeconds;
    const HistoryInterface adapter{InterfaceGuid{{0x5e, 0xed, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
                                   "Intel(R) Ethernet Connection I219-V", "Ethernet", true};

    std::map<int, HistoryData> ended;
    std::vector<uint8_t> journal;
    AppendInterfaceRecord(journal, 0, adapter);
    const int current = MonthOfUtc(now * kQuarterSeconds);
    uint32_t seed = 7;
    for (int64_t quarter = now - days * 96; quarter < now; ++quarter) {
        const int64_t utc = quarter * kQuarterSeconds;
        const uint64_t in = Octets(zone.ToLocal(utc), seed, 1 << 20),
                       out = Octets(zone.ToLocal(utc), seed, 1 << 17);
        if (const int month = MonthOfUtc(utc); month != current) {
            HistoryData& data = ended[month];
            data.Add(data.Intern(adapter), quarter, in, out, 0);
        } else {
            AppendMinuteRecord(journal, MinuteRecord{0, utc / 60, in, out, 0});
        }
    }
    bool written = true;
    for (const auto& [month, data] : ended)
        written &= Write(files, ArchiveName(month), EncodeArchive(data));
    written &= Write(files, JournalName(current), journal);
    std::printf("history_seed: %ld days, %zu ended months\n", days, ended.size());
    return written ? 0 : 1;
}
