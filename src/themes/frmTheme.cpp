#include "themes/frmTheme.h"
#include "app/frmMain.h"
#include "base/AppInfo.h"
#include "base/mLogging.h"
#include "graph/PictureBox.h"
#include "graph/cGraph.h"
#include "resources/resource.h"
#include "themes/ThemeEditorRules.h"
#include "themes/cGraphTheme.h"
#include "winsys/InputBox.h"

#include <string>

namespace {
constexpr char kPictureFilter[] = "Pictures (*.bmp;*.ico;*.jpg;*.gif)|*.bmp;*.ico;*.jpg;*.gif";
} // namespace

frmTheme::frmTheme(frmMain& main) : m_main(main) {}

frmTheme::~frmTheme() {
    UnloadForm();
}

void frmTheme::Show() {
    if (m_loaded) {
        BringToFront(m_hwnd);
        return;
    }
    if (!CreateModeless(IDD_frmTheme))
        return;
    ShowWindow(m_hwnd, SW_SHOW);
    SetForegroundWindow(m_hwnd);
}

void frmTheme::Form_Load() {
    m_loaded = true;
    RegisterLoadedForm(this);
    WriteLog("frmTheme_Load");
    SetWindowTextA(m_hwnd, (std::string(kAppTitle) + " Visual Themes").c_str());
    m_main.ThemesVisible = true;

    m_sample = std::make_unique<cGraph>();
    CreateSampleSurface();
    RECT surface{};
    GetClientRect(m_picSample->Window(), &surface);
    AddSampleData(*m_sample, surface.right);
    m_sample->SetPicture(m_picSample.get());

    for (const ThemeProperty& property : ThemeProperties())
        AddListEntry(m_hwnd, IDC_cmbProperty, property.Text, property.Code);
    SelectListEntry(m_hwnd, IDC_cmbProperty, 0);
    cmbProperty_Click();

    m_themes = std::make_unique<cGraphTheme>();
    m_themes->RegistryRead();
    FillThemeList();
    if (m_main.NetGraph)
        CopyLook(*m_main.NetGraph, *m_sample);
    SelectCurrentSettings();
    DrawSample(true, false);
}

// The sample's surface takes the place the template marks for it, with a sunken edge.
void frmTheme::CreateSampleSurface() {
    HWND mark = GetDlgItem(m_hwnd, IDC_picSample);
    RECT place{};
    GetWindowRect(mark, &place);
    MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&place), 2);
    DestroyWindow(mark);

    m_picSample = std::make_unique<PictureBox>();
    m_picSample->Create(m_hwnd, place.left, place.top, place.right - place.left, place.bottom - place.top);
    HWND picture = m_picSample->Window();
    SetWindowLongPtrA(picture, GWLP_ID, IDC_picSample);
    SetWindowLongPtrA(picture, GWL_EXSTYLE, GetWindowLongPtrA(picture, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    // Above the frame around it, which would otherwise clip it away entirely.
    SetWindowPos(picture, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    m_picSample->MouseDown = [this](int button, int shift, int x, int y) {
        picSample_MouseDown(button, shift, x, y);
    };
}

void frmTheme::UnloadForm() {
    if (!m_loaded)
        return;
    m_loaded = false;
    Form_Unload();
    UnregisterLoadedForm(this);
    if (m_hwnd)
        DestroyWindow(m_hwnd);
    m_picSample.reset();
    if (m_swatch)
        DeleteObject(m_swatch);
    m_swatch = nullptr;
}

void frmTheme::Form_Unload() {
    WriteLog("frmTheme_Unload");
    m_themes.reset();
    m_sample.reset();
    m_main.ThemesVisible = false;
}

void frmTheme::DrawSample(bool data, bool forceBackground) {
    m_sample->DrawGraph(data, forceBackground);
}

void frmTheme::FillThemeList() {
    ClearList(m_hwnd, IDC_cmbTheme);
    AddListEntry(m_hwnd, IDC_cmbTheme, kCurrentSettings);
    for (const std::string& name : m_themes->EnumThemes())
        AddListEntry(m_hwnd, IDC_cmbTheme, name);
}

// Every edit makes the edited look the one shown: Save As becomes available, Delete does not.
void frmTheme::SelectCurrentSettings() {
    SelectListEntry(m_hwnd, IDC_cmbTheme, 0);
    cmbTheme_Click();
}

void frmTheme::cmbTheme_Click() {
    const int index = SelectedListEntry(m_hwnd, IDC_cmbTheme);
    if (index < 0)
        return;
    // The first entry is the look being edited: a custom theme that happens to share its name must
    // not undo every edit.
    const bool current = index == 0;
    const std::string name = ListEntry(m_hwnd, IDC_cmbTheme, index);
    if (!current)
        m_themes->ApplyTheme(name, *m_sample);

    m_syncing = true;
    cmbProperty_Click();
    SetItemChecked(m_hwnd, IDC_chkFill, m_sample->FillUnderGraph);
    CheckRadioButton(m_hwnd, IDC_optTile, IDC_optStretch,
                     m_sample->StretchBackground ? IDC_optStretch : IDC_optTile);
    SetItemText(m_hwnd, IDC_txtBackground, m_sample->BackgroundPicture());
    DrawSample(true, true);
    const ThemeButtons buttons = ThemeButtonStates(current, m_themes->CanDelete(name));
    EnableButton(IDC_cmdDel, buttons.Delete);
    EnableButton(IDC_cmdSave, buttons.Save);
    m_syncing = false;
}

// A button that loses its enabled state while it has the focus hands the focus on, so that the
// keyboard keeps working.
void frmTheme::EnableButton(int id, bool enabled) {
    HWND button = GetDlgItem(m_hwnd, id);
    if (!enabled && GetFocus() == button)
        SendMessageA(m_hwnd, WM_NEXTDLGCTL, 0, FALSE);
    EnableItem(m_hwnd, id, enabled);
}

int32_t frmTheme::SelectedCode() const {
    const int index = SelectedListEntry(m_hwnd, IDC_cmbProperty);
    return index < 0 ? 0 : static_cast<int32_t>(ListData(m_hwnd, IDC_cmbProperty, index));
}

void frmTheme::cmbProperty_Click() {
    if (const int32_t* colour = PropertyColor(*m_sample, SelectedCode()))
        PaintSwatch(*colour);
}

void frmTheme::PaintSwatch(int32_t colour) {
    if (m_swatch)
        DeleteObject(m_swatch);
    m_swatch = CreateSolidBrush(static_cast<COLORREF>(colour) & 0xFFFFFF);
    InvalidateRect(GetDlgItem(m_hwnd, IDC_Picture1), nullptr, TRUE);
}

void frmTheme::SelectProperty(int32_t code) {
    for (int i = 0; i < ListCount(m_hwnd, IDC_cmbProperty); ++i) {
        if (ListData(m_hwnd, IDC_cmbProperty, i) == code) {
            SelectListEntry(m_hwnd, IDC_cmbProperty, i);
            cmbProperty_Click();
            return;
        }
    }
}

void frmTheme::cmdChange_Click() {
    ChooseColorArgs args{.Color = m_picSample->BackColor(), .AnyColor = true, .Owner = HandleToLong(m_hwnd)};
    const bool chosen = m_commonDialog.VBChooseColor(args);
    if (!m_loaded)
        return; // the program was closed while the dialog was open
    if (chosen) {
        PaintSwatch(args.Color);
        if (int32_t* field = PropertyColor(*m_sample, SelectedCode()))
            *field = args.Color;
        DrawSample(true, false);
    }
    SelectCurrentSettings();
}

void frmTheme::Picture1_Click() {
    cmdChange_Click();
}

void frmTheme::picSample_MouseDown(int, int, int x, int y) {
    const int32_t colour = m_picSample->Point(x, y);
    if (colour < 0)
        return;
    if (const int32_t code = PropertyAt(*m_sample, colour))
        SelectProperty(code);
}

void frmTheme::chkFill_Click() {
    if (m_syncing)
        return;
    m_sample->FillUnderGraph = IsItemChecked(m_hwnd, IDC_chkFill);
    DrawSample(true, false);
    SelectCurrentSettings();
}

void frmTheme::optStretch_Click() {
    SetStretch(true);
}

void frmTheme::optTile_Click() {
    SetStretch(false);
}

void frmTheme::SetStretch(bool stretch) {
    if (m_syncing)
        return;
    m_sample->StretchBackground = stretch;
    DrawSample(true, true);
    SelectCurrentSettings();
}

void frmTheme::cmdBrowse_Click() {
    OpenFileArgs args{.FileMustExist = true,
                      .HideReadOnly = true,
                      .Filter = kPictureFilter,
                      .FilterIndex = 1,
                      .Owner = HandleToLong(m_hwnd)};
    const bool chosen = m_commonDialog.VBGetOpenFileName(args);
    if (!m_loaded || !chosen)
        return;
    SetItemText(m_hwnd, IDC_txtBackground, args.Filename);
    m_sample->SetBackgroundPicture(args.Filename);
    DrawSample(true, true);
    SelectCurrentSettings();
}

void frmTheme::cmdClear_Click() {
    SetItemText(m_hwnd, IDC_txtBackground, "");
    m_sample->SetBackgroundPicture("");
    DrawSample(true, true);
    SelectCurrentSettings();
}

void frmTheme::cmdSave_Click() {
    const std::string name =
        InputBox(m_hwnd, "Please enter a name for this theme:", kAppTitle, "My New Custom Theme");
    if (!m_loaded || name.empty())
        return;
    // A built-in, read-only or unstorable name simply saves nothing.
    m_themes->SaveTheme(name, *m_sample);
    FillThemeList();
    SelectCurrentSettings();
    m_main.PopulateThemeList();
}

void frmTheme::cmdDel_Click() {
    const int index = SelectedListEntry(m_hwnd, IDC_cmbTheme);
    if (index < 1)
        return;
    m_themes->DeleteTheme(ListEntry(m_hwnd, IDC_cmbTheme, index));
    FillThemeList();
    SelectCurrentSettings();
    m_main.PopulateThemeList();
}

// False when the themes could not be written; the user has been told.
bool frmTheme::Apply() {
    if (m_main.NetGraph)
        CopyLook(*m_sample, *m_main.NetGraph);
    // The look the user confirmed is stored now, as the themes are.
    const bool lookSaved = m_main.SaveGraphSettings("frmTheme_Apply");
    const bool saved = m_themes->RegistrySave() && lookSaved;
    if (m_main.NetGraph)
        m_main.NetGraph->DrawGraph(true, true);
    if (!saved)
        MessageBoxA(m_hwnd, "The themes could not be saved.", kAppTitle, MB_OK | MB_ICONWARNING);
    return saved;
}

void frmTheme::cmdApply_Click() {
    Apply();
}

void frmTheme::cmdOk_Click() {
    // Stays open when the themes could not be saved, so that they are not lost with the window.
    if (Apply() && m_loaded)
        UnloadForm();
}

void frmTheme::cmdCancel_Click() {
    UnloadForm();
}

INT_PTR frmTheme::HandleMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        Form_Load();
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (m_swatch && reinterpret_cast<HWND>(lParam) == GetDlgItem(m_hwnd, IDC_Picture1))
            return reinterpret_cast<INT_PTR>(m_swatch);
        return FALSE;
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            if (LOWORD(wParam) == IDC_cmbTheme)
                cmbTheme_Click();
            else if (LOWORD(wParam) == IDC_cmbProperty)
                cmbProperty_Click();
            return TRUE;
        }
        // Button clicks, and the swatch's (STN_CLICKED has the same code).
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_chkFill:
            chkFill_Click();
            return TRUE;
        case IDC_optStretch:
            optStretch_Click();
            return TRUE;
        case IDC_optTile:
            optTile_Click();
            return TRUE;
        case IDC_cmdChange:
            cmdChange_Click();
            return TRUE;
        case IDC_Picture1:
            Picture1_Click();
            return TRUE;
        case IDC_cmdBrowse:
            cmdBrowse_Click();
            return TRUE;
        case IDC_cmdClear:
            cmdClear_Click();
            return TRUE;
        case IDC_cmdSave:
            cmdSave_Click();
            return TRUE;
        case IDC_cmdDel:
            cmdDel_Click();
            return TRUE;
        case IDC_cmdApply:
            cmdApply_Click();
            return TRUE;
        case IDC_cmdOk:
        case IDOK: // Enter
            cmdOk_Click();
            return TRUE;
        case IDC_cmdCancel:
        case IDCANCEL: // Esc and the close box
            cmdCancel_Click();
            return TRUE;
        default:
            return FALSE;
        }
    case WM_CLOSE:
        cmdCancel_Click();
        return TRUE;
    default:
        return FALSE;
    }
}
