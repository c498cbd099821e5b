#pragma once
#include "base/mMisc.h"
#include "resources/resource.h"
#include "winsys/BaseDialog.h"
#include "winsys/cCommonDialog.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

class cGraph;
class cGraphTheme;
class PictureBox;

// What the theme editor reaches outside itself: the meter's graph, which Apply changes, and the
// commands it gives when the look is stored, when the themes change and when it opens or closes.
struct ThemeLinks {
    std::unique_ptr<cGraph>& NetGraph;
    // Stores the graph's look, logging a refused write as `where`; false when one was refused.
    std::function<bool(const std::string& where)> SaveGraphSettings;
    std::function<void()> ThemesChanged;
    std::function<void(bool)> LoadedChanged;
};

// The theme editor: a live sample graph, the theme list, colour, fill and background editing, Save
// As, Delete, Apply, Ok and Cancel. It works on its own sample graph and its own catalogue; only
// Apply and Ok reach the meter's graph and the registry. Modeless.
class frmTheme : public ModelessDialog<frmTheme> {
public:
    static constexpr char kName[] = "frmTheme";
    static constexpr int kTemplate = IDD_frmTheme;
    static constexpr int kOkId = IDC_cmdOk;
    static constexpr int kCancelId = IDC_cmdCancel;

    explicit frmTheme(ThemeLinks links);
    ~frmTheme();

    static std::span<const DialogCommand<frmTheme>> Commands();

    void cmbTheme_Click();
    void cmbProperty_Click();
    void chkFill_Click();
    void optStretch_Click();
    void optTile_Click();
    void cmdChange_Click();
    void Picture1_Click();
    void picSample_MouseDown(int button, int shift, int x, int y);
    void cmdBrowse_Click();
    void cmdClear_Click();
    void cmdSave_Click();
    void cmdDel_Click();
    void cmdApply_Click();
    void cmdOk_Click();
    void cmdCancel_Click();
    // Selects the first property entry carrying `code`; nothing when none does.
    void SelectProperty(int32_t code);

    // The sample graph and its surface while the window is loaded, else null.
    cGraph* Sample() const { return m_sample.get(); }
    PictureBox* picSample() const { return m_picSample.get(); }

private:
    friend class ModelessDialog<frmTheme>;
    void Form_Load();
    void Form_Unload();
    void Form_Destroyed();
    INT_PTR OtherMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void CreateSampleSurface();
    void FillThemeList();
    void SelectCurrentSettings();
    int32_t SelectedCode() const;
    void PaintSwatch(int32_t colour);
    void EnableButton(int id, bool enabled);
    void SetStretch(bool stretch);
    void DrawSample(bool data, bool forceBackground);
    bool Apply();

    ThemeLinks m_links;
    // True while the controls are brought into line with a chosen theme.
    bool m_syncing = false;
    std::unique_ptr<cGraph> m_sample;
    std::unique_ptr<cGraphTheme> m_themes;
    std::unique_ptr<PictureBox> m_picSample;
    HBRUSH m_swatch = nullptr;
    // Lives as long as this object, not the window: Exit may unload the window while one of its
    // dialogs is still open, and the call returns into this object afterwards.
    cCommonDialog m_commonDialog;
};
