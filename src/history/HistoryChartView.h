#pragma once
#include "history/HistoryChart.h"

#include <windows.h>

#include <vector>

// The history chart drawn with GDI: the axis with its gridlines and amounts on the left, a stacked bar
// per bucket (in below, out on top), bucket names under the bars and a key for the two colours.
constexpr COLORREF kChartInColour = RGB(214, 39, 40);
constexpr COLORREF kChartOutColour = RGB(31, 119, 180);

void PaintHistoryChart(HDC dc, int width, int height, HFONT font, HistoryPeriod period,
                       const std::vector<HistoryBucket>& buckets);
