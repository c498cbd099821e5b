#include "app/AppError.h"
#include "meter/TestWindow.h"
#include "meter/cSizeMoveHelper.h"
#include "meter/cSizeMoveHelperEx.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
bool DragFull() {
    BOOL on = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &on, 0);
    return on != FALSE;
}
} // namespace

// The meter's own tests show a sizing step capped and a move snapped; here the helper's other edge, a
// resize that is not the user's, and its end before the window's, as at the meter's unload.
TEST(cSizeMoveHelper, SizingChangesReachTheWindowAndAResizeOutsideADragIsReported) {
    TestWindow w;
    std::vector<long> args;
    {
        cSizeMoveHelper sizer;
        sizer.Sizing = [&](long& l, long& t, long& wd, long& h) {
            args = {l, t, wd, h};
            t += 5;
        };
        sizer.Attach(w.Window());
        RECT r{50, 60, 1250, 260};
        SendMessageA(w.Window(), WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&r));
        EXPECT_EQ(args, (std::vector<long>{50, 60, 1200, 200}));
        EXPECT_EQ(RectText(r), RectText({50, 65, 1250, 265})) << "the top moved, the height kept";

        // A resize outside the system's sizing loop is reported too.
        args.clear();
        SetWindowPos(w.Window(), nullptr, 120, 130, 420, 250, SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(args, (std::vector<long>{120, 130, 420, 250}));
    }
    EXPECT_EQ(GetWindowLongPtrA(w.Window(), GWLP_WNDPROC), w.ownProc);
}

// Two helpers on one window, as on the meter, both taken out of the chain by the window's end.
// Activation and full-window dragging, which the meter does not use, one case each.
TEST(cSizeMoveHelper, TheWindowsEndDetachesBothHelpersAndPutsFullDraggingBack) {
    const bool original = DragFull();
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, 1, nullptr, 0);
    TestWindow w;
    std::string events;
    cSizeMoveHelper sizer;
    cSizeMoveHelperEx snapper;
    sizer.Activate = [&](bool byMouse) { events += byMouse ? 'm' : 'k'; };
    sizer.Attach(w.Window());
    snapper.Attach(w.Window(), 15);
    sizer.SetNoFullDrag(true);
    SendMessageA(w.Window(), WM_ACTIVATE, WA_CLICKACTIVE, 0);
    EXPECT_TRUE(!DragFull() && sizer.Active() && events == "m") << events;
    w.Destroy(); // both helpers outlive the window and end quietly afterwards
    EXPECT_TRUE(w.procAtNcDestroy == w.ownProc && DragFull());
    EXPECT_THROW(sizer.Attach(reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x7ffe1234))), AppError);
    EXPECT_THROW(snapper.Attach(nullptr), AppError);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, original, nullptr, 0);
}
