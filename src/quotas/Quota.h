#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One data quota, as stored under HKEY_CURRENT_USER\Software\<title>\Quotas\<name> in six text values:
// Limit (bytes, decimal), Period ("Day", "Week", "Month", "Days"), Start (weekday 1-7 from Monday, billing
// day 1-31, or the number of days), Count ("In", "Out", "Total"), Interface ("" for all), Warn ("80,100").
enum class QuotaPeriodKind { Day, Week, Month, Days };
enum class QuotaCount { In, Out, Total };

struct Quota {
    std::string Name;
    uint64_t Limit = 0;
    QuotaPeriodKind Period = QuotaPeriodKind::Day;
    // Weekday for a week, billing day for a month, number of days for "Days"; unused for a day.
    int32_t Start = 1;
    QuotaCount Count = QuotaCount::Total;
    std::string Interface;
    // Percent levels, ascending, each once.
    std::vector<int32_t> Warn{80, 100};
};

// The limits of the stored values. The limit's bound keeps level arithmetic inside 64 bits.
inline constexpr uint64_t kMaxQuotaLimit = uint64_t{1} << 60;
inline constexpr int32_t kMaxQuotaDays = 999;
inline constexpr int32_t kMaxQuotaLevel = 999;

// A stored quota as read: the quota, or the reason it was skipped.
struct StoredQuota {
    std::string Name;
    std::optional<Quota> Value;
    std::string Fault;
};

// The stored texts of one quota into a quota; `fault` says what is wrong when it returns nothing.
// Texts are the six values in their order; a missing value is passed as nullopt.
struct QuotaTexts {
    std::optional<std::string> Limit, Period, Start, Count, Interface, Warn;
};
std::optional<Quota> ParseQuota(const std::string& name, const QuotaTexts& texts, std::string& fault);
QuotaTexts QuotaToTexts(const Quota& quota);

// Whether two names are one quota: the registry's key names are the same in any case.
bool SameQuotaName(const std::string& a, const std::string& b);
// A name that can be stored: not empty, no backslash, and the key path within the registry's limit.
bool IsStorableQuotaName(const std::string& name, const std::string& title);

// Every quota under the title's Quotas key, faulty ones with their fault (each also logged), in the
// order the registry lists them. Reading never raises.
std::vector<StoredQuota> ReadQuotas(int32_t root, const std::string& title);
// Replaces the stored values of the quota. Raises the registry's errors, and kErrInvalidArgument for a
// name that cannot be stored.
void WriteQuota(int32_t root, const std::string& title, const Quota& quota);
void DeleteQuota(int32_t root, const std::string& title, const std::string& name);

// The texts of the stored forms.
std::string PeriodText(QuotaPeriodKind period);
std::string CountText(QuotaCount count);
std::string WarnText(const std::vector<int32_t>& levels);
