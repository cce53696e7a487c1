#pragma once
// Geometry and text of the three chart styles as pure functions of the
// client size, the DPI factor, the scale step and the value. The painters
// draw from these, and tests check every length without a window, at DPI
// factors the test machine cannot produce.
//
// The window size follows the style, the scale and the display scale, so
// every length drawn in it keeps the proportions it has at 96 dpi.

#include "core/scale.h"
#include "core/state.h"

#include <algorithm>
#include <cmath>
#include <string>

// GetDpiForWindow's answer as a factor of the 96-dpi baseline. It answers 0
// only for a window that is gone; that paint is drawn at the baseline.
inline float DpiFactor(unsigned dpi) { return dpi ? static_cast<float>(dpi) / 96.0f : 1.0f; }

// "42%": decimal, a minus sign for negatives, no grouping and nothing that
// depends on the user's locale. INT_MIN comes out whole. A figure not
// measured is a dash, never a 0 %.
inline std::wstring ValueText(int value, bool measured = true) {
    return measured ? std::to_wstring(value) + L"%" : L"\u2013";
}

// The Capacity Bar's single line: "CPU: 42%".
inline std::wstring CapacityText(const std::wstring& label, int value, bool measured = true) {
    return label + L": " + ValueText(value, measured);
}

// --- Circular Gauge ------------------------------------------------------

constexpr float kGaugeStartAngle = -90.0f;  // 12 o'clock; GDI+ angles run clockwise

struct GaugeLayout {
    float penWidth;
    float diameter;
    float left;  // gauge square: left, top, diameter, diameter
    float top;
    float labelTop;  // label rectangle: the gauge square raised by 0.18·d
    float labelFontPx;
    float valueFontPx;
    float sweep;  // degrees, clockwise from kGaugeStartAngle
};

// Never below 0.1 degree, so 0 and negative values still show a dot at
// 12 o'clock; never past a full circle.
inline float GaugeSweep(int value) {
    const float sweep = static_cast<float>(value / 100.0) * 360.0f;
    return std::min(std::max(sweep, 0.1f), 360.0f);
}

// The gauge depends on the scale only through the client size.
inline GaugeLayout GaugeLayoutFor(int width, int height, float dpiFactor, int value) {
    GaugeLayout g;
    g.penWidth = 12.0f * dpiFactor;
    g.diameter = 0.85f * static_cast<float>(std::min(width, height));
    g.left = (static_cast<float>(width) - g.diameter) * 0.5f;
    g.top = (static_cast<float>(height) - g.diameter) * 0.5f;
    g.labelTop = g.top - 0.18f * g.diameter;
    g.labelFontPx = 0.12f * g.diameter;
    g.valueFontPx = 0.22f * g.diameter;
    g.sweep = GaugeSweep(value);
    return g;
}

// --- Segmented Bar -------------------------------------------------------

constexpr int kSegmentCount = 10;
constexpr Argb kSegmentUnlitColor = 0xFF2D2D2D;

struct SegmentLayout {
    int gap;
    int segmentHeight;
    int stackHeight;
    int segmentWidth;
    int left;
    int stackTop;  // also the height of the label band, which starts at 0
    int step;
    int corner;  // edge of the box each rounded corner's arc is drawn in
    int valueBandTop;
    int valueBandHeight;
    float labelFontPx;
    float valueFontPx;
};

// Integer pixels; the products are formed in single precision and
// truncated toward zero, the divisions are integer divisions.
inline SegmentLayout SegmentLayoutFor(int width, int height, float dpiFactor, int scale) {
    SegmentLayout s;
    s.gap = static_cast<int>(3.0f * dpiFactor);
    // At very high DPI the nine gaps outgrow the stack; a negative height
    // would turn each segment inside out over its neighbours.
    s.segmentHeight =
        std::max(0, (static_cast<int>(0.55f * static_cast<float>(height)) - 9 * s.gap) / 10);
    s.stackHeight = 9 * s.gap + 10 * s.segmentHeight;
    s.segmentWidth = static_cast<int>(0.85f * static_cast<float>(width));
    s.left = (width - s.segmentWidth) / 2;
    s.stackTop = static_cast<int>(0.22f * static_cast<float>(height));
    s.step = s.segmentHeight + s.gap;
    s.corner = std::max(s.gap, 2);
    s.valueBandTop = s.stackTop + s.stackHeight;
    s.valueBandHeight = height - s.stackTop - s.stackHeight;
    s.labelFontPx = 22.0f * dpiFactor * static_cast<float>(scale);
    s.valueFontPx = 20.0f * dpiFactor * static_cast<float>(scale);
    return s;
}

// Segment 0 is the top one, 9 the bottom one.
inline int SegmentTop(const SegmentLayout& s, int index) { return s.stackTop + index * s.step; }

// Segment i lights once the value reaches 100 - 10·i: the bottom one at 10,
// the top one at 100, none for a negative value.
inline bool SegmentLit(int value, int index) { return value >= 100 - 10 * index; }

// --- Capacity Bar --------------------------------------------------------

constexpr Argb kCapacityTrackColor = 0xFF2D2D30;
constexpr Argb kCapacityOutlineColor = 0xFF505050;

struct CapacityLayout {
    float margin;  // left edge of the text and of the bar
    float textTop;
    float fontPx;
    float barLimit;  // the bar ends one margin above this line
    float barTop;
    float barWidth;
    float barHeight;
    float fillWidth;
    bool drawFill;  // a sliver of 0.1 pixel or less is not drawn
    float outlineWidth;
};

inline CapacityLayout CapacityLayoutFor(int width, int height, float dpiFactor, int scale,
                                        int value) {
    CapacityLayout c;
    c.margin = 15.0f * dpiFactor;
    c.textTop = 12.0f * dpiFactor;
    c.fontPx = scale == 1 ? 15.0f * dpiFactor : 13.0f * dpiFactor * static_cast<float>(scale);
    // The line is a whole pixel of the window as laid out at 96 dpi, then
    // scaled: cut in the scaled window, the lost fraction of a pixel would
    // shorten the bar against everything else, which grows with the DPI.
    const int height96 = static_cast<int>(std::lround(static_cast<float>(height) / dpiFactor));
    c.barLimit =
        static_cast<float>(scale == 1 ? (4 * height96) / 11 : (2 * height96) / 8) * dpiFactor;
    c.barTop = 22.0f * dpiFactor * static_cast<float>(scale) + 12.0f * dpiFactor;
    c.barWidth = std::max(1.0f, static_cast<float>(width) - c.margin - c.margin);
    c.barHeight = std::max(1.0f, c.barLimit - c.barTop - c.margin);
    const float fraction = std::min(std::max(static_cast<float>(value) / 100.0f, 0.0f), 1.0f);
    c.fillWidth = fraction * c.barWidth;
    c.drawFill = c.fillWidth > 0.1f;
    c.outlineWidth = dpiFactor;
    return c;
}
