#include "quotas/QuotaState.h"
#include "history/HistoryFormat.h"

QuotaAnnouncements LoadAnnouncements(IHistoryFiles& files) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(files, kQuotaStateName, bytes))
        return {};
    const auto parsed = QuotaAnnouncements::Parse(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return parsed ? *parsed : QuotaAnnouncements{};
}

bool SaveAnnouncements(IHistoryFiles& files, const QuotaAnnouncements& announced) {
    const std::string text = announced.Serialize();
    auto temp = files.Open(kQuotaStateTempName, IHistoryFiles::Mode::Write);
    const bool written = temp && temp->Truncate(0) &&
                         temp->Append(reinterpret_cast<const uint8_t*>(text.data()), text.size()) &&
                         temp->Flush();
    temp.reset();
    return written && files.Replace(kQuotaStateTempName, kQuotaStateName);
}
