#include "graph/RasterSurface.h"

#include <algorithm>
#include <cstdlib>

namespace {
// The half-open range of steps k in [0, length) for which start + k * inc lies in [0, limit).
void VisibleSteps(int64_t start, int inc, int64_t length, int64_t limit, int64_t& first, int64_t& last) {
    if (inc > 0) {
        first = std::max<int64_t>(0, -start);
        last = std::min<int64_t>(length, limit - start);
    } else {
        first = std::max<int64_t>(0, start - limit + 1);
        last = std::min<int64_t>(length, start + 1);
    }
}

uint32_t Blend(uint32_t source, uint32_t target) {
    const uint32_t a = source >> 24;
    if (a == 255)
        return source & 0xFFFFFF;
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t s = (source >> shift) & 0xFF, t = (target >> shift) & 0xFF;
        result |= ((s * a + t * (255 - a) + 127) / 255) << shift;
    }
    return result;
}
} // namespace

RasterSurface::RasterSurface(int width, int height) {
    Resize(width, height);
}

void RasterSurface::Resize(int width, int height) {
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_pixels.assign(static_cast<size_t>(m_width) * m_height, 0);
    m_baseValid = false;
    Clear();
}

int32_t RasterSurface::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return -1;
    return static_cast<int32_t>(m_pixels[static_cast<size_t>(y) * m_width + x]);
}

void RasterSurface::BeginDraw() {
    m_drawing = true;
}

void RasterSurface::EndDraw() {
    m_drawing = false;
    ++m_shown;
}

void RasterSurface::SetBackColor(int32_t colour) {
    const uint32_t c = static_cast<uint32_t>(colour) & 0xFFFFFF;
    if (c != m_backColor) {
        m_backColor = c;
        m_baseValid = false;
    }
}

void RasterSurface::RebuildBase() {
    m_base.assign(m_pixels.size(), m_backColor);
    if (m_hasImage) {
        const int w = std::min(m_imageWidth, m_width), h = std::min(m_imageHeight, m_height);
        for (int y = 0; y < h; ++y)
            std::copy_n(m_image.begin() + static_cast<ptrdiff_t>(y) * m_imageWidth, w,
                        m_base.begin() + static_cast<ptrdiff_t>(y) * m_width);
    }
    m_baseValid = true;
}

void RasterSurface::Clear() {
    if (!m_baseValid)
        RebuildBase();
    std::copy(m_base.begin(), m_base.end(), m_pixels.begin());
    m_texts.clear();
}

void RasterSurface::RemoveBackgroundImage() {
    if (!m_hasImage)
        return;
    m_hasImage = false;
    m_image.clear();
    m_baseValid = false;
    Clear();
}

void RasterSurface::SnapshotAsBackgroundImage() {
    m_image = m_pixels;
    m_imageWidth = m_width;
    m_imageHeight = m_height;
    m_hasImage = true;
    m_base = m_pixels;
    m_baseValid = true;
}

bool RasterSurface::PatternOn(int64_t step) const {
    switch (m_style) {
    case PenStyle::Dash:
        return step % 24 < 18;
    case PenStyle::Dot:
        return step % 6 < 3;
    default:
        return true;
    }
}

void RasterSurface::Put(int64_t x, int64_t y, uint32_t colour) {
    if (x >= 0 && y >= 0 && x < m_width && y < m_height)
        m_pixels[static_cast<size_t>(y) * m_width + static_cast<size_t>(x)] = colour;
}

void RasterSurface::Line(float x1, float y1, float x2, float y2) {
    DevicePoint from, to;
    if (ToDeviceLine(x1, y1, x2, y2, from, to))
        DeviceLine(from, to);
}

void RasterSurface::DeviceLine(DevicePoint from, DevicePoint to) {
    const int64_t dx = static_cast<int64_t>(to.X) - from.X;
    const int64_t dy = static_cast<int64_t>(to.Y) - from.Y;
    if (dx == 0 && dy == 0)
        return;
    const bool xMajor = std::llabs(dx) > std::llabs(dy);
    const int64_t major = xMajor ? std::llabs(dx) : std::llabs(dy);
    const int64_t minor = xMajor ? std::llabs(dy) : std::llabs(dx);
    const int majorInc = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const int minorInc = (xMajor ? dy : dx) > 0 ? 1 : -1;
    const int64_t majorStart = xMajor ? from.X : from.Y;
    const int64_t minorStart = xMajor ? from.Y : from.X;
    const int64_t majorLimit = xMajor ? m_width : m_height;
    const int64_t minorLimit = xMajor ? m_height : m_width;

    // GDI's octants (1 = east-south-east, counting clockwise in screen terms); 3, 5, 6 and 8 round
    // their midpoint ties the other way.
    int octant;
    if (dy > 0)
        octant = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
    else
        octant = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
    const int64_t bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;

    int64_t first, last;
    VisibleSteps(majorStart, majorInc, major, majorLimit, first, last);
    if (first >= last)
        return;

    if (minor == 0 && m_style == PenStyle::Solid) {
        if (minorStart < 0 || minorStart >= minorLimit)
            return;
        const int64_t a = majorStart + first * majorInc, b = majorStart + (last - 1) * majorInc;
        const int64_t lo = std::min(a, b), hi = std::max(a, b);
        if (xMajor) {
            auto row = m_pixels.begin() + static_cast<ptrdiff_t>(minorStart * m_width);
            std::fill(row + lo, row + hi + 1, m_pen);
        } else {
            uint32_t* p = m_pixels.data() + lo * m_width + minorStart;
            for (int64_t y = lo; y <= hi; ++y, p += m_width)
                *p = m_pen;
        }
        return;
    }

    // Bresenham in closed form: after k steps along the major axis the minor axis has moved
    // floor((2 * minor * k + major + bias - 1) / (2 * major)) times, exactly as the stepwise error
    // term with GDI's bias does; so only the steps inside the surface are visited.
    for (int64_t k = first; k < last; ++k) {
        if (!PatternOn(k))
            continue;
        const int64_t m = minorStart + minorInc * ((2 * minor * k + major + bias - 1) / (2 * major));
        const int64_t M = majorStart + majorInc * k;
        if (xMajor)
            Put(M, m, m_pen);
        else
            Put(m, M, m_pen);
    }
}

void RasterSurface::SetPixel(float x, float y) {
    DevicePoint p;
    if (ToDevicePoint(x, y, p))
        Put(p.X, p.Y, m_pen);
}

TextSize RasterSurface::MeasureText(const std::string& text) {
    return {static_cast<double>(text.size()) * kCharWidth, static_cast<double>(kCharHeight)};
}

void RasterSurface::PrintText(float x, float y, const std::string& text) {
    m_texts.push_back({x, y, text, static_cast<int32_t>(m_pen)});
    DevicePoint p;
    if (!ToDevicePoint(x, y, p))
        return;
    // Each character is a block inside its cell, so text shows up in pixels without any real glyphs.
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ')
            continue;
        const int64_t left = p.X + static_cast<int64_t>(i) * kCharWidth;
        for (int64_t row = 3; row < 11; ++row)
            for (int64_t col = 1; col < 5; ++col)
                Put(left + col, p.Y + row, m_pen);
    }
}

void RasterSurface::DrawPicture(const GraphPicture& picture, int x, int y) {
    const int width = HimetricToPixelsX(picture.WidthHimetric());
    const int height = HimetricToPixelsY(picture.HeightHimetric());
    DrawPicture(picture, x, y, width, height, 0, 0, width, height);
}

void RasterSurface::DrawPicture(const GraphPicture& picture, int dx, int dy, int dw, int dh, int sx, int sy,
                                int sw, int sh) {
    ++m_pictureDraws;
    // Source coordinates are natural-size pixels; the picture's own pixels may differ in number.
    const int naturalWidth = HimetricToPixelsX(picture.WidthHimetric());
    const int naturalHeight = HimetricToPixelsY(picture.HeightHimetric());
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || naturalWidth <= 0 || naturalHeight <= 0 ||
        picture.Width() <= 0 || picture.Height() <= 0)
        return;
    const int64_t x0 = std::max<int64_t>(dx, 0),
                  x1 = std::min<int64_t>(static_cast<int64_t>(dx) + dw, m_width);
    const int64_t y0 = std::max<int64_t>(dy, 0),
                  y1 = std::min<int64_t>(static_cast<int64_t>(dy) + dh, m_height);
    const uint32_t* source = picture.Pixels();
    for (int64_t py = y0; py < y1; ++py) {
        // Nearest source pixel to the centre of the target pixel.
        const double natural = sy + (py - dy + 0.5) * sh / dh;
        const int64_t row = std::clamp<int64_t>(
            static_cast<int64_t>(natural * picture.Height() / naturalHeight), 0, picture.Height() - 1);
        uint32_t* target = m_pixels.data() + py * m_width;
        for (int64_t px = x0; px < x1; ++px) {
            const double naturalX = sx + (px - dx + 0.5) * sw / dw;
            const int64_t col = std::clamp<int64_t>(
                static_cast<int64_t>(naturalX * picture.Width() / naturalWidth), 0, picture.Width() - 1);
            const uint32_t s = source[row * picture.Width() + col];
            if ((s >> 24) != 0)
                target[px] = Blend(s, target[px]);
        }
    }
}
