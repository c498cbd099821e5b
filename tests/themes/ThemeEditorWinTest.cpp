// The theme editor inside the live controller, driven through its real controls and answered through
// the system's own colour and open-file dialogs and the text-input box.
#include "app/frmMain.h"
#include "graph/PictureBox.h"
#include "graph/cGraph.h"
#include "meter/frmMeter.h"
#include "net/NetSeamsWin32.h"
#include "resources/resource.h"
#include "settings/SystemServices.h"
#include "support/DialogFit.h"
#include "support/ModalAnswer.h"
#include "support/WinTestUtil.h"
#include "themes/frmTheme.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <colordlg.h>
#include <dlgs.h>

#include <string>

namespace {
const char kMine[] = "Software\\Vantorel\\Themes\\Mine";
const int32_t kMagenta = RGB(255, 0, 255);

void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void Choose(HWND dialog, int id, int index) {
    SelectListEntry(dialog, id, index);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
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
    ModalAnswer answer(dialog, [&](HWND box) {
        dialog_fit::ExpectControlsFit(box, "text-input box");
        SetDlgItemTextA(box, IDC_txtInput, name);
        PostMessageA(GetDlgItem(box, IDC_txtInput), WM_KEYDOWN, key, 0); // as the keyboard delivers it
    });
    Click(dialog, IDC_cmdSave);
}
} // namespace

// One controller per process: it takes the program's single-instance mark for the rest of the run.
TEST(ThemeEditor, PicksEditsSavesAppliesDeletesAndCancels) {
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
    WriteValue("Software\\Vantorel\\Settings", "FirstRun", "0");
    UseSystemNetworkSeams();
    UseSystemServices();
    frmMain form;
    form.Load();

    // "Customize..." opens one window showing the meter's look as "Current Settings".
    SendMessageA(form.Window(), WM_COMMAND, MainMenu::mnuThemeCustom, 0);
    frmTheme& editor = *form.Theme();
    const HWND dialog = editor.Window();
    ASSERT_TRUE(IsWindowVisible(dialog));
    form.mnuThemeCustom_Click();
    EXPECT_EQ(form.Theme()->Window(), dialog);
    EXPECT_TRUE(form.ThemesVisible);
    EXPECT_EQ(ListCount(dialog, IDC_cmbTheme), 5);
    EXPECT_EQ(ListEntry(dialog, IDC_cmbTheme, SelectedListEntry(dialog, IDC_cmbTheme)), "Current Settings");
    EXPECT_EQ(editor.picSample()->Point(2, 2), form.NetGraph->BackColor);
    EXPECT_TRUE(Enabled(dialog, IDC_cmdSave) && !Enabled(dialog, IDC_cmdDel));
    dialog_fit::ExpectControlsFit(dialog, "theme editor");

    // Task Manager: black, green grid, tiled; neither Save As nor Delete.
    Choose(dialog, IDC_cmbTheme, 2);
    EXPECT_EQ(editor.Sample()->BackColor, 0);
    EXPECT_TRUE(IsItemChecked(dialog, IDC_optTile));
    EXPECT_FALSE(Enabled(dialog, IDC_cmdSave) || Enabled(dialog, IDC_cmdDel));

    // A click on a grid pixel picks "Grid Color"; a colour from the colour dialog shows at once.
    const POINT grid = Find(*editor.picSample(), 0x006000);
    SendMessageA(editor.picSample()->Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grid.x, grid.y));
    EXPECT_EQ(ListEntry(dialog, IDC_cmbProperty, SelectedListEntry(dialog, IDC_cmbProperty)), "Grid Color");
    {
        ModalAnswer answer(dialog, [](HWND colours) {
            SetDlgItemInt(colours, COLOR_RED, 255, FALSE);
            SetDlgItemInt(colours, COLOR_BLUE, 255, FALSE);
            ModalAnswer::Click(colours, COLOR_ADD);
            ModalAnswer::Click(colours, IDOK);
        });
        Click(dialog, IDC_cmdChange);
    }
    EXPECT_EQ(editor.picSample()->Point(grid.x, grid.y), kMagenta);
    // The next colour dialog keeps it among the custom colours: black, then the first custom colour.
    {
        ModalAnswer answer(dialog, [](HWND colours) {
            SetDlgItemInt(colours, COLOR_RED, 0, FALSE);
            SetDlgItemInt(colours, COLOR_BLUE, 0, FALSE);
            RECT box{};
            GetWindowRect(GetDlgItem(colours, COLOR_CUSTOM1), &box);
            MapWindowPoints(nullptr, colours, reinterpret_cast<POINT*>(&box), 2);
            SendMessageA(colours, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.left + 4, box.top + 4));
            ModalAnswer::Click(colours, IDOK);
        });
        Click(dialog, IDC_cmdChange);
    }
    EXPECT_EQ(editor.picSample()->Point(grid.x, grid.y), kMagenta);
    EXPECT_EQ(SelectedListEntry(dialog, IDC_cmbTheme), 0);

    // Save As lists the theme (Esc in the box saves nothing); only Apply writes it, to the meter too.
    SaveAs(dialog, "Never", VK_ESCAPE);
    SaveAs(dialog, "Mine", VK_RETURN);
    ASSERT_EQ(ListCount(dialog, IDC_cmbTheme), 6);
    EXPECT_EQ(ReadValue(kMine, "ChartColor"), "<missing>");
    Choose(dialog, IDC_cmbTheme, 5);
    EXPECT_TRUE(Enabled(dialog, IDC_cmdDel) && !Enabled(dialog, IDC_cmdSave));
    Click(dialog, IDC_cmdApply);
    EXPECT_GE(Find(*form.Meter()->Picture1(), kMagenta).x, 0) << "the meter is redrawn";
    EXPECT_EQ(ReadValue(kMine, "ChartColor"), std::to_string(kMagenta));

    // Delete, then Cancel: the registry keeps what Apply wrote.
    Click(dialog, IDC_cmdDel);
    EXPECT_EQ(ListCount(dialog, IDC_cmbTheme), 5);
    Click(dialog, IDC_cmdCancel);
    EXPECT_FALSE(IsWindow(dialog) || form.ThemesVisible);
    EXPECT_NE(ReadValue(kMine, "ChartColor"), "<missing>");

    // Opened again it lists the saved theme. Exit while the colour dialog is open closes everything; the
    // editor's call returns safely.
    form.mnuThemeCustom_Click();
    const HWND again = form.Theme()->Window();
    EXPECT_EQ(ListEntry(again, IDC_cmbTheme, 5), "Mine");
    const std::string picture = WinePath(VANTOREL_PICTURE);
    {
        ModalAnswer open(again, [&](HWND files) {
            HWND name = GetDlgItem(files, edt1);
            SetWindowTextA(name ? name : GetDlgItem(files, cmb13), picture.c_str());
            ModalAnswer::Click(files, IDOK);
        });
        Click(again, IDC_cmdBrowse);
    }
    EXPECT_EQ(ItemText(again, IDC_txtBackground), picture);
    ModalAnswer exit(again, [&](HWND) { form.mnuExit_Click(); });
    Click(again, IDC_cmdChange);
    EXPECT_TRUE(exit.Answered());
    EXPECT_FALSE(IsWindow(again) || form.ThemesVisible);
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
}
