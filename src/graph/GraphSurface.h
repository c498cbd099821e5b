#pragma once
#include "graph/GraphPicture.h"

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

enum class PenStyle { Solid, Dash, Dot };

struct TextSize {
    double Width = 0;
    double Height = 0;
};

// One straight line from (X1, Y1) to (X2, Y2); like LineTo it leaves out the end pixel.
struct LineSegment {
    float X1, Y1, X2, Y2;
};

// What a graph draws on. Two layers: a persistent background image (at the top-left, at its own
// size, over the background colour) and a drawing layer that Clear resets to it. Coordinates are
// pixels of the inner area, rounded to nearest with ties to even; lines leave out their end pixel.
// Text is drawn in the pen colour on a transparent background; dash and dot gaps are transparent.
class IGraphSurface {
public:
    // Drawing between BeginDraw and EndDraw is composed off-screen and shown in one piece at EndDraw.
    virtual void BeginDraw() = 0;
    virtual void EndDraw() = 0;

    // Takes effect at the next Clear.
    virtual void SetBackColor(int32_t colour) = 0;
    virtual int32_t BackColor() const = 0;
    // Resets the drawing layer to the persistent image over the background colour.
    virtual void Clear() = 0;
    // Drops the persistent image; when there was one, the drawing layer is cleared to the background
    // colour.
    virtual void RemoveBackgroundImage() = 0;
    // The drawing layer as it is now becomes the persistent image.
    virtual void SnapshotAsBackgroundImage() = 0;

    virtual double InnerWidth() const = 0;
    virtual double InnerHeight() const = 0;
    // The size as the owner measures it; it tells a drawing whether the surface changed size.
    virtual double OuterWidth() const = 0;
    virtual double OuterHeight() const = 0;

    virtual void SetPenColor(int32_t colour) = 0;
    virtual void SetPenStyle(PenStyle style) = 0;
    // Set by the owner; 1 unless it says otherwise.
    virtual int PenWidth() const = 0;
    virtual void Line(float x1, float y1, float x2, float y2) = 0;
    // Many lines in the current pen, in one go; the same pixels as calling Line for each.
    virtual void Lines(const LineSegment* lines, size_t count) {
        for (size_t i = 0; i < count; ++i)
            Line(lines[i].X1, lines[i].Y1, lines[i].X2, lines[i].Y2);
    }
    // Lines each in its own colour, in order: the same pixels as setting the pen colour and drawing
    // each in turn. The pen colour is the last one afterwards.
    virtual void ColouredLines(const LineSegment* lines, const int32_t* colours, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            SetPenColor(colours[i]);
            Line(lines[i].X1, lines[i].Y1, lines[i].X2, lines[i].Y2);
        }
    }
    virtual void SetPixel(float x, float y) = 0;

    // The dots per inch the surface is drawn at; its font is sized for them.
    virtual int Dpi() const { return 96; }
    virtual TextSize MeasureText(const std::string& text) = 0;
    virtual void PrintText(float x, float y, const std::string& text) = 0;

    // A picture's natural size in this surface's pixels.
    virtual int HimetricToPixelsX(int32_t himetric) const = 0;
    virtual int HimetricToPixelsY(int32_t himetric) const = 0;
    // At its natural size with its top-left corner at (x, y).
    virtual void DrawPicture(const GraphPicture& picture, int x, int y) = 0;
    // The source rectangle, in natural-size pixels of the picture, scaled onto the destination.
    virtual void DrawPicture(const GraphPicture& picture, int dx, int dy, int dw, int dh, int sx, int sy,
                             int sw, int sh) = 0;

protected:
    ~IGraphSurface() = default;
};

// Nearest whole number, ties to even: RoundHalfEven's result, at the cost of two additions. Drawing
// rounds thousands of values per redraw, and the C runtime's nearbyint saves and restores the
// floating-point environment on every call. Adding and taking away 1.5 * 2^52 leaves no fraction for
// |v| < 2^51, and the default rounding mode breaks ties to even; larger values take the slow road.
inline double RoundToEven(double v) {
    constexpr double kShift = 6755399441055744.0;
    if (!(std::fabs(v) < 2251799813685248.0)) // 2^51, or not a number
        return std::nearbyint(v);
#if FLT_EVAL_METHOD == 0
    const double shifted = v + kShift;
#else
    volatile double shifted = v + kShift; // x87 keeps extra bits until the value is stored as a double
#endif
    return shifted - kShift;
}

// Device coordinates of a line as both surfaces compute them: each end rounded to nearest with ties
// to even. Ends beyond 2^26 pixels (more than GDI accepts) are first pulled in along the line, keeping
// its direction. False when there is nothing to draw (a coordinate that is not a number, or a line
// wholly outside that range).
struct DevicePoint {
    int32_t X, Y;
};
bool ToDeviceLine(float x1, float y1, float x2, float y2, DevicePoint& from, DevicePoint& to);
bool ToDevicePoint(float x, float y, DevicePoint& point);
