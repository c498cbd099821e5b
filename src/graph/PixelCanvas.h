#pragma once
#include "graph/GraphSurface.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Sets n pixels from p on to value: std::fill, with 16-byte stores where the processor has them (the
// Win32 build is not compiled to vectorise loops by itself).
void Fill32(uint32_t* p, size_t n, uint32_t value);

// Lines and pixels drawn by GDI's rules for a one-pixel cosmetic pen into a 32-bit pixel buffer that
// its owner holds (top row first, one value per pixel, stored as given): Bresenham with GDI's bias
// per octant, the end pixel left out, dash 18/6 and dot 3/3 patterns starting at the line's start,
// gaps left untouched. Only what lies inside the buffer is visited, however long the line.
class PixelCanvas {
public:
    PixelCanvas() = default;
    PixelCanvas(uint32_t* pixels, int width, int height) { Attach(pixels, width, height); }
    void Attach(uint32_t* pixels, int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    uint32_t* Pixels() const { return m_pixels; }

    void Line(DevicePoint from, DevicePoint to, uint32_t value, PenStyle style);
    // The same pixels as Line for each, in one pass over the rows a batch of solid vertical lines covers.
    void Lines(const LineSegment* lines, size_t count, uint32_t value, PenStyle style);
    // Each line in its own value, in order (a later line covers an earlier one).
    void Lines(const LineSegment* lines, const uint32_t* values, size_t count, PenStyle style);
    void Put(int64_t x, int64_t y, uint32_t value) {
        if (x >= 0 && y >= 0 && x < m_width && y < m_height)
            m_pixels[static_cast<size_t>(y) * m_width + static_cast<size_t>(x)] = value;
    }
    void Fill(uint32_t value);

private:
    bool FillColumns(const LineSegment* lines, size_t count, uint32_t value);

    uint32_t* m_pixels = nullptr;
    int m_width = 0;
    int m_height = 0;
    // First and last row of each column of a batch (reused between batches).
    std::vector<int32_t> m_top, m_bottom;
};
