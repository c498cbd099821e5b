#include "quotas/Quota.h"
#include "base/AppError.h"
#include "base/mLogging.h"
#include "settings/cRegistry.h"
#include "settings/mRegistry.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {
constexpr const char* kSection = "Quotas";

bool SameText(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Plain decimal digits only: no sign, no separator, no exponent, at most `max`.
std::optional<uint64_t> Whole(const std::string& text, uint64_t max) {
    const std::string digits = Trimmed(text);
    if (digits.empty() || digits.size() > 19 || digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const uint64_t value = std::stoull(digits);
    if (value > max)
        return std::nullopt;
    return value;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::optional<std::vector<int32_t>> ParseWarn(const std::string& text) {
    std::vector<int32_t> levels;
    if (Trimmed(text).empty())
        return levels;
    size_t from = 0;
    while (true) {
        const size_t comma = text.find(',', from);
        const auto level = Whole(text.substr(from, comma - from), kMaxQuotaLevel);
        if (!level || *level == 0)
            return std::nullopt;
        levels.push_back(static_cast<int32_t>(*level));
        if (comma == std::string::npos)
            break;
        from = comma + 1;
    }
    std::sort(levels.begin(), levels.end());
    levels.erase(std::unique(levels.begin(), levels.end()), levels.end());
    return levels;
}

std::string SectionOf(const std::string& name) {
    return std::string(kSection) + "\\" + name;
}
} // namespace

std::string PeriodText(QuotaPeriodKind period) {
    switch (period) {
    case QuotaPeriodKind::Day:
        return "Day";
    case QuotaPeriodKind::Week:
        return "Week";
    case QuotaPeriodKind::Month:
        return "Month";
    case QuotaPeriodKind::Days:
        break;
    }
    return "Days";
}

std::string CountText(QuotaCount count) {
    switch (count) {
    case QuotaCount::In:
        return "In";
    case QuotaCount::Out:
        return "Out";
    case QuotaCount::Total:
        break;
    }
    return "Total";
}

std::string WarnText(const std::vector<int32_t>& levels) {
    std::string text;
    for (const int32_t level : levels)
        text += (text.empty() ? "" : ",") + std::to_string(level);
    return text;
}

std::optional<Quota> ParseQuota(const std::string& name, const QuotaTexts& texts, std::string& fault) {
    Quota quota;
    quota.Name = name;
    if (!texts.Limit) {
        fault = "the limit is missing";
        return std::nullopt;
    }
    const auto limit = Whole(*texts.Limit, kMaxQuotaLimit);
    if (!limit || *limit == 0) {
        fault = "the limit " + Quoted(*texts.Limit) + " is not a number of bytes from 1 to " +
                std::to_string(kMaxQuotaLimit);
        return std::nullopt;
    }
    quota.Limit = *limit;

    if (!texts.Period) {
        fault = "the period is missing";
        return std::nullopt;
    }
    static constexpr std::array kPeriods{QuotaPeriodKind::Day, QuotaPeriodKind::Week, QuotaPeriodKind::Month,
                                         QuotaPeriodKind::Days};
    const auto period = std::find_if(kPeriods.begin(), kPeriods.end(), [&](QuotaPeriodKind p) {
        return SameText(PeriodText(p), *texts.Period);
    });
    if (period == kPeriods.end()) {
        fault = "the period " + Quoted(*texts.Period) + " is not Day, Week, Month or Days";
        return std::nullopt;
    }
    quota.Period = *period;

    // A day has no start; the others have a range of their own.
    uint64_t maxStart = 0;
    std::string startMeaning;
    switch (quota.Period) {
    case QuotaPeriodKind::Day:
        break;
    case QuotaPeriodKind::Week:
        maxStart = 7;
        startMeaning = "a weekday from 1 (Monday) to 7";
        break;
    case QuotaPeriodKind::Month:
        maxStart = 31;
        startMeaning = "a billing day from 1 to 31";
        break;
    case QuotaPeriodKind::Days:
        maxStart = kMaxQuotaDays;
        startMeaning = "a number of days from 1 to " + std::to_string(kMaxQuotaDays);
        break;
    }
    if (maxStart != 0) {
        if (!texts.Start && quota.Period == QuotaPeriodKind::Days) {
            fault = "the number of days is missing";
            return std::nullopt;
        }
        const auto start = texts.Start ? Whole(*texts.Start, maxStart) : std::optional<uint64_t>(1);
        if (!start || *start == 0) {
            fault = "the start " + Quoted(*texts.Start) + " is not " + startMeaning;
            return std::nullopt;
        }
        quota.Start = static_cast<int32_t>(*start);
    }

    if (texts.Count) {
        static constexpr std::array kCounts{QuotaCount::In, QuotaCount::Out, QuotaCount::Total};
        const auto count = std::find_if(kCounts.begin(), kCounts.end(),
                                        [&](QuotaCount c) { return SameText(CountText(c), *texts.Count); });
        if (count == kCounts.end()) {
            fault = "the count " + Quoted(*texts.Count) + " is not In, Out or Total";
            return std::nullopt;
        }
        quota.Count = *count;
    }
    quota.Interface = texts.Interface.value_or("");
    if (texts.Warn) {
        const auto levels = ParseWarn(*texts.Warn);
        if (!levels) {
            fault = "the warning levels " + Quoted(*texts.Warn) + " are not percentages from 1 to " +
                    std::to_string(kMaxQuotaLevel) + " separated by commas";
            return std::nullopt;
        }
        quota.Warn = *levels;
    }
    fault.clear();
    return quota;
}

QuotaTexts QuotaToTexts(const Quota& quota) {
    QuotaTexts texts;
    texts.Limit = std::to_string(quota.Limit);
    texts.Period = PeriodText(quota.Period);
    texts.Start = std::to_string(quota.Period == QuotaPeriodKind::Day ? 1 : quota.Start);
    texts.Count = CountText(quota.Count);
    texts.Interface = quota.Interface;
    texts.Warn = WarnText(quota.Warn);
    return texts;
}

bool SameQuotaName(const std::string& a, const std::string& b) {
    return SameText(a, b);
}

bool IsStorableQuotaName(const std::string& name, const std::string& title) {
    // The registry's limit of 255 characters holds for the whole path below the root.
    const size_t path = ("Software\\" + title + "\\" + kSection + "\\").size();
    return !Trimmed(name).empty() && path + name.size() <= 255 && name.find('\\') == std::string::npos;
}

std::vector<StoredQuota> ReadQuotas(int32_t root, const std::string& title) {
    std::vector<StoredQuota> quotas;
    cRegistry reg;
    reg.SetClassKey(root);
    reg.SetSectionKey("Software\\" + title + "\\" + kSection);
    std::vector<std::string> names;
    int32_t count = 0;
    IgnoringErrors([&] { reg.EnumerateSections(names, count); });
    for (const std::string& name : names) {
        StoredQuota stored;
        stored.Name = name;
        LoggingErrors("ReadQuotas", [&] {
            cRegistry values;
            values.SetClassKey(root);
            values.SetSectionKey("Software\\" + title + "\\" + SectionOf(name));
            std::vector<std::string> present;
            int32_t presentCount = 0;
            values.EnumerateValues(present, presentCount);
            // Read only the values that are there, so that a missing one is told from an empty one.
            auto read = [&](const char* key) -> std::optional<std::string> {
                const bool there = std::any_of(present.begin(), present.end(),
                                               [&](const std::string& p) { return SameText(p, key); });
                if (!there)
                    return std::nullopt;
                return ReadSetting(root, title, SectionOf(name), key, "");
            };
            QuotaTexts texts{read("Limit"), read("Period"),    read("Start"),
                             read("Count"), read("Interface"), read("Warn")};
            stored.Value = ParseQuota(name, texts, stored.Fault);
        });
        if (!stored.Value && stored.Fault.empty())
            stored.Fault = "its values cannot be read";
        if (!stored.Value)
            WriteLog("ReadQuotas: " + name + " skipped: " + stored.Fault);
        quotas.push_back(std::move(stored));
    }
    return quotas;
}

void WriteQuota(int32_t root, const std::string& title, const Quota& quota) {
    if (!IsStorableQuotaName(quota.Name, title))
        throw AppError(kErrInvalidArgument, "WriteQuota",
                       "The quota name " + Quoted(quota.Name) + " cannot be stored.");
    const QuotaTexts texts = QuotaToTexts(quota);
    const std::string section = SectionOf(quota.Name);
    WriteSetting(root, title, section, "Limit", *texts.Limit);
    WriteSetting(root, title, section, "Period", *texts.Period);
    WriteSetting(root, title, section, "Start", *texts.Start);
    WriteSetting(root, title, section, "Count", *texts.Count);
    WriteSetting(root, title, section, "Interface", *texts.Interface);
    WriteSetting(root, title, section, "Warn", *texts.Warn);
}

void DeleteQuota(int32_t root, const std::string& title, const std::string& name) {
    // An empty name would name the Quotas key itself, and with it every quota.
    if (!IsStorableQuotaName(name, title))
        return;
    DeleteSetting(root, title, SectionOf(name));
}
