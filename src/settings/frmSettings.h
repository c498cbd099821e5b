#pragma once
#include "base/mMisc.h"
#include "settings/SettingsChoices.h"
#include "winsys/BaseDialog.h"

#include <windows.h>

#include <string>
#include <vector>

class frmMain;

// The settings dialog: the watched interface, the graph's scale and what it shows, the meter's border
// and translucency, showing the meter at start and starting with Windows. Modeless; changes reach
// the program only through Apply or Ok.
class frmSettings : public BaseDialog<frmSettings>, public ILoadedForm {
public:
    explicit frmSettings(frmMain& main);
    ~frmSettings();

    // Loads the dialog if it is not loaded; an open one comes to the front.
    void Show();
    void UnloadForm() override;

    INT_PTR HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    void chkAlpha_Click();
    void cmdApply_Click();
    void cmdOk_Click();
    void cmdCancel_Click();

private:
    void Form_Load();
    void Form_Unload();
    void ShowChoices(const SettingsChoices& choices);
    SettingsChoices Choices() const;
    bool Apply();
    void ReportUnsaved();

    frmMain& m_main;
    bool m_loaded = false;
    // The description behind each interface entry after "All Interfaces": what is stored.
    std::vector<std::string> m_interfaceNames;
};
