#include "graph/PixelCanvas.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

bool PatternOn(PenStyle style, int64_t step) {
    switch (style) {
    case PenStyle::Dash:
        return step % 24 < 18;
    case PenStyle::Dot:
        return step % 6 < 3;
    default:
        return true;
    }
}
} // namespace

void Fill32(uint32_t* p, size_t n, uint32_t value) {
#if defined(__SSE2__)
    for (; n > 0 && (reinterpret_cast<uintptr_t>(p) & 15) != 0; --n)
        *p++ = value;
    const __m128i value4 = _mm_set1_epi32(static_cast<int32_t>(value));
    for (; n >= 8; n -= 8, p += 8) {
        _mm_store_si128(reinterpret_cast<__m128i*>(p), value4);
        _mm_store_si128(reinterpret_cast<__m128i*>(p + 4), value4);
    }
#endif
    for (; n > 0; --n)
        *p++ = value;
}

void PixelCanvas::Attach(uint32_t* pixels, int width, int height) {
    m_pixels = pixels;
    m_width = pixels ? std::max(width, 0) : 0;
    m_height = pixels ? std::max(height, 0) : 0;
}

void PixelCanvas::Fill(uint32_t value) {
    Fill32(m_pixels, static_cast<size_t>(m_width) * m_height, value);
}

void PixelCanvas::Line(DevicePoint from, DevicePoint to, uint32_t value, PenStyle style) {
    if (from.X == to.X && style == PenStyle::Solid) {
        // The columns of a graph: straight down or up, end row left out.
        if (from.X < 0 || from.X >= m_width || from.Y == to.Y)
            return;
        int64_t lo, hi;
        if (to.Y < from.Y) {
            lo = static_cast<int64_t>(to.Y) + 1;
            hi = from.Y;
        } else {
            lo = from.Y;
            hi = static_cast<int64_t>(to.Y) - 1;
        }
        lo = std::max<int64_t>(lo, 0);
        hi = std::min<int64_t>(hi, m_height - 1);
        const ptrdiff_t stride = m_width;
        uint32_t* p = m_pixels + lo * stride + from.X;
        for (int64_t n = hi - lo + 1; n > 0; --n, p += stride)
            *p = value;
        return;
    }
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
    uint32_t* const pixels = m_pixels;
    const ptrdiff_t stride = m_width;

    if (minor == 0 && xMajor && minorStart >= 0 && minorStart < minorLimit) {
        // Grid lines: runs of the pattern along one row.
        const int64_t on = style == PenStyle::Dash ? 18 : style == PenStyle::Dot ? 3 : major;
        const int64_t period = style == PenStyle::Dash ? 24 : style == PenStyle::Dot ? 6 : major;
        uint32_t* row = pixels + minorStart * stride;
        for (int64_t k = first - first % period; k < last; k += period) {
            const int64_t runFirst = std::max(k, first), runLast = std::min(k + on, last);
            for (int64_t step = runFirst; step < runLast; ++step)
                row[majorStart + majorInc * step] = value;
        }
        return;
    }
    if (minor == 0 && xMajor)
        return; // a row outside the buffer

    if (!xMajor && style == PenStyle::Solid && minor == 1) {
        // One column to the side, as joined samples are: the first half of the steps in the start
        // column, the rest in the next; the step that moves is the first k with 2k + 1 + bias > major.
        const int64_t split = std::clamp<int64_t>((major - bias) / 2 + 1, first, last);
        const int64_t columns[2] = {minorStart, minorStart + minorInc};
        const int64_t from[2] = {first, split}, to[2] = {split, last};
        for (int part = 0; part < 2; ++part) {
            if (from[part] >= to[part] || columns[part] < 0 || columns[part] >= m_width)
                continue;
            const int64_t y0 = majorStart + majorInc * from[part],
                          y1 = majorStart + majorInc * (to[part] - 1);
            uint32_t* p = pixels + std::min(y0, y1) * stride + columns[part];
            for (int64_t n = to[part] - from[part]; n > 0; --n, p += stride)
                *p = value;
        }
        return;
    }
    if (!xMajor && style == PenStyle::Solid) {
        // A steep solid line across two columns or more is a few vertical runs, one per column: the run of
        // column minorStart + moved * minorInc ends at the first step where the minor axis has moved once
        // more.
        int64_t k = first;
        while (k < last) {
            const int64_t moved = (2 * minor * k + major + bias - 1) / (2 * major);
            // Smallest step with 2 * minor * step + major + bias - 1 >= 2 * major * (moved + 1).
            const int64_t need = 2 * major * (moved + 1) - major - bias + 1;
            const int64_t next = std::min(last, (need + 2 * minor - 1) / (2 * minor));
            const int64_t x = minorStart + minorInc * moved;
            if (x >= 0 && x < m_width) {
                const int64_t y0 = majorStart + majorInc * k, y1 = majorStart + majorInc * (next - 1);
                const int64_t lo = std::min(y0, y1);
                uint32_t* p = pixels + lo * stride + x;
                for (int64_t n = next - k; n > 0; --n, p += stride)
                    *p = value;
            }
            k = std::max(next, k + 1);
        }
        return;
    }

    // Bresenham, started at the first step inside the buffer: after k steps along the major axis the
    // minor axis has moved floor((2 * minor * k + major + bias - 1) / (2 * major)) times, exactly as
    // the stepwise error term with GDI's bias does. From there the error term goes on step by step.
    int64_t moved = (2 * minor * first + major + bias - 1) / (2 * major);
    int64_t error = 2 * minor * (first + 1) - major - 2 * major * moved;
    for (int64_t k = first; k < last; ++k) {
        if (PatternOn(style, k)) {
            const int64_t m = minorStart + minorInc * moved;
            const int64_t M = majorStart + majorInc * k;
            if (xMajor)
                Put(M, m, value);
            else
                Put(m, M, value);
        }
        if (error + bias > 0) {
            ++moved;
            error += 2 * minor - 2 * major;
        } else {
            error += 2 * minor;
        }
    }
}

void PixelCanvas::Lines(const LineSegment* lines, const uint32_t* values, size_t count, PenStyle style) {
    for (size_t i = 0; i < count; ++i) {
        DevicePoint from, to;
        if (ToDeviceLine(lines[i].X1, lines[i].Y1, lines[i].X2, lines[i].Y2, from, to))
            Line(from, to, values[i], style);
    }
}

void PixelCanvas::Lines(const LineSegment* lines, size_t count, uint32_t value, PenStyle style) {
    if (style == PenStyle::Solid && FillColumns(lines, count, value))
        return;
    for (size_t i = 0; i < count; ++i) {
        DevicePoint from, to;
        if (ToDeviceLine(lines[i].X1, lines[i].Y1, lines[i].X2, lines[i].Y2, from, to))
            Line(from, to, value, style);
    }
}

// A batch of solid vertical lines in distinct columns (the graph's columns) is written row by row:
// each row is one pass along memory instead of a jump of a whole row per pixel. False, with nothing
// drawn, for any other batch.
bool PixelCanvas::FillColumns(const LineSegment* lines, size_t count, uint32_t value) {
    if (m_width == 0 || m_height == 0)
        return true;
    m_top.assign(static_cast<size_t>(m_width), INT32_MAX);
    m_bottom.assign(static_cast<size_t>(m_width), INT32_MIN);
    int32_t firstColumn = INT32_MAX, lastColumn = INT32_MIN;
    for (size_t i = 0; i < count; ++i) {
        DevicePoint from, to;
        if (!ToDeviceLine(lines[i].X1, lines[i].Y1, lines[i].X2, lines[i].Y2, from, to))
            continue;
        if (from.X != to.X)
            return false;
        if (from.Y == to.Y || from.X < 0 || from.X >= m_width)
            continue;
        // The end row is left out.
        int64_t lo = to.Y < from.Y ? static_cast<int64_t>(to.Y) + 1 : from.Y;
        int64_t hi = to.Y < from.Y ? from.Y : static_cast<int64_t>(to.Y) - 1;
        lo = std::max<int64_t>(lo, 0);
        hi = std::min<int64_t>(hi, m_height - 1);
        if (lo > hi)
            continue;
        if (m_top[from.X] != INT32_MAX)
            return false; // two lines in one column: drawn one by one
        m_top[from.X] = static_cast<int32_t>(lo);
        m_bottom[from.X] = static_cast<int32_t>(hi);
        firstColumn = std::min(firstColumn, from.X);
        lastColumn = std::max(lastColumn, from.X);
    }
    const int32_t* top = m_top.data();
    const int32_t* bottom = m_bottom.data();
    // Locals: a pixel store could otherwise be taken to change the canvas's own fields.
    uint32_t* const pixels = m_pixels;
    const ptrdiff_t stride = m_width;
    // Runs of neighbouring columns: rows that every column of a run covers are filled in one go, the
    // others pixel by pixel.
    for (int32_t x = firstColumn; x <= lastColumn;) {
        if (top[x] == INT32_MAX) {
            ++x;
            continue;
        }
        const int32_t start = x;
        int32_t highest = top[x], lowest = bottom[x], sharedTop = top[x], sharedBottom = bottom[x];
        for (; x <= lastColumn && top[x] != INT32_MAX; ++x) {
            highest = std::min(highest, top[x]);
            lowest = std::max(lowest, bottom[x]);
            sharedTop = std::max(sharedTop, top[x]);
            sharedBottom = std::min(sharedBottom, bottom[x]);
        }
        const int32_t end = x; // one past the run
        if (end - start < 16) {
            // A narrow run (the excess of one direction here and there): its columns one by one.
            for (int32_t c = start; c < end; ++c) {
                uint32_t* p = pixels + static_cast<ptrdiff_t>(top[c]) * stride + c;
                for (int32_t n = bottom[c] - top[c] + 1; n > 0; --n, p += stride)
                    *p = value;
            }
            continue;
        }
        for (int32_t y = highest; y <= lowest; ++y) {
            uint32_t* row = pixels + static_cast<ptrdiff_t>(y) * stride;
            if (y >= sharedTop && y <= sharedBottom) {
                Fill32(row + start, static_cast<size_t>(end - start), value);
                continue;
            }
            int32_t c = start;
#if defined(__SSE2__)
            const __m128i row4 = _mm_set1_epi32(y), value4 = _mm_set1_epi32(static_cast<int32_t>(value));
            for (; c + 4 <= end; c += 4) {
                const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + c));
                const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + c));
                const __m128i outside = _mm_or_si128(_mm_cmpgt_epi32(t, row4), _mm_cmpgt_epi32(row4, b));
                __m128i* target = reinterpret_cast<__m128i*>(row + c);
                const __m128i old = _mm_loadu_si128(target);
                _mm_storeu_si128(
                    target, _mm_or_si128(_mm_and_si128(outside, old), _mm_andnot_si128(outside, value4)));
            }
#endif
            for (; c < end; ++c)
                if (top[c] <= y && y <= bottom[c])
                    row[c] = value;
        }
    }
    return true;
}
