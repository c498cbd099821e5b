#include "graph/PictureBox.h"
#include "graph/Dib32.h"
#include "graph/GraphTestUtil.h"
#include "graph/OlePictureLoader.h"
#include "graph/RasterSurface.h"
#include "graph/cGraph.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <functional>
#include <set>
#include <tuple>

namespace {
// A plain top-level window to hold the control.
struct Host {
    HWND hwnd = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 700, 300, nullptr, nullptr,
                                nullptr, nullptr);
    ~Host() { DestroyWindow(hwnd); }
};

// How many pixels got(x, y) and expected(x, y) differ in, in columns fromX to width - 1 and rows 0 to
// lastRow.
template <class Got, class Expected>
int Mismatches(int fromX, int width, int lastRow, Got got, Expected expected) {
    int count = 0;
    for (int y = 0; y <= lastRow; ++y)
        for (int x = fromX; x < width; ++x)
            count += got(x, y) != expected(x, y);
    return count;
}

// A white 32-bit DIB in a memory DC, read as colours (0x00BBGGRR).
struct Dib {
    Dib(int width, int height)
        : bitmap(CreateDib32(dc, width, height, &bits)), old(SelectObject(dc, bitmap)) {
        PatBlt(dc, 0, 0, width, height, WHITENESS);
    }
    ~Dib() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    int32_t operator()(int x, int y) const { return static_cast<int32_t>(GetPixel(dc, x, y)); }
    HDC dc = CreateCompatibleDC(nullptr);
    uint32_t* bits = nullptr;
    HBITMAP bitmap;
    HGDIOBJ old;
};

} // namespace

TEST(PictureBox, DrawsAsTheRasterSurfaceAndGdiShowItOnPaintAndPrintAndKeepsItsBackground) {
    Host host;
    PictureBox box;
    ASSERT_TRUE(box.Create(host.hwnd, 10, 20, 200, 64));
    const auto boxPixels = [&box](int x, int y) { return box.Point(x, y); };
    EXPECT_TRUE(GetClassLongPtrA(box.Window(), GCL_STYLE) & CS_DBLCLKS) << "two clicks make a double-click";
    EXPECT_EQ(SendMessageA(box.Window(), WM_ERASEBKGND, 0, 0), 1) << "no flicker";
    // Text is left out, the fonts differ. Everything else must agree: columns, lines with GDI's rounding
    // and end pixels, the separator and the dash and dot patterns.
    const std::tuple<int, int, int, bool> cases[] = {
        {200, 64, 0, true}, {600, 200, 1, true}, {600, 200, 0, false}, {300, 150, 1, false}};
    for (const auto& [width, height, style, numbers] : cases) {
        box.Move(0, 0, width, height);
        RasterSurface raster(width, height);
        cGraph onBox, onRaster;
        for (cGraph* g : {&onBox, &onRaster}) {
            g->SetStyle(style);
            g->SetShowNum(numbers);
            g->SetScaleValue(997);
            for (int i = 0; i < 700; ++i) // quiet stretches, bursts and values far above the scale
                g->AddData(i / 40 % 3 ? i * 37 % 300 : i * 53 % 1300, i % 97 == 0  ? INT_MAX
                                                                      : i / 40 % 3 ? i * 71 % 650
                                                                                   : i * 29 % 300);
        }
        onBox.SetPicture(&box);
        onRaster.SetPicture(&raster);
        onBox.DrawGraph(true, false);
        onRaster.DrawGraph(true, false);
        EXPECT_EQ(Mismatches(width / 2, width, numbers ? height - 15 : height - 1, boxPixels,
                             [&](int x, int y) { return raster.Pixel(x, y); }),
                  0)
            << width << " x " << height << ", style " << style << ", numbers " << numbers;
        EXPECT_EQ(box.Point(width, 0), -1);
    }
    // PrintWindow (WM_PRINT under Wine) and WM_PRINTCLIENT give the picture the box holds.
    Dib printed(300, 150), client(300, 150);
    EXPECT_TRUE(PrintWindow(box.Window(), printed.dc, 0));
    SendMessageA(box.Window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(client.dc), PRF_CLIENT);
    EXPECT_EQ(Mismatches(0, 300, 149, std::cref(printed), boxPixels), 0);
    EXPECT_EQ(Mismatches(0, 300, 149, std::cref(client), boxPixels), 0);
    // Pens wider than a pixel, which no window of the program sets, are drawn by GDI.
    box.SetPenWidth(5);
    box.SetPenColor(0xFF0000);
    box.Line(0, 50, 30, 50);
    EXPECT_EQ(std::make_pair(box.Point(10, 48), box.Point(10, 52)), std::make_pair(0xFF0000, 0xFF0000));
    box.SetPenWidth(1);
    // Text is measured as GDI measures it, in the program's font and in a set one, and drawn with its glyphs.
    box.Move(0, 0, 300, 60);
    LOGFONTA font{};
    font.lfHeight = -13;
    font.lfQuality = NONANTIALIASED_QUALITY; // every pixel decided, so pixels can be compared
    strcpy(font.lfFaceName, "Tahoma");
    const std::string t = "In: 1,5kb/s   Wy|gj";
    const HFONT gui = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (HFONT f : {gui, CreateFontIndirectA(&font)}) {
        Dib gdi(300, 60);
        HGDIOBJ old = SelectObject(gdi.dc, f);
        SIZE size{};
        std::vector<int> extents(t.size());
        GetTextExtentExPointA(gdi.dc, t.c_str(), static_cast<int>(t.size()), 0, nullptr, extents.data(),
                              &size);
        EXPECT_EQ(box.MeasureText(t).Width * 1000 + box.MeasureText(t).Height, size.cx * 1000 + size.cy);
        // Each character is GDI's glyph, placed at the extent of the text before it.
        SetTextColor(gdi.dc, 0x804020);
        for (size_t i = 0; i < t.size(); ++i)
            TextOutA(gdi.dc, 3 + (i ? extents[i - 1] : 0), 5, &t[i], 1);
        DeleteObject(SelectObject(gdi.dc, old));
        box.SetBackColor(0xFFFFFF);
        box.Clear();
        box.SetPenColor(0x804020);
        box.PrintText(3, 5, t);
        // The program's font is smoothed differently in each DC: only measured, and seen drawn.
        EXPECT_NE(Mismatches(0, 300, 59, boxPixels, [](int, int) { return 0xFFFFFF; }), 0);
        if (f != gui) {
            EXPECT_EQ(Mismatches(0, 300, 59, boxPixels, std::cref(gdi)), 0);
        }
        box.SetFont(font);
    }
    // The built-in backgrounds: stretched clouds.
    ScopedLoader scoped(&OlePictureLoader::Instance());
    box.Move(0, 0, 200, 64);
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
