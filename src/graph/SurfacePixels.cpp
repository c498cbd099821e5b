#include "graph/SurfacePixels.h"

#include <algorithm>
#include <cstring>

uint32_t SwapRedBlue(uint32_t colour) {
    return (colour & 0xFF00FF00) | ((colour >> 16) & 0xFF) | ((colour & 0xFF) << 16);
}

uint32_t BlendChannels(uint32_t target, uint32_t colour, uint32_t coverage) {
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t a = (coverage >> shift) & 0xFF;
        const uint32_t t = ((target >> shift) & 0xFF) * (255 - a) + ((colour >> shift) & 0xFF) * a + 128;
        result |= ((t + (t >> 8)) >> 8) << shift; // t / 255, rounded, without a division
    }
    return result;
}

GlyphCoverage CoverageOfCell(const uint32_t* cell, int width, int height) {
    GlyphCoverage glyph;
    int left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (cell[static_cast<size_t>(y) * width + x] & 0xFFFFFF) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < left)
        return glyph;
    glyph.Left = left;
    glyph.Top = top;
    glyph.Width = right - left + 1;
    glyph.Height = bottom - top + 1;
    glyph.Coverage.resize(static_cast<size_t>(glyph.Width) * glyph.Height);
    for (int y = 0; y < glyph.Height; ++y)
        for (int x = 0; x < glyph.Width; ++x)
            glyph.Coverage[static_cast<size_t>(y) * glyph.Width + x] =
                cell[static_cast<size_t>(y + top) * width + x + left] & 0xFFFFFF;
    return glyph;
}

void DrawCoverage(uint32_t* pixels, int width, int height, int64_t x, int64_t y, const GlyphCoverage& glyph,
                  uint32_t colour) {
    const int64_t fromX = std::max<int64_t>(0, -x), toX = std::min<int64_t>(glyph.Width, width - x);
    const int64_t fromY = std::max<int64_t>(0, -y), toY = std::min<int64_t>(glyph.Height, height - y);
    for (int64_t gy = fromY; gy < toY; ++gy) {
        const uint32_t* coverage = glyph.Coverage.data() + gy * glyph.Width;
        uint32_t* target = pixels + (y + gy) * width + x;
        for (int64_t gx = fromX; gx < toX; ++gx) {
            const uint32_t a = coverage[gx];
            if (a == 0xFFFFFF)
                target[gx] = colour;
            else if (a)
                target[gx] = BlendChannels(target[gx] & 0xFFFFFF, colour, a);
        }
    }
}

void CopyOverlap(uint32_t* target, int tw, int th, const uint32_t* source, int sw, int sh) {
    const int rows = std::min(th, sh), columns = std::min(tw, sw);
    for (int y = 0; y < rows; ++y)
        std::memcpy(target + static_cast<size_t>(y) * tw, source + static_cast<size_t>(y) * sw,
                    sizeof(uint32_t) * columns);
}

void PictureToPremultipliedBgra(const uint32_t* source, size_t count, bool hasAlpha, uint32_t* target) {
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = source[i];
        uint32_t r = p & 0xFF, g = (p >> 8) & 0xFF, b = (p >> 16) & 0xFF;
        const uint32_t a = p >> 24;
        if (hasAlpha) {
            r = (r * a + 127) / 255;
            g = (g * a + 127) / 255;
            b = (b * a + 127) / 255;
        }
        target[i] = (a << 24) | (r << 16) | (g << 8) | b;
    }
}
