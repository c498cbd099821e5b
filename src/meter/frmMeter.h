#pragma once
#include "base/mMisc.h"
#include "meter/MeterGeometry.h"
#include "winsys/BaseWindow.h"

#include <windows.h>

#include <functional>
#include <memory>

class cGraph;
class cAnchor;
class cSizeMoveHelper;
class cSizeMoveHelperEx;
class CFormBorder;
class CTranslucentForm;
class PictureBox;

// What the meter reaches outside itself: the graph it shows, and the commands of its mouse buttons
// and of its opening and closing (each may be left empty).
struct MeterLinks {
    std::unique_ptr<cGraph>& NetGraph;
    std::function<void()> PopupMenu{};
    std::function<void()> ShowStatistics{};
    std::function<void(bool)> LoadedChanged{};
};

// The small always-on-top tool window that shows the graph. It restores and saves its place in
// twips, may be translucent, snaps to the work area, is dragged by its body and toggles its title
// bar on a double-click.
class frmMeter : public BaseWindow<frmMeter>, public ILoadedForm {
public:
    explicit frmMeter(MeterLinks links);
    ~frmMeter();

    // Loads the window if needed and shows it.
    void Show();
    void UnloadForm() override;

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    // Border and z-order of this window; the statistics window switches its always-on-top state.
    CFormBorder& FrmBorder();
    PictureBox* Picture1() const { return m_picture.get(); }

    void Picture1_DblClick();
    void Picture1_MouseDown(int button, int shift, int x, int y);

private:
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void Sizer_ExitSizeMove();
    void Sizer_Sizing(long& lLeft, long& lTop, long& lWidth, long& lHeight);
    void Form_DpiChanged(int dpi, const RECT& suggested);
    void RestorePosition();
    void KeepOnAMonitor();

    MeterLinks m_links;
    bool m_loaded = false;
    // True while the load sequence places the meter at its stored size for its monitor's DPI.
    bool m_placing = false;
    std::unique_ptr<PictureBox> m_picture;
    std::unique_ptr<CFormBorder> m_border;
    std::unique_ptr<cAnchor> m_anchor;
    std::unique_ptr<CTranslucentForm> m_translucent;
    std::unique_ptr<cSizeMoveHelper> m_sizer;
    std::unique_ptr<cSizeMoveHelperEx> m_snapper;
};
