#pragma once
#include "graph/GraphLook.h"
#include "graph/GraphPicture.h"
#include "graph/GraphSurface.h"
#include "graph/cQueue.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class ScaleLabel { Full, Half, Quarter, ThreeQuarter };

// One throughput graph: colours, switches, scale, background picture and the history of samples,
// drawn on demand onto a surface that its owner lends it. Setting a property never repaints.
class cGraph {
public:
    cGraph();
    ~cGraph();
    cGraph(const cGraph&) = delete;
    cGraph& operator=(const cGraph&) = delete;

    // Colours are &H00BBGGRR.
    int32_t NumColor = 0;
    int32_t BackColor = 0;
    int32_t SendColor = 0;
    int32_t RecvColor = 0;
    int32_t BothColor = 0;
    int32_t ChartColor = 0;
    bool FillUnderGraph = false;
    bool StretchBackground = false;
    // While true, DrawGraph leaves the background layer as it is (set during slow interactive resizes).
    bool IgnoreBack = false;
    // Milliseconds the last background rendering took.
    int32_t LastBench = 0;

    int32_t Style() const { return m_style; }
    // 0 Standard, 1 Task Manager, 2 Clouds, 3 River set colours, fill, background and stretch;
    // any other value is only stored.
    void SetStyle(int32_t style);
    // The colours, fill, background picture and stretch; setting them loads the picture again.
    GraphLook Look() const;
    void SetLook(const GraphLook& look);

    bool ShowNum() const { return m_showNum; }
    void SetShowNum(bool show) { m_showNum = show; }
    bool ShowGrid() const { return m_showGrid; }
    void SetShowGrid(bool show) { m_showGrid = show; }
    bool AutoScale() const { return m_autoScale; }
    void SetAutoScale(bool on) { m_autoScale = on; }

    // The scale rounded to the nearest whole number (ties to even), at most the largest 32-bit value.
    int32_t ScaleValue() const;
    // A scale of 0 or less would make every drawing divide by zero: it is refused and the scale kept.
    void SetScaleValue(int32_t value);
    // The scale as held, before rounding.
    double ScaleExact() const { return m_scale; }

    // The surface DrawGraph paints on, or none. Not owned.
    void SetPicture(IGraphSurface* surface) { m_surface = surface; }

    // "" for none, "res:NAME" for a built-in bitmap, else a picture file (a bare name lives in the
    // program's folder). A failed load keeps the previous image; the outcome goes to the log.
    const std::string& BackgroundPicture() const { return m_backgroundSpec; }
    void SetBackgroundPicture(const std::string& picture);
    // The loaded image, or null.
    const GraphPicture* BackgroundImage() const { return m_backgroundImage.get(); }

    int32_t History() const { return m_historyLength; }
    void SetHistory(int32_t length);
    int32_t CurHistorySize() const { return m_in.Count(); }
    const cQueue& InQueue() const { return m_in; }
    const cQueue& OutQueue() const { return m_out; }

    void AddData(int32_t lIn, int32_t lOut);
    // Repaints the whole surface: background, read-out, separator, history (when `data`) and grid.
    // `forceBackground` renders the background picture again even when the size did not change.
    void DrawGraph(bool data, bool forceBackground);

private:
    void TrimHistory();
    void DrawBackground(bool forceBackground);
    void DrawReadout(double width, double height, double graphHeight);
    void DrawHistory(double width, double graphHeight);
    void DrawGrid(double width, double height, double graphHeight);

    cQueue m_in;
    cQueue m_out;
    double m_scale = 1.0;
    int32_t m_historyLength = 1000;
    int32_t m_lastIn = 0;
    int32_t m_lastOut = 0;
    IGraphSurface* m_surface = nullptr;
    int32_t m_cachedWidth = 0;
    int32_t m_cachedHeight = 0;
    std::shared_ptr<const GraphPicture> m_backgroundImage;
    std::string m_backgroundSpec;
    bool m_autoScale = false;
    bool m_showNum = true;
    bool m_showGrid = true;
    int32_t m_style = 0;
    // Reused by every drawing, so that a redraw allocates nothing.
    std::vector<LineSegment> m_recvLines, m_sendLines, m_bothLines;
    std::vector<int32_t> m_lineColours;
    // The texts of the last drawing and what they were made from: most redraws show the same ones.
    struct Texts {
        int32_t in = 0, out = 0;
        double scale = 0;
        char separator = 0;
        std::string readout;
        std::string labels[4];
    } m_texts;
    const std::string& CachedReadout();
    const std::string& CachedLabel(ScaleLabel label);
};

// The read-out band at the bottom: 16 pixels at 96 DPI, and as much taller as the surface's font is
// at its DPI, so that the text keeps fitting.
int ReadoutBandHeight(int dpi);

// Texts the drawing writes, in the user's decimal separator.
// "In: 1.5kb/s   Out: 0.1kb/s" for the last values 1536 and 102.
std::string ReadoutText(int32_t lastIn, int32_t lastOut);
// The sample value at a grid line of scale `scale`: "1000b/s", "518.175b/s", "1.5kb/s".
std::string ScaleLabelText(ScaleLabel label, double scale);
