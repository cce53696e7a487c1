#include "render/tip_chart.h"

#include "render/gdip_objects.h"
#include "render/painters.h"

#include <cmath>

namespace {

// The tip is no layered window: GDI+ draws straight into its paint, with
// smooth edges, as the widgets draw.
void BeginGraphics(HDC dc, Graphics& graphics) {
    gp::GdipCreateFromHDC(dc, graphics.out());
    if (graphics) gp::GdipSetSmoothingMode(graphics.get(), Gdiplus::SmoothingModeAntiAlias);
}

TipChartColors CurrentColors(Argb gauge) {
    SystemColors system = {};
    return TipChartColorsFor(gauge, ReadHighContrast(system) ? &system : nullptr);
}

void FillBox(Gdiplus::GpGraphics* graphics, Argb color, const ChartBox& box) {
    SolidBrush brush;
    gp::GdipCreateSolidFill(color, brush.out());
    if (brush)
        gp::GdipFillRectangle(graphics, brush.get(), box.left, box.top, box.width, box.height);
}

}  // namespace

void DrawHistoryChart(HDC dc, const ChartBox& box, const FigureHistory& history, ULONGLONG now,
                      Argb gauge, unsigned dpi) {
    Graphics graphics;
    BeginGraphics(dc, graphics);
    if (!graphics) return;
    const TipChartColors colors = CurrentColors(gauge);
    const float line = dpi ? static_cast<float>(dpi) / 96.0f : 1.0f;
    FillBox(graphics.get(), colors.track, box);
    SolidBrush area;
    gp::GdipCreateSolidFill(colors.area, area.out());
    // The top edge is drawn too: a run at 0 % still shows, where a gap does not.
    Pen edge;
    gp::GdipCreatePen1(colors.area, 1.5f * line, Gdiplus::UnitPixel, edge.out());
    const float bottom = box.top + box.height;
    for (const std::vector<ChartPoint>& run : ChartRuns(history, now, box, 2 * line)) {
        std::vector<Gdiplus::PointF> outline;
        for (const ChartPoint& p : run) outline.emplace_back(p.x, p.y);
        if (edge)
            gp::GdipDrawLines(graphics.get(), edge.get(), outline.data(),
                              static_cast<INT>(outline.size()));
        outline.emplace_back(run.back().x, bottom);
        outline.emplace_back(run.front().x, bottom);
        if (area)
            gp::GdipFillPolygon(graphics.get(), area.get(), outline.data(),
                                static_cast<INT>(outline.size()), Gdiplus::FillModeAlternate);
    }
    // Over the area, so that it reads at any load.
    FillBox(graphics.get(), colors.midline, {box.left, box.top + box.height / 2, box.width, line});
}

void DrawProcessorBars(HDC dc, float left, float top, const BarGrid& grid,
                       const std::vector<double>& loads, Argb gauge) {
    Graphics graphics;
    BeginGraphics(dc, graphics);
    if (!graphics) return;
    const TipChartColors colors = CurrentColors(gauge);
    for (int i = 0; i < grid.count; ++i) {
        const ChartBox bar = ProcessorBar(grid, left, top, i);
        FillBox(graphics.get(), colors.track, bar);
        const double load = i < static_cast<int>(loads.size()) ? loads[i] : NAN;
        if (std::isnan(load)) continue;
        const float filled =
            bar.height * static_cast<float>(std::min(std::max(load, 0.0), 100.0) / 100.0);
        FillBox(graphics.get(), colors.area,
                {bar.left, bar.top + bar.height - filled, bar.width, filled});
    }
}
