#include "graph/OlePictureLoader.h"
#include "graph/PictureSamples.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

namespace {
using Bytes = std::vector<uint8_t>;

std::string WriteFile(const std::string& name, const Bytes& data) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "vantorel-graph-" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return path;
}

void Put(Bytes& b, uint32_t value, int bytes = 4) {
    for (int i = 0; i < bytes; ++i)
        b.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// 0xAABBGGRR as a DIB stores it: blue first.
uint32_t Bgr(uint32_t c) {
    return (c & 0xFF00FF00) | ((c & 0xFF) << 16) | ((c >> 16) & 0xFF);
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

// A 32-bit icon whose alpha decides; `argb` holds 0xAABBGGRR, top row first.
Bytes Ico32(int size, const std::vector<uint32_t>& argb) {
    const uint32_t mask = (size + 31) / 32 * 4 * size;
    Bytes b;
    for (uint32_t v :
         {0u, 1u, 1u, static_cast<uint32_t>(size * 257), 0u, 1u, 32u}) // directory and its one entry
        Put(b, v, 2);
    Put(b, 40 + size * size * 4 + mask);
    Put(b, 22);
    PutInfoHeader(b, size, size * 2, 32);
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x)
            Put(b, Bgr(argb[static_cast<size_t>(y) * size + x]));
    b.resize(b.size() + mask, 0); // the AND mask: all drawn
    return b;
}

uint32_t At(const PictureLoadResult& r, int x, int y) {
    return r.Picture->Pixels()[static_cast<size_t>(y) * r.Picture->Width() + x];
}
} // namespace

TEST(OlePictureLoader, BuiltInBitmapsAreFoundByNameWithoutRegardToCaseAndMatchTheirFiles) {
    OlePictureLoader& loader = OlePictureLoader::Instance();
    const PictureLoadResult clouds = loader.LoadResPicture("Clouds"), river = loader.LoadResPicture("river");
    ASSERT_TRUE(clouds.Error == 0 && river.Error == 0);
    EXPECT_EQ((std::vector<int>{clouds.Picture->Width(), clouds.Picture->Height(), river.Picture->Width(),
                                river.Picture->Height()}),
              (std::vector<int>{602, 425, 657, 340}));
    EXPECT_FALSE(clouds.Picture->HasAlpha());
    EXPECT_NE(At(clouds, 0, 0), At(clouds, 300, 400)) << "a picture, not a flat colour";
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(HimetricToPixels(clouds.Picture->WidthHimetric(), GetDeviceCaps(screen, LOGPIXELSX)), 602);
    ReleaseDC(nullptr, screen);
    for (const PictureLoadResult& other :
         {loader.LoadResPicture("CLOUDS"), loader.LoadPictureFile(WinePath(VANTOREL_CLOUDS_BMP))}) {
        ASSERT_EQ(other.Error, 0);
        EXPECT_EQ(other.Picture->WidthHimetric(), clouds.Picture->WidthHimetric());
        EXPECT_TRUE(std::equal(other.Picture->Pixels(), other.Picture->Pixels() + 602 * 425,
                               clouds.Picture->Pixels()));
    }
    const PictureLoadResult unknown = loader.LoadResPicture("NoSuchBitmap");
    EXPECT_EQ(unknown.Error, ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_FALSE(unknown.Picture);
}

TEST(OlePictureLoader, GifIconAndJpegFilesDecodeWithTheirColoursAndTransparency) {
    OlePictureLoader& loader = OlePictureLoader::Instance();
    const PictureLoadResult gif =
        loader.LoadPictureFile(WriteFile("sample.gif", Bytes(std::begin(kSampleGif), std::end(kSampleGif))));
    ASSERT_EQ(gif.Error, 0);
    ASSERT_EQ(gif.Picture->Width(), 4);
    // Red, blue, transparent, black.
    EXPECT_EQ((std::vector<uint32_t>{At(gif, 0, 0), At(gif, 3, 0), At(gif, 2, 0) >> 24, At(gif, 1, 1)}),
              (std::vector<uint32_t>{0xFF0000FF, 0xFFFF0000, 0, 0xFF000000}));

    std::vector<uint32_t> icon(16 * 16, 0xFF00FF00); // green
    icon[0] = 0x00000000;                            // transparent corner
    icon[17] = 0x80FF0000;                           // half-transparent blue
    const PictureLoadResult ico = loader.LoadPictureFile(WriteFile("sample.ico", Ico32(16, icon)));
    ASSERT_EQ(ico.Error, 0);
    ASSERT_EQ(ico.Picture->Width(), 16);
    EXPECT_EQ(At(ico, 5, 5), 0xFF00FF00u);
    EXPECT_EQ(At(ico, 0, 0) >> 24, 0u);
    EXPECT_NEAR(static_cast<int>(At(ico, 1, 1) >> 24), 128, 2);
    EXPECT_NEAR(static_cast<int>((At(ico, 1, 1) >> 16) & 0xFF), 255, 3);

    const PictureLoadResult jpg = loader.LoadPictureFile(
        WriteFile("sample.jpg", Bytes(std::begin(kSampleJpeg), std::end(kSampleJpeg))));
    ASSERT_EQ(jpg.Error, 0);
    ASSERT_EQ(jpg.Picture->Width() * 10 + jpg.Picture->Height(), 168);
    for (const auto& [shift, value] : {std::pair{0, 200}, {8, 40}, {16, 60}}) // red, green, blue
        EXPECT_NEAR(static_cast<int>((At(jpg, 8, 4) >> shift) & 0xFF), value, 8) << shift;
}

TEST(OlePictureLoader, MissingBrokenForeignAndOversizedFilesFailWithAnErrorNumber) {
    const Bytes bmp = Bmp(40, 30);
    const Bytes gif(std::begin(kSampleGif), std::end(kSampleGif)),
        jpg(std::begin(kSampleJpeg), std::end(kSampleJpeg));
    Bytes claimsHuge = Bmp(2, 2);
    for (size_t at : {18, 19, 22, 23}) // 30000 x 30000 in the header, two rows of data
        claimsHuge[at] = at % 2 ? 0x75 : 0x30;
    const std::string text = "This is a text file, not a picture.\r\n";
    // The error number each must give, or 0 for any.
    const std::tuple<std::string, Bytes, int32_t> files[] = {
        {"empty.bmp", {}, 0},
        {"text.jpg", Bytes(text.begin(), text.end()), 0},
        {"cut.bmp", Bytes(bmp.begin(), bmp.begin() + 100), 0},
        {"head.bmp", Bytes(bmp.begin(), bmp.begin() + 20), 0},
        {"cut.gif", Bytes(gif.begin(), gif.begin() + 30), 0},
        {"cut.jpg", Bytes(jpg.begin(), jpg.begin() + 120), 0},
        {"huge.bmp", claimsHuge, 0},
        {"wide.bmp", Bmp(40000, 2), 6},                                    // beyond 16-bit sides: overflow
        {"large.bmp", Bmp(9000, 8000), static_cast<int32_t>(0x8007000Eu)}, // too large to hold: out of memory
    };
    std::vector<std::pair<std::string, int32_t>> paths = {{"C:\\no-such-folder\\picture.bmp", 0}};
    for (const auto& [name, data, error] : files)
        paths.push_back({WriteFile(name, data), error});
    for (const auto& [path, error] : paths) {
        const PictureLoadResult r = OlePictureLoader::Instance().LoadPictureFile(path);
        EXPECT_TRUE(error ? r.Error == error : r.Error != 0) << path << ": " << r.Error;
        EXPECT_FALSE(r.Picture) << path;
    }
    EXPECT_EQ(OlePictureLoader::Instance().LoadPictureFile(WriteFile("fits.bmp", Bmp(32767, 1))).Error, 0);
}
