#pragma once
// The hover details' pictures as arithmetic: where each kept reading lands
// in the chart of the last ten minutes, where a gap breaks its area, the
// processors' bars, and the room the tip makes for them, so tests check
// every point without a tooltip.

#include "core/colors.h"
#include "core/history.h"
#include "core/scale.h"

#include <algorithm>
#include <cmath>
#include <vector>

struct ChartPoint {
    float x;
    float y;
};

struct ChartBox {
    float left;
    float top;
    float width;
    float height;
};

// A reading in the box: ten minutes ago at the left edge, now at the right;
// 0 at the bottom, 100 % at the top.
inline ChartPoint PointOf(double percent, ULONGLONG age, const ChartBox& box) {
    const double load = std::min(std::max(percent, 0.0), 100.0);
    const double fromRight = static_cast<double>(age) / static_cast<double>(kHistorySpanMs);
    return {box.left + static_cast<float>(box.width * (1.0 - fromRight)),
            box.top + static_cast<float>(box.height * (1.0 - load / 100.0))};
}

// The top edge of each run's area, left to right; the drawing closes each
// along the bottom. A run that began before the ten minutes is cut at the
// left edge, where its line crosses it. A run of one reading is a column
// `column` wide, so that it shows.
inline std::vector<std::vector<ChartPoint>> ChartRuns(const FigureHistory& h, ULONGLONG now,
                                                      const ChartBox& box, float column) {
    std::vector<std::vector<ChartPoint>> runs;
    const Reading* before = nullptr;  // the reading before, while outside the span
    bool open = false;
    for (int i = 0; i < h.count; ++i) {
        const Reading& r = KeptReading(h, i);
        if (!InSpan(r, now)) {
            before = &r;
            open = false;
            continue;
        }
        if (r.startsRun || !open) runs.emplace_back();
        if (!open && !r.startsRun && before) {
            const ULONGLONG start = now - kHistorySpanMs;
            const double part =
                static_cast<double>(start - before->at) / static_cast<double>(r.at - before->at);
            const double crossing = before->percent + (r.percent - before->percent) * part;
            runs.back().push_back(PointOf(crossing, kHistorySpanMs, box));
        }
        runs.back().push_back(PointOf(r.percent, now - r.at, box));
        open = true;
        before = nullptr;
    }
    for (std::vector<ChartPoint>& run : runs) {
        if (run.size() != 1) continue;
        const ChartPoint p = run[0];
        run = {{std::max(box.left, p.x - column / 2), p.y},
               {std::min(box.left + box.width, p.x + column / 2), p.y}};
    }
    return runs;
}

// The processors' bars, in rows of at most 32, each at most `widest` wide.
constexpr int kBarsPerRow = 32;

struct BarGrid {
    int count;
    int columns;
    int rows;
    float width;
    float height;
    float gap;
};

inline BarGrid ProcessorBars(int processors, float rowWidth, float dpiFactor) {
    const int count = std::max(processors, 0);
    BarGrid g = {count, std::min(count, kBarsPerRow), 0, 0, 12 * dpiFactor, dpiFactor};
    if (count == 0) return g;
    g.rows = (count + kBarsPerRow - 1) / kBarsPerRow;
    const float even = (rowWidth - static_cast<float>(g.columns - 1) * g.gap) / g.columns;
    g.width = std::max(1.0f, std::min(even, 12 * dpiFactor));
    return g;
}

inline float BarsHeight(const BarGrid& g) {
    return g.rows ? static_cast<float>(g.rows) * (g.height + g.gap) - g.gap : 0.0f;
}

// Processor i's bar, whole, in the bars' area starting at (left, top).
inline ChartBox ProcessorBar(const BarGrid& g, float left, float top, int i) {
    return {left + static_cast<float>(i % g.columns) * (g.width + g.gap),
            top + static_cast<float>(i / g.columns) * (g.height + g.gap), g.width, g.height};
}

// The room a widget's tip makes below its text, at its DPI: a gap, the
// chart (240 × 60 at 96 dpi), for CPU the processors' bars under it, and a
// padding all round that keeps them off the tip's edge.
struct TipRoom {
    int width;   // the charts', the padding included: the least the tip is wide
    int height;  // the bottom margin
    int pad;     // also between charts side by side
    int chartHeight;
    int barsGap;  // between the chart and the bars; 0 without bars
    int charts = 1;
    int labelHeight = 0;  // of the label over each chart, in the icon's flyout
};

inline TipRoom TipRoomFor(int processorsShown, unsigned dpi) {
    const float f = dpi ? static_cast<float>(dpi) / 96.0f : 1.0f;
    TipRoom room = {DpiScaled(240, dpi), 0, DpiScaled(6, dpi), DpiScaled(60, dpi), 0};
    const BarGrid bars = ProcessorBars(processorsShown, static_cast<float>(room.width), f);
    if (bars.rows) room.barsGap = DpiScaled(6, dpi);
    room.height = 2 * room.pad + room.chartHeight + room.barsGap +
                  static_cast<int>(std::ceil(BarsHeight(bars)));
    room.width += 2 * room.pad;
    return room;
}

// The icon's flyout: a chart per widget side by side, 120 × 48 at 96 dpi,
// each under its label, one line of the tip's font.
inline TipRoom FlyoutRoomFor(unsigned dpi, int labelHeight) {
    const int pad = DpiScaled(6, dpi);
    TipRoom room = {
        3 * DpiScaled(120, dpi) + 4 * pad, 0, pad, DpiScaled(48, dpi), 0, 3, labelHeight};
    room.height = 2 * pad + labelHeight + room.chartHeight;
    return room;
}

// Chart i of those side by side in the room's area from (left, top), each
// below its label.
inline ChartBox ChartInRoom(const TipRoom& room, float left, float top, float width, int i) {
    const float pad = static_cast<float>(room.pad);
    const float each = (width - static_cast<float>(room.charts - 1) * pad) / room.charts;
    return {left + static_cast<float>(i) * (each + pad), top + static_cast<float>(room.labelHeight),
            each, static_cast<float>(room.chartHeight)};
}

// The chart's colours: the widget's gauge colour over a faint track with a
// thin line at 50 %; in high contrast the theme's, as the widgets draw.
struct TipChartColors {
    Argb area;
    Argb track;
    Argb midline;
};

inline TipChartColors TipChartColorsFor(Argb gauge, const SystemColors* highContrast) {
    if (highContrast)
        return {DialogColorToArgb(highContrast->highlight),
                DialogColorToArgb(highContrast->grayText),
                DialogColorToArgb(highContrast->windowText)};
    return {gauge | 0xFF000000u, 0x28808080u, 0x70808080u};
}
