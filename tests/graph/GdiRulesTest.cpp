// The rasteriser and the glyph text of the surfaces against GDI itself, on the platform.
#include "graph/Dib32.h"
#include "graph/PictureBox.h"
#include "graph/PixelCanvas.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <sstream>
#include <vector>

namespace {
// A 32-bit top-down DIB in a memory DC, cleared to white.
class Dib {
public:
    Dib(int width, int height) : m_width(width), m_height(height) {
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDib32(m_dc, width, height, &m_bits);
        m_old = SelectObject(m_dc, m_bitmap);
        SetBkMode(m_dc, TRANSPARENT);
        Clear();
    }
    ~Dib() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;
    void Clear() {
        GdiFlush();
        std::fill(m_bits, m_bits + m_width * m_height, 0xFFFFFFu);
    }
    HDC Dc() const { return m_dc; }
    uint32_t* Bits() {
        GdiFlush();
        return m_bits;
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width, m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    uint32_t* m_bits;
};

std::string Differences(Dib& gdi, Dib& ours) {
    std::ostringstream out;
    int count = 0;
    for (int y = 0; y < gdi.Height(); ++y)
        for (int x = 0; x < gdi.Width(); ++x)
            if ((gdi.Bits()[y * gdi.Width() + x] & 0xFFFFFF) !=
                (ours.Bits()[y * gdi.Width() + x] & 0xFFFFFF)) {
                if (count++ < 6)
                    out << " (" << x << "," << y << ")";
            }
    return count ? std::to_string(count) + " pixels differ:" + out.str() : "";
}

// Draws the line with a real GDI pen and with the rasteriser, and compares.
std::string Compare(int x1, int y1, int x2, int y2, PenStyle style, int size = 64) {
    Dib gdi(size, size), ours(size, size);
    HPEN pen = CreatePen(style == PenStyle::Dash  ? PS_DASH
                         : style == PenStyle::Dot ? PS_DOT
                                                  : PS_SOLID,
                         1, 0);
    HGDIOBJ old = SelectObject(gdi.Dc(), pen);
    MoveToEx(gdi.Dc(), x1, y1, nullptr);
    LineTo(gdi.Dc(), x2, y2);
    SelectObject(gdi.Dc(), old);
    DeleteObject(pen);
    PixelCanvas canvas(ours.Bits(), size, size);
    canvas.Line({x1, y1}, {x2, y2}, 0, style);
    return Differences(gdi, ours);
}
} // namespace

TEST(GdiRules, LinesInEveryDirectionAndTheGridsPatternsHaveGdisPixels) {
    std::vector<std::array<int, 4>> solid = {{-50, 10, 120, 53}, {70, -3, -9, 80}, {5, 100000, 6, -100000}};
    for (int dx = -14; dx <= 14; ++dx)
        for (int dy = -14; dy <= 14; ++dy)
            solid.push_back({32, 32, 32 + dx, 32 + dy});
    for (int dy = -70; dy <= 70; dy += 7) // steep one-column steps, as joined samples are drawn
        solid.push_back({40, 30, 39, 30 + dy});
    for (const auto& [x1, y1, x2, y2] : solid)
        ASSERT_EQ(Compare(x1, y1, x2, y2, PenStyle::Solid), "") << x1 << "," << y1 << " " << x2 << "," << y2;
    // A pattern starts at the line's start, also outside the surface.
    const std::array<int, 4> patterned[] = {
        {0, 10, 64, 10}, {63, 20, -1, 20}, {5, 0, 5, 64}, {3, 60, 50, 7}, {-30, 33, 64, 33}};
    for (PenStyle style : {PenStyle::Dash, PenStyle::Dot})
        for (const auto& [x1, y1, x2, y2] : patterned)
            EXPECT_EQ(Compare(x1, y1, x2, y2, style), "") << x1 << "," << y1 << " " << x2 << "," << y2;
}

TEST(GdiRules, ABatchOfColumnsMatchesPolyPolyline) {
    Dib gdi(120, 80), ours(120, 80);
    std::vector<POINT> points;
    std::vector<DWORD> counts;
    std::vector<LineSegment> segments;
    for (int x = 0; x < 120; ++x) {
        const int top = (x * 37) % 90 - 5, bottom = 70 + x % 3;
        points.push_back({x, bottom});
        points.push_back({x, top});
        counts.push_back(2);
        segments.push_back({static_cast<float>(x), static_cast<float>(bottom), static_cast<float>(x),
                            static_cast<float>(top)});
    }
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HGDIOBJ old = SelectObject(gdi.Dc(), pen);
    PolyPolyline(gdi.Dc(), points.data(), counts.data(), static_cast<DWORD>(counts.size()));
    SelectObject(gdi.Dc(), old);
    DeleteObject(pen);
    PixelCanvas canvas(ours.Bits(), 120, 80);
    canvas.Lines(segments.data(), segments.size(), 0x0000FF, PenStyle::Solid); // the DIB's blue
    EXPECT_EQ(Differences(gdi, ours), "");
}

TEST(GdiRules, TextIsLaidOutAsTextOutAndDrawnWithGdisGlyphs) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "GdiRulesHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, "GdiRulesHost", "", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr,
                                wc.hInstance, nullptr);
    PictureBox box;
    ASSERT_TRUE(box.Create(host, 0, 0, 300, 60));
    const std::string texts[] = {"In: 1.5kb/s   Out: 0.1kb/s", "518.175b/s", "1,5kb/s", "Wy|gj"};
    LOGFONTA font{};
    font.lfHeight = -13;
    font.lfQuality = NONANTIALIASED_QUALITY; // every pixel decided, so pixels can be compared
    strcpy(font.lfFaceName, "Tahoma");
    HFONT tahoma = CreateFontIndirectA(&font);

    for (HFONT f : {static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), tahoma}) {
        if (f == tahoma)
            box.SetFont(font);
        for (const std::string& t : texts) {
            Dib gdi(300, 60);
            HGDIOBJ old = SelectObject(gdi.Dc(), f);
            // Measuring is GDI's extent of the whole text.
            SIZE size{};
            GetTextExtentPoint32A(gdi.Dc(), t.c_str(), static_cast<int>(t.size()), &size);
            EXPECT_EQ(box.MeasureText(t).Width, size.cx) << t;
            EXPECT_EQ(box.MeasureText(t).Height, size.cy) << t;
            if (f != tahoma) {
                SelectObject(gdi.Dc(), old);
                continue;
            }
            // Each character is GDI's glyph, placed at the extent of the text before it.
            std::vector<int> extents(t.size());
            GetTextExtentExPointA(gdi.Dc(), t.c_str(), static_cast<int>(t.size()), 0, nullptr, extents.data(),
                                  &size);
            SetTextColor(gdi.Dc(), 0x804020);
            for (size_t i = 0; i < t.size(); ++i)
                TextOutA(gdi.Dc(), 3 + (i ? extents[i - 1] : 0), 5, &t[i], 1);
            SelectObject(gdi.Dc(), old);
            box.SetBackColor(0xFFFFFF);
            box.Clear();
            box.SetPenColor(0x804020);
            box.PrintText(3, 5, t);
            int differ = 0, inked = 0;
            for (int y = 0; y < 60; ++y)
                for (int x = 0; x < 300; ++x) {
                    const uint32_t p = gdi.Bits()[y * 300 + x] & 0xFFFFFF;
                    const int32_t colour =
                        static_cast<int32_t>(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
                    differ += colour != box.Point(x, y);
                    inked += colour != 0xFFFFFF;
                }
            EXPECT_EQ(differ, 0) << t;
            EXPECT_GT(inked, 20) << t;
        }
    }
    DeleteObject(tahoma);
    DestroyWindow(host);
}
