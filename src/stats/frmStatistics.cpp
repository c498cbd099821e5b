#include "stats/frmStatistics.h"
#include "app/frmMain.h"
#include "base/AppInfo.h"
#include "base/mLogging.h"
#include "meter/CFormBorder.h"
#include "meter/frmMeter.h"
#include "net/cNetStatistics.h"
#include "resources/resource.h"

namespace {
// The fields in the order of one update and of a reset.
constexpr int kFields[12] = {IDC_txtTotalIn,      IDC_txtTotalOut,     IDC_txtTotalTotal, IDC_txtCurrentIn,
                             IDC_txtCurrentOut,   IDC_txtCurrentTotal, IDC_txtAverageIn,  IDC_txtAverageOut,
                             IDC_txtAverageTotal, IDC_txtMaxIn,        IDC_txtMaxOut,     IDC_txtMaxTotal};
} // namespace

frmStatistics::frmStatistics(frmMain& main) : m_main(main) {}

frmStatistics::~frmStatistics() {
    UnloadForm();
}

CFormBorder& frmStatistics::FrmBorder() {
    if (!m_border)
        m_border = std::make_unique<CFormBorder>();
    return *m_border;
}

void frmStatistics::Show() {
    ShowModeless(IDD_frmStatistics);
}

void frmStatistics::Form_Load() {
    m_loaded = true;
    RegisterLoadedForm(this);
    WriteLog("frmStatistics_Load");
    FrmBorder().SetClient(m_hwnd);
    m_main.StatisticsVisible = true;
    SetWindowTextA(m_hwnd, (std::string(kAppTitle) + " Throughput Statistics").c_str());
    CheckRadioButton(m_hwnd, IDC_optB, IDC_optMb, IDC_optB);
    UpdateStats();
}

void frmStatistics::UnloadForm() {
    if (!m_loaded)
        return;
    m_loaded = false;
    Form_Unload();
    UnregisterLoadedForm(this);
    m_border.reset();
    if (m_hwnd)
        DestroyWindow(m_hwnd);
}

void frmStatistics::Form_Unload() {
    WriteLog("frmStatistics_Unload");
    m_main.StatisticsVisible = false;
}

StatisticsUnit frmStatistics::Unit() const {
    if (IsItemChecked(m_hwnd, IDC_optB))
        return StatisticsUnit::Bytes;
    if (IsItemChecked(m_hwnd, IDC_optKb))
        return StatisticsUnit::Kilobytes;
    return StatisticsUnit::Megabytes;
}

std::string frmStatistics::Format(int64_t amount) const {
    return FormatAmount(amount, Unit());
}

void frmStatistics::UpdateStats() {
    if (!m_loaded || IsItemChecked(m_hwnd, IDC_chkPause) || !m_main.NetStatistics)
        return;
    const auto texts = StatisticsTexts(*m_main.NetStatistics, Unit());
    for (size_t i = 0; i < texts.size(); ++i)
        SetItemText(m_hwnd, kFields[i], texts[i]);
}

void frmStatistics::optUnit_Click() {
    UpdateStats();
}

void frmStatistics::chkPause_Click() {
    if (!IsItemChecked(m_hwnd, IDC_chkPause))
        UpdateStats();
}

void frmStatistics::chkOnTop_Click() {
    if (IsItemChecked(m_hwnd, IDC_chkOnTop)) {
        FrmBorder().SetTopMost(true);
        return;
    }
    FrmBorder().SetTopMost(false);
    // Leaving the top must not take the meter with it.
    if (m_main.MeterVisible && m_main.Meter())
        m_main.Meter()->FrmBorder().SetTopMost(true);
}

void frmStatistics::cmdReset_Click() {
    m_main.NetStatistics = std::make_unique<cNetStatistics>();
    for (int field : kFields)
        SetItemText(m_hwnd, field, "0");
}

void frmStatistics::cmdClose_Click() {
    UnloadForm();
}

INT_PTR frmStatistics::HandleMessage(HWND, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        Form_Load();
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_optB:
        case IDC_optKb:
        case IDC_optMb:
            optUnit_Click();
            return TRUE;
        case IDC_chkPause:
            chkPause_Click();
            return TRUE;
        case IDC_chkOnTop:
            chkOnTop_Click();
            return TRUE;
        case IDC_cmdReset:
            cmdReset_Click();
            return TRUE;
        case IDC_cmdClose:
        case IDCANCEL: // Esc and the close box
            cmdClose_Click();
            return TRUE;
        case IDOK: // Enter: there is nothing to confirm
            return TRUE;
        default:
            return FALSE;
        }
    case WM_CLOSE:
        cmdClose_Click();
        return TRUE;
    default:
        return FALSE;
    }
}
