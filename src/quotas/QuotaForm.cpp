#include "quotas/QuotaForm.h"
#include "base/Convert.h"
#include "base/mLogging.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

namespace {
constexpr double kMB = 1024.0 * 1024;
constexpr double kGB = kMB * 1024;

double UnitBytes(LimitUnit unit) {
    return unit == LimitUnit::GB ? kGB : kMB;
}

double Fraction(uint64_t part, uint64_t whole) {
    return std::clamp(static_cast<double>(part) / static_cast<double>(whole), 0.0, 1.0);
}

bool IsListed(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& n) { return SameQuotaName(n, name); });
}
} // namespace

std::string PeriodDescription(const Quota& quota) {
    switch (quota.Period) {
    case QuotaPeriodKind::Day:
        break;
    case QuotaPeriodKind::Week:
        return std::string("Week from ") +
               kWeekdayNames[static_cast<size_t>(std::clamp(quota.Start, 1, 7) - 1)];
    case QuotaPeriodKind::Month:
        return "Month from day " + std::to_string(quota.Start);
    case QuotaPeriodKind::Days:
        return "Last " + std::to_string(quota.Start) + (quota.Start == 1 ? " day" : " days");
    }
    return "Day";
}

QuotaRow QuotaRowOf(const StoredQuota& stored, const std::optional<QuotaStatus>& status) {
    QuotaRow row;
    row.Name = stored.Name;
    if (!stored.Value) {
        row.Period = "Not in use: " + stored.Fault;
        return row;
    }
    const Quota& quota = *stored.Value;
    row.Period = PeriodDescription(quota);
    row.Limit = QuotaAmount(quota.Limit, quota.Limit);
    if (!status)
        return row;
    row.Used = QuotaAmount(status->Used, quota.Limit);
    row.Percent = QuotaPercentText(status->Percent);
    row.Forecast = QuotaAmount(status->Forecast, quota.Limit);
    row.LeftPerDay = QuotaAmount(status->LeftPerDay, quota.Limit);
    return row;
}

QuotaBar QuotaBarOf(uint64_t limit, const QuotaStatus& status) {
    QuotaBar bar;
    if (limit == 0)
        return bar;
    bar.Used = Fraction(status.Used, limit);
    bar.Forecast = Fraction(status.Forecast, limit);
    bar.Over = status.Used >= limit;
    return bar;
}

QuotaFormTexts QuotaFormOf(const Quota& quota) {
    QuotaFormTexts form;
    form.Name = quota.Name;
    form.Unit = static_cast<double>(quota.Limit) >= kGB ? LimitUnit::GB : LimitUnit::MB;
    form.Limit = FormatNumber(RoundDecimals(static_cast<double>(quota.Limit) / UnitBytes(form.Unit), 3));
    form.Period = quota.Period;
    form.Start = quota.Period == QuotaPeriodKind::Day ? "" : std::to_string(quota.Start);
    form.Count = quota.Count;
    form.Interface = quota.Interface;
    form.Warn = WarnText(quota.Warn);
    return form;
}

QuotaFormTexts NewQuotaForm() {
    QuotaFormTexts form;
    form.Limit = "1";
    form.Unit = LimitUnit::GB;
    form.Period = QuotaPeriodKind::Month;
    form.Start = "1";
    form.Warn = "80,100";
    return form;
}

std::optional<Quota> QuotaFromForm(const QuotaFormTexts& form, const std::optional<Quota>& original,
                                   const std::vector<std::string>& otherNames, const std::string& title,
                                   std::string& fault) {
    if (!IsStorableQuotaName(form.Name, title)) {
        fault = "The name must not be empty, hold no backslash and be short enough for the registry.";
        return std::nullopt;
    }
    if (IsListed(otherNames, form.Name)) {
        fault = "A quota named \"" + form.Name + "\" exists already.";
        return std::nullopt;
    }
    uint64_t limit = 0;
    const QuotaFormTexts shown = original ? QuotaFormOf(*original) : QuotaFormTexts{};
    if (original && form.Limit == shown.Limit && form.Unit == shown.Unit) {
        limit = original->Limit;
    } else {
        const auto number = TryParseDouble(form.Limit);
        const double bytes = number ? RoundHalfEven(*number * UnitBytes(form.Unit)) : 0;
        if (!(bytes >= 1 && bytes <= static_cast<double>(kMaxQuotaLimit))) {
            fault = "The limit must be a number of MB or GB above 0 and at most " +
                    FormatNumber(static_cast<double>(kMaxQuotaLimit) / kGB) + " GB.";
            return std::nullopt;
        }
        limit = static_cast<uint64_t>(bytes);
    }
    QuotaTexts texts;
    texts.Limit = std::to_string(limit);
    texts.Period = PeriodText(form.Period);
    texts.Start = form.Period == QuotaPeriodKind::Day ? "1" : form.Start;
    texts.Count = CountText(form.Count);
    texts.Interface = form.Interface;
    texts.Warn = form.Warn;
    auto quota = ParseQuota(form.Name, texts, fault);
    if (!quota && !fault.empty())
        fault[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(fault[0])));
    if (!quota)
        fault += ".";
    return quota;
}

std::vector<std::string> RecordedInterfaceNames(const HistoryData& history) {
    std::vector<std::string> names;
    for (const HistoryInterface& recorded : history.Interfaces())
        if (std::find(names.begin(), names.end(), recorded.description) == names.end())
            names.push_back(recorded.description);
    return names;
}

std::vector<std::string> QuotaInterfaceChoices(std::vector<std::string> recorded, const std::string& stored) {
    if (!stored.empty() && std::find(recorded.begin(), recorded.end(), stored) == recorded.end())
        recorded.push_back(stored);
    return recorded;
}

bool ReplaceQuota(int32_t root, const std::string& title, const Quota& quota, const std::string& oldName) {
    const bool renamed = !SameQuotaName(quota.Name, oldName);
    std::vector<std::string> stored;
    for (const StoredQuota& s : ReadQuotas(root, title))
        stored.push_back(s.Name);
    const bool existed = IsListed(stored, quota.Name);
    try {
        WriteQuota(root, title, quota);
    } catch (...) {
        if (!existed)
            LoggingErrors("ReplaceQuota", [&] { DeleteQuota(root, title, quota.Name); });
        throw;
    }
    if (!renamed || oldName.empty())
        return true;
    return LoggingErrors("ReplaceQuota", [&] { DeleteQuota(root, title, oldName); });
}
