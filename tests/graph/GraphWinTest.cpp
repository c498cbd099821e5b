// The picture box and the picture loader on the system's GDI and OLE.
#include "graph/GraphTestUtil.h"
#include "graph/OlePictureLoader.h"
#include "graph/PictureBox.h"
#include "graph/cGraph.h"
#include "support/RasterSurface.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <cstdint>
#include <fstream>
#include <set>
#include <tuple>

namespace {
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

using Bytes = std::vector<uint8_t>;

std::string WriteFile(const std::string& name, const Bytes& data) {
    const std::string path = TempFolder() + "vantorel-graph-" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return path;
}

void Put(Bytes& b, uint32_t value, int bytes = 4) {
    for (int i = 0; i < bytes; ++i)
        b.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutInfoHeader(Bytes& b, int width, int height, int bits) {
    for (int32_t v : {40, width, height})
        Put(b, static_cast<uint32_t>(v));
    Put(b, 1, 2);
    Put(b, static_cast<uint32_t>(bits), 2);
    for (uint32_t v : {0u, 0u, 3779u, 3779u, 0u, 0u})
        Put(b, v);
}

// A 1-bit bitmap file, all black, so that large sides cost little.
Bytes Bmp(int width, int height) {
    const int64_t stride = (width + 31) / 32 * 4;
    Bytes b = {'B', 'M'};
    for (uint32_t v : {static_cast<uint32_t>(62 + stride * height), 0u, 62u})
        Put(b, v);
    PutInfoHeader(b, width, height, 1);
    Put(b, 0);
    Put(b, 0xFFFFFF);
    b.resize(b.size() + static_cast<size_t>(stride * height), 0);
    return b;
}
} // namespace

TEST(PictureBox, DrawsAsTheRasterSurfaceAndGdiShowItOnPaintAndPrintAndKeepsItsBackground) {
    TestWindow host(CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 700, 300, 0, 0, 0, 0));
    PictureBox box;
    ASSERT_TRUE(box.Create(host.get(), 10, 20, 200, 64));
    const auto boxPixels = [&box](int x, int y) { return box.Point(x, y); };
    EXPECT_TRUE(GetClassLongPtrA(box.Window(), GCL_STYLE) & CS_DBLCLKS) << "two clicks make a double-click";
    EXPECT_EQ(SendMessageA(box.Window(), WM_ERASEBKGND, 0, 0), 1) << "no flicker";
    // Text is left out, the fonts differ. Everything else must agree: columns, lines with GDI's rounding
    // and end pixels, the separator and the dash and dot patterns.
    // Both styles, with and without numbers; other sizes and data are the raster's own tests'.
    const std::tuple<int, int, int, bool> cases[] = {{600, 200, 1, true}, {300, 150, 0, false}};
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
            << "style " << style;
        EXPECT_EQ(box.Point(width, 0), -1);
    }
    // Another box's canvas takes what GDI draws there: the picture printed through PrintWindow (WM_PRINT
    // under Wine), and below the text as GDI draws it.
    PictureBox other;
    ASSERT_TRUE(other.Create(host.get(), 0, 0, 300, 150));
    const auto otherPixels = [&other](int x, int y) { return other.Point(x, y); };
    EXPECT_TRUE(PrintWindow(box.Window(), other.CanvasDC(), 0));
    EXPECT_EQ(Mismatches(0, 300, 149, otherPixels, boxPixels), 0);
    // Text is measured as GDI measures it and drawn with its glyphs, each placed at the extent of the
    // text before it. The font is a set one: the program's is smoothed differently in each DC, and
    // takes the same path.
    box.Move(0, 0, 300, 60);
    LOGFONTA font{};
    font.lfHeight = -13;
    font.lfQuality = NONANTIALIASED_QUALITY; // every pixel decided, so pixels can be compared
    strcpy(font.lfFaceName, "Tahoma");
    box.SetFont(font);
    const std::string t = "In: 1,5kb/s   Wy|gj";
    other.SetBackColor(0xFFFFFF);
    other.Clear();
    const HDC gdi = other.CanvasDC();
    HGDIOBJ old = SelectObject(gdi, CreateFontIndirectA(&font));
    SIZE size{};
    std::vector<int> extents(t.size());
    GetTextExtentExPointA(gdi, t.c_str(), static_cast<int>(t.size()), 0, nullptr, extents.data(), &size);
    EXPECT_EQ(box.MeasureText(t).Width, size.cx);
    EXPECT_EQ(box.MeasureText(t).Height, size.cy);
    SetTextColor(gdi, 0x804020);
    for (size_t i = 0; i < t.size(); ++i)
        TextOutA(gdi, 3 + (i ? extents[i - 1] : 0), 5, &t[i], 1);
    DeleteObject(SelectObject(gdi, old));
    box.SetBackColor(0xFFFFFF);
    box.Clear();
    box.SetPenColor(0x804020);
    box.PrintText(3, 5, t);
    EXPECT_EQ(Mismatches(0, 300, 59, boxPixels, otherPixels), 0);
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
    EXPECT_FALSE(box.HoldsPictureCopy()) << "once rendered, the background is held at the drawn size only";
    const int32_t sample = box.Point(150, 10);
    // Drawn again unforced: the persistent image comes back as it was under the new drawing.
    graph.AddData(0, 0);
    graph.DrawGraph(true, false);
    EXPECT_EQ(box.Point(150, 10), sample);
    // Tiling, and rendering again at a new size, are the raster's and the graph's own tests' (the river
    // at natural size is a plain copy, as the image's return above is).
}

TEST(OlePictureLoader, BuiltInBitmapsAndFilesDecodeWithTheirSizeAndTransparencyOrFailWithANumber) {
    OlePictureLoader& loader = OlePictureLoader::Instance();
    const PictureLoadResult clouds = loader.LoadResPicture("CLOUDS"), // names regardless of case
        file = loader.LoadPictureFile(WinePath(VANTOREL_CLOUDS_BMP));
    ASSERT_TRUE(clouds.Error == 0);
    ASSERT_TRUE(file.Error == 0);
    // The same natural size: the bitmap's pixels at the screen's resolution, as the file decodes.
    EXPECT_EQ(clouds.Picture->Width(), 602);
    EXPECT_EQ(clouds.Picture->Height(), 425);
    EXPECT_EQ(file.Picture->Width(), 602);
    EXPECT_EQ(file.Picture->Height(), 425);
    EXPECT_EQ(clouds.Picture->WidthHimetric(), file.Picture->WidthHimetric());
    EXPECT_TRUE(
        std::equal(file.Picture->Pixels(), file.Picture->Pixels() + 602 * 425, clouds.Picture->Pixels()));
    EXPECT_EQ(loader.LoadResPicture("NoSuchBitmap").Error, ERROR_RESOURCE_NAME_NOT_FOUND);

    // A 32-bit icon: green, a transparent corner and a half-transparent blue pixel.
    Bytes ico;
    for (uint32_t v : {0u, 1u, 1u, 16u * 257, 0u, 1u, 32u}) // the directory and its one entry
        Put(ico, v, 2);
    Put(ico, 40 + 16 * 16 * 4 + 64);
    Put(ico, 22);
    PutInfoHeader(ico, 16, 32, 32);
    for (int i = 0; i < 256; ++i) // bottom row first: 240 is the top-left corner, 225 the pixel (1, 1)
        Put(ico, i == 240 ? 0 : i == 225 ? 0x800000FF : 0xFF00FF00);
    ico.resize(ico.size() + 64, 0); // the AND mask: all drawn
    const PictureLoadResult r = loader.LoadPictureFile(WriteFile("sample.ico", ico));
    ASSERT_EQ(r.Error, 0);
    ASSERT_EQ(r.Picture->Width(), 16);
    const uint32_t* px = r.Picture->Pixels(); // (1, 1) is at 17
    EXPECT_EQ(px[5 * 16 + 5], 0xFF00FF00u);
    EXPECT_EQ(px[0] >> 24, 0u);
    EXPECT_NEAR(static_cast<int>(px[17] >> 24), 128, 2);
    EXPECT_NEAR(static_cast<int>((px[17] >> 16) & 0xFF), 255, 3);

    // A missing file, a bitmap cut short and one too large to hold (out of memory) fail with a number. The
    // limit on the sides is the picture's own (its native test); a header alone fails as the short one does.
    const Bytes bmp = Bmp(40, 30);
    const std::pair<std::string, int32_t> failures[] = {
        {"C:\\no-such-folder\\picture.bmp", 0},
        {WriteFile("cut.bmp", Bytes(bmp.begin(), bmp.begin() + 100)), 0},
        {WriteFile("large.bmp", Bmp(9000, 8000)), static_cast<int32_t>(0x8007000Eu)}};
    for (const auto& [path, error] : failures) {
        const PictureLoadResult failed = loader.LoadPictureFile(path);
        EXPECT_TRUE(error ? failed.Error == error : failed.Error != 0) << path << ": " << failed.Error;
        EXPECT_FALSE(failed.Picture) << path;
    }
}

// A file that declares a picture far too large for a background is refused from its header, before
// the decoder reads it (the file holds no pixels: decoding would fail otherwise), and the graph keeps
// the picture it had. A file loaded again while its picture is held is not decoded a second time.
TEST(OlePictureLoader, APictureTooLargeIsRefusedBeforeDecodingAndAHeldOneIsShared) {
    ScopedLoader scoped(&OlePictureLoader::Instance());
    cGraph graph;
    graph.SetBackgroundPicture(WinePath(VANTOREL_CLOUDS_BMP));
    const GraphPicture* clouds = graph.BackgroundImage();
    ASSERT_TRUE(clouds);

    Bytes huge = Bmp(8, 8);
    huge.resize(62);
    for (int i = 0; i < 4; ++i)
        huge[18 + i] = huge[22 + i] = static_cast<uint8_t>(30000u >> (8 * i));
    const std::string path = WriteFile("huge.bmp", huge);
    EXPECT_EQ(OlePictureLoader::Instance().LoadPictureFile(path).Error, kErrPictureTooLarge);
    graph.SetBackgroundPicture(path);
    EXPECT_EQ(graph.BackgroundImage(), clouds) << "the previous picture stays";
    EXPECT_EQ(graph.BackgroundPicture(), path);

    cGraph sample;
    sample.SetBackgroundPicture(WinePath(VANTOREL_CLOUDS_BMP));
    EXPECT_EQ(sample.BackgroundImage(), clouds);
    DeleteFileA(path.c_str());
}
