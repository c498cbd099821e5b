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

    // Starts the copy and waits for its meter.
    HWND StartProgram() {
        process = std::make_unique<ChildProcess>('"' + exe + '"');
        HWND meter = nullptr;
        EXPECT_TRUE(PumpUntil(
            [&] {
                return (meter = FindProcessWindow(process->Id(), "VantorelMeter")) && IsWindowVisible(meter);
            },
            20000));
        return meter;
    }
    void TearDown() override {
        process.reset();
        PrivateProgram::TearDown();
    }
    void Exit() {
        PostMessageA(FindProcessWindow(process->Id(), "VantorelMain"), WM_CLOSE, 0, 0);
        EXPECT_TRUE(process->WaitForExit(20000));
    }

    std::unique_ptr<ChildProcess> process;
};
} // namespace

TEST_F(MeterDpi, StoredTwipsOpenInPixelsOfTheDesktopDpi) {
    WriteValue(kPosition, "Width", "3000");
    WriteValue(kPosition, "Height", "1200");
    WriteValue(kPosition, "Left", "1500");
    WriteValue(kPosition, "Top", "1200");
    HWND meter = StartProgram();
    ASSERT_TRUE(meter);
    RECT r{};
    GetWindowRect(meter, &r);
    // 200 x 80 at (100, 80) at 96 DPI; half as much again at 144.
    const int dpi = DesktopDpi();
    const RECT expected{100 * dpi / 96, 80 * dpi / 96, (100 + 200) * dpi / 96, (80 + 80) * dpi / 96};
    EXPECT_TRUE(EqualRect(&r, &expected)) << RectText(r) << " instead of " << RectText(expected);
    Exit();
    EXPECT_EQ(ReadValue(kPosition, "Width"), "3000") << "the same twips go back";
    EXPECT_EQ(ReadValue(kPosition, "Top"), "1200");
}

TEST_F(MeterDpi, ADisplayChangeBringsAMeterOffEveryWorkAreaBackWithoutStoringItsPlace) {
    HWND meter = StartProgram();
    ASSERT_TRUE(meter);
    RECT work{}, r{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    // Where a monitor that is no longer there used to be.
    ASSERT_TRUE(SetWindowPos(meter, nullptr, work.right + 400, work.bottom + 300, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    SendMessageA(meter, WM_DISPLAYCHANGE, 32, MAKELPARAM(work.right, work.bottom));
    GetWindowRect(meter, &r);
    RECT inside{};
    EXPECT_TRUE(IntersectRect(&inside, &r, &work) && EqualRect(&inside, &r))
        << RectText(r) << " off " << RectText(work);
    EXPECT_EQ(ReadValue(kPosition, "Left"), "<missing>") << "only the meter's unload stores its place";
    Exit();
    EXPECT_NEAR(std::atof(ReadValue(kPosition, "Left").c_str()), r.left * 1440.0 / DesktopDpi(), 0.01);
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
    HWND hwnd = meter.Window();
    PictureBox& picture = *meter.Picture1();
    const double text = picture.MeasureText("In: 0kb/s").Height;
    RECT before{};
    GetWindowRect(hwnd, &before);

    const int dpi = DesktopDpi(), larger = dpi * 3 / 2;
    RECT suggested{before.left + 40, before.top + 30, before.left + 40 + (before.right - before.left) * 3 / 2,
                   before.top + 30 + (before.bottom - before.top) * 3 / 2};
    SendMessageA(hwnd, 0x02E0, MAKEWPARAM(larger, larger), reinterpret_cast<LPARAM>(&suggested));
    RECT r{}, client{}, pictureClient{};
    GetWindowRect(hwnd, &r);
    EXPECT_TRUE(EqualRect(&r, &suggested)) << RectText(r) << " instead of " << RectText(suggested);
    GetClientRect(hwnd, &client);
    GetClientRect(picture.Window(), &pictureClient);
    EXPECT_TRUE(EqualRect(&client, &pictureClient)) << "the graph fills the larger window";
    EXPECT_GT(picture.MeasureText("In: 0kb/s").Height, text * 1.3);
    EXPECT_LT(picture.MeasureText("In: 0kb/s").Height, text * 1.7);
    // The read-out band grows with the text: the separator above it moved up.
    EXPECT_EQ(picture.Point(1, client.bottom - ReadoutBandHeight(larger) + 1), main.NetGraph->ChartColor);
    EXPECT_NE(ReadoutBandHeight(larger), ReadoutBandHeight(dpi));

    // And back, without drift.
    SendMessageA(hwnd, 0x02E0, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&before));
    GetWindowRect(hwnd, &r);
    EXPECT_TRUE(EqualRect(&r, &before)) << RectText(r);
    EXPECT_EQ(picture.MeasureText("In: 0kb/s").Height, text);
    meter.UnloadForm();
}
