#include "graph/PictureLimits.h"

namespace {
uint32_t Le16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0] | p[1] << 8);
}
uint32_t Le32(const uint8_t* p) {
    return Le16(p) | Le16(p + 2) << 16;
}
uint32_t Be16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0] << 8 | p[1]);
}

DeclaredSize Bitmap(const uint8_t* h, size_t n) {
    if (n < 26)
        return {};
    if (Le32(h + 14) == 12) {
        const auto height = static_cast<int16_t>(Le16(h + 20));
        return {true, Le16(h + 18), height < 0 ? -height : height};
    }
    const auto width = static_cast<int32_t>(Le32(h + 18));
    const auto height = static_cast<int32_t>(Le32(h + 22));
    // Rows stored top-down carry a negative height.
    return {true, width, height < 0 ? -static_cast<int64_t>(height) : height};
}

// The frame header (SOF0 to SOF15 but the table markers C4, C8 and CC) holds the size; the segments
// before it are skipped by their lengths.
DeclaredSize Jpeg(const uint8_t* h, size_t n) {
    size_t at = 2;
    while (at + 4 <= n) {
        if (h[at] != 0xFF)
            return {};
        const uint8_t marker = h[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame)
            return at + 9 <= n ? DeclaredSize{true, Be16(h + at + 7), Be16(h + at + 5)} : DeclaredSize{};
        at += 2 + Be16(h + at + 2);
    }
    return {};
}

// The largest image of the directory; a width or height byte of 0 means 256.
DeclaredSize Icon(const uint8_t* h, size_t n) {
    const size_t count = Le16(h + 4);
    DeclaredSize largest{true, 0, 0};
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = 6 + 16 * i;
        if (entry + 16 > n)
            return {};
        const int64_t w = h[entry] ? h[entry] : 256, height = h[entry + 1] ? h[entry + 1] : 256;
        if (w * height > largest.Width * largest.Height)
            largest = {true, w, height};
    }
    return largest;
}
} // namespace

DeclaredSize DeclaredPictureSize(const uint8_t* head, size_t length) {
    if (length >= 2 && head[0] == 'B' && head[1] == 'M')
        return Bitmap(head, length);
    if (length >= 10 && head[0] == 'G' && head[1] == 'I' && head[2] == 'F')
        return {true, Le16(head + 6), Le16(head + 8)};
    if (length >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF)
        return Jpeg(head, length);
    if (length >= 6 && Le16(head) == 0 && (Le16(head + 2) == 1 || Le16(head + 2) == 2) && Le16(head + 4) > 0)
        return Icon(head, length);
    return {};
}

int32_t CheckPictureFile(int64_t fileBytes, const uint8_t* head, size_t length) {
    if (fileBytes > kMaxPictureFileBytes)
        return kErrPictureTooLarge;
    const DeclaredSize size = DeclaredPictureSize(head, length);
    if (size.Known && size.Width * size.Height > kMaxPicturePixels)
        return kErrPictureTooLarge;
    return 0;
}
