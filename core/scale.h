#pragma once
// How big a widget is: the widget scale and the display scale, and the
// pixel arithmetic under them.

#include <windows.h>

#include <cmath>
#include <cstdint>

namespace ChartStyle {
constexpr int CircularGauge = 1;
constexpr int SegmentedBar = 2;
constexpr int CapacityBar = 3;
}  // namespace ChartStyle

namespace ScaleStep {
constexpr int Normal = 1;
constexpr int Large = 2;
constexpr int ExtraLarge = 3;
}  // namespace ScaleStep

// Stored rectangles are hand-editable, and their widths and heights may not
// fit 32 bits: arithmetic on them runs in 64 bits, and results are pinned
// to the 32-bit range.
inline LONG PinToLong(std::int64_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<LONG>(v);
}

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

// The DPI at which every length is laid out: 100 % display scale.
constexpr unsigned kBaseDpi = 96;

// The one rule by which a length laid out at 96 dpi follows the display
// scale: times dpi/96, rounded to the nearest pixel. The 0 that
// GetDpiForWindow answers for a window that is gone leaves it as it is.
inline int DpiScaled(int length, unsigned dpi) {
    if (dpi == 0) return length;
    return static_cast<int>(std::lround(static_cast<double>(length) * dpi / 96.0));
}

// Edge of a freshly created (or rescaled) widget: 160, 240 or 320 pixels at
// 96 dpi, times the display scale.
inline int CreationEdge(int scaleValue, unsigned dpi) {
    return DpiScaled(static_cast<int>(ScaleFactor(scaleValue) * 160.0f), dpi);
}

struct WidgetSize {
    int width;
    int height;
};

// The size every paint gives the window: 160·S square, or 320·S by 160·S
// for the Capacity Bar, at 96 dpi, and as much larger as the display scale.
// A hand-edited scale outside 1..3 counts as 1, so a widget can never
// become empty, negative or gigantic.
inline WidgetSize StyleWindowSize(int chartType, int scaleValue, unsigned dpi) {
    const int s = EffectiveScale(scaleValue);
    const int width = chartType == ChartStyle::CapacityBar ? 320 * s : 160 * s;
    return {DpiScaled(width, dpi), DpiScaled(160 * s, dpi)};
}
