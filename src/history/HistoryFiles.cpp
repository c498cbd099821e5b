#include "history/HistoryFiles.h"

#include "history/HistoryFormat.h"
#include "history/ZoneCalendar.h"

#include <cstdio>
#include <map>

namespace {
std::string MonthText(int month) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d", month / 12 % 10000, month % 12 + 1);
    return text;
}

std::optional<int> MonthOfName(const std::string& name, const std::string& suffix) {
    if (name.size() != 7 + suffix.size() || name.compare(7, std::string::npos, suffix) != 0 || name[4] != '-')
        return std::nullopt;
    int value[2] = {0, 0};
    const std::size_t ends[2] = {4, 7};
    std::size_t i = 0;
    for (int part = 0; part < 2; ++part, ++i)
        for (; i < ends[part]; ++i) {
            if (name[i] < '0' || name[i] > '9')
                return std::nullopt;
            value[part] = value[part] * 10 + (name[i] - '0');
        }
    if (value[1] < 1 || value[1] > 12)
        return std::nullopt;
    return value[0] * 12 + value[1] - 1;
}
} // namespace

int MonthOfUtc(int64_t utc) {
    const CivilDate d = CivilFromDays(FloorDiv(utc, 86400));
    return d.year * 12 + d.month - 1;
}

std::string JournalName(int month) {
    return MonthText(month) + ".journal";
}
std::string ArchiveName(int month) {
    return MonthText(month) + ".archive";
}
std::string ArchiveTempName(int month) {
    return MonthText(month) + ".archive.tmp";
}
std::optional<int> JournalMonth(const std::string& name) {
    return MonthOfName(name, ".journal");
}
std::optional<int> ArchiveMonth(const std::string& name) {
    return MonthOfName(name, ".archive");
}

void LoadHistory(IHistoryFiles& files, HistoryData& into, std::optional<int> skip) {
    std::map<int, std::pair<bool, bool>> months; // journal, archive
    for (const std::string& name : files.List()) {
        if (auto m = JournalMonth(name))
            months[*m].first = true;
        else if (auto a = ArchiveMonth(name))
            months[*a].second = true;
    }
    std::vector<uint8_t> bytes;
    for (const auto& [month, present] : months) {
        if (skip && month == *skip)
            continue;
        if (present.second && ReadWholeFile(files, ArchiveName(month), bytes) && DecodeArchive(bytes, into))
            continue;
        if (present.first && ReadWholeFile(files, JournalName(month), bytes))
            ScanJournal(bytes, into);
    }
}

bool MakeArchive(IHistoryFiles& files, int month) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(files, JournalName(month), bytes))
        return false;
    HistoryData data;
    ScanJournal(bytes, data);
    bytes = EncodeArchive(data);
    const std::string temp = ArchiveTempName(month);
    {
        auto file = files.Open(temp, IHistoryFiles::Mode::Write);
        if (!file || !file->Truncate(0) || !file->Append(bytes.data(), bytes.size()) || !file->Flush())
            return false;
    }
    return files.Replace(temp, ArchiveName(month));
}
