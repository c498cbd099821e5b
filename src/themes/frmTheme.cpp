#include "themes/frmTheme.h"
#include "base/AppInfo.h"
#include "graph/PictureBox.h"
#include "graph/cGraph.h"
#include "resources/resource.h"
#include "themes/ThemeEditorRules.h"
#include "themes/cGraphTheme.h"
#include "winsys/InputBox.h"

#include <string>
#include <utility>

namespace {
constexpr char kPictureFilter[] = "Pictures (*.bmp;*.ico;*.jpg;*.gif)|*.bmp;*.ico;*.jpg;*.gif";

// Button clicks, and the swatch's (STN_CLICKED has the same code).
const DialogCommand<frmTheme> kCommands[] = {
    {IDC_cmbTheme, &frmTheme::cmbTheme_Click, CBN_SELCHANGE},
    {IDC_cmbProperty, &frmTheme::cmbProperty_Click, CBN_SELCHANGE},
    {IDC_chkFill, &frmTheme::chkFill_Click},
    {IDC_optStretch, &frmTheme::optStretch_Click},
    {IDC_optTile, &frmTheme::optTile_Click},
    {IDC_cmdChange, &frmTheme::cmdChange_Click},
    {IDC_Picture1, &frmTheme::Picture1_Click},
    {IDC_cmdBrowse, &frmTheme::cmdBrowse_Click},
    {IDC_cmdClear, &frmTheme::cmdClear_Click},
    {IDC_cmdSave, &frmTheme::cmdSave_Click},
    {IDC_cmdDel, &frmTheme::cmdDel_Click},
    {IDC_cmdApply, &frmTheme::cmdApply_Click},
    {IDC_cmdOk, &frmTheme::cmdOk_Click},
    {IDC_cmdCancel, &frmTheme::cmdCancel_Click},
};
} // namespace

frmTheme::frmTheme(ThemeLinks links) : ModelessDialog(links.LoadedChanged), m_links(std::move(links)) {}

frmTheme::~frmTheme() {
    UnloadForm();
}

std::span<const DialogCommand<frmTheme>> frmTheme::Commands() {
    return kCommands;
}

void frmTheme::Form_Load() {
    SetWindowTextA(m_hwnd, (std::string(kAppTitle) + " Visual Themes").c_str());

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
    if (m_links.NetGraph)
        m_sample->SetLook(m_links.NetGraph->Look());
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

void frmTheme::Form_Destroyed() {
    m_picSample.reset();
    if (m_swatch)
        DeleteObject(m_swatch);
    m_swatch = nullptr;
}

void frmTheme::Form_Unload() {
    m_themes.reset();
    m_sample.reset();
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
    if (!Loaded())
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
    if (!Loaded() || !chosen)
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
    if (!Loaded() || name.empty())
        return;
    // A built-in, read-only or unstorable name simply saves nothing.
    m_themes->SaveTheme(name, *m_sample);
    FillThemeList();
    SelectCurrentSettings();
    m_links.ThemesChanged();
}

void frmTheme::cmdDel_Click() {
    const int index = SelectedListEntry(m_hwnd, IDC_cmbTheme);
    if (index < 1)
        return;
    m_themes->DeleteTheme(ListEntry(m_hwnd, IDC_cmbTheme, index));
    FillThemeList();
    SelectCurrentSettings();
    m_links.ThemesChanged();
}

// False when the themes could not be written; the user has been told.
bool frmTheme::Apply() {
    if (m_links.NetGraph)
        m_links.NetGraph->SetLook(m_sample->Look());
    // The look the user confirmed is stored now, as the themes are.
    const bool lookSaved = m_links.SaveGraphSettings("frmTheme_Apply");
    const bool saved = m_themes->RegistrySave() && lookSaved;
    if (m_links.NetGraph)
        m_links.NetGraph->DrawGraph(true, true);
    if (!saved)
        MessageBoxA(m_hwnd, "The themes could not be saved.", kAppTitle, MB_OK | MB_ICONWARNING);
    return saved;
}

void frmTheme::cmdApply_Click() {
    Apply();
}

void frmTheme::cmdOk_Click() {
    // Stays open when the themes could not be saved, so that they are not lost with the window.
    if (Apply() && Loaded())
        UnloadForm();
}

void frmTheme::cmdCancel_Click() {
    UnloadForm();
}

INT_PTR frmTheme::OtherMessage(UINT msg, WPARAM, LPARAM lParam) {
    if (msg == WM_CTLCOLORSTATIC && m_swatch &&
        reinterpret_cast<HWND>(lParam) == GetDlgItem(m_hwnd, IDC_Picture1))
        return reinterpret_cast<INT_PTR>(m_swatch);
    return FALSE;
}
