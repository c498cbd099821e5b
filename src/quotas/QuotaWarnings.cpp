#include "quotas/QuotaWarnings.h"
#include "history/Crc32.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace {
constexpr std::string_view kHeader = "VantorelQuotaWarnings 1\n";
constexpr std::string_view kChecksum = "CRC ";

// Names may hold any character but a backslash: the line's own delimiters are escaped.
std::string Escaped(const std::string& name) {
    std::string text;
    for (const char c : name) {
        if (c == '%' || c == '\n' || c == '\r') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
            text += hex;
        } else {
            text += c;
        }
    }
    return text;
}

std::optional<std::string> Unescaped(std::string_view text) {
    std::string name;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            name += text[i];
            continue;
        }
        unsigned value = 0;
        if (text.size() - i < 3)
            return std::nullopt;
        const auto [end, error] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
        if (error != std::errc() || end != text.data() + i + 3)
            return std::nullopt;
        name += static_cast<char>(value);
        i += 2;
    }
    return name;
}

template <class Number>
std::optional<Number> NumberOf(std::string_view text, int base = 10) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<QuotaAnnouncements::Entry> ParseEntry(std::string_view line) {
    const size_t first = line.find(' ');
    const size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;
    QuotaAnnouncements::Entry entry;
    const auto start = NumberOf<int64_t>(line.substr(0, first));
    const auto name = Unescaped(line.substr(second + 1));
    if (!start || !name)
        return std::nullopt;
    entry.PeriodStartUtc = *start;
    entry.Name = *name;
    const std::string_view levels = line.substr(first + 1, second - first - 1);
    if (levels != "-") {
        size_t from = 0;
        while (true) {
            const size_t comma = levels.find(',', from);
            const auto level = NumberOf<int32_t>(levels.substr(from, comma - from));
            if (!level || *level <= 0 || (!entry.Levels.empty() && *level <= entry.Levels.back()))
                return std::nullopt;
            entry.Levels.push_back(*level);
            if (comma == std::string_view::npos)
                break;
            from = comma + 1;
        }
    }
    return entry;
}
} // namespace

uint32_t Crc32(std::string_view bytes) {
    return Crc32(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::vector<int32_t> QuotaAnnouncements::Announced(const std::string& name, int64_t periodStartUtc) const {
    for (const Entry& entry : m_entries) {
        if (entry.Name == name && entry.PeriodStartUtc == periodStartUtc)
            return entry.Levels;
    }
    return {};
}

void QuotaAnnouncements::Forget(const std::string& name) {
    std::erase_if(m_entries, [&](const Entry& entry) { return entry.Name == name; });
}

QuotaAnnouncements::Entry& QuotaAnnouncements::EntryFor(const std::string& name) {
    for (Entry& entry : m_entries) {
        if (entry.Name == name)
            return entry;
    }
    m_entries.push_back({name, 0, {}});
    return m_entries.back();
}

std::string QuotaAnnouncements::Serialize() const {
    std::string text(kHeader);
    for (const Entry& entry : m_entries) {
        std::string levels = WarnText(entry.Levels);
        text += std::to_string(entry.PeriodStartUtc) + " " + (levels.empty() ? "-" : levels) + " " +
                Escaped(entry.Name) + "\n";
    }
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08X\n", static_cast<unsigned>(Crc32(text)));
    return text + std::string(kChecksum) + crc;
}

std::optional<QuotaAnnouncements> QuotaAnnouncements::Parse(std::string_view text) {
    const size_t checksumAt = text.rfind(kChecksum);
    if (!text.starts_with(kHeader) || checksumAt == std::string_view::npos || !text.ends_with('\n'))
        return std::nullopt;
    const std::string_view body = text.substr(0, checksumAt);
    const auto crc = NumberOf<uint32_t>(
        text.substr(checksumAt + kChecksum.size(), text.size() - 1 - checksumAt - kChecksum.size()), 16);
    if (!crc || *crc != Crc32(body) || !body.ends_with('\n'))
        return std::nullopt;
    QuotaAnnouncements record;
    for (size_t from = kHeader.size(); from < body.size();) {
        const size_t end = body.find('\n', from);
        const auto entry = ParseEntry(body.substr(from, end - from));
        if (!entry)
            return std::nullopt;
        const bool seen = std::any_of(record.m_entries.begin(), record.m_entries.end(),
                                      [&](const Entry& e) { return e.Name == entry->Name; });
        if (seen)
            return std::nullopt;
        record.m_entries.push_back(*entry);
        from = end + 1;
    }
    return record;
}

struct QuotaChecker {
    static void Check(const Quota& quota, const QuotaStatus& status, QuotaAnnouncements& announced,
                      std::vector<QuotaWarning>& warnings) {
        QuotaAnnouncements::Entry& entry = announced.EntryFor(quota.Name);
        if (entry.PeriodStartUtc != status.Period.StartUtc) {
            entry.PeriodStartUtc = status.Period.StartUtc;
            if (quota.Period == QuotaPeriodKind::Days)
                std::erase_if(entry.Levels,
                              [&](int32_t level) { return !LevelReached(quota, status.Used, level); });
            else
                entry.Levels.clear();
        }
        for (const int32_t level : quota.Warn) {
            if (!LevelReached(quota, status.Used, level) ||
                std::find(entry.Levels.begin(), entry.Levels.end(), level) != entry.Levels.end())
                continue;
            entry.Levels.insert(std::upper_bound(entry.Levels.begin(), entry.Levels.end(), level), level);
            warnings.push_back({quota.Name, level, QuotaBalloonText(quota, status, level)});
        }
    }
};

QuotaCheck CheckQuotas(const std::vector<Quota>& quotas, const IUsageSource& usage,
                       const ILocalCalendar& calendar, int64_t nowUtc, QuotaAnnouncements& announced) {
    QuotaCheck check;
    std::vector<QuotaWithStatus> withStatus;
    for (const Quota& quota : quotas) {
        check.Statuses.push_back(QuotaStatusAt(quota, usage, calendar, nowUtc));
        QuotaChecker::Check(quota, check.Statuses.back(), announced, check.Warnings);
    }
    for (size_t i = 0; i < quotas.size(); ++i)
        withStatus.push_back({&quotas[i], check.Statuses[i]});
    check.TooltipLine = QuotaTooltipLine(withStatus);
    return check;
}
