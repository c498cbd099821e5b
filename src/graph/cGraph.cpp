#include "graph/cGraph.h"
#include "base/AppError.h"
#include "base/Convert.h"
#include "base/mBenchmark.h"
#include "base/mLogging.h"
#include "base/mMisc.h"
#include "graph/mTilePicture.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <new>
#include <vector>

namespace {
// The four built-in looks, as GraphLook fields: back, both, chart, fill, num, recv, send, background,
// stretch.
const GraphLook kStyles[4] = {
    {0xFFFFFF, 0x00FF00, 0xB0B0B0, true, 0x000000, 0x0000FF, 0xFF0000, "", false},           // Standard
    {0x000000, 0x00FF00, 0x006000, false, 0x00FF00, 0x0000FF, 0xFF7777, "", false},          // Task Manager
    {0xFFFFFF, 0x00FF00, 0x800000, false, 0xFF0000, 0x0000FF, 0xFF0000, "res:Clouds", true}, // Clouds
    {0xFFFFFF, 0xFFFFFF, 0x808080, false, 0x000000, 0x0000FF, 0xFF0000, "res:River", true},  // River
};

constexpr int32_t kErrOutOfMemory = static_cast<int32_t>(0x8007000Eu); // E_OUTOFMEMORY
constexpr int32_t kErrUnexpected = static_cast<int32_t>(0x80004005u);  // E_FAIL

// Picture loading ignores errors: whatever goes wrong becomes the error number that is logged.
PictureLoadResult LoadIgnoringErrors(bool resource, const std::string& name) {
    PictureLoadResult result;
    try {
        IPictureLoader* loader = PictureLoader();
        if (!loader)
            result.Error = kErrNoPictureLoader;
        else
            result = resource ? loader->LoadResPicture(name) : loader->LoadPictureFile(name);
    } catch (const AppError& error) {
        result = {error.Number ? error.Number : kErrUnexpected, nullptr};
    } catch (const std::bad_alloc&) {
        result = {kErrOutOfMemory, nullptr};
    } catch (const std::exception&) {
        result = {kErrUnexpected, nullptr};
    }
    if (result.Error == 0 && !result.Picture)
        result.Error = kErrInvalidPicture;
    return result;
}

// value / 1024 rounded to one decimal with ties to even, in its shortest form: what FormatNumber
// writes for it, without the cost of a formatted print at every sample.
std::string KbText(int32_t value) {
    const double tenths = RoundToEven(value / 1024.0 * 10);
    const auto magnitude = static_cast<int64_t>(tenths < 0 ? -tenths : tenths);
    char text[32];
    char* end = text;
    if (tenths < 0)
        *end++ = '-';
    end = std::to_chars(end, text + sizeof text, magnitude / 10).ptr;
    if (magnitude % 10 != 0) {
        *end++ = DecimalSeparator();
        *end++ = static_cast<char>('0' + magnitude % 10);
    }
    return std::string(text, end);
}

// Shows the surface again however the drawing ends.
class DrawScope {
public:
    explicit DrawScope(IGraphSurface& surface) : m_surface(surface) { m_surface.BeginDraw(); }
    ~DrawScope() { m_surface.EndDraw(); }
    DrawScope(const DrawScope&) = delete;
    DrawScope& operator=(const DrawScope&) = delete;

private:
    IGraphSurface& m_surface;
};
} // namespace

int ReadoutBandHeight(int dpi) {
    return dpi > 0 ? static_cast<int>(RoundHalfEven(16.0 * dpi / 96.0)) : 16;
}

std::string ReadoutText(int32_t lastIn, int32_t lastOut) {
    return "In: " + KbText(lastIn) + "kb/s   Out: " + KbText(lastOut) + "kb/s";
}

std::string ScaleLabelText(ScaleLabel label, double scale) {
    double value = scale;
    switch (label) {
    case ScaleLabel::Full:
        break;
    case ScaleLabel::Half:
        value = scale / 2;
        break;
    case ScaleLabel::Quarter:
        value = scale / 4;
        break;
    case ScaleLabel::ThreeQuarter:
        value = scale / 4 * 3;
        break;
    }
    if (value >= 1024)
        return FormatNumber(RoundDecimals(value / 1024, 1)) + "kb/s";
    if (label == ScaleLabel::Quarter)
        value = RoundHalfEven(value);
    else if (label == ScaleLabel::ThreeQuarter)
        value = RoundDecimals(value, 1);
    return FormatNumber(value) + "b/s";
}

cGraph::cGraph() {
    WriteLog("cGraph_Initialize");
    SetStyle(0);
}

cGraph::~cGraph() {
    WriteLog("cGraph_Terminate");
}

void cGraph::SetStyle(int32_t style) {
    m_style = style;
    if (style < 0 || style > 3)
        return;
    SetLook(kStyles[style]);
}

GraphLook cGraph::Look() const {
    return {BackColor, BothColor, ChartColor,       FillUnderGraph,   NumColor,
            RecvColor, SendColor, m_backgroundSpec, StretchBackground};
}

void cGraph::SetLook(const GraphLook& look) {
    BackColor = look.BackColor;
    BothColor = look.BothColor;
    ChartColor = look.ChartColor;
    FillUnderGraph = look.FillUnderGraph;
    NumColor = look.NumColor;
    RecvColor = look.RecvColor;
    SendColor = look.SendColor;
    StretchBackground = look.StretchBackground;
    // Last: a picture that cannot be loaded leaves the rest of the look set.
    SetBackgroundPicture(look.Background);
}

int32_t cGraph::ScaleValue() const {
    // The scale only grows past the 32-bit range by auto-scaling; the getter reports the largest value
    // then rather than failing the caller (the settings are saved from it at exit).
    if (const auto value = TryRoundToInt32(m_scale))
        return *value;
    return INT32_MAX;
}

void cGraph::SetScaleValue(int32_t value) {
    if (value > 0)
        m_scale = value;
}

void cGraph::SetBackgroundPicture(const std::string& picture) {
    std::string text = picture;
    if (text.empty()) {
        m_backgroundImage.reset();
    } else if (text.size() > 4) {
        const bool resource = text.compare(0, 4, "res:") == 0;
        if (!resource && text.find('\\') == std::string::npos)
            text = AppPath() + text;
        const PictureLoadResult result = LoadIgnoringErrors(resource, resource ? text.substr(4) : text);
        WriteLog(std::string("cGraph_BackgrounPicture: ") + (resource ? "LoadResPicture " : "LoadPicture ") +
                 std::to_string(result.Error) + "," + text);
        if (result.Error == 0)
            m_backgroundImage = result.Picture;
    }
    m_backgroundSpec = text;
}

void cGraph::SetHistory(int32_t length) {
    m_historyLength = length;
    TrimHistory();
}

void cGraph::TrimHistory() {
    // A negative length empties the queues instead of popping past their end.
    while (m_in.Count() > m_historyLength && m_in.Count() > 0)
        m_in.Pop();
    while (m_out.Count() > m_historyLength && m_out.Count() > 0)
        m_out.Pop();
}

void cGraph::AddData(int32_t lIn, int32_t lOut) {
    m_lastIn = lIn;
    m_lastOut = lOut;
    m_in.Add(lIn);
    m_out.Add(lOut);
    TrimHistory();
    if (m_autoScale) {
        if (lIn > m_scale)
            m_scale = lIn * 1.05;
        if (lOut > m_scale)
            m_scale = lOut * 1.05;
    }
}

void cGraph::DrawGraph(bool data, bool forceBackground) {
    if (!m_surface)
        return;
    IGraphSurface& surface = *m_surface;
    DrawScope scope(surface);
    surface.SetBackColor(BackColor);
    surface.SetPenStyle(PenStyle::Solid);
    surface.Clear();
    if (!IgnoreBack)
        DrawBackground(forceBackground);

    const double width = RoundHalfEven(surface.InnerWidth());
    const double height = surface.InnerHeight();
    double graphHeight = 0;
    if (m_showNum) {
        surface.SetPenColor(NumColor);
        graphHeight = RoundHalfEven(height - ReadoutBandHeight(surface.Dpi()));
        if (data)
            DrawReadout(width, height, graphHeight);
    } else {
        graphHeight = RoundHalfEven(height);
    }

    surface.SetPenColor(ChartColor);
    const float separator = static_cast<float>(graphHeight + 1);
    surface.Line(0, separator, static_cast<float>(width), separator);

    if (data)
        DrawHistory(width, graphHeight);
    if (m_showGrid)
        DrawGrid(width, height, graphHeight);
}

void cGraph::DrawBackground(bool forceBackground) {
    IGraphSurface& surface = *m_surface;
    if (!m_backgroundImage) {
        surface.RemoveBackgroundImage();
        return;
    }
    const double outerWidth = surface.OuterWidth();
    const double outerHeight = surface.OuterHeight();
    if (!forceBackground && outerWidth == m_cachedWidth && outerHeight == m_cachedHeight)
        return;
    StartTimer();
    // Rendered over the background colour alone, so that the transparent parts of an icon do not
    // keep showing the previous rendering.
    surface.RemoveBackgroundImage();
    if (StretchBackground)
        StretchPicture(*m_backgroundImage, surface);
    else
        TilePicture(*m_backgroundImage, surface);
    surface.SnapshotAsBackgroundImage();
    LastBench = TryParseInt32(ElapsedTime()).value_or(INT32_MAX);
    m_cachedWidth = TryRoundToInt32(outerWidth).value_or(0);
    m_cachedHeight = TryRoundToInt32(outerHeight).value_or(0);
}

void cGraph::DrawReadout(double width, double height, double graphHeight) {
    IGraphSurface& surface = *m_surface;
    const std::string& text = CachedReadout();
    const TextSize size = surface.MeasureText(text);
    surface.PrintText(static_cast<float>((width - size.Width) / 2),
                      static_cast<float>(graphHeight + (height - graphHeight - size.Height) / 2), text);
}

void cGraph::DrawHistory(double width, double graphHeight) {
    IGraphSurface& surface = *m_surface;
    const cQueue::List& in = m_in.Contents();
    const cQueue::List& out = m_out.Contents();
    const int64_t count = static_cast<int64_t>(in.size());
    const int64_t columns = std::min<int64_t>(count, width > 0 ? static_cast<int64_t>(width) : 0);
    const double scale = m_scale;
    const double g = graphHeight;
    const auto f = [](double v) { return static_cast<float>(v); };

    if (FillUnderGraph && surface.PenWidth() == 1) {
        // Columns are one pixel wide and never overlap, so each colour goes out in one batch with
        // only the part of a column that stays visible: the shared part in BothColor and the excess
        // of the larger direction in its own colour. The pixels are those of drawing the incoming,
        // outgoing and shared lines over each other column by column.
        std::vector<LineSegment>& recv = m_recvLines;
        std::vector<LineSegment>& send = m_sendLines;
        std::vector<LineSegment>& both = m_bothLines;
        recv.clear();
        send.clear();
        both.clear();
        auto itIn = in.rbegin();
        auto itOut = out.rbegin();
        for (int64_t i = 1; i <= columns; ++i, ++itIn, ++itOut) {
            const float x = f(width - i);
            const double yIn = ItemValue(*itIn) / scale * g;
            const double yOut = ItemValue(*itOut) / scale * g;
            const double a = yIn > 0 ? yIn : 0;
            const double b = yOut > 0 ? yOut : 0;
            const double shared = std::min(a, b);
            if (shared > 0)
                both.push_back({x, f(g), x, f(g - shared)});
            if (a > b)
                recv.push_back({x, f(g - shared), x, f(g - a)});
            else if (b > a)
                send.push_back({x, f(g - shared), x, f(g - b)});
        }
        surface.SetPenColor(RecvColor);
        surface.Lines(recv.data(), recv.size());
        surface.SetPenColor(SendColor);
        surface.Lines(send.data(), send.size());
        surface.SetPenColor(BothColor);
        surface.Lines(both.data(), both.size());
        return;
    }

    if (FillUnderGraph) {
        // A wide pen spills into the neighbouring columns, so the lines go out one by one in order.
        for (int64_t i = 1; i <= columns; ++i) {
            const double x = width - i;
            const double yIn = ItemValue(in[count - i]) / scale * g;
            const double yOut = ItemValue(out[count - i]) / scale * g;
            surface.SetPenColor(RecvColor);
            if (yIn > 0)
                surface.Line(f(x), f(g), f(x), f(g - yIn));
            surface.SetPenColor(SendColor);
            if (yOut > 0)
                surface.Line(f(x), f(g), f(x), f(g - yOut));
            surface.SetPenColor(BothColor);
            const double shared = std::min(yIn, yOut);
            if (shared > 0)
                surface.Line(f(x), f(g), f(x), f(g - shared));
        }
        return;
    }

    // Line mode: the newest sample is a pixel; each older one is joined to the one after it by a line,
    // incoming then outgoing, in one ordered batch.
    if (columns == 0)
        return;
    std::vector<LineSegment>& segments = m_recvLines;
    std::vector<int32_t>& colours = m_lineColours;
    segments.clear();
    colours.clear();
    auto itIn = in.rbegin();
    auto itOut = out.rbegin();
    double prevIn = 0, prevOut = 0;
    for (int64_t i = 1; i <= columns; ++i, ++itIn, ++itOut) {
        const double x = width - i;
        const double yIn = ItemValue(*itIn) / scale * g;
        const double yOut = ItemValue(*itOut) / scale * g;
        if (i == 1) {
            surface.SetPenColor(RecvColor);
            surface.SetPixel(f(x), f(g - yIn));
            surface.SetPenColor(SendColor);
            surface.SetPixel(f(x), f(g - yOut));
        } else {
            segments.push_back({f(x + 1), f(g - prevIn), f(x), f(g - yIn)});
            colours.push_back(RecvColor);
            segments.push_back({f(x + 1), f(g - prevOut), f(x), f(g - yOut)});
            colours.push_back(SendColor);
        }
        // Held as whole numbers in doubles: a value far above the scale cannot overflow them.
        prevIn = RoundToEven(yIn);
        prevOut = RoundToEven(yOut);
    }
    surface.ColouredLines(segments.data(), colours.data(), segments.size());
}

void cGraph::DrawGrid(double width, double height, double graphHeight) {
    IGraphSurface& surface = *m_surface;
    const float w = static_cast<float>(width);
    const double g = graphHeight;
    surface.SetPenColor(ChartColor);
    surface.SetPenStyle(PenStyle::Dash);
    const float middle = static_cast<float>(g / 2);
    surface.Line(0, middle, w, middle);
    if (height > 50) {
        surface.PrintText(1, static_cast<float>(g / 2 + 1), CachedLabel(ScaleLabel::Half));
        surface.PrintText(1, 1, CachedLabel(ScaleLabel::Full));
    }
    surface.SetPenStyle(PenStyle::Dot);
    if (height > 120) {
        const float lower = static_cast<float>(g / 4 * 3);
        surface.Line(0, lower, w, lower);
        surface.PrintText(1, static_cast<float>(g / 4 * 3 + 1), CachedLabel(ScaleLabel::Quarter));
        const float upper = static_cast<float>(g / 4);
        surface.Line(0, upper, w, upper);
        surface.PrintText(1, static_cast<float>(g / 4 + 1), CachedLabel(ScaleLabel::ThreeQuarter));
    }
}

const std::string& cGraph::CachedReadout() {
    if (m_texts.separator != DecimalSeparator()) {
        m_texts.separator = DecimalSeparator();
        m_texts.readout.clear();
        m_texts.labels[0].clear();
    }
    if (m_texts.readout.empty() || m_texts.in != m_lastIn || m_texts.out != m_lastOut) {
        m_texts.in = m_lastIn;
        m_texts.out = m_lastOut;
        m_texts.readout = ReadoutText(m_lastIn, m_lastOut);
    }
    return m_texts.readout;
}

const std::string& cGraph::CachedLabel(ScaleLabel label) {
    if (m_texts.separator != DecimalSeparator()) {
        m_texts.separator = DecimalSeparator();
        m_texts.readout.clear();
        m_texts.labels[0].clear();
    }
    if (m_texts.labels[0].empty() || m_texts.scale != m_scale) {
        m_texts.scale = m_scale;
        for (ScaleLabel l :
             {ScaleLabel::Full, ScaleLabel::Half, ScaleLabel::Quarter, ScaleLabel::ThreeQuarter})
            m_texts.labels[static_cast<int>(l)] = ScaleLabelText(l, m_scale);
    }
    return m_texts.labels[static_cast<int>(label)];
}
