#include "graph/PictureBox.h"
#include "graph/Dib32.h"
#include "graph/GraphTestUtil.h"
#include "graph/OlePictureLoader.h"
#include "graph/PixelCanvas.h"
#include "graph/RasterSurface.h"
#include "graph/cGraph.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <functional>
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

// Where got(x, y) differs from expected(x, y) in columns fromX to width - 1 and rows 0 to lastRow.
template <class Got, class Expected>
std::string Mismatches(int fromX, int width, int lastRow, Got got, Expected expected) {
    std::ostringstream out;
    int count = 0;
    for (int y = 0; y <= lastRow; ++y)
        for (int x = fromX; x < width; ++x)
            if (got(x, y) != expected(x, y) && count++ < 6)
                out << " (" << x << "," << y << ") " << std::hex << got(x, y) << " not " << expected(x, y)
                    << std::dec;
    return count ? std::to_string(count) + " differ:" + out.str() : "";
}

// The box's pixels as a function of x and y.
auto PointsOf(const PictureBox& box) {
    return [&box](int x, int y) { return box.Point(x, y); };
}

// A white 32-bit top-down DIB in a memory DC.
struct Dib {
    Dib(int width, int height) : width(width) {
        bitmap = CreateDib32(dc, width, height, &bits);
        old = SelectObject(dc, bitmap);
        std::fill(bits, bits + width * height, 0xFFFFFFu);
    }
    ~Dib() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    // As a colour (0x00BBGGRR).
    int32_t operator()(int x, int y) const {
        GdiFlush();
        const uint32_t p = bits[y * width + x];
        return static_cast<int32_t>(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
    }
    int width;
    HDC dc = CreateCompatibleDC(nullptr);
    uint32_t* bits = nullptr;
    HBITMAP bitmap;
    HGDIOBJ old;
};

} // namespace

TEST(PictureBox, DrawsAsTheRasterSurfaceShowsItOnPaintAndPrintAndReportsClicks) {
    Host host;
    PictureBox box;
    ASSERT_TRUE(box.Create(host.hwnd, 10, 20, 200, 64));
    EXPECT_EQ(GetParent(box.Window()), host.hwnd);
    EXPECT_TRUE(GetClassLongPtrA(box.Window(), GCL_STYLE) & CS_DBLCLKS) << "two clicks make a double-click";
    EXPECT_EQ(SendMessageA(box.Window(), WM_ERASEBKGND, 0, 0), 1) << "no flicker";
    std::string events;
    box.MouseDown = [&](int button, int shift, int x, int y) {
        events += std::to_string(button) + std::to_string(shift) + " " + std::to_string(x) + "," +
                  std::to_string(y) + " ";
    };
    box.DblClick = [&] { events += "double "; };
    const std::tuple<UINT, WPARAM, int, int> messages[] = {
        {WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 5, 7},
        {WM_LBUTTONDBLCLK, MK_LBUTTON, 5, 7},
        {WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, 150, 60},
        {WM_RBUTTONDBLCLK, MK_RBUTTON, 150, 60},
        {WM_MBUTTONDOWN, MK_MBUTTON | MK_SHIFT | MK_CONTROL, 0, 0}};
    for (const auto& [msg, keys, x, y] : messages)
        SendMessageA(box.Window(), msg, keys, MAKELPARAM(x, y));
    EXPECT_EQ(events, "11 5,7 double 22 150,60 20 150,60 43 0,0 ");
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
            for (int i = 0; i < 700; ++i) // quiet stretches, bursts and values above the scale
                g->AddData(i / 40 % 3 ? i * 37 % 300 : i * 53 % 1300,
                           i / 40 % 3 ? i * 71 % 650 : i * 29 % 300);
        }
        onBox.SetPicture(&box);
        onRaster.SetPicture(&raster);
        onBox.DrawGraph(true, false);
        onRaster.DrawGraph(true, false);
        EXPECT_EQ(Mismatches(width / 2, width, numbers ? height - 15 : height - 1, PointsOf(box),
                             [&](int x, int y) { return raster.Pixel(x, y); }),
                  "")
            << width << " x " << height << ", style " << style << ", numbers " << numbers;
        EXPECT_EQ(box.Point(width, 0), -1);
    }
    // PrintWindow (WM_PRINT under Wine) and WM_PRINTCLIENT give the picture the box holds.
    for (bool print : {true, false}) {
        Dib shown(300, 150);
        if (print)
            EXPECT_TRUE(PrintWindow(box.Window(), shown.dc, 0));
        else
            SendMessageA(box.Window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shown.dc), PRF_CLIENT);
        EXPECT_EQ(Mismatches(0, 300, 149, std::cref(shown), PointsOf(box)), "")
            << (print ? "PrintWindow" : "WM_PRINTCLIENT");
    }
}

TEST(PictureBox, PensWiderThanAPixelAreDrawnByGdiAndTheGraphDrawsTheirColumnsInOrder) {
    Host host;
    PictureBox box;
    ASSERT_TRUE(box.Create(host.hwnd, 0, 0, 30, 116));
    box.SetPenWidth(5);
    cGraph graph;
    graph.SetShowNum(false);
    graph.SetShowGrid(false);
    graph.SetScaleValue(116);
    graph.AddData(40, 80);
    graph.SetPicture(&box);
    graph.DrawGraph(true, false);
    // Incoming, outgoing, then the shared part over both; each 5 pixels wide about x = 29.
    std::string column;
    for (int y : {50, 100})
        for (int x : {26, 27, 29})
            column += box.Point(x, y) == 0xFF0000 ? 'b' : box.Point(x, y) == 0x00FF00 ? 'g' : '.';
    EXPECT_EQ(column, ".bb.gg");
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

TEST(GdiRules, LinesInEveryDirectionAndTheGridsPatternsHaveGdisPixels) {
    // Solid lines in every direction, steep one-column steps as joined samples are drawn and far ends;
    // dashed and dotted ones whose pattern starts at the line's start, also outside the surface.
    std::vector<std::array<int, 5>> lines = {
        {-50, 10, 120, 53, 0}, {70, -3, -9, 80, 0}, {5, 100000, 6, -100000, 0}};
    for (int d = 0; d < 29 * 29; ++d)
        lines.push_back({32, 32, 18 + d % 29, 18 + d / 29, 0});
    for (int dy = -70; dy <= 70; dy += 7)
        lines.push_back({40, 30, 39, 30 + dy, 0});
    for (int style : {1, 2})
        for (const auto& [x1, y1, x2, y2] :
             {std::array{0, 10, 64, 10}, {63, 20, -1, 20}, {5, 0, 5, 64}, {3, 60, 50, 7}, {-30, 33, 64, 33}})
            lines.push_back({x1, y1, x2, y2, style});
    for (const auto& [x1, y1, x2, y2, style] : lines) {
        Dib gdi(64, 64), ours(64, 64);
        HGDIOBJ old = SelectObject(gdi.dc, CreatePen(std::array{PS_SOLID, PS_DASH, PS_DOT}[style], 1, 0));
        MoveToEx(gdi.dc, x1, y1, nullptr);
        LineTo(gdi.dc, x2, y2);
        DeleteObject(SelectObject(gdi.dc, old));
        PixelCanvas(ours.bits, 64, 64).Line({x1, y1}, {x2, y2}, 0, static_cast<PenStyle>(style));
        ASSERT_EQ(Mismatches(0, 64, 63, std::cref(ours), std::cref(gdi)), "")
            << x1 << "," << y1 << " " << x2 << "," << y2 << " style " << style;
    }
}

TEST(GdiRules, TextIsMeasuredAsGdiMeasuresItAndDrawnWithItsGlyphs) {
    Host host;
    PictureBox box;
    ASSERT_TRUE(box.Create(host.hwnd, 0, 0, 300, 60));
    LOGFONTA font{};
    font.lfHeight = -13;
    font.lfQuality = NONANTIALIASED_QUALITY; // every pixel decided, so pixels can be compared
    strcpy(font.lfFaceName, "Tahoma");
    HFONT tahoma = CreateFontIndirectA(&font);
    // The program's font (measured only: its smoothing differs between DCs), then a set one.
    for (HFONT f : {static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), tahoma}) {
        if (f == tahoma)
            box.SetFont(font);
        for (const std::string t : {"In: 1.5kb/s   Out: 0.1kb/s", "1,5kb/s", "Wy|gj"}) {
            Dib gdi(300, 60);
            HGDIOBJ old = SelectObject(gdi.dc, f);
            SIZE size{};
            std::vector<int> extents(t.size());
            GetTextExtentExPointA(gdi.dc, t.c_str(), static_cast<int>(t.size()), 0, nullptr, extents.data(),
                                  &size);
            EXPECT_EQ(box.MeasureText(t).Width * 1000 + box.MeasureText(t).Height, size.cx * 1000 + size.cy)
                << t;
            // Each character is GDI's glyph, placed at the extent of the text before it.
            SetTextColor(gdi.dc, 0x804020);
            for (size_t i = 0; i < t.size(); ++i)
                TextOutA(gdi.dc, 3 + (i ? extents[i - 1] : 0), 5, &t[i], 1);
            SelectObject(gdi.dc, old);
            box.SetBackColor(0xFFFFFF);
            box.Clear();
            box.SetPenColor(0x804020);
            box.PrintText(3, 5, t);
            EXPECT_NE(Mismatches(0, 300, 59, PointsOf(box), [](int, int) { return 0xFFFFFF; }), "") << t;
            if (f == tahoma) {
                EXPECT_EQ(Mismatches(0, 300, 59, PointsOf(box), std::cref(gdi)), "") << t;
            }
        }
    }
    DeleteObject(tahoma);
}
