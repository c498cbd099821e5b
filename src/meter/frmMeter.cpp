#include "meter/frmMeter.h"
#include "base/AppError.h"
#include "base/AppInfo.h"
#include "base/Convert.h"
#include "base/mLogging.h"
#include "graph/PictureBox.h"
#include "graph/cGraph.h"
#include "meter/CFormBorder.h"
#include "meter/CTranslucentForm.h"
#include "meter/cAnchor.h"
#include "meter/cAnchorWindow.h"
#include "meter/cSizeMoveHelper.h"
#include "meter/cSizeMoveHelperEx.h"
#include "settings/TranslucentAlpha.h"
#include "settings/mRegistry.h"
#include "winsys/Dpi.h"

#include <exception>
#include <string>
#include <utility>

namespace {
constexpr char kMeterClass[] = "VantorelMeter";
constexpr UINT kWmDpiChanged = 0x02E0; // Windows 8.1 and later
} // namespace

frmMeter::frmMeter(MeterLinks links) : m_links(std::move(links)) {}

frmMeter::~frmMeter() {
    // Nothing may leave a destructor: a position that cannot be saved now is logged.
    if (m_loaded)
        LoggingErrors("frmMeter_Unload", [this] { UnloadForm(); });
    UnregisterLoadedForm(this);
}

CFormBorder& frmMeter::FrmBorder() {
    if (!m_border)
        m_border = std::make_unique<CFormBorder>();
    return *m_border;
}

void frmMeter::Show() {
    if (!m_loaded)
        Form_Load();
    else
        ShowWindow(m_hwnd, SW_SHOW);
}

void frmMeter::Form_Load() {
    // The window exists (hidden) before its load sequence runs, as does its picture box.
    if (!CreateWindowObject(kMeterClass, "", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 0, 0, 0,
                            200, 80, nullptr, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, nullptr,
                            GetSysColorBrush(COLOR_BTNFACE)))
        return;
    m_picture = std::make_unique<PictureBox>();
    m_picture->Create(m_hwnd, 0, 0, 1, 1);
    m_picture->DblClick = [this] { Picture1_DblClick(); };
    m_picture->MouseDown = [this](int button, int shift, int x, int y) {
        Picture1_MouseDown(button, shift, x, y);
    };
    m_loaded = true;
    RegisterLoadedForm(this);

    WriteLog("frmMeter_Load    ");
    if (m_links.LoadedChanged)
        m_links.LoadedChanged(true);
    SetWindowTextA(m_hwnd, TitleWithVersion().c_str());
    FrmBorder().SetClient(m_hwnd);
    FrmBorder().SetTopMost(true);
    FrmBorder().SetToolWindow(true);

    // A stored opacity that is not a percentage leaves the window opaque.
    if (const auto alpha = TranslucentPercent(ReadAppSetting("Graph", "Alpha", "100"))) {
        WriteLog("Setting frmMeter Alpha");
        m_translucent = std::make_unique<CTranslucentForm>();
        m_translucent->SethWnd(m_hwnd);
        m_translucent->SetMode(CTranslucentForm::kModeAlpha);
        m_translucent->SetAlpha(AlphaFromPercent(*alpha));
    }

    WriteLog("frmMeter: Restoring Position");
    RestorePosition();

    RECT client{};
    GetClientRect(m_hwnd, &client);
    MoveWindow(m_picture->Window(), 0, 0, client.right, client.bottom, TRUE);
    m_anchor = std::make_unique<cAnchor>();
    m_anchor->AddControl(std::make_shared<cAnchorWindow>(m_picture->Window()),
                         eaLeft | eaRight | eaTop | eaBottom);

    m_sizer = std::make_unique<cSizeMoveHelper>();
    m_sizer->ExitSizeMove = [this] { Sizer_ExitSizeMove(); };
    m_sizer->Sizing = [this](long& l, long& t, long& w, long& h) { Sizer_Sizing(l, t, w, h); };
    m_sizer->Attach(m_hwnd);
    m_snapper = std::make_unique<cSizeMoveHelperEx>();
    m_snapper->Attach(m_hwnd, 15);

    ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);

    cGraph& graph = *m_links.NetGraph;
    graph.IgnoreBack = false;
    graph.SetPicture(m_picture.get());
    graph.DrawGraph(false, false);
    UpdateWindow(m_hwnd);
    graph.DrawGraph(false, true);
    UpdateWindow(m_hwnd);
    graph.DrawGraph(true, false);
}

void frmMeter::RestorePosition() {
    // Each stored measure on its own: one that is not a number leaves the window's own. The place is
    // in desktop coordinates, which are at the system DPI, so that the meter comes back on the
    // monitor it was on; its size follows the DPI of that monitor.
    RECT r{};
    GetWindowRect(m_hwnd, &r);
    auto measure = [](const char* key, const char* def, int dpi, LONG& target) {
        IgnoringErrors([&] {
            if (const auto pixels = TwipsToPixels(CSng(ReadAppSetting("Position", key, def)), dpi))
                target = *pixels;
        });
    };
    const auto restore = [&](int sizeDpi) {
        LONG width = r.right - r.left, height = r.bottom - r.top, top = r.top, left = r.left;
        measure("Width", "3000", sizeDpi, width);
        measure("Height", "1200", sizeDpi, height);
        measure("Top", "100", SystemDpi(), top);
        measure("Left", "100", SystemDpi(), left);
        return RECT{left, top, left + (width < 1 ? r.right - r.left : width),
                    top + (height < 1 ? r.bottom - r.top : height)};
    };
    RECT placed = restore(SystemDpi());
    placed = restore(DpiForMonitor(MonitorFromRect(&placed, MONITOR_DEFAULTTONEAREST)));
    // Sized for its monitor already: the DPI change the move brings must not scale it again.
    m_placing = true;
    SetWindowPos(m_hwnd, nullptr, placed.left, placed.top, placed.right - placed.left,
                 placed.bottom - placed.top, SWP_NOZORDER | SWP_NOACTIVATE);
    KeepOnAMonitor();
    m_placing = false;
    m_picture->SetDpi(DpiForWindow(m_hwnd));
    IgnoringErrors([this] {
        if (CBool(ReadAppSetting("Position", "NoBorder", "False")))
            Picture1_DblClick();
    });
}

void frmMeter::KeepOnAMonitor() {
    RECT r{};
    GetWindowRect(m_hwnd, &r);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info))
        return;
    const PixelRect work{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
    const PixelRect placed = KeepOnWorkArea({r.left, r.top, r.right, r.bottom}, work);
    if (placed.Left != r.left || placed.Top != r.top || placed.Right != r.right || placed.Bottom != r.bottom)
        SetWindowPos(m_hwnd, nullptr, placed.Left, placed.Top, placed.Right - placed.Left,
                     placed.Bottom - placed.Top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmMeter::Form_Resize() {
    if (m_anchor)
        m_anchor->DoResize();
    cGraph* graph = m_links.NetGraph.get();
    if (!graph)
        return;
    if (graph->LastBench >= 100 && !graph->IgnoreBack) {
        graph->IgnoreBack = true;
        WriteLog("frmMeter Performance Corrected.  Violation: " + std::to_string(graph->LastBench) + "ms");
    }
    graph->DrawGraph(true, false);
}

void frmMeter::UnloadForm() {
    if (!m_loaded)
        return;
    m_loaded = false;
    Form_Unload();
    UnregisterLoadedForm(this);
    m_sizer.reset();
    m_snapper.reset();
    m_translucent.reset();
    m_border.reset();
    m_anchor.reset();
    if (m_hwnd)
        DestroyWindow(m_hwnd);
    m_picture.reset();
}

void frmMeter::Form_Unload() {
    WriteLog("frmMeter_Unload");
    if (m_links.NetGraph)
        m_links.NetGraph->SetPicture(nullptr);
    ShowWindow(m_hwnd, SW_HIDE);
    // Measured with the title bar shown, whatever the user left it at.
    FrmBorder().SetTitlebar(true);
    if (!IsIconic(m_hwnd) && !IsZoomed(m_hwnd)) {
        RECT r{};
        GetWindowRect(m_hwnd, &r);
        const int dpi = DpiForWindow(m_hwnd);
        const auto twips = [](LONG pixels, int at) {
            return FormatSingle(static_cast<float>(PixelsToTwips(pixels, at)));
        };
        // A refused write is logged: hiding the meter or closing it must still work.
        const auto write = [](const char* key, const std::string& value) {
            LoggingErrors("frmMeter_Unload", [&] { WriteAppSetting("Position", key, value); });
        };
        write("Width", twips(r.right - r.left, dpi));
        write("Height", twips(r.bottom - r.top, dpi));
        write("Top", twips(r.top, SystemDpi()));
        write("Left", twips(r.left, SystemDpi()));
    }
    if (m_links.LoadedChanged)
        m_links.LoadedChanged(false);
}

void frmMeter::Picture1_DblClick() {
    FrmBorder().SetTitlebar(!FrmBorder().Titlebar());
    LoggingErrors("Picture1_DblClick",
                  [this] { WriteAppSetting("Position", "NoBorder", BoolText(!FrmBorder().Titlebar())); });
    if (m_links.NetGraph) {
        m_links.NetGraph->IgnoreBack = false;
        m_links.NetGraph->DrawGraph(true, false);
    }
}

void frmMeter::Picture1_MouseDown(int button, int, int, int) {
    switch (button) {
    case 1:
        // The system moves the window as if it were dragged by its title bar.
        ReleaseCapture();
        SendMessageA(m_hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        break;
    case 2:
        if (m_links.PopupMenu)
            m_links.PopupMenu();
        break;
    case 4:
        if (m_links.ShowStatistics)
            m_links.ShowStatistics();
        break;
    default:
        break;
    }
}

void frmMeter::Sizer_Sizing(long&, long&, long& lWidth, long&) {
    if (lWidth > 1000)
        lWidth = 1000;
    // Let painting keep up with the sizing.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT))
        DispatchMessageA(&msg);
}

void frmMeter::Sizer_ExitSizeMove() {
    if (m_links.NetGraph) {
        m_links.NetGraph->IgnoreBack = false;
        m_links.NetGraph->DrawGraph(true, false);
    }
}

void frmMeter::Form_DpiChanged(int dpi, const RECT& suggested) {
    if (!m_picture)
        return;
    // Labels and read-out take their new size first, so that the redraw of the new size uses it.
    m_picture->SetDpi(dpi);
    // The system's rectangle keeps the meter where the user is dragging it, at the new scale.
    if (!m_placing)
        SetWindowPos(m_hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                     suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // A background picture's natural size is in pixels of the DPI.
    if (m_links.NetGraph)
        m_links.NetGraph->DrawGraph(true, true);
}

LRESULT frmMeter::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCCREATE:
        EnableNonClientDpiScalingIfNeeded(hwnd);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    case kWmDpiChanged:
        Form_DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DISPLAYCHANGE:
        // A monitor may have gone: the meter comes back onto one, and its place is stored at unload.
        if (m_loaded)
            KeepOnAMonitor();
        return 0;
    case WM_SIZE:
        if (m_loaded)
            Form_Resize();
        return 0;
    case WM_CLOSE:
        UnloadForm();
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}
