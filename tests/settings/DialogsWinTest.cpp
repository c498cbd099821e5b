// The dialogs inside the live controller: opened the ways a user opens them, driven through their real
// controls and the system's own colour, open-file and text-input boxes, applied to the running objects
// and closed with the rest of the program. CTest runs them at 96, 144 and 192 DPI.
#include "app/frmMain.h"
#include "graph/PictureBox.h"
#include "graph/cGraph.h"
#include "meter/frmMeter.h"
#include "net/cNetStatus.h"
#include "net/mNetStatus.h"
#include "resources/resource.h"
#include "settings/frmSettings.h"
#include "stats/frmStatistics.h"
#include "support/DialogTestUtil.h"
#include "support/WinTestUtil.h"
#include "themes/frmTheme.h"
#include "winsys/SysTray.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <colordlg.h>
#include <dlgs.h>

#include <memory>

namespace {
const char kMine[] = "Software\\Vantorel\\Themes\\Mine";
const int32_t kMagenta = RGB(255, 0, 255);

// The boxes and options of the settings dialog that are ticked.
std::vector<int> Ticked(HWND dialog) {
    std::vector<int> ticked;
    for (int id = IDC_chkShowGraph; id <= IDC_opScale288; ++id)
        if (IsItemChecked(dialog, id))
            ticked.push_back(id);
    return ticked;
}

std::vector<std::string> Fields(HWND dialog) {
    std::vector<std::string> texts;
    for (int id = IDC_txtTotalIn; id <= IDC_txtMaxTotal; ++id)
        texts.push_back(ItemText(dialog, id));
    return texts;
}

void Choose(HWND dialog, int id, int index) {
    SelectListEntry(dialog, id, index);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The first pixel of `colour` on a picture box, or (-1, -1).
POINT Find(const PictureBox& picture, int32_t colour) {
    RECT r{};
    GetClientRect(picture.Window(), &r);
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x)
            if (picture.Point(x, y) == colour)
                return {x, y};
    return {-1, -1};
}

// Answers the text-input box of Save As with `name` and the key that closes it.
void SaveAs(HWND dialog, const char* name, WPARAM key) {
    ClickAndAnswer(dialog, IDC_cmdSave, [&](HWND box) {
        ExpectControlsFit(box, "text-input box");
        SetDlgItemTextA(box, IDC_txtInput, name);
        PostMessageA(GetDlgItem(box, IDC_txtInput), WM_KEYDOWN, key, 0); // as the keyboard delivers it
    });
}

// One controller for the whole program, started as on a first run: it takes the program's
// single-instance mark for the rest of the run. The tests below use it in any order, each leaving the
// meter shown; the end of the suite ends it.
class LiveController : public testing::Test {
protected:
    static void SetUpTestSuite() {
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Vantorel");
        s_exe = UseTheSystem();
        s_form = std::make_unique<frmMain>();
        s_form->Load();
    }
    // Exit while a box of the theme editor is open closes everything, the statistics window too; the
    // editor's call returns safely. Last, whatever order the tests ran in.
    static void TearDownTestSuite() {
        frmMain& form = *s_form;
        form.mnuStatistics_Click();
        form.mnuThemeCustom_Click();
        const HWND again = form.Theme()->Window();
        const HWND stats = form.Statistics()->Window();
        EXPECT_TRUE(ClickAndAnswer(again, IDC_cmdChange, [&](HWND) { form.mnuExit_Click(); }));
        EXPECT_FALSE(IsWindow(again));
        EXPECT_FALSE(IsWindow(stats));
        EXPECT_FALSE(form.StatisticsVisible);
        s_form.reset();
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Vantorel");
    }

    static inline std::unique_ptr<frmMain> s_form;
    static inline std::string s_exe;
    frmMain& form = *s_form;
};
} // namespace

TEST_F(LiveController, TheSettingsDialogReadsAppliesAndCancels) {
    const auto names = GetInterfaceNames();
    ASSERT_FALSE(names.empty());

    // A fresh start, opened by the tray's extra button.
    form.SysTray1->MouseDown(8);
    HWND dialog = form.Settings()->Window();
    ASSERT_TRUE(IsWindowVisible(dialog));
    ExpectControlsFit(dialog, "settings");
    form.mnuSettings_Click();
    EXPECT_EQ(form.Settings()->Window(), dialog) << "one window, brought to the front";

    // Cancel after changes writes nothing and changes nothing: the next opening shows the defaults of a
    // fresh start (the first run's Run value too).
    const HWND meter = form.Meter()->Window();
    for (int id : {IDC_chkAlpha, IDC_chkStartup, IDC_opScale56, IDC_chkGridlines, IDC_chkBorder})
        Click(dialog, id);
    SelectListEntry(dialog, IDC_cmbInt, 1);
    Click(dialog, IDC_cmdCancel);
    EXPECT_EQ(form.Meter()->Window(), meter);
    form.mnuSettings_Click();
    dialog = form.Settings()->Window();
    // The interfaces follow "All Interfaces" (Apply below picks the first).
    EXPECT_EQ(ListEntry(dialog, IDC_cmbInt, SelectedListEntry(dialog, IDC_cmbInt)), "All Interfaces");
    EXPECT_EQ(Ticked(dialog), (std::vector<int>{IDC_chkShowGraph, IDC_chkStartup, IDC_chkBorder,
                                                IDC_chkGridlines, IDC_chkNumerical, IDC_opScaleAuto}));
    EXPECT_EQ(ListEntry(dialog, IDC_cmbAlpha, SelectedListEntry(dialog, IDC_cmbAlpha)), "70%");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_cmbAlpha)));

    // Apply reaches sampler, graph and registry, and reopens the meter at the chosen opacity.
    SelectListEntry(dialog, IDC_cmbInt, 1);
    Click(dialog, IDC_chkAlpha);
    SelectListEntry(dialog, IDC_cmbAlpha, 9);
    for (int id : {IDC_opScale56, IDC_chkStartup, IDC_chkGridlines, IDC_cmdApply})
        Click(dialog, id);
    ASSERT_TRUE(form.MeterVisible);
    BYTE alpha = 0;
    EXPECT_NE(form.Meter()->Window(), meter);
    EXPECT_TRUE(GetLayeredWindowAttributes(form.Meter()->Window(), nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(form.NetStat->Interface(), names[0]);
    EXPECT_EQ(form.NetGraph->ScaleValue(), 8806);
    EXPECT_FALSE(form.NetGraph->AutoScale());
    EXPECT_FALSE(form.NetGraph->ShowGrid());
    Click(dialog, IDC_chkStartup); // unticked by Apply above, ticked again by OK
    Click(dialog, IDC_cmdOk);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(ReadValue(kRunKey, "Vantorel"), "\"" + s_exe + "\"");

    // With the meter hidden Apply leaves it hidden (the gridlines go back on for the theme editor), and an
    // interface that is away for now (a VPN down) stays watched. Its long name fits the opened list.
    form.mnuShow_Click();
    const char* away = "Intel(R) Ethernet Connection (7) I219-V - Packet Scheduler Miniport";
    form.NetStat->SetInterface(away);
    form.mnuSettings_Click();
    dialog = form.Settings()->Window();
    EXPECT_GT(SendDlgItemMessageA(dialog, IDC_cmbInt, CB_GETDROPPEDWIDTH, 0, 0),
              TextExtent(GetDlgItem(dialog, IDC_cmbInt), away).cx + GetSystemMetrics(SM_CXVSCROLL));
    for (int id : {IDC_chkGridlines, IDC_cmdApply, IDC_cmdCancel})
        Click(dialog, id);
    EXPECT_FALSE(form.MeterVisible);
    EXPECT_EQ(form.NetStat->Interface(), away);
    form.NetStat->SetInterface(names[0]);
    form.mnuShow_Click();
}

TEST_F(LiveController, TheStatisticsWindowShowsPausesResetsAndKeepsItsFieldsInside) {
    ASSERT_TRUE(form.MeterVisible);
    // The tray's middle button opens it; the menu entry and the meter's middle click find the same window.
    form.SysTray1->MouseDown(4);
    const HWND dialog = form.Statistics()->Window();
    ASSERT_TRUE(IsWindowVisible(dialog));
    SendMessageA(form.Window(), WM_COMMAND, MainMenu::mnuStatistics, 0);
    form.Meter()->Picture1_MouseDown(4, 0, 0, 0);
    EXPECT_EQ(form.Statistics()->Window(), dialog);

    // Samples reach the fields; a reset starts the figures from the next sample.
    Click(dialog, IDC_cmdReset);
    EXPECT_EQ(Fields(dialog), std::vector<std::string>(12, "0"));
    form.NetStat_Status(1000, 24);
    EXPECT_EQ(Fields(dialog),
              (std::vector<std::string>{"1000 b", "24 b", "1024 b", "1000 b/s", "24 b/s", "1024 b/s",
                                        "1000 b/s", "24 b/s", "512 b/s", "1000 b/s", "24 b/s", "1024 b/s"}));

    // Paused, the fields keep still, also for a new unit, while the statistics go on; un-pausing shows
    // them at once (2 kb/s: the sample taken while paused).
    Click(dialog, IDC_chkPause);
    form.NetStat_Status(2048, 0);
    Click(dialog, IDC_optKb);
    EXPECT_EQ(ItemText(dialog, IDC_txtCurrentIn), "1000 b/s");
    Click(dialog, IDC_chkPause);
    EXPECT_EQ(ItemText(dialog, IDC_txtCurrentIn), "2 kb/s");

    // Always on top (back again is the same call); the meter stays above other windows.
    Click(dialog, IDC_chkOnTop);
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongA(form.Meter()->Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);

    // The widest figure a user meets fits its field, and nothing of the window is cut.
    SetItemText(dialog, IDC_txtMaxTotal, "1234567.89 mb/s");
    ExpectControlsFit(dialog, "statistics");

    // Esc, as the keyboard delivers it, closes it like Close.
    PostMessageA(GetDlgItem(dialog, IDC_optKb), WM_KEYDOWN, VK_ESCAPE, 0);
    PumpFor(50);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_FALSE(form.StatisticsVisible);

    // Opened again (a new window, loaded as the first), it stays open for the program's exit.
    form.mnuStatistics_Click();
}

TEST_F(LiveController, TheThemeEditorPicksEditsSavesAppliesDeletesAndCancels) {
    // "Customize..." opens the editor showing the meter's look as "Current Settings".
    SendMessageA(form.Window(), WM_COMMAND, MainMenu::mnuThemeCustom, 0);
    frmTheme& editor = *form.Theme();
    const HWND dialog = editor.Window();
    ASSERT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(ListEntry(dialog, IDC_cmbTheme, SelectedListEntry(dialog, IDC_cmbTheme)), "Current Settings");
    EXPECT_EQ(editor.picSample()->Point(2, 2), form.NetGraph->BackColor);
    ExpectControlsFit(dialog, "theme editor");

    // Task Manager: black, green grid, tiled.
    Choose(dialog, IDC_cmbTheme, 2);
    EXPECT_TRUE(IsItemChecked(dialog, IDC_optTile));

    // A click on a grid pixel picks "Grid Color": a colour from the colour dialog shows there at once.
    const POINT grid = Find(*editor.picSample(), 0x006000);
    SendMessageA(editor.picSample()->Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grid.x, grid.y));
    ClickAndAnswer(dialog, IDC_cmdChange, [](HWND colours) {
        SetDlgItemInt(colours, COLOR_RED, 255, FALSE);
        SetDlgItemInt(colours, COLOR_BLUE, 255, FALSE);
        Click(colours, IDOK);
    });
    EXPECT_EQ(editor.picSample()->Point(grid.x, grid.y), kMagenta);
    EXPECT_EQ(SelectedListEntry(dialog, IDC_cmbTheme), 0);

    // Save As lists the theme (Esc in the box saves nothing); only Apply writes it, to the meter too.
    SaveAs(dialog, "Never", VK_ESCAPE);
    SaveAs(dialog, "Mine", VK_RETURN);
    ASSERT_EQ(ListCount(dialog, IDC_cmbTheme), 6);
    EXPECT_EQ(ReadValue(kMine, "ChartColor"), "<missing>");
    Choose(dialog, IDC_cmbTheme, 5); // a saved theme: Delete is enabled, as its click below shows
    Click(dialog, IDC_cmdApply);
    EXPECT_GE(Find(*form.Meter()->Picture1(), kMagenta).x, 0) << "the meter is redrawn";
    EXPECT_EQ(ReadValue(kMine, "ChartColor"), std::to_string(kMagenta));
    EXPECT_EQ(ReadValue("Software\\Vantorel\\Graph", "ChartColor"), std::to_string(kMagenta))
        << "the meter's look is stored at Apply, not only at Exit";

    // Delete, then Cancel: the registry keeps what Apply wrote, so the next opening lists the theme.
    Click(dialog, IDC_cmdDel);
    EXPECT_EQ(ListCount(dialog, IDC_cmbTheme), 5);
    Click(dialog, IDC_cmdCancel);

    // Opened again it lists the saved theme.
    form.mnuThemeCustom_Click();
    const HWND again = form.Theme()->Window();
    EXPECT_EQ(ListEntry(again, IDC_cmbTheme, 5), "Mine");
    const std::string picture = WinePath(VANTOREL_PICTURE);
    char before[MAX_PATH] = {}, after[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, before);
    ClickAndAnswer(again, IDC_cmdBrowse, [&](HWND files) {
        HWND name = GetDlgItem(files, edt1);
        SetWindowTextA(name ? name : GetDlgItem(files, cmb13), picture.c_str());
        Click(files, IDOK);
    });
    EXPECT_EQ(ItemText(again, IDC_txtBackground), picture);
    GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_STREQ(after, before) << "choosing a picture never makes its folder the current directory";
}
