#pragma once
// The hover details' pictures, drawn into the tooltip's own paint.

#include "core/history.h"
#include "render/tip_chart_logic.h"

#include <windows.h>

#include <vector>

// The chart of a widget's last ten minutes up to `now`, in its gauge colour.
void DrawHistoryChart(HDC dc, const ChartBox& box, const FigureHistory& history, ULONGLONG now,
                      Argb gauge, unsigned dpi);

// One bar per processor, filled from the bottom by its load; a load not
// read leaves the bar empty.
void DrawProcessorBars(HDC dc, float left, float top, const BarGrid& grid,
                       const std::vector<double>& loads, Argb gauge);
