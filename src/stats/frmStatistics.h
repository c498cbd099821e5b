#pragma once
#include "base/mMisc.h"
#include "stats/StatisticsFormat.h"
#include "winsys/BaseDialog.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

class frmMain;
class CFormBorder;

// The live figures of the statistics in twelve read-only fields: total, current, average and maximum,
// each in, out and together, in bytes, kilobytes or megabytes. Modeless; it can be paused, reset and
// kept on top.
class frmStatistics : public BaseDialog<frmStatistics>, public ILoadedForm {
public:
    explicit frmStatistics(frmMain& main);
    ~frmStatistics();

    // Loads the window if it is not loaded; an open one comes to the front.
    void Show();
    void UnloadForm() override;

    // Refreshes the twelve fields from the controller's statistics, unless paused.
    void UpdateStats();
    std::string Format(int64_t amount) const;

    INT_PTR HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    void optUnit_Click();
    void chkPause_Click();
    void chkOnTop_Click();
    void cmdReset_Click();
    void cmdClose_Click();

private:
    void Form_Load();
    void Form_Unload();
    StatisticsUnit Unit() const;
    CFormBorder& FrmBorder();

    frmMain& m_main;
    bool m_loaded = false;
    std::unique_ptr<CFormBorder> m_border;
};
