#pragma once
#include "base/mMisc.h"
#include "settings/SettingsChoices.h"
#include "winsys/BaseDialog.h"

#include "resources/resource.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

class cGraph;
class cNetStatus;

// What the settings dialog works on: the sampler and the graph it reads and changes, and the
// commands it gives when choices are applied and when it opens or closes.
struct SettingsLinks {
    std::unique_ptr<cNetStatus>& NetStat;
    std::unique_ptr<cGraph>& NetGraph;
    // The meter takes up border and translucency only when it loads.
    std::function<void()> ReloadMeter;
    std::function<void(bool)> LoadedChanged;
};

// The settings dialog: the watched interface, the graph's scale and what it shows, the meter's border
// and translucency, showing the meter at start and starting with Windows. Modeless; changes reach
// the program only through Apply or Ok.
class frmSettings : public ModelessDialog<frmSettings> {
public:
    static constexpr char kName[] = "frmSettings";
    static constexpr int kTemplate = IDD_frmSettings;
    static constexpr int kOkId = IDC_cmdOk;
    static constexpr int kCancelId = IDC_cmdCancel;

    explicit frmSettings(SettingsLinks links);
    ~frmSettings();

    static std::span<const DialogCommand<frmSettings>> Commands();

    void chkAlpha_Click();
    void cmdApply_Click();
    void cmdOk_Click();
    void cmdCancel_Click();

private:
    friend class ModelessDialog<frmSettings>;
    void Form_Load();
    void ShowChoices(const SettingsChoices& choices);
    SettingsChoices Choices() const;
    bool Apply();
    void ReportUnsaved();

    SettingsLinks m_links;
    // The description behind each interface entry after "All Interfaces": what is stored.
    std::vector<std::string> m_interfaceNames;
};
