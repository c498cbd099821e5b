#pragma once
#include "history/HistoryData.h"
#include "quotas/Quota.h"
#include "quotas/QuotaUsage.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the quota list and the quota's edit form show, and how the form's entries become a quota.

// The columns of one row of the list. A faulty stored quota shows its fault in place of its figures;
// a quota whose use is not known (no history) shows only what is stored.
struct QuotaRow {
    std::string Name, Period, Limit, Used, Percent, Forecast, LeftPerDay;
};
QuotaRow QuotaRowOf(const StoredQuota& stored, const std::optional<QuotaStatus>& status);

// The weekdays by their stored number less one (Monday first).
inline constexpr std::array<const char*, 7> kWeekdayNames{"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                          "Friday", "Saturday", "Sunday"};

// "Day", "Week from Monday", "Month from day 15", "Last 7 days".
std::string PeriodDescription(const Quota& quota);

// The bar of one quota: the limit is its full width; use fills it and the forecast is a mark on it,
// both held inside the bar (an overrun shows as a full bar).
struct QuotaBar {
    double Used = 0;     // 0 .. 1
    double Forecast = 0; // 0 .. 1
    bool Over = false;   // the limit has been reached
};
QuotaBar QuotaBarOf(uint64_t limit, const QuotaStatus& status);

enum class LimitUnit { MB, GB };

// The form's entries as the controls hold them.
struct QuotaFormTexts {
    std::string Name;
    std::string Limit;
    LimitUnit Unit = LimitUnit::MB;
    QuotaPeriodKind Period = QuotaPeriodKind::Day;
    std::string Start; // weekday 1-7, billing day or number of days, as text; unused for a day
    QuotaCount Count = QuotaCount::Total;
    std::string Interface; // "" for All Interfaces
    std::string Warn;
};

// The form of a stored quota: the limit in GB from 1 GB up, else in MB, with up to three decimals.
QuotaFormTexts QuotaFormOf(const Quota& quota);
// The form of a new quota: a 1 GB monthly quota from day 1 over all interfaces, warning at 80 and 100.
QuotaFormTexts NewQuotaForm();

// The quota the form describes, or nothing with `fault` saying what to correct. `original` is the
// quota being edited (none for a new one): a limit left as shown keeps its exact bytes. `otherNames`
// are the quotas stored besides it, whose names a new name must not take (the registry's names are
// the same in any case).
std::optional<Quota> QuotaFromForm(const QuotaFormTexts& form, const std::optional<Quota>& original,
                                   const std::vector<std::string>& otherNames, const std::string& title,
                                   std::string& fault);

// The descriptions of the interfaces the history has recorded, each once, in the order first recorded.
std::vector<std::string> RecordedInterfaceNames(const HistoryData& history);

// The interfaces to choose from after All Interfaces: the recorded ones, and the stored one when it is
// not among them (an adapter that is away keeps its quota).
std::vector<std::string> QuotaInterfaceChoices(std::vector<std::string> recorded, const std::string& stored);

// Stores `quota` in place of the one stored as `oldName` ("" for a new one). The old key goes only once
// every value of the new one is written, so a refused write never loses the quota; a new key that could
// not be written whole is taken away again. Raises the registry's errors of the write; false when the
// old key could not be deleted (both are stored then).
bool ReplaceQuota(int32_t root, const std::string& title, const Quota& quota, const std::string& oldName);
