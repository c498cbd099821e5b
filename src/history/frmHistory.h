#pragma once
#include "history/HistoryAggregate.h"
#include "history/HistoryChart.h"
#include "resources/resource.h"
#include "winsys/BaseDialog.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

// What the history window reads and calls: the recorded history with the zone rules it is grouped by,
// whether another copy is its writer, the quotas window (none when empty), the time now (the system's
// clock when empty) and the report of its loads and unloads.
struct HistoryLinks {
    std::function<const HistoryData&()> Data;
    std::function<const ZoneCalendar&()> Calendar;
    std::function<bool()> ReadOnly;
    std::function<void()> OpenQuotas;
    std::function<int64_t()> UtcNow;
    std::function<void(bool)> LoadedChanged;
};

// The usage history of one interface, or of all, by the hours of a day, the days of a month or the
// months of a year: stacked bars of in and out over a labelled axis, the same periods in a list with
// their totals, and the period's CSV export. Modeless.
class frmHistory : public ModelessDialog<frmHistory> {
public:
    static constexpr char kName[] = "frmHistory";
    static constexpr int kTemplate = IDD_frmHistory;
    static constexpr int kOkId = 0;
    static constexpr int kCancelId = IDC_cmdClose;

    explicit frmHistory(HistoryLinks links);
    ~frmHistory();

    static std::span<const DialogCommand<frmHistory>> Commands();

    // The list view's class must be there before the template makes the list.
    void Show();
    // New minutes were written: bars, list and totals anew, the shown period kept.
    void Refresh();

    HistoryPeriod Period() const { return m_period; }
    const CivilDate& Shown() const { return m_date; }
    const std::vector<HistoryBucket>& Buckets() const { return m_buckets; }
    // The chart as the window paints it, into any DC of that size.
    void DrawChart(HDC dc, int width, int height) const;
    // Writes the shown period's CSV to `path`; false, with the reason in a message box, when it fails.
    bool ExportTo(const std::string& path);

    void optPeriod_Click();
    void cmdPrevious_Click();
    void cmdNext_Click();
    void cmbInterface_Click();
    void cmdExport_Click();
    void cmdQuotas_Click();
    void cmdClose_Click();

private:
    friend class ModelessDialog<frmHistory>;
    void Form_Load();
    INT_PTR OtherMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    CivilDate Today() const;
    void FillInterfaces();
    void FillList();
    void Step(int steps);

    HistoryLinks m_links;
    HistoryPeriod m_period = HistoryPeriod::Day;
    CivilDate m_date;
    std::size_t m_interface = kAllInterfaces;
    std::size_t m_interfaceCount = 0;
    std::vector<HistoryBucket> m_buckets;
};
