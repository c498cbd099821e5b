#pragma once
#include "graph/GraphSurface.h"
#include "graph/PixelCanvas.h"

#include <cstdint>
#include <string>
#include <vector>

// A drawing surface in memory with GDI's rules for lines (Bresenham with GDI's bias per octant, the
// end pixel left out, cosmetic dash 18/6 and dot 3/3 patterns), pixels and pictures, and a font of
// fixed metrics: every character is kCharWidth x kCharHeight. Text is recorded, not drawn.
// Pixels are colours &H00BBGGRR, top row first. The pen is always one pixel wide.
class RasterSurface final : public IGraphSurface {
public:
    static constexpr int kCharWidth = 6;
    static constexpr int kCharHeight = 13;
    static constexpr int kDpi = 96;

    RasterSurface(int width, int height);

    // A new size; the drawing layer starts cleared, the persistent image stays.
    void Resize(int width, int height);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The colour at (x, y) of the drawing layer; -1 outside the surface.
    int32_t Pixel(int x, int y) const;
    const std::vector<uint32_t>& Pixels() const { return m_pixels; }

    // What tests look at besides pixels.
    bool Drawing() const { return m_drawing; }
    struct DrawnText {
        float X, Y;
        std::string Text;
        int32_t Colour;
    };
    // Texts drawn since the last Clear.
    const std::vector<DrawnText>& Texts() const { return m_texts; }

    void BeginDraw() override { m_drawing = true; }
    void EndDraw() override { m_drawing = false; }
    void SetBackColor(int32_t colour) override;
    int32_t BackColor() const override { return static_cast<int32_t>(m_backColor); }
    void Clear() override;
    void RemoveBackgroundImage() override;
    void SnapshotAsBackgroundImage() override;
    double InnerWidth() const override { return m_width; }
    double InnerHeight() const override { return m_height; }
    double OuterWidth() const override { return m_width; }
    double OuterHeight() const override { return m_height; }
    void SetPenColor(int32_t colour) override { m_pen = static_cast<uint32_t>(colour) & 0xFFFFFF; }
    void SetPenStyle(PenStyle style) override { m_style = style; }
    int PenWidth() const override { return 1; }
    void Line(float x1, float y1, float x2, float y2) override;
    void Lines(const LineSegment* lines, size_t count) override;
    void ColouredLines(const LineSegment* lines, const int32_t* colours, size_t count) override;
    void SetPixel(float x, float y) override;
    TextSize MeasureText(const std::string& text) override;
    void PrintText(float x, float y, const std::string& text) override;
    int HimetricToPixelsX(int32_t himetric) const override { return HimetricToPixels(himetric, kDpi); }
    int HimetricToPixelsY(int32_t himetric) const override { return HimetricToPixels(himetric, kDpi); }
    void DrawPicture(const GraphPicture& picture, int x, int y) override;
    void DrawPicture(const GraphPicture& picture, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                     int sh) override;

private:
    void RebuildBase();

    int m_width = 0;
    int m_height = 0;
    std::vector<uint32_t> m_pixels;
    PixelCanvas m_canvas;
    std::vector<uint32_t> m_values;
    // The persistent image over the background colour: what Clear copies.
    std::vector<uint32_t> m_base;
    bool m_baseValid = false;
    std::vector<uint32_t> m_image;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    bool m_hasImage = false;
    uint32_t m_backColor = 0xFFFFFF;
    uint32_t m_pen = 0;
    PenStyle m_style = PenStyle::Solid;
    bool m_drawing = false;
    std::vector<DrawnText> m_texts;
};
