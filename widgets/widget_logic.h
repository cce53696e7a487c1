#pragma once
// Pure decisions of the widget windows, kept apart from the window code so
// that tests call them without a window.

#include "app/state.h"

#include <climits>
#include <cmath>

// A hand-edited ScaleValue outside 1..3 would give a zero, negative or
// gigantic window; such a value is drawn and sized as scale 1.
inline int EffectiveScale(int scaleValue) {
    return (scaleValue >= ScaleStep::Normal && scaleValue <= ScaleStep::ExtraLarge)
               ? scaleValue
               : ScaleStep::Normal;
}

inline float ScaleFactor(int scaleValue) {
    switch (EffectiveScale(scaleValue)) {
    case ScaleStep::Large:
        return 1.5f;
    case ScaleStep::ExtraLarge:
        return 2.0f;
    default:
        return 1.0f;
    }
}

// The one rule by which a length laid out at 96 dpi follows the display
// scale: times dpi/96, rounded to the nearest pixel. 96 dpi, and the 0 that
// GetDpiForWindow answers for a window that is gone, leave it as it is.
inline int DpiScaled(int length, unsigned dpi) {
    if (dpi == 0 || dpi == 96) return length;
    return static_cast<int>(std::lround(static_cast<double>(length) * dpi / 96.0));
}

// The DPI a widget is sized and drawn by. An attached widget lives in the
// shell's desktop window, which spans every monitor and reports one DPI: it
// takes its own monitor's. A top-level one, and one whose monitor cannot
// tell, take the window's.
inline unsigned ChooseWidgetDpi(bool attached, unsigned monitorDpi, unsigned windowDpi) {
    return attached && monitorDpi ? monitorDpi : windowDpi;
}

// Edge of a freshly created (or rescaled) widget: 160, 240 or 320 pixels at
// 96 dpi, times the display scale.
inline int CreationEdge(int scaleValue, unsigned dpi) {
    return DpiScaled(static_cast<int>(ScaleFactor(scaleValue) * 160.0f), dpi);
}

// The shown value: the percentage truncated toward zero. NaN and values past
// the int range cannot be converted safely, so they are pinned.
inline int TruncatePercent(double percent) {
    if (std::isnan(percent)) return 0;
    if (percent >= 2147483647.0) return INT_MAX;
    if (percent <= -2147483648.0) return INT_MIN;
    return static_cast<int>(percent);
}

struct WidgetPaintArgs {
    Argb progressColor;
    Argb textColor;
    const wchar_t* label;
    int value;      // 0 when not measured, so nothing is filled
    bool measured;  // false: the value shows as a dash
};

// What a widget hands its painter. The Capacity Bar draws every widget's
// text in swapTextColor.
inline WidgetPaintArgs PaintArgsFor(WidgetKind kind, const AppearanceSettings& s,
                                    const MetricValues& m) {
    const bool capacity = s.chartTypeValue == ChartStyle::CapacityBar;
    auto shown = [](Argb progress, Argb text, const wchar_t* label, double percent) {
        const bool measured = !std::isnan(percent);
        return WidgetPaintArgs{progress, text, label, measured ? TruncatePercent(percent) : 0,
                               measured};
    };
    switch (kind) {
    case WidgetKind::Cpu:
        return shown(s.cpuProgressColor, capacity ? s.swapTextColor : s.cpuTextColor, L"CPU",
                     m.cpuPercent);
    case WidgetKind::Ram:
        return shown(s.ramProgressColor, capacity ? s.swapTextColor : s.ramTextColor, L"RAM",
                     m.ramPercent);
    case WidgetKind::Swap:
    default:
        return shown(s.swapProgressColor, s.swapTextColor, L"Swap", m.swapPercent);
    }
}
