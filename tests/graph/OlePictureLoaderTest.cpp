#include "graph/OlePictureLoader.h"
#include "app/mMisc.h"
#include "graph/GraphTestUtil.h"
#include "graph/PictureSamples.h"
#include "graph/cGraph.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {
using Bytes = std::vector<uint8_t>;

std::string TempFolder() {
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    std::string folder = std::string(path) + "vantorel-graph-tests";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string WriteFile(const std::string& name, const void* data, size_t size) {
    const std::string path = TempFolder() + "\\" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}
std::string WriteFile(const std::string& name, const Bytes& data) {
    return WriteFile(name, data.data(), data.size());
}

void Put16(Bytes& b, uint16_t v) {
    b.push_back(v & 0xFF);
    b.push_back(v >> 8);
}
void Put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back((v >> (8 * i)) & 0xFF);
}

void PutInfoHeader(Bytes& b, int32_t width, int32_t height, uint16_t bits, uint32_t imageSize) {
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(width));
    Put32(b, static_cast<uint32_t>(height));
    Put16(b, 1);
    Put16(b, bits);
    Put32(b, 0);
    Put32(b, imageSize);
    Put32(b, 3779);
    Put32(b, 3779);
    Put32(b, 0);
    Put32(b, 0);
}

// A 24-bit bitmap file, rows bottom-up; `rgb` holds 0x00BBGGRR values, top row first.
Bytes Bmp24(int width, int height, const std::vector<uint32_t>& rgb) {
    const int stride = (width * 3 + 3) & ~3;
    Bytes b = {'B', 'M'};
    Put32(b, 54 + stride * height);
    Put32(b, 0);
    Put32(b, 54);
    PutInfoHeader(b, width, height, 24, static_cast<uint32_t>(stride * height));
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t c = rgb[static_cast<size_t>(y) * width + x];
            b.push_back((c >> 16) & 0xFF);
            b.push_back((c >> 8) & 0xFF);
            b.push_back(c & 0xFF);
        }
        b.resize(b.size() + (stride - width * 3), 0);
    }
    return b;
}

// A 1-bit bitmap file of any size, all black: large sides at little cost.
Bytes Bmp1(int width, int height) {
    const int64_t stride = ((static_cast<int64_t>(width) + 31) / 32) * 4;
    Bytes b = {'B', 'M'};
    Put32(b, static_cast<uint32_t>(62 + stride * height));
    Put32(b, 0);
    Put32(b, 62);
    PutInfoHeader(b, width, height, 1, static_cast<uint32_t>(stride * height));
    Put32(b, 0x000000);
    Put32(b, 0xFFFFFF);
    b.resize(b.size() + static_cast<size_t>(stride * height), 0);
    return b;
}

// A 32-bit icon with its alpha channel; `argb` holds 0xAABBGGRR, top row first.
Bytes Ico32(int size, const std::vector<uint32_t>& argb) {
    const uint32_t maskStride = ((size + 31) / 32) * 4;
    const uint32_t imageSize = 40 + size * size * 4 + maskStride * size;
    Bytes b;
    Put16(b, 0);
    Put16(b, 1);
    Put16(b, 1);
    b.push_back(static_cast<uint8_t>(size));
    b.push_back(static_cast<uint8_t>(size));
    b.push_back(0);
    b.push_back(0);
    Put16(b, 1);
    Put16(b, 32);
    Put32(b, imageSize);
    Put32(b, 22);
    PutInfoHeader(b, size, size * 2, 32, 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const uint32_t c = argb[static_cast<size_t>(y) * size + x];
            b.push_back((c >> 16) & 0xFF);
            b.push_back((c >> 8) & 0xFF);
            b.push_back(c & 0xFF);
            b.push_back(c >> 24);
        }
    }
    b.resize(b.size() + maskStride * size, 0); // the AND mask: all drawn, alpha decides
    return b;
}

uint32_t At(const GraphPicture& p, int x, int y) {
    return p.Pixels()[static_cast<size_t>(y) * p.Width() + x];
}

int ScreenDpiX() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

std::string CloudsFile() {
    std::string path = VANTOREL_CLOUDS_BMP;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return "Z:" + path;
}
} // namespace

TEST(OlePictureLoader, BuiltInBitmapsAreFoundByNameWithoutRegardToCase) {
    OlePictureLoader& loader = OlePictureLoader::Instance();
    const PictureLoadResult clouds = loader.LoadResPicture("Clouds");
    ASSERT_EQ(clouds.Error, 0);
    ASSERT_TRUE(clouds.Picture);
    EXPECT_EQ(clouds.Picture->Width(), 602);
    EXPECT_EQ(clouds.Picture->Height(), 425);
    EXPECT_FALSE(clouds.Picture->HasAlpha());
    EXPECT_EQ(HimetricToPixels(clouds.Picture->WidthHimetric(), ScreenDpiX()), 602);
    for (const char* name : {"CLOUDS", "clouds"}) {
        const PictureLoadResult other = loader.LoadResPicture(name);
        ASSERT_EQ(other.Error, 0) << name;
        EXPECT_TRUE(std::equal(other.Picture->Pixels(), other.Picture->Pixels() + 602 * 425,
                               clouds.Picture->Pixels()))
            << name;
    }
    const PictureLoadResult river = loader.LoadResPicture("river");
    ASSERT_EQ(river.Error, 0);
    EXPECT_EQ(river.Picture->Width(), 657);
    EXPECT_EQ(river.Picture->Height(), 340);

    // The same bitmap read from its file by the system's decoder has the same pixels.
    const PictureLoadResult file = loader.LoadPictureFile(CloudsFile());
    ASSERT_EQ(file.Error, 0) << CloudsFile();
    EXPECT_EQ(file.Picture->WidthHimetric(), clouds.Picture->WidthHimetric());
    EXPECT_TRUE(
        std::equal(file.Picture->Pixels(), file.Picture->Pixels() + 602 * 425, clouds.Picture->Pixels()));
    EXPECT_NE(At(*clouds.Picture, 0, 0), At(*clouds.Picture, 300, 400)) << "a picture, not a flat colour";
}

TEST(OlePictureLoader, AnUnknownResourceIsALookupError) {
    const PictureLoadResult r = OlePictureLoader::Instance().LoadResPicture("NoSuchBitmap");
    EXPECT_EQ(r.Error, ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_FALSE(r.Picture);
}

TEST(OlePictureLoader, BitmapGifIconAndJpegFilesDecode) {
    OlePictureLoader& loader = OlePictureLoader::Instance();
    const std::vector<uint32_t> rgb = {0x0000FF, 0x00FF00, 0xFF0000, 0x123456, 0xFFFFFF, 0x000000};
    const PictureLoadResult bmp = loader.LoadPictureFile(WriteFile("three.bmp", Bmp24(3, 2, rgb)));
    ASSERT_EQ(bmp.Error, 0);
    ASSERT_EQ(bmp.Picture->Width(), 3);
    ASSERT_EQ(bmp.Picture->Height(), 2);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(bmp.Picture->Pixels()[i], 0xFF000000 | rgb[i]) << i;

    const PictureLoadResult gif =
        loader.LoadPictureFile(WriteFile("sample.gif", kSampleGif, sizeof kSampleGif));
    ASSERT_EQ(gif.Error, 0);
    ASSERT_EQ(gif.Picture->Width(), 4);
    EXPECT_EQ(At(*gif.Picture, 0, 0), 0xFF0000FFu) << "red";
    EXPECT_EQ(At(*gif.Picture, 3, 0), 0xFFFF0000u) << "blue";
    EXPECT_EQ(At(*gif.Picture, 2, 0) >> 24, 0u) << "transparent";
    EXPECT_EQ(At(*gif.Picture, 1, 1), 0xFF000000u) << "black";
    EXPECT_TRUE(gif.Picture->HasAlpha());

    std::vector<uint32_t> icon(16 * 16, 0xFF00FF00); // green
    icon[0] = 0x00000000;                            // transparent corner
    icon[17] = 0x80FF0000;                           // half-transparent blue
    const PictureLoadResult ico = loader.LoadPictureFile(WriteFile("sample.ico", Ico32(16, icon)));
    ASSERT_EQ(ico.Error, 0);
    ASSERT_EQ(ico.Picture->Width(), 16);
    EXPECT_EQ(At(*ico.Picture, 5, 5), 0xFF00FF00u);
    EXPECT_EQ(At(*ico.Picture, 0, 0) >> 24, 0u);
    EXPECT_NEAR(static_cast<int>(At(*ico.Picture, 1, 1) >> 24), 128, 2);
    EXPECT_NEAR(static_cast<int>((At(*ico.Picture, 1, 1) >> 16) & 0xFF), 255, 3);

    const PictureLoadResult jpg =
        loader.LoadPictureFile(WriteFile("sample.jpg", kSampleJpeg, sizeof kSampleJpeg));
    ASSERT_EQ(jpg.Error, 0);
    ASSERT_EQ(jpg.Picture->Width(), 16);
    ASSERT_EQ(jpg.Picture->Height(), 8);
    const uint32_t p = At(*jpg.Picture, 8, 4);
    EXPECT_NEAR(static_cast<int>(p & 0xFF), 200, 8);
    EXPECT_NEAR(static_cast<int>((p >> 8) & 0xFF), 40, 8);
    EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), 60, 8);
}

TEST(OlePictureLoader, MissingBrokenAndForeignFilesFailWithAnErrorNumber) {
    OlePictureLoader& loader = OlePictureLoader::Instance();
    const Bytes bmp = Bmp24(40, 30, std::vector<uint32_t>(1200, 0x336699));
    const Bytes gif(kSampleGif, kSampleGif + sizeof kSampleGif);
    const Bytes jpg(kSampleJpeg, kSampleJpeg + sizeof kSampleJpeg);
    Bytes claimsHuge = Bmp24(2, 2, std::vector<uint32_t>(4, 0));
    claimsHuge[18] = 0x30; // 30000 x 30000 in the header, four pixels of data
    claimsHuge[19] = 0x75;
    claimsHuge[22] = 0x30;
    claimsHuge[23] = 0x75;
    const std::string text = "This is a text file, not a picture.\r\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"missing", TempFolder() + "\\no-such-file.bmp"},
        {"empty", WriteFile("empty.bmp", Bytes{})},
        {"text", WriteFile("text.jpg", text.data(), text.size())},
        {"truncated bmp", WriteFile("cut.bmp", Bytes(bmp.begin(), bmp.begin() + 60))},
        {"header only bmp", WriteFile("head.bmp", Bytes(bmp.begin(), bmp.begin() + 20))},
        {"truncated gif", WriteFile("cut.gif", Bytes(gif.begin(), gif.begin() + 30))},
        {"truncated jpeg", WriteFile("cut.jpg", Bytes(jpg.begin(), jpg.begin() + 120))},
        {"bmp claiming 30000 x 30000", WriteFile("huge.bmp", claimsHuge)},
    };
    for (const auto& [what, path] : cases) {
        const DWORD start = GetTickCount();
        const PictureLoadResult r = loader.LoadPictureFile(path);
        EXPECT_NE(r.Error, 0) << what;
        EXPECT_FALSE(r.Picture) << what;
        EXPECT_LT(GetTickCount() - start, 5000u) << what << " took too long";
    }
}

TEST(OlePictureLoader, PicturesBeyondTheSixteenBitRangeOrTooLargeAreRefused) {
    OlePictureLoader& loader = OlePictureLoader::Instance();
    const PictureLoadResult wide = loader.LoadPictureFile(WriteFile("wide.bmp", Bmp1(40000, 2)));
    EXPECT_EQ(wide.Error, 6);
    EXPECT_FALSE(wide.Picture);
    const PictureLoadResult large = loader.LoadPictureFile(WriteFile("large.bmp", Bmp1(9000, 8000)));
    EXPECT_EQ(large.Error, static_cast<int32_t>(0x8007000Eu));
    EXPECT_FALSE(large.Picture);
    const PictureLoadResult fits = loader.LoadPictureFile(WriteFile("fits.bmp", Bmp1(32767, 1)));
    EXPECT_EQ(fits.Error, 0);
}

TEST(OlePictureLoader, TheGraphKeepsItsPictureWhenALoadFailsAndLogsTheError) {
    OlePictureLoader& loader = OlePictureLoader::Instance();
    ScopedLoader scoped(&loader);
    const std::string folder = TempFolder();
    SetExecutablePath(folder + "\\Vantorel.exe");
    WriteFile("sample.gif", kSampleGif, sizeof kSampleGif);
    const std::string text = "no picture";
    const std::string bad = WriteFile("bad.gif", text.data(), text.size());

    cGraph graph;
    graph.SetStyle(2);
    ASSERT_NE(graph.BackgroundImage(), nullptr);
    EXPECT_EQ(graph.BackgroundImage()->Width(), 602);
    LogCapture log;
    graph.SetBackgroundPicture(bad);
    EXPECT_EQ(graph.BackgroundImage()->Width(), 602) << "still the clouds";
    EXPECT_EQ(graph.BackgroundPicture(), bad);
    const std::string line = log.Text();
    EXPECT_EQ(line.rfind("cGraph_BackgrounPicture: LoadPicture -", 0), 0u) << line;
    EXPECT_NE(line.find("," + bad + "\r\n"), std::string::npos) << line;

    graph.SetBackgroundPicture("sample.gif");
    EXPECT_EQ(graph.BackgroundPicture(), folder + "\\sample.gif");
    ASSERT_NE(graph.BackgroundImage(), nullptr);
    EXPECT_EQ(graph.BackgroundImage()->Width(), 4);
    graph.SetStyle(3);
    EXPECT_EQ(graph.BackgroundImage()->Width(), 657);
}
