#include "support/RasterSurface.h"

#include <algorithm>

namespace {
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
    m_canvas.Attach(m_pixels.data(), m_width, m_height);
    m_baseValid = false;
    Clear();
}

int32_t RasterSurface::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return -1;
    return static_cast<int32_t>(m_pixels[static_cast<size_t>(y) * m_width + x]);
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

void RasterSurface::Line(float x1, float y1, float x2, float y2) {
    DevicePoint from, to;
    if (ToDeviceLine(x1, y1, x2, y2, from, to))
        m_canvas.Line(from, to, m_pen, m_style);
}

void RasterSurface::Lines(const LineSegment* lines, size_t count) {
    m_canvas.Lines(lines, count, m_pen, m_style);
}

void RasterSurface::ColouredLines(const LineSegment* lines, const int32_t* colours, size_t count) {
    if (count == 0)
        return;
    m_values.resize(count);
    for (size_t i = 0; i < count; ++i)
        m_values[i] = static_cast<uint32_t>(colours[i]) & 0xFFFFFF;
    m_canvas.Lines(lines, m_values.data(), count, m_style);
    SetPenColor(colours[count - 1]);
}

void RasterSurface::SetPixel(float x, float y) {
    DevicePoint p;
    if (ToDevicePoint(x, y, p))
        m_canvas.Put(p.X, p.Y, m_pen);
}

TextSize RasterSurface::MeasureText(const std::string& text) {
    return {static_cast<double>(text.size()) * kCharWidth, static_cast<double>(kCharHeight)};
}

void RasterSurface::PrintText(float x, float y, const std::string& text) {
    m_texts.push_back({x, y, text, static_cast<int32_t>(m_pen)});
}

void RasterSurface::DrawPicture(const GraphPicture& picture, int x, int y) {
    const int width = HimetricToPixelsX(picture.WidthHimetric());
    const int height = HimetricToPixelsY(picture.HeightHimetric());
    DrawPicture(picture, x, y, width, height, 0, 0, width, height);
}

void RasterSurface::DrawPicture(const GraphPicture& picture, int dx, int dy, int dw, int dh, int sx, int sy,
                                int sw, int sh) {
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
