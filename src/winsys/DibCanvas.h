#pragma once
#include "winsys/Handles.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

// A 32-bit top-down DIB section selected into a memory DC of its own, for drawing into with GDI and
// reading or writing its pixels directly (after GdiFlush). Whatever the DC held at the start goes
// back in before the DC is deleted, so that pens and fonts selected into it can be freed by their
// owners at any time afterwards. Sides below one pixel are one pixel.
class DibCanvas {
public:
    DibCanvas(int width, int height);
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    // False when the system had no DC or no bitmap for it: nothing may be drawn then.
    bool Valid() const { return m_bits != nullptr; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    size_t Count() const { return static_cast<size_t>(m_width) * m_height; }
    HDC Dc() const { return m_dc.Get(); }
    uint32_t* Bits() const { return m_bits; }

private:
    int m_width;
    int m_height;
    UniqueBitmap m_bitmap;
    MemoryDc m_dc;
    uint32_t* m_bits = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    HGDIOBJ m_oldPen = nullptr;
    HGDIOBJ m_oldFont = nullptr;
};
