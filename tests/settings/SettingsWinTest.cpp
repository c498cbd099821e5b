// The settings dialog inside the live controller: opened from the tray, filled from the running objects
// and the stored settings, and applied to the sampler, the graph, the meter and the registry.
#include "app/frmMain.h"
#include "graph/cGraph.h"
#include "meter/frmMeter.h"
#include "net/NetSeamsWin32.h"
#include "net/cNetStatus.h"
#include "net/mNetStatus.h"
#include "resources/resource.h"
#include "settings/SystemServices.h"
#include "settings/frmSettings.h"
#include "support/DialogFit.h"
#include "support/WinTestUtil.h"
#include "winsys/SysTray.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

namespace {
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kQuoted[] = "\"C:\\Program Files\\Vantorel\\Vantorel.exe\"";

void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// What the dialog shows: caption, chosen interface, the ticked boxes and options by id, and the
// opacity chosen (negative while its list is disabled).
std::string Shown(HWND dialog) {
    char caption[64] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    std::string shown = std::string(caption) + "|" +
                        ListEntry(dialog, IDC_cmbInt, SelectedListEntry(dialog, IDC_cmbInt)) + "|";
    for (int id = IDC_chkShowGraph; id <= IDC_opScale288; ++id) {
        if (IsItemChecked(dialog, id))
            shown += std::to_string(id) + " ";
    }
    const int percent = (SelectedListEntry(dialog, IDC_cmbAlpha) + 1) * 5;
    return shown + std::to_string(IsWindowEnabled(GetDlgItem(dialog, IDC_cmbAlpha)) ? percent : -percent);
}
} // namespace

// One controller per process: it takes the program's single-instance mark for the rest of the run.
TEST(SettingsDialog, ReadsAppliesAndCancelsAgainstTheRunningProgram) {
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Vantorel");
    SetExecutablePath("C:\\Program Files\\Vantorel\\Vantorel.exe");
    UseSystemNetworkSeams();
    UseSystemServices();
    frmMain form;
    form.Load();
    const auto names = GetInterfaceNames();
    ASSERT_FALSE(names.empty());

    // A fresh start, opened by the tray's extra button: the defaults, and the first run's Run value ticked.
    form.SysTray1->MouseDown(8);
    HWND dialog = form.Settings()->Window();
    ASSERT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(ListCount(dialog, IDC_cmbInt), static_cast<int>(names.size()) + 1);
    // Show graph, start-up, border, gridlines, numerical values, auto scale; 70% and disabled.
    const std::string fresh = "Vantorel Settings|All Interfaces|1102 1103 1104 1107 1108 1109 -70";
    EXPECT_EQ(Shown(dialog), fresh);
    dialog_fit::ExpectControlsFit(dialog, "settings");
    const char* wide = "Intel(R) Ethernet Connection (7) I219-V - Packet Scheduler Miniport";
    AddListEntry(dialog, IDC_cmbInt, wide);
    FitDroppedWidth(dialog, IDC_cmbInt);
    EXPECT_GT(SendDlgItemMessageA(dialog, IDC_cmbInt, CB_GETDROPPEDWIDTH, 0, 0),
              dialog_fit::TextSize(GetDlgItem(dialog, IDC_cmbInt), wide).cx + GetSystemMetrics(SM_CXVSCROLL));
    form.mnuSettings_Click();
    EXPECT_EQ(form.Settings()->Window(), dialog) << "one window, brought to the front";

    // Cancel after changes writes nothing and changes nothing: the next opening shows the same; Esc
    // closes it like Cancel.
    const HWND meter = form.Meter()->Window();
    for (int id : {IDC_chkAlpha, IDC_chkStartup, IDC_opScale56, IDC_chkGridlines, IDC_chkBorder})
        Click(dialog, id);
    SelectListEntry(dialog, IDC_cmbInt, 1);
    Click(dialog, IDC_cmdCancel);
    EXPECT_FALSE(IsWindow(dialog) || form.SettingsVisible);
    EXPECT_EQ(ReadValue(kRunKey, "Vantorel"), kQuoted);
    EXPECT_EQ(form.Meter()->Window(), meter);
    form.mnuSettings_Click();
    dialog = form.Settings()->Window();
    EXPECT_EQ(Shown(dialog), fresh);
    PostMessageA(GetDlgItem(dialog, IDC_chkBorder), WM_KEYDOWN, VK_ESCAPE, 0);
    PumpFor(50);
    EXPECT_FALSE(IsWindow(dialog));

    // Each opening reads stored values (a Run value of another type counts) and the live objects again.
    WriteValue("Software\\Vantorel\\Graph", "Alpha", "75");
    const DWORD one = 1;
    RegSetKeyValueA(HKEY_CURRENT_USER, kRunKey, "Vantorel", REG_DWORD, &one, sizeof one);
    form.NetGraph->SetAutoScale(false);
    form.NetGraph->SetScaleValue(1024000);
    form.NetStat->SetInterface(names.back());
    form.mnuSettings_Click();
    dialog = form.Settings()->Window();
    // As before, with translucency at 75% and the 1000kb/s scale.
    EXPECT_EQ(Shown(dialog), "Vantorel Settings|" + names.back() + "|1102 1103 1104 1105 1107 1108 1110 75");

    // Apply reaches sampler, graph and registry, and reopens the meter at the chosen opacity.
    SelectListEntry(dialog, IDC_cmbInt, 1);
    SelectListEntry(dialog, IDC_cmbAlpha, 9);
    for (int id : {IDC_opScale56, IDC_chkStartup, IDC_chkGridlines, IDC_cmdApply})
        Click(dialog, id);
    ASSERT_TRUE(form.MeterVisible);
    BYTE alpha = 0;
    EXPECT_TRUE(form.Meter()->Window() != meter &&
                GetLayeredWindowAttributes(form.Meter()->Window(), nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(form.NetStat->Interface(), names[0]);
    EXPECT_EQ(form.NetGraph->ScaleValue(), 8806);
    EXPECT_FALSE(form.NetGraph->AutoScale() || form.NetGraph->ShowGrid());
    EXPECT_EQ(ReadValue(kRunKey, "Vantorel"), "<missing>");
    Click(dialog, IDC_chkStartup);
    Click(dialog, IDC_cmdOk);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(ReadValue(kRunKey, "Vantorel"), kQuoted);

    // With the meter hidden Apply leaves it hidden.
    form.mnuShow_Click();
    form.mnuSettings_Click();
    Click(form.Settings()->Window(), IDC_cmdApply);
    EXPECT_FALSE(form.MeterVisible);
    form.mnuExit_Click();
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Vantorel");
}
