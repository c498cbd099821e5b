#pragma once
#include "graph/GraphSurface.h"
#include "graph/PixelCanvas.h"
#include "winsys/BaseWindow.h"
#include "winsys/Handles.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A child window that a graph draws on. Everything is composed off-screen in a memory bitmap: the
// persistent background image over the background colour, and the drawing layer on top; the window
// shows that bitmap in one piece, so no partly drawn graph and no flicker is ever seen.
// Lines, pixels and text go straight into the bitmap's memory (lines by GDI's own rules, text from
// glyphs GDI rendered once), because every GDI call costs about as much as copying the whole surface;
// pictures and pens wider than one pixel are drawn by GDI.
class PictureBox : public BaseWindow<PictureBox>, public IGraphSurface {
public:
    PictureBox();
    ~PictureBox();

    // Creates the control as a visible child of `parent` at the rectangle (client pixels of the parent).
    bool Create(HWND parent, int x, int y, int width, int height);
    // Moves and sizes the control; a new size re-creates the off-screen bitmaps.
    void Move(int x, int y, int width, int height);

    // The font of text and measuring as designed for the system DPI (a copy is kept); the GUI font
    // until set. It is drawn sized for the box's DPI.
    void SetFont(const LOGFONTA& font);
    // The DPI the box is drawn at (its window's): sizes the font and pictures' natural size. The
    // system DPI until set.
    void SetDpi(int dpi);
    void SetPenWidth(int width);
    // The colour of the composed surface at (x, y) in client pixels; -1 outside.
    // Whether a converted copy of a background picture is held besides the rendered background: only
    // while a rendering draws it.
    bool HoldsPictureCopy() const { return m_pictureCache != nullptr; }
    int32_t Point(int x, int y) const;
    // Puts the composed surface on `hdc` at (0, 0): WM_PAINT, WM_PRINT and WM_PRINTCLIENT.
    void Paint(HDC hdc);

    // Left double-click (the first click of the pair arrives as MouseDown).
    std::function<void()> DblClick;
    // Button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt; x and y in client pixels.
    std::function<void(int button, int shift, int x, int y)> MouseDown;

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    // IGraphSurface
    void BeginDraw() override;
    void EndDraw() override;
    void SetBackColor(int32_t colour) override;
    int32_t BackColor() const override { return static_cast<int32_t>(m_backColor); }
    void Clear() override;
    void RemoveBackgroundImage() override;
    void SnapshotAsBackgroundImage() override;
    double InnerWidth() const override;
    double InnerHeight() const override;
    double OuterWidth() const override;
    double OuterHeight() const override;
    void SetPenColor(int32_t colour) override;
    void SetPenStyle(PenStyle style) override;
    int PenWidth() const override { return m_penWidth; }
    void Line(float x1, float y1, float x2, float y2) override;
    void Lines(const LineSegment* lines, size_t count) override;
    void ColouredLines(const LineSegment* lines, const int32_t* colours, size_t count) override;
    void SetPixel(float x, float y) override;
    int Dpi() const override { return m_dpiY; }
    TextSize MeasureText(const std::string& text) override;
    void PrintText(float x, float y, const std::string& text) override;
    int HimetricToPixelsX(int32_t himetric) const override;
    int HimetricToPixelsY(int32_t himetric) const override;
    void DrawPicture(const GraphPicture& picture, int x, int y) override;
    void DrawPicture(const GraphPicture& picture, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                     int sh) override;

    // The memory DC that holds the composed surface (valid until the next size change).
    HDC CanvasDC() const;

private:
    class Canvas;
    struct Glyph;

    void Resize(int width, int height);
    // False when no pen can be made: the caller skips its lines.
    bool UsePen();
    void UseFont();
    void ApplyFont();
    // Before the bitmap's memory is touched directly, GDI must have finished what it was asked to do.
    void Sync();
    uint32_t Native(uint32_t colour) const;
    const Glyph& GlyphOf(unsigned char c);
    // Where each character of a text ends, from its start, as GDI measures it.
    const std::vector<int>& Extents(const std::string& text);
    // Null when no surface can be made for it (logged): the picture is not drawn.
    const Canvas* PictureCanvas(const GraphPicture& picture);
    void Blit(const GraphPicture& picture, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh);

    struct PenEntry {
        uint32_t colour;
        PenStyle style;
        int width;
        UniquePen pen;
    };
    // Pens for wide lines are kept until the control goes (pens and font are declared before the
    // canvases, which let go of them first).
    std::vector<PenEntry> m_pens;
    HFONT m_font = nullptr;
    // The font when it is not the stock one.
    UniqueFont m_ownFont;
    std::unique_ptr<Canvas> m_canvas;
    std::unique_ptr<Canvas> m_image;
    std::unique_ptr<Canvas> m_pictureCache;
    uint64_t m_pictureCacheId = 0;
    PixelCanvas m_pixels;
    std::unique_ptr<Canvas> m_blank;
    uint32_t m_blankColour = 0;
    bool m_gdiPending = false;
    uint32_t m_backColor = 0xFFFFFF;
    uint32_t m_penColor = 0;
    PenStyle m_penStyle = PenStyle::Solid;
    int m_penWidth = 1;
    HPEN m_selectedPen = nullptr;
    bool m_fontSelected = false;
    std::vector<POINT> m_points;
    std::vector<DWORD> m_counts;
    std::vector<uint32_t> m_values;
    // Glyphs of the current font by character code, made on first use.
    std::vector<std::unique_ptr<Glyph>> m_glyphs;
    int m_textHeight = -1;
    std::vector<int> m_extents;
    int m_dpiX = 96;
    int m_dpiY = 96;
    int m_systemDpi = 96;
    LOGFONTA m_designFont{};
    bool m_hasDesignFont = false;
};
