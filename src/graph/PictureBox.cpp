#include "graph/PictureBox.h"
#include "base/mLogging.h"
#include "graph/PictureBoxCanvas.h"
#include "graph/SurfacePixels.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

// One character as GDI draws it in the current font, placed relative to the pen position.
struct PictureBox::Glyph : GlyphCoverage {
    int Advance = 0;
};

PictureBox::PictureBox() : m_glyphs(256) {
    {
        WindowDc screen;
        m_dpiX = GetDeviceCaps(screen.Get(), LOGPIXELSX);
        m_dpiY = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    }
    m_systemDpi = m_dpiY > 0 ? m_dpiY : 96;
    m_font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    m_canvas = std::make_unique<Canvas>(1, 1);
    m_pixels.Attach(m_canvas->Bits(), m_canvas->Width(), m_canvas->Height());
    m_pixels.Fill(Native(m_backColor));
}

PictureBox::~PictureBox() {
    if (m_hwnd) {
        SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
    }
}

bool PictureBox::Create(HWND parent, int x, int y, int width, int height) {
    // A DC of its own: showing each drawing at once then costs one copy, not a trip through the
    // window manager that invalidating the window would take.
    if (!CreateWindowObject("VantorelPictureBox", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, x, y, width,
                            height, parent, CS_DBLCLKS | CS_OWNDC))
        return false;
    RECT client{};
    GetClientRect(m_hwnd, &client);
    Resize(client.right, client.bottom);
    return true;
}

void PictureBox::Move(int x, int y, int width, int height) {
    if (m_hwnd)
        MoveWindow(m_hwnd, x, y, width, height, TRUE);
}

HDC PictureBox::CanvasDC() const {
    return m_canvas->Dc();
}

uint32_t PictureBox::Native(uint32_t colour) const {
    return SwapRedBlue(colour & 0xFFFFFF);
}

void PictureBox::Sync() {
    if (m_gdiPending) {
        GdiFlush();
        m_gdiPending = false;
    }
}

void PictureBox::Resize(int width, int height) {
    if (m_canvas->Width() == std::max(width, 1) && m_canvas->Height() == std::max(height, 1))
        return;
    auto canvas = std::make_unique<Canvas>(width, height);
    if (!canvas->Valid())
        return; // no memory for the new size: keep drawing on the old one
    Sync();
    // Until the next drawing the window shows the old picture on the background colour.
    Fill32(canvas->Bits(), canvas->Count(), Native(m_backColor));
    CopyOverlap(canvas->Bits(), canvas->Width(), canvas->Height(), m_canvas->Bits(), m_canvas->Width(),
                m_canvas->Height());
    m_canvas = std::move(canvas);
    m_pixels.Attach(m_canvas->Bits(), m_canvas->Width(), m_canvas->Height());
    m_selectedPen = nullptr;
    m_fontSelected = false;
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

void PictureBox::SetFont(const LOGFONTA& font) {
    m_designFont = font;
    m_hasDesignFont = true;
    ApplyFont();
}

void PictureBox::SetDpi(int dpi) {
    if (dpi <= 0 || (dpi == m_dpiX && dpi == m_dpiY))
        return;
    m_dpiX = m_dpiY = dpi;
    ApplyFont();
}

void PictureBox::ApplyFont() {
    HFONT next = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    // The stock font is made for the system DPI; any other size is a font of this box's own.
    if (m_hasDesignFont || m_dpiX != m_systemDpi || m_dpiY != m_systemDpi) {
        LOGFONTA font = m_designFont;
        if (!m_hasDesignFont)
            GetObjectA(next, sizeof font, &font);
        font.lfHeight = MulDiv(font.lfHeight, m_dpiY, m_systemDpi);
        font.lfWidth = MulDiv(font.lfWidth, m_dpiX, m_systemDpi);
        next = CreateFontIndirectA(&font);
        if (!next)
            return;
    }
    // Select the new font before the old one is deleted.
    SelectObject(m_canvas->Dc(), next);
    m_ownFont.Reset(next != GetStockObject(DEFAULT_GUI_FONT) ? next : nullptr);
    m_font = next;
    m_fontSelected = true;
    for (auto& glyph : m_glyphs)
        glyph.reset();
    m_textHeight = -1;
}

void PictureBox::SetPenWidth(int width) {
    m_penWidth = std::max(width, 1);
}

int32_t PictureBox::Point(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_canvas->Width() || y >= m_canvas->Height() || !m_canvas->Valid())
        return -1;
    GdiFlush();
    return static_cast<int32_t>(
        SwapRedBlue(m_canvas->Bits()[static_cast<size_t>(y) * m_canvas->Width() + x] & 0xFFFFFF));
}

void PictureBox::Paint(HDC hdc) {
    BitBlt(hdc, 0, 0, m_canvas->Width(), m_canvas->Height(), m_canvas->Dc(), 0, 0, SRCCOPY);
}

LRESULT PictureBox::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto shift = [wParam] {
        return ((wParam & MK_SHIFT) ? 1 : 0) | ((wParam & MK_CONTROL) ? 2 : 0) |
               (GetKeyState(VK_MENU) < 0 ? 4 : 0);
    };
    const auto mouseDown = [&](int button) {
        if (MouseDown)
            MouseDown(button, shift(), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    };
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        Paint(hdc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_PRINT:
        if ((lParam & PRF_CHECKVISIBLE) && !IsWindowVisible(hwnd))
            return 0;
        if (lParam & PRF_CLIENT)
            Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        Resize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        return mouseDown(1);
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        return mouseDown(2);
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        return mouseDown(4);
    case WM_LBUTTONDBLCLK:
        if (DblClick)
            DblClick();
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

void PictureBox::BeginDraw() {}

void PictureBox::EndDraw() {
    Sync();
    if (!m_hwnd)
        return;
    WindowDc dc(m_hwnd);
    Paint(dc.Get());
}

void PictureBox::SetBackColor(int32_t colour) {
    m_backColor = static_cast<uint32_t>(colour) & 0xFFFFFF;
}

void PictureBox::Clear() {
    Canvas& c = *m_canvas;
    const bool covers = m_image && m_image->Width() >= c.Width() && m_image->Height() >= c.Height();
    if (!covers) {
        // A surface of the background colour is kept ready, so that clearing is one copy.
        const uint32_t back = Native(m_backColor);
        if (!m_blank || m_blank->Width() != c.Width() || m_blank->Height() != c.Height() ||
            m_blankColour != back) {
            m_blank.reset();
            auto blank = std::make_unique<Canvas>(c.Width(), c.Height());
            if (blank->Valid()) {
                Fill32(blank->Bits(), blank->Count(), back);
                m_blank = std::move(blank);
                m_blankColour = back;
            }
        }
        if (m_blank) {
            BitBlt(c.Dc(), 0, 0, c.Width(), c.Height(), m_blank->Dc(), 0, 0, SRCCOPY);
        } else {
            Sync();
            Fill32(c.Bits(), c.Count(), back);
        }
    }
    if (m_image)
        BitBlt(c.Dc(), 0, 0, std::min(c.Width(), m_image->Width()), std::min(c.Height(), m_image->Height()),
               m_image->Dc(), 0, 0, SRCCOPY);
    m_gdiPending = true;
}

void PictureBox::RemoveBackgroundImage() {
    if (!m_image)
        return;
    m_image.reset();
    Clear();
}

void PictureBox::SnapshotAsBackgroundImage() {
    Canvas& c = *m_canvas;
    if (!m_image || m_image->Width() != c.Width() || m_image->Height() != c.Height()) {
        auto image = std::make_unique<Canvas>(c.Width(), c.Height());
        if (!image->Valid())
            return; // no memory: the surface goes on without a persistent image
        m_image = std::move(image);
    }
    Sync();
    std::memcpy(m_image->Bits(), c.Bits(), sizeof(uint32_t) * c.Count());
    // The background is drawn until the next rendering from this image alone: the picture's own copy,
    // kept only while its tiles were drawn, goes, so that the decoded picture is held once.
    m_pictureCache.reset();
}

double PictureBox::InnerWidth() const {
    RECT r{};
    return m_hwnd && GetClientRect(m_hwnd, &r) ? r.right : 0;
}

double PictureBox::InnerHeight() const {
    RECT r{};
    return m_hwnd && GetClientRect(m_hwnd, &r) ? r.bottom : 0;
}

double PictureBox::OuterWidth() const {
    RECT r{};
    return m_hwnd && GetWindowRect(m_hwnd, &r) ? r.right - r.left : 0;
}

double PictureBox::OuterHeight() const {
    RECT r{};
    return m_hwnd && GetWindowRect(m_hwnd, &r) ? r.bottom - r.top : 0;
}

void PictureBox::SetPenColor(int32_t colour) {
    m_penColor = static_cast<uint32_t>(colour) & 0xFFFFFF;
}
void PictureBox::SetPenStyle(PenStyle style) {
    m_penStyle = style;
}

bool PictureBox::UsePen() {
    HPEN pen = nullptr;
    for (const PenEntry& entry : m_pens) {
        if (entry.colour == m_penColor && entry.style == m_penStyle && entry.width == m_penWidth) {
            pen = entry.pen.Get();
            break;
        }
    }
    if (!pen) {
        const int style = m_penStyle == PenStyle::Dash  ? PS_DASH
                          : m_penStyle == PenStyle::Dot ? PS_DOT
                                                        : PS_SOLID;
        pen = CreatePen(style, m_penWidth, m_penColor);
        // Out of GDI objects: these lines are left out, the program goes on.
        if (!pen) {
            WriteLog("PictureBox: no pen could be made; lines skipped");
            return false;
        }
        m_pens.push_back({m_penColor, m_penStyle, m_penWidth, UniquePen(pen)});
    }
    if (pen != m_selectedPen) {
        SelectObject(m_canvas->Dc(), pen);
        m_selectedPen = pen;
    }
    return true;
}

void PictureBox::UseFont() {
    if (!m_fontSelected) {
        SelectObject(m_canvas->Dc(), m_font);
        m_fontSelected = true;
    }
}

void PictureBox::Line(float x1, float y1, float x2, float y2) {
    DevicePoint from, to;
    if (!ToDeviceLine(x1, y1, x2, y2, from, to))
        return;
    if (m_penWidth == 1) {
        Sync();
        m_pixels.Line(from, to, Native(m_penColor), m_penStyle);
        return;
    }
    if (!UsePen())
        return;
    MoveToEx(m_canvas->Dc(), from.X, from.Y, nullptr);
    LineTo(m_canvas->Dc(), to.X, to.Y);
    m_gdiPending = true;
}

void PictureBox::Lines(const LineSegment* lines, size_t count) {
    if (count == 0)
        return;
    if (m_penWidth == 1) {
        Sync();
        m_pixels.Lines(lines, count, Native(m_penColor), m_penStyle);
        return;
    }
    // One call for the whole batch: two-point polylines draw exactly what LineTo draws.
    m_points.clear();
    m_counts.clear();
    for (size_t i = 0; i < count; ++i) {
        DevicePoint from, to;
        if (!ToDeviceLine(lines[i].X1, lines[i].Y1, lines[i].X2, lines[i].Y2, from, to))
            continue;
        m_points.push_back({from.X, from.Y});
        m_points.push_back({to.X, to.Y});
        m_counts.push_back(2);
    }
    if (m_counts.empty())
        return;
    if (!UsePen())
        return;
    PolyPolyline(m_canvas->Dc(), m_points.data(), m_counts.data(), static_cast<DWORD>(m_counts.size()));
    m_gdiPending = true;
}

void PictureBox::ColouredLines(const LineSegment* lines, const int32_t* colours, size_t count) {
    if (count == 0)
        return;
    if (m_penWidth != 1) {
        IGraphSurface::ColouredLines(lines, colours, count);
        return;
    }
    m_values.resize(count);
    for (size_t i = 0; i < count; ++i)
        m_values[i] = Native(static_cast<uint32_t>(colours[i]));
    Sync();
    m_pixels.Lines(lines, m_values.data(), count, m_penStyle);
    SetPenColor(colours[count - 1]);
}

void PictureBox::SetPixel(float x, float y) {
    DevicePoint p;
    if (!ToDevicePoint(x, y, p))
        return;
    Sync();
    m_pixels.Put(p.X, p.Y, Native(m_penColor));
}

const PictureBox::Glyph& PictureBox::GlyphOf(unsigned char c) {
    std::unique_ptr<Glyph>& slot = m_glyphs[c];
    if (slot)
        return *slot;
    auto glyph = std::make_unique<Glyph>();
    UseFont();
    const char text[1] = {static_cast<char>(c)};
    SIZE size{};
    GetTextExtentPoint32A(m_canvas->Dc(), text, 1, &size);
    glyph->Advance = size.cx;
    // Drawn once by GDI, white on black, in a cell with room for strokes beyond the advance.
    const int pad = std::max<int>(size.cy, 4);
    Canvas cell(size.cx + 2 * pad, std::max<int>(size.cy, 1));
    if (cell.Valid()) {
        SelectObject(cell.Dc(), m_font);
        SetTextColor(cell.Dc(), RGB(255, 255, 255));
        std::fill(cell.Bits(), cell.Bits() + cell.Count(), 0);
        TextOutA(cell.Dc(), pad, 0, text, 1);
        GdiFlush();
        static_cast<GlyphCoverage&>(*glyph) = CoverageOfCell(cell.Bits(), cell.Width(), cell.Height());
        if (glyph->Width > 0)
            glyph->Left -= pad;
    }
    slot = std::move(glyph);
    return *slot;
}

const std::vector<int>& PictureBox::Extents(const std::string& text) {
    // GDI's extents of a text are the sums of its characters' advances (no kerning).
    m_extents.resize(text.size());
    int sum = 0;
    for (size_t i = 0; i < text.size(); ++i)
        m_extents[i] = sum += GlyphOf(static_cast<unsigned char>(text[i])).Advance;
    return m_extents;
}

TextSize PictureBox::MeasureText(const std::string& text) {
    if (m_textHeight < 0) {
        UseFont();
        TEXTMETRICA metrics{};
        GetTextMetricsA(m_canvas->Dc(), &metrics);
        m_textHeight = metrics.tmHeight;
    }
    const std::vector<int>& extents = Extents(text);
    return {extents.empty() ? 0.0 : static_cast<double>(extents.back()), static_cast<double>(m_textHeight)};
}

void PictureBox::PrintText(float x, float y, const std::string& text) {
    DevicePoint p;
    if (!ToDevicePoint(x, y, p))
        return;
    const uint32_t colour = Native(m_penColor);
    const std::vector<int>& extents = Extents(text);
    for (size_t i = 0; i < text.size(); ++i) {
        const Glyph& glyph = GlyphOf(static_cast<unsigned char>(text[i]));
        Sync();
        // Each character starts where TextOut puts it: at the extent of the text before it.
        const int64_t penX = static_cast<int64_t>(p.X) + (i == 0 ? 0 : extents[i - 1]);
        const int64_t x0 = penX + glyph.Left, y0 = static_cast<int64_t>(p.Y) + glyph.Top;
        DrawCoverage(m_canvas->Bits(), m_canvas->Width(), m_canvas->Height(), x0, y0, glyph, colour);
    }
}
