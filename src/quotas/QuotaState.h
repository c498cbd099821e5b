#pragma once
// The quotas' announced levels, kept beside the history's own state in its folder.
#include "history/HistorySeams.h"
#include "quotas/QuotaWarnings.h"

inline const char* kQuotaStateName = "quotas";
inline const char* kQuotaStateTempName = "quotas.tmp";

// What was stored; nothing announced when the file is missing or not sound.
QuotaAnnouncements LoadAnnouncements(IHistoryFiles& files);
// Written to a temporary file, flushed and moved over the stored one, so that a crash at any step
// leaves the old announcements or the new ones. False when it could not.
bool SaveAnnouncements(IHistoryFiles& files, const QuotaAnnouncements& announced);
