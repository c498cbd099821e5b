#include "graph/PictureLimits.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
using Bytes = std::vector<uint8_t>;

void Le(Bytes& b, uint32_t v, int n) {
    for (int i = 0; i < n; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Be16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}

// The headers alone, as the start of a file: no pixel follows, and none is needed to refuse it.
Bytes BmpHead(int32_t width, int32_t height) {
    Bytes b{'B', 'M'};
    Le(b, 54, 4), Le(b, 0, 4), Le(b, 54, 4), Le(b, 40, 4);
    Le(b, static_cast<uint32_t>(width), 4), Le(b, static_cast<uint32_t>(height), 4), Le(b, 1, 2),
        Le(b, 24, 2);
    b.resize(54, 0);
    return b;
}
Bytes GifHead(uint32_t width, uint32_t height) {
    Bytes b{'G', 'I', 'F', '8', '9', 'a'};
    Le(b, width, 2), Le(b, height, 2);
    b.resize(13, 0);
    return b;
}
// An APP0 segment, then the frame header (SOF2, progressive) with its size.
Bytes JpegHead(uint32_t width, uint32_t height) {
    Bytes b{0xFF, 0xD8, 0xFF, 0xE0};
    Be16(b, 16);
    b.resize(b.size() + 14, 0);
    b.insert(b.end(), {0xFF, 0xC2});
    Be16(b, 17), b.push_back(8), Be16(b, height), Be16(b, width), b.push_back(3);
    return b;
}

int32_t Check(const Bytes& head, int64_t fileBytes = 1000) {
    return CheckPictureFile(fileBytes, head.data(), head.size());
}
} // namespace

TEST(PictureLimits, PicturesDeclaringMoreThan16MegapixelsAreRefusedFromTheirHeaders) {
    EXPECT_EQ(Check(BmpHead(30000, 30000)), kErrPictureTooLarge);
    EXPECT_EQ(Check(BmpHead(4000, -4001)), kErrPictureTooLarge) << "rows stored top-down";
    EXPECT_EQ(Check(BmpHead(4000, -4000)), 0) << "16 megapixels are allowed";
    // The old 12-byte header keeps its sides in 16 bits.
    const auto os2 = [](uint32_t width, uint32_t height) {
        Bytes b{'B', 'M'};
        Le(b, 26, 4), Le(b, 0, 4), Le(b, 26, 4), Le(b, 12, 4), Le(b, width, 2), Le(b, height, 2);
        Le(b, 1, 2), Le(b, 24, 2);
        return b;
    };
    EXPECT_EQ(Check(os2(30000, 30000)), kErrPictureTooLarge);
    EXPECT_EQ(Check(os2(4000, 4000)), 0);
    EXPECT_EQ(Check(GifHead(30000, 30000)), kErrPictureTooLarge);
    EXPECT_EQ(Check(GifHead(640, 480)), 0);
    EXPECT_EQ(Check(JpegHead(30000, 30000)), kErrPictureTooLarge);
    EXPECT_EQ(Check(JpegHead(1920, 1080)), 0);
}

TEST(PictureLimits, SizesAreReadWhereEachFormatStatesThem) {
    const Bytes head = JpegHead(1920, 1080);
    const DeclaredSize jpeg = DeclaredPictureSize(head.data(), head.size());
    EXPECT_TRUE(jpeg.Known);
    EXPECT_EQ(jpeg.Width, 1920);
    EXPECT_EQ(jpeg.Height, 1080);
    // An icon directory of a 16 x 16 and a 256 x 256 entry (a side byte of 0 means 256).
    Bytes ico{0, 0, 1, 0, 2, 0, 16, 16, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    ico.insert(ico.end(), {0, 0, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    const DeclaredSize icon = DeclaredPictureSize(ico.data(), ico.size());
    EXPECT_TRUE(icon.Known);
    EXPECT_EQ(icon.Width, 256);
    EXPECT_EQ(icon.Height, 256);
    const Bytes bmp = BmpHead(10, 10);
    EXPECT_FALSE(DeclaredPictureSize(bmp.data(), 20).Known) << "a head too short to say";
    EXPECT_EQ(Check({'h', 'e', 'l', 'l', 'o'}), 0) << "an unknown format is left to the decoder";
    // A file larger than 32 megabytes is refused whatever it says.
    EXPECT_EQ(Check(GifHead(10, 10), kMaxPictureFileBytes), 0);
    EXPECT_EQ(Check(GifHead(10, 10), kMaxPictureFileBytes + 1), kErrPictureTooLarge);
}
