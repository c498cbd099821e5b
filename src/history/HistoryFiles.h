#pragma once
// The history folder's files: one journal of minute totals per month, the archive a month becomes when
// it has ended, the state file and the writer's lock.
#include "history/HistoryData.h"
#include "history/HistorySeams.h"

#include <optional>
#include <string>

// Months are counted as year * 12 + month - 1.
int MonthOfUtc(int64_t utc);
std::string JournalName(int month); // "2026-12.journal"
std::string ArchiveName(int month); // "2026-12.archive"
std::string ArchiveTempName(int month);
std::optional<int> JournalMonth(const std::string& name);
std::optional<int> ArchiveMonth(const std::string& name);
inline const char* kStateFileName = "state";
inline const char* kLockFileName = "lock";

// Reads every month: its archive when that is sound, otherwise its journal up to the first unsound
// record. The month `skip` is left out (its journal is the writer's own).
void LoadHistory(IHistoryFiles& files, HistoryData& into, std::optional<int> skip = std::nullopt);

// Turns the month's journal into its archive: a temporary file, flushed, then moved over.
bool MakeArchive(IHistoryFiles& files, int month);
