#include "history/HistoryChartView.h"
#include "winsys/Handles.h"

#include <algorithm>
#include <string>

namespace {
int TextWidth(HDC dc, const std::string& text) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    if (right <= left || bottom <= top)
        return;
    const RECT r{left, top, right, bottom};
    SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void Text(HDC dc, int x, int y, const std::string& text, UINT align) {
    SetTextAlign(dc, align);
    TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}
} // namespace

void PaintHistoryChart(HDC dc, int width, int height, HFONT font, HistoryPeriod period,
                       const std::vector<HistoryBucket>& buckets) {
    SelectScope selectFont(dc, font);
    Fill(dc, 0, 0, width, height, GetSysColor(COLOR_WINDOW));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const int line = metrics.tmHeight, pad = std::max(2, line / 4);

    const ChartAxis axis = AxisFor(LargestBar(buckets));
    int labelWidth = 0;
    for (int i = 0; i <= axis.steps; ++i)
        labelWidth = std::max(labelWidth, TextWidth(dc, AxisLabel(axis, i)));
    const int left = labelWidth + 2 * pad, right = width - 2 * pad;
    const int top = line + 2 * pad, bottom = height - line - 2 * pad;
    const int plotWidth = right - left, plotHeight = bottom - top;
    if (plotWidth <= 0 || plotHeight <= 0)
        return;

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const COLORREF grid = RGB(220, 220, 220);
    for (int i = 0; i <= axis.steps; ++i) {
        const int y =
            bottom - BarHeight(static_cast<uint64_t>(i), static_cast<uint64_t>(axis.steps), plotHeight);
        Fill(dc, left, y, right, y + 1, i == 0 ? GetSysColor(COLOR_WINDOWTEXT) : grid);
        Text(dc, left - pad, y - line / 2, AxisLabel(axis, i), TA_RIGHT | TA_TOP);
    }

    const int count = static_cast<int>(buckets.size());
    int nameWidth = 0;
    for (const HistoryBucket& b : buckets)
        nameWidth = std::max(nameWidth, TextWidth(dc, BarName(period, b)));
    const int every = NameEvery(count, plotWidth, nameWidth);
    const uint64_t axisTop = axis.Top();
    for (int i = 0; i < count; ++i) {
        const HistoryBucket& b = buckets[static_cast<size_t>(i)];
        const BarSpan span = BarAt(i, count, left, plotWidth);
        const int inTop = bottom - BarHeight(b.in, axisTop, plotHeight);
        const int outTop = bottom - BarHeight(Together(b.in, b.out), axisTop, plotHeight);
        Fill(dc, span.left, inTop, span.left + span.width, bottom, kChartInColour);
        Fill(dc, span.left, outTop, span.left + span.width, inTop, kChartOutColour);
        if (i % every == 0)
            Text(dc, span.left + span.width / 2, bottom + pad, BarName(period, b), TA_CENTER | TA_TOP);
    }

    // The key, at the top right: a square of each colour before its name.
    int x = right;
    for (const auto& [name, colour] : {std::pair{"Out", kChartOutColour}, std::pair{"In", kChartInColour}}) {
        x -= TextWidth(dc, name);
        Text(dc, x, pad, name, TA_LEFT | TA_TOP);
        x -= pad + line * 2 / 3;
        Fill(dc, x, pad + line / 6, x + line * 2 / 3, pad + line * 5 / 6, colour);
        x -= 3 * pad;
    }
}
