#include "graph/PictureBox.h"
#include "graph/Dib32.h"
#include "graph/GraphTestUtil.h"
#include "graph/OlePictureLoader.h"
#include "graph/RasterSurface.h"
#include "graph/cGraph.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <random>
#include <set>
#include <sstream>

namespace {
// A plain top-level window to hold the control.
class Host {
public:
    Host(int width = 700, int height = 300) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        wc.lpszClassName = "GraphTestHost";
        RegisterClassA(&wc);
        m_hwnd = CreateWindowExA(0, "GraphTestHost", "graph test", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                 nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~Host() { DestroyWindow(m_hwnd); }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
    HWND Get() const { return m_hwnd; }

private:
    HWND m_hwnd;
};

// The same varied history for both surfaces: quiet stretches, bursts, values above the scale.
void Feed(cGraph& graph, int count) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> small(0, 300), big(0, 1300);
    for (int i = 0; i < count; ++i) {
        const bool burst = (i / 40) % 3 == 1;
        graph.AddData(burst ? big(random) : small(random), burst ? small(random) : big(random) / 2);
    }
}

std::string Mismatches(PictureBox& box, const RasterSurface& raster, int fromX, int toY) {
    std::ostringstream out;
    int count = 0;
    for (int y = 0; y <= toY; ++y) {
        for (int x = fromX; x < raster.Width(); ++x) {
            if (box.Point(x, y) != raster.Pixel(x, y)) {
                if (count < 8)
                    out << " (" << x << "," << y << ") gdi " << std::hex << box.Point(x, y) << " raster "
                        << raster.Pixel(x, y) << std::dec;
                ++count;
            }
        }
    }
    return count ? std::to_string(count) + " differ:" + out.str() : "";
}
} // namespace

TEST(PictureBox, IsAChildControlThatFollowsItsSize) {
    Host host;
    PictureBox box;
    ASSERT_TRUE(box.Create(host.Get(), 10, 20, 200, 64));
    EXPECT_EQ(GetParent(box.Window()), host.Get());
    EXPECT_TRUE(GetClassLongPtrA(box.Window(), GCL_STYLE) & CS_DBLCLKS);
    EXPECT_EQ(box.InnerWidth(), 200);
    EXPECT_EQ(box.InnerHeight(), 64);
    EXPECT_EQ(box.OuterWidth(), 200);
    EXPECT_EQ(SendMessageA(box.Window(), WM_ERASEBKGND, 0, 0), 1);

    cGraph graph;
    graph.SetPicture(&box);
    graph.DrawGraph(true, false);
    EXPECT_EQ(box.Point(199, 0), 0xFFFFFF);
    EXPECT_EQ(box.Point(200, 0), -1);

    box.Move(0, 0, 300, 100);
    EXPECT_EQ(box.InnerWidth(), 300);
    EXPECT_EQ(box.InnerHeight(), 100);
    graph.BackColor = 0x123456;
    graph.DrawGraph(true, false);
    EXPECT_EQ(box.Point(299, 50), 0x123456) << "the buffers follow the new size";
    EXPECT_EQ(box.Point(0, 85), 0xB0B0B0) << "separator at G + 1";
}

TEST(PictureBox, ShowsTheComposedSurfaceOnPaintAndPrint) {
    Host host;
    PictureBox box;
    ASSERT_TRUE(box.Create(host.Get(), 0, 0, 200, 64));
    cGraph graph;
    graph.SetPicture(&box);
    graph.SetScaleValue(400);
    Feed(graph, 300);
    graph.DrawGraph(true, false);
    // PrintWindow (WM_PRINT under Wine) and WM_PRINTCLIENT give the same picture.
    HDC memory = CreateCompatibleDC(nullptr);
    uint32_t* bits = nullptr;
    HBITMAP bitmap = CreateDib32(memory, 200, 64, &bits);
    HGDIOBJ old = SelectObject(memory, bitmap);
    for (int way = 0; way < 2; ++way) {
        PatBlt(memory, 0, 0, 200, 64, BLACKNESS);
        if (way == 0)
            EXPECT_TRUE(PrintWindow(box.Window(), memory, 0));
        else
            SendMessageA(box.Window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
        GdiFlush();
        int wrong = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 200; ++x) {
                const uint32_t p = static_cast<const uint32_t*>(bits)[y * 200 + x];
                const int32_t rgb =
                    static_cast<int32_t>(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
                wrong += rgb != box.Point(x, y);
            }
        EXPECT_EQ(wrong, 0) << (way == 0 ? "PrintWindow" : "WM_PRINTCLIENT");
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

TEST(PictureBox, DrawsTheHistoryAndGridPixelForPixelAsTheRasterSurface) {
    // Text is left out: the fonts differ. Everything else must agree: columns, lines with GDI's
    // rounding and end pixels, the separator and the dash and dot patterns.
    Host host;
    for (int style : {0, 1}) {
        for (bool numbers : {true, false}) {
            PictureBox box;
            ASSERT_TRUE(box.Create(host.Get(), 0, 0, 600, 200));
            RasterSurface raster(600, 200);
            cGraph onBox, onRaster;
            for (cGraph* g : {&onBox, &onRaster}) {
                g->SetStyle(style);
                g->SetShowNum(numbers);
                g->SetScaleValue(997);
                Feed(*g, 700);
            }
            onBox.SetPicture(&box);
            onRaster.SetPicture(&raster);
            onBox.DrawGraph(true, false);
            onRaster.DrawGraph(true, false);
            const int lastRow = numbers ? 200 - 16 + 1 : 199;
            EXPECT_EQ(Mismatches(box, raster, 100, lastRow), "")
                << "style " << style << " numbers " << numbers;
        }
    }
}

TEST(PictureBox, MouseEventsCarryButtonShiftAndPosition) {
    Host host;
    PictureBox box;
    ASSERT_TRUE(box.Create(host.Get(), 0, 0, 200, 64));
    std::vector<std::string> events;
    box.MouseDown = [&](int button, int shift, int x, int y) {
        events.push_back("down " + std::to_string(button) + " " + std::to_string(shift) + " " +
                         std::to_string(x) + "," + std::to_string(y));
    };
    box.DblClick = [&] { events.push_back("double"); };
    HWND w = box.Window();
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(5, 7));
    SendMessageA(w, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 7));
    SendMessageA(w, WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, MAKELPARAM(150, 60));
    SendMessageA(w, WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(150, 60));
    SendMessageA(w, WM_MBUTTONDOWN, MK_MBUTTON | MK_SHIFT | MK_CONTROL, MAKELPARAM(0, 0));
    EXPECT_EQ(events, (std::vector<std::string>{"down 1 1 5,7", "double", "down 2 2 150,60",
                                                "down 2 0 150,60", "down 4 3 0,0"}));

    // Two real clicks in quick succession arrive as a press and a double-click.
    events.clear();
    POINT p{20, 20};
    ClientToScreen(w, &p);
    SetCursorPos(p.x, p.y);
    PumpFor(50);
    INPUT clicks[4] = {};
    const DWORD flags[4] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN,
                            MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 4; ++i) {
        clicks[i].type = INPUT_MOUSE;
        clicks[i].mi.dwFlags = flags[i];
    }
    SendInput(4, clicks, sizeof(INPUT));
    PumpUntil([&] { return events.size() >= 2; }, 3000);
    EXPECT_EQ(events, (std::vector<std::string>{"down 1 0 20,20", "double"}));
}

TEST(PictureBox, PensWiderThanAPixelAreDrawnByGdi) {
    Host host;
    PictureBox box;
    ASSERT_TRUE(box.Create(host.Get(), 0, 0, 100, 50));
    box.SetBackColor(0xFFFFFF);
    box.Clear();
    box.SetPenWidth(5);
    EXPECT_EQ(box.PenWidth(), 5);
    box.SetPenColor(0x0000FF);
    box.Line(50, 40, 50, 10);
    const LineSegment more[] = {{20, 40, 20, 10}};
    box.Lines(more, 1);
    box.EndDraw();
    for (int x : {18, 20, 22, 48, 50, 52})
        EXPECT_EQ(box.Point(x, 25), 0x0000FF) << x;
    EXPECT_EQ(box.Point(56, 25), 0xFFFFFF);
    EXPECT_EQ(box.Point(35, 25), 0xFFFFFF);
}

TEST(PictureBox, BuiltInBackgroundsAreRenderedOncePerSizeAndKept) {
    ScopedLoader scoped(&OlePictureLoader::Instance());
    Host host;
    PictureBox box;
    ASSERT_TRUE(box.Create(host.Get(), 0, 0, 200, 64));
    cGraph graph;
    graph.SetPicture(&box);
    graph.SetStyle(2); // clouds, stretched
    ASSERT_NE(graph.BackgroundImage(), nullptr);
    graph.DrawGraph(false, true);
    std::set<int32_t> colours;
    for (int x = 0; x < 200; x += 7)
        colours.insert(box.Point(x, 30));
    EXPECT_GT(colours.size(), 3u) << "the clouds show, not a flat colour";
    const int32_t sample = box.Point(150, 10);

    // Drawn again unforced: the persistent image comes back as it was under the new drawing.
    graph.AddData(0, 0);
    graph.DrawGraph(true, false);
    EXPECT_EQ(box.Point(150, 10), sample);

    // Tiled river at a new size: rendered again for that size.
    graph.SetStyle(3);
    graph.StretchBackground = false;
    box.Move(0, 0, 700, 300);
    graph.DrawGraph(true, false);
    EXPECT_NE(box.Point(680, 290), 0xFFFFFF);
    std::set<int32_t> column;
    for (int y : {30, 100, 180, 250}) {
        EXPECT_EQ(box.Point(40, y), box.Point(40 + 657, y)) << "copies repeat at the picture's width";
        column.insert(box.Point(40, y));
    }
    EXPECT_GT(column.size(), 1u);
}
