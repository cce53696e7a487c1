#pragma once
// Pure decisions of the widget windows, kept apart from the window code so
// that tests call them without a window.

#include "core/state.h"
#include "render/paint_args.h"

#include <cmath>

// The DPI a widget is sized and drawn by. An attached widget lives in the
// shell's desktop window, which spans every monitor and reports one DPI: it
// takes its own monitor's. A top-level one, and one whose monitor cannot
// tell, take the window's.
inline unsigned ChooseWidgetDpi(bool attached, unsigned monitorDpi, unsigned windowDpi) {
    return attached && monitorDpi ? monitorDpi : windowDpi;
}

// Whether a widget draws a new figure differently: another whole
// percentage, or a figure that became known or unknown.
inline bool ShownDiffers(double before, double after) {
    if (std::isnan(before) || std::isnan(after)) return std::isnan(before) != std::isnan(after);
    return TruncatePercent(before) != TruncatePercent(after);
}

// The name a widget shows its figure under.
inline const wchar_t* WidgetLabel(WidgetKind kind) {
    return kind == WidgetKind::Cpu ? L"CPU" : kind == WidgetKind::Ram ? L"RAM" : L"Swap";
}

// The figure a widget shows, kNoFigure while none is read.
inline double WidgetFigure(WidgetKind kind, const MetricValues& m) {
    return kind == WidgetKind::Cpu   ? m.cpuPercent
           : kind == WidgetKind::Ram ? m.ramPercent
                                     : m.swapPercent;
}

// What a widget hands its painter. The Capacity Bar draws every widget's
// text in swapTextColor.
inline WidgetPaintArgs PaintArgsFor(WidgetKind kind, const AppearanceSettings& s,
                                    const MetricValues& m) {
    const bool capacity = s.chartTypeValue == ChartStyle::CapacityBar;
    auto shown = [&](Argb progress, Argb text) {
        const double percent = WidgetFigure(kind, m);
        const bool measured = !std::isnan(percent);
        return WidgetPaintArgs{
            progress, text,     WidgetLabel(kind), measured ? TruncatePercent(percent) : 0,
            measured, kBaseDpi, s.ScaleValue};
    };
    switch (kind) {
    case WidgetKind::Cpu:
        return shown(s.cpuProgressColor, capacity ? s.swapTextColor : s.cpuTextColor);
    case WidgetKind::Ram:
        return shown(s.ramProgressColor, capacity ? s.swapTextColor : s.ramTextColor);
    case WidgetKind::Swap:
    default:
        return shown(s.swapProgressColor, s.swapTextColor);
    }
}
