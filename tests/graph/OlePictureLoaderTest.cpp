#include "graph/OlePictureLoader.h"
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

TEST(OlePictureLoader, BuiltInBitmapsAndFilesDecodeWithTheirSizeAndTransparency) {
    OlePictureLoader& loader = OlePictureLoader::Instance();
    const PictureLoadResult clouds = loader.LoadResPicture("CLOUDS"), // names regardless of case
        file = loader.LoadPictureFile(WinePath(VANTOREL_CLOUDS_BMP));
    ASSERT_TRUE(clouds.Error == 0 && file.Error == 0);
    // The same natural size: the bitmap's pixels at the screen's resolution, as the file decodes.
    EXPECT_EQ(clouds.Picture->Width() * 1000 + clouds.Picture->Height(), 602425);
    EXPECT_EQ(file.Picture->Width() * 1000 + file.Picture->Height(), 602425);
    EXPECT_EQ(clouds.Picture->WidthHimetric(), file.Picture->WidthHimetric());
    EXPECT_TRUE(
        std::equal(file.Picture->Pixels(), file.Picture->Pixels() + 602 * 425, clouds.Picture->Pixels()));
    EXPECT_FALSE(clouds.Picture->HasAlpha());
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
}

TEST(OlePictureLoader, MissingBrokenForeignAndOversizedFilesFailWithAnErrorNumber) {
    const Bytes bmp = Bmp(40, 30);
    const std::string text = "This is a text file, not a picture.\r\n";
    // The error number each must give, or 0 for any.
    const std::tuple<std::string, Bytes, int32_t> files[] = {
        {"text.jpg", Bytes(text.begin(), text.end()), 0},
        {"cut.bmp", Bytes(bmp.begin(), bmp.begin() + 100), 0},
        {"head.bmp", Bytes(bmp.begin(), bmp.begin() + 20), 0},
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
