#include "settings/frmSettings.h"
#include "base/AppInfo.h"
#include "graph/cGraph.h"
#include "net/InterfaceReader.h"
#include "net/cNetStatus.h"
#include "resources/resource.h"
#include "settings/TranslucentAlpha.h"

#include <string>
#include <utility>
#include <vector>

namespace {
struct ScaleButton {
    ScaleOption option;
    int id;
};
// In the order Apply tests them.
constexpr ScaleButton kScaleButtons[] = {
    {ScaleOption::Auto, IDC_opScaleAuto},    {ScaleOption::Modem288, IDC_opScale288},
    {ScaleOption::Modem336, IDC_opScale336}, {ScaleOption::Modem56, IDC_opScale56},
    {ScaleOption::Kb500, IDC_opScale500},    {ScaleOption::Kb1000, IDC_opScale1000},
};

const DialogCommand<frmSettings> kCommands[] = {
    {IDC_chkAlpha, &frmSettings::chkAlpha_Click},
    {IDC_cmdApply, &frmSettings::cmdApply_Click},
    {IDC_cmdOk, &frmSettings::cmdOk_Click},
    {IDC_cmdCancel, &frmSettings::cmdCancel_Click},
};
} // namespace

frmSettings::frmSettings(SettingsLinks links)
    : ModelessDialog(links.LoadedChanged), m_links(std::move(links)) {}

frmSettings::~frmSettings() {
    UnloadForm();
}

std::span<const DialogCommand<frmSettings>> frmSettings::Commands() {
    return kCommands;
}

void frmSettings::Form_Load() {
    // Only the first entry carries item data; nothing reads it.
    AddListEntry(m_hwnd, IDC_cmbInt, "All Interfaces", 1);
    const SettingsChoices choices = ReadSettingsChoices(*m_links.NetStat, *m_links.NetGraph);
    // Each interface a user could mean once: filter rows repeat their adapter's traffic.
    std::vector<ListedInterface> listed = GetListedInterfaces();
    std::vector<std::string>& names = m_interfaceNames;
    names.clear();
    for (const auto& item : listed)
        names.push_back(item.name);
    // An interface that is away for now (unplugged, a VPN down), or a filter row chosen before, stays
    // listed and chosen, so that an Apply made for another choice does not switch the meter to all
    // interfaces for good.
    if (!choices.Interface.empty() && InterfaceEntryFor(names, choices.Interface) == 0) {
        names.push_back(choices.Interface);
        listed.push_back({choices.Interface, ""});
    }
    for (const auto& item : listed)
        AddListEntry(m_hwnd, IDC_cmbInt, InterfaceEntryText(item.name, item.alias));
    FitDroppedWidth(m_hwnd, IDC_cmbInt);
    for (int step = 0; step < kOpacitySteps; ++step)
        AddListEntry(m_hwnd, IDC_cmbAlpha, OpacityStepText(step));

    SelectListEntry(m_hwnd, IDC_cmbInt, InterfaceEntryFor(names, choices.Interface));
    ShowChoices(choices);
    SetWindowTextA(m_hwnd, (std::string(kAppTitle) + " Settings").c_str());
}

void frmSettings::ShowChoices(const SettingsChoices& c) {
    SetItemChecked(m_hwnd, IDC_chkShowGraph, c.ShowGraph);
    SetItemChecked(m_hwnd, IDC_chkStartup, c.Startup);
    for (const auto& button : kScaleButtons)
        SetItemChecked(m_hwnd, button.id, c.Scale == button.option);
    SetItemChecked(m_hwnd, IDC_chkNumerical, c.Numerical);
    SetItemChecked(m_hwnd, IDC_chkGridlines, c.Gridlines);
    SetItemChecked(m_hwnd, IDC_chkBorder, c.Border);
    SetItemChecked(m_hwnd, IDC_chkAlpha, c.OpacityStep.has_value());
    chkAlpha_Click();
    SelectListEntry(m_hwnd, IDC_cmbAlpha, c.OpacityStep.value_or(kDefaultOpacityStep));
}

SettingsChoices frmSettings::Choices() const {
    SettingsChoices c;
    const int entry = SelectedListEntry(m_hwnd, IDC_cmbInt);
    if (entry > 0 && static_cast<std::size_t>(entry) <= m_interfaceNames.size())
        c.Interface = m_interfaceNames[entry - 1];
    c.ShowGraph = IsItemChecked(m_hwnd, IDC_chkShowGraph);
    c.Startup = IsItemChecked(m_hwnd, IDC_chkStartup);
    for (const auto& button : kScaleButtons) {
        if (IsItemChecked(m_hwnd, button.id)) {
            c.Scale = button.option;
            break;
        }
    }
    c.Numerical = IsItemChecked(m_hwnd, IDC_chkNumerical);
    c.Gridlines = IsItemChecked(m_hwnd, IDC_chkGridlines);
    c.Border = IsItemChecked(m_hwnd, IDC_chkBorder);
    if (IsItemChecked(m_hwnd, IDC_chkAlpha))
        c.OpacityStep = SelectedListEntry(m_hwnd, IDC_cmbAlpha);
    return c;
}

void frmSettings::chkAlpha_Click() {
    EnableItem(m_hwnd, IDC_cmbAlpha, IsItemChecked(m_hwnd, IDC_chkAlpha));
}

// False when a setting could not be written.
bool frmSettings::Apply() {
    const bool saved = ApplySettingsChoices(Choices(), *m_links.NetStat, *m_links.NetGraph);
    m_links.ReloadMeter();
    return saved;
}

// The last thing a handler does: the program may end while the box is open, and this dialog with it.
void frmSettings::ReportUnsaved() {
    MessageBoxA(m_hwnd, "Some settings could not be saved.", kAppTitle, MB_OK | MB_ICONWARNING);
}

void frmSettings::cmdApply_Click() {
    if (!Apply())
        ReportUnsaved();
}

void frmSettings::cmdOk_Click() {
    // Stays open when a setting could not be saved: closing would say that every choice holds.
    if (Apply())
        UnloadForm();
    else
        ReportUnsaved();
}

void frmSettings::cmdCancel_Click() {
    UnloadForm();
}
