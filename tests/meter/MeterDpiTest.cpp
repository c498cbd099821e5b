// The meter on the desktop's DPI and monitors: its stored twips in pixels of the DPI, a DPI change
// taken as the system suggests it, and a display change that leaves it off every work area. CTest
// runs these tests on a desktop of 96 DPI and again on one of 144 (VANTOREL_EXPECTED_DPI).
#include "app/frmMain.h"
#include "app/mMisc.h"
#include "graph/PictureBox.h"
#include "graph/cGraph.h"
#include "meter/frmMeter.h"
#include "settings/SystemServices.h"
#include "support/ProgramFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

namespace {
const char kPosition[] = "Software\\Vantorel\\Position";

int DesktopDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

class MeterDpi : public PrivateProgram {
protected:
    void SetUp() override {
        PrivateProgram::SetUp();
        const char* expected = std::getenv("VANTOREL_EXPECTED_DPI");
        ASSERT_EQ(DesktopDpi(), expected ? std::atoi(expected) : 96) << "the prefix's LogPixels";
        WriteValue("Software\\Vantorel\\Settings", "FirstRun", "0");
    }
};
} // namespace

TEST_F(MeterDpi, StoredTwipsOpenAtTheDesktopDpiAndADisplayChangeBringsTheMeterBack) {
    for (const auto& [key, twips] :
         {std::pair{"Width", "3000"}, {"Height", "1200"}, {"Left", "1500"}, {"Top", "1200"}})
        WriteValue(kPosition, key, twips);
    ChildProcess program('"' + exe + '"');
    HWND meter = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] { return (meter = FindProcessWindow(program.Id(), "VantorelMeter")) && IsWindowVisible(meter); },
        20000));
    // 200 x 80 at (100, 80) at 96 DPI; half as much again at 144.
    const int dpi = DesktopDpi();
    const RECT expected{100 * dpi / 96, 80 * dpi / 96, 300 * dpi / 96, 160 * dpi / 96};
    RECT r{}, work{}, inside{};
    GetWindowRect(meter, &r);
    EXPECT_TRUE(EqualRect(&r, &expected)) << RectText(r) << " instead of " << RectText(expected);

    // Where a monitor that is no longer there used to be.
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(meter, nullptr, work.right + 400, work.bottom + 300, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(meter, WM_DISPLAYCHANGE, 32, MAKELPARAM(work.right, work.bottom));
    GetWindowRect(meter, &r);
    EXPECT_TRUE(IntersectRect(&inside, &r, &work) && EqualRect(&inside, &r)) << RectText(r);
    EXPECT_EQ(ReadValue(kPosition, "Left"), "1500") << "only the meter's unload stores its place";

    PostMessageA(FindProcessWindow(program.Id(), "VantorelMain"), WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(20000));
    EXPECT_EQ(ReadValue(kPosition, "Width"), "3000") << "the same twips go back";
    EXPECT_NEAR(std::atof(ReadValue(kPosition, "Left").c_str()), r.left * 1440.0 / dpi, 0.01);
}

// The meter in this process, to reach its surface: a DPI change as Windows sends it when the meter is
// dragged onto a monitor of another DPI (Wine has one DPI for all monitors).
TEST_F(MeterDpi, ADpiChangeTakesTheSuggestedRectangleAndSizesTheTextForIt) {
    SetExecutablePath(exe);
    UseSystemServices();
    frmMain main;
    main.NetGraph = std::make_unique<cGraph>();
    frmMeter meter(main);
    meter.Show();
    PictureBox& picture = *meter.Picture1();
    const auto textHeight = [&] { return picture.MeasureText("In: 0kb/s").Height; };
    const double text = textHeight();
    RECT before{}, r{}, client{};
    GetWindowRect(meter.Window(), &before);
    const int dpi = DesktopDpi(), larger = dpi * 3 / 2;
    RECT suggested{before.left + 40, before.top + 30, before.left + 40 + (before.right - before.left) * 3 / 2,
                   before.top + 30 + (before.bottom - before.top) * 3 / 2};
    SendMessageA(meter.Window(), 0x02E0, MAKEWPARAM(larger, larger), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(meter.Window(), &r);
    EXPECT_TRUE(EqualRect(&r, &suggested)) << RectText(r) << " instead of " << RectText(suggested);
    EXPECT_GT(textHeight(), text * 1.3);
    EXPECT_LT(textHeight(), text * 1.7);
    // The graph fills the larger window, and its read-out band grew with the text.
    GetClientRect(meter.Window(), &client);
    EXPECT_EQ(picture.Point(client.right - 1, client.bottom - ReadoutBandHeight(larger) + 1),
              main.NetGraph->ChartColor);

    SendMessageA(meter.Window(), 0x02E0, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&before));
    GetWindowRect(meter.Window(), &r);
    EXPECT_TRUE(EqualRect(&r, &before)) << RectText(r) << ": back without drift";
    EXPECT_EQ(textHeight(), text);
    meter.UnloadForm();
}
