#include "graph/PictureBox.h"
#include "graph/Dib32.h"
#include "graph/GraphTestUtil.h"
#include "graph/OlePictureLoader.h"
#include "graph/RasterSurface.h"
#include "graph/cGraph.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <random>
#include <set>
#include <sstream>
#include <tuple>

namespace {
// A plain top-level window to hold the control.
struct Host {
    HWND hwnd = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 700, 300, nullptr, nullptr,
                                nullptr, nullptr);
    ~Host() { DestroyWindow(hwnd); }
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

// Pixels of the box that differ from `expected(x, y)` in columns from `fromX` and rows up to `toY`.
template <class Expected>
std::string Mismatches(const PictureBox& box, int width, int fromX, int toY, Expected expected) {
    std::ostringstream out;
    int count = 0;
    for (int y = 0; y <= toY; ++y)
        for (int x = fromX; x < width; ++x)
            if (box.Point(x, y) != expected(x, y) && count++ < 8)
                out << " (" << x << "," << y << ") " << std::hex << box.Point(x, y) << " not "
                    << expected(x, y) << std::dec;
    return count ? std::to_string(count) + " differ:" + out.str() : "";
}
} // namespace

TEST(PictureBox, DrawsAsTheRasterSurfaceAtEverySizeAndShowsItOnPaintAndPrint) {
    Host host;
    PictureBox box;
    ASSERT_TRUE(box.Create(host.hwnd, 10, 20, 200, 64));
    EXPECT_EQ(GetParent(box.Window()), host.hwnd);
    EXPECT_TRUE(GetClassLongPtrA(box.Window(), GCL_STYLE) & CS_DBLCLKS) << "two clicks make a double-click";
    EXPECT_EQ(SendMessageA(box.Window(), WM_ERASEBKGND, 0, 0), 1) << "no flicker";
    // Text is left out, the fonts differ. Everything else must agree: columns, lines with GDI's rounding
    // and end pixels, the separator and the dash and dot patterns.
    const std::tuple<int, int, int, bool> cases[] = {
        {200, 64, 0, true}, {600, 200, 1, true}, {600, 200, 0, false}, {300, 150, 1, false}};
    for (const auto& [width, height, style, numbers] : cases) {
        box.Move(0, 0, width, height);
        EXPECT_EQ(
            (std::vector<double>{box.InnerWidth(), box.InnerHeight(), box.OuterWidth(), box.OuterHeight()}),
            (std::vector<double>{1.0 * width, 1.0 * height, 1.0 * width, 1.0 * height}));
        RasterSurface raster(width, height);
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
        EXPECT_EQ(Mismatches(box, width, width / 2, numbers ? height - 15 : height - 1,
                             [&](int x, int y) { return raster.Pixel(x, y); }),
                  "")
            << width << " x " << height << ", style " << style << ", numbers " << numbers;
        EXPECT_EQ(box.Point(width, 0), -1);
    }
    // PrintWindow (WM_PRINT under Wine) and WM_PRINTCLIENT give the picture the box holds.
    HDC memory = CreateCompatibleDC(nullptr);
    uint32_t* bits = nullptr;
    HBITMAP bitmap = CreateDib32(memory, 300, 150, &bits);
    HGDIOBJ old = SelectObject(memory, bitmap);
    for (int way = 0; way < 2; ++way) {
        PatBlt(memory, 0, 0, 300, 150, BLACKNESS);
        if (way == 0)
            EXPECT_TRUE(PrintWindow(box.Window(), memory, 0));
        else
            SendMessageA(box.Window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
        GdiFlush();
        EXPECT_EQ(Mismatches(box, 300, 0, 149,
                             [&](int x, int y) {
                                 const uint32_t p = bits[y * 300 + x];
                                 return static_cast<int32_t>(((p >> 16) & 0xFF) | (p & 0xFF00) |
                                                             ((p & 0xFF) << 16));
                             }),
                  "")
            << (way == 0 ? "PrintWindow" : "WM_PRINTCLIENT");
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

TEST(PictureBox, MouseEventsCarryButtonShiftAndPosition) {
    Host host;
    PictureBox box;
    ASSERT_TRUE(box.Create(host.hwnd, 0, 0, 200, 64));
    std::vector<std::string> events;
    box.MouseDown = [&](int button, int shift, int x, int y) {
        events.push_back("down " + std::to_string(button) + " " + std::to_string(shift) + " " +
                         std::to_string(x) + "," + std::to_string(y));
    };
    box.DblClick = [&] { events.push_back("double"); };
    const std::tuple<UINT, WPARAM, int, int> messages[] = {
        {WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 5, 7},
        {WM_LBUTTONDBLCLK, MK_LBUTTON, 5, 7},
        {WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, 150, 60},
        {WM_RBUTTONDBLCLK, MK_RBUTTON, 150, 60},
        {WM_MBUTTONDOWN, MK_MBUTTON | MK_SHIFT | MK_CONTROL, 0, 0}};
    for (const auto& [msg, keys, x, y] : messages)
        SendMessageA(box.Window(), msg, keys, MAKELPARAM(x, y));
    EXPECT_EQ(events, (std::vector<std::string>{"down 1 1 5,7", "double", "down 2 2 150,60",
                                                "down 2 0 150,60", "down 4 3 0,0"}));
}

TEST(PictureBox, PensWiderThanAPixelAreDrawnByGdi) {
    Host host;
    PictureBox box;
    ASSERT_TRUE(box.Create(host.hwnd, 0, 0, 100, 50));
    box.SetBackColor(0xFFFFFF);
    box.Clear();
    box.SetPenWidth(5);
    box.SetPenColor(0x0000FF);
    box.Line(50, 40, 50, 10);
    const LineSegment more[] = {{20, 40, 20, 10}};
    box.Lines(more, 1);
    box.EndDraw();
    EXPECT_EQ(box.PenWidth(), 5);
    std::string row;
    for (int x : {18, 20, 22, 35, 48, 50, 52, 56})
        row += box.Point(x, 25) == 0x0000FF ? '#' : '.';
    EXPECT_EQ(row, "###.###.") << "5 pixels wide about x = 20 and x = 50";
}

TEST(PictureBox, BuiltInBackgroundsAreRenderedOncePerSizeAndKept) {
    ScopedLoader scoped(&OlePictureLoader::Instance());
    Host host;
    PictureBox box;
    ASSERT_TRUE(box.Create(host.hwnd, 0, 0, 200, 64));
    cGraph graph;
    graph.SetPicture(&box);
    graph.SetStyle(2); // clouds, stretched
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

    // Tiled river at a new size: rendered again for that size, copies repeating at its width.
    graph.SetStyle(3);
    graph.StretchBackground = false;
    box.Move(0, 0, 700, 300);
    graph.DrawGraph(true, false);
    std::set<int32_t> column;
    for (int y : {30, 100, 180, 250}) {
        EXPECT_EQ(box.Point(40, y), box.Point(40 + 657, y)) << y;
        column.insert(box.Point(40, y));
    }
    EXPECT_GT(column.size(), 1u);
}
