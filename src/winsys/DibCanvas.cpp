#include "winsys/DibCanvas.h"

#include <algorithm>

DibCanvas::DibCanvas(int width, int height) : m_width(std::max(width, 1)), m_height(std::max(height, 1)) {
    {
        WindowDc screen;
        m_dc.Reset(CreateCompatibleDC(screen.Get()));
    }
    if (!m_dc)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    m_bitmap.Reset(CreateDIBSection(m_dc.Get(), &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!m_bitmap || !pixels)
        return;
    m_oldBitmap = SelectObject(m_dc.Get(), m_bitmap.Get());
    m_oldPen = GetCurrentObject(m_dc.Get(), OBJ_PEN);
    m_oldFont = GetCurrentObject(m_dc.Get(), OBJ_FONT);
    m_bits = static_cast<uint32_t*>(pixels);
}

DibCanvas::~DibCanvas() {
    if (!m_dc)
        return;
    for (HGDIOBJ old : {m_oldBitmap, m_oldPen, m_oldFont})
        if (old)
            SelectObject(m_dc.Get(), old);
}
