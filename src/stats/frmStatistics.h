#pragma once
#include "base/mMisc.h"
#include "resources/resource.h"
#include "stats/StatisticsFormat.h"
#include "winsys/BaseDialog.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

class CFormBorder;
class cNetStatistics;

// What the statistics window works on: the figures it shows, which a reset replaces, and the
// commands it gives when it leaves the top and when it opens or closes.
struct StatisticsLinks {
    std::unique_ptr<cNetStatistics>& NetStatistics;
    // Leaving the top must not take the meter with it.
    std::function<void()> KeepMeterOnTop;
    std::function<void(bool)> LoadedChanged;
};

// The live figures of the statistics in twelve read-only fields: total, current, average and maximum,
// each in, out and together, in bytes, kilobytes or megabytes. Modeless; it can be paused, reset and
// kept on top.
class frmStatistics : public ModelessDialog<frmStatistics> {
public:
    static constexpr char kName[] = "frmStatistics";
    static constexpr int kTemplate = IDD_frmStatistics;
    static constexpr int kOkId = 0;
    static constexpr int kCancelId = IDC_cmdClose;

    explicit frmStatistics(StatisticsLinks links);
    ~frmStatistics();

    static std::span<const DialogCommand<frmStatistics>> Commands();

    // Refreshes the twelve fields from the controller's statistics, unless paused.
    void UpdateStats();
    std::string Format(int64_t amount) const;

    void optUnit_Click();
    void chkPause_Click();
    void chkOnTop_Click();
    void cmdReset_Click();
    void cmdClose_Click();

private:
    friend class ModelessDialog<frmStatistics>;
    void Form_Load();
    void Form_Unload();
    StatisticsUnit Unit() const;
    CFormBorder& FrmBorder();

    StatisticsLinks m_links;
    std::unique_ptr<CFormBorder> m_border;
};
