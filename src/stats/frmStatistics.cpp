#include "stats/frmStatistics.h"
#include "base/AppInfo.h"
#include "meter/CFormBorder.h"
#include "net/cNetStatistics.h"
#include "resources/resource.h"

#include <utility>

namespace {
// The fields in the order of one update and of a reset.
constexpr int kFields[12] = {IDC_txtTotalIn,      IDC_txtTotalOut,     IDC_txtTotalTotal, IDC_txtCurrentIn,
                             IDC_txtCurrentOut,   IDC_txtCurrentTotal, IDC_txtAverageIn,  IDC_txtAverageOut,
                             IDC_txtAverageTotal, IDC_txtMaxIn,        IDC_txtMaxOut,     IDC_txtMaxTotal};

const DialogCommand<frmStatistics> kCommands[] = {
    {IDC_optB, &frmStatistics::optUnit_Click},      {IDC_optKb, &frmStatistics::optUnit_Click},
    {IDC_optMb, &frmStatistics::optUnit_Click},     {IDC_chkPause, &frmStatistics::chkPause_Click},
    {IDC_chkOnTop, &frmStatistics::chkOnTop_Click}, {IDC_cmdReset, &frmStatistics::cmdReset_Click},
    {IDC_cmdClose, &frmStatistics::cmdClose_Click},
};
} // namespace

frmStatistics::frmStatistics(StatisticsLinks links)
    : ModelessDialog(links.LoadedChanged), m_links(std::move(links)) {}

frmStatistics::~frmStatistics() {
    UnloadForm();
}

std::span<const DialogCommand<frmStatistics>> frmStatistics::Commands() {
    return kCommands;
}

CFormBorder& frmStatistics::FrmBorder() {
    if (!m_border)
        m_border = std::make_unique<CFormBorder>();
    return *m_border;
}

void frmStatistics::Form_Load() {
    FrmBorder().SetClient(m_hwnd);
    SetWindowTextA(m_hwnd, (std::string(kAppTitle) + " Throughput Statistics").c_str());
    CheckRadioButton(m_hwnd, IDC_optB, IDC_optMb, IDC_optB);
    UpdateStats();
}

void frmStatistics::Form_Unload() {
    m_border.reset();
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
    if (!Loaded() || IsItemChecked(m_hwnd, IDC_chkPause) || !m_links.NetStatistics)
        return;
    const auto texts = StatisticsTexts(*m_links.NetStatistics, Unit());
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
    m_links.KeepMeterOnTop();
}

void frmStatistics::cmdReset_Click() {
    m_links.NetStatistics = std::make_unique<cNetStatistics>();
    for (int field : kFields)
        SetItemText(m_hwnd, field, "0");
}

void frmStatistics::cmdClose_Click() {
    UnloadForm();
}
