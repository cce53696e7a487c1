#pragma once
// The colours a chart is drawn in: the user's, or the system's while a
// high-contrast theme is on. A pure decision, so tests need no theme.

#include "core/colors.h"
#include "render/chart_layout.h"
#include "render/paint_args.h"

struct ChartColors {
    Argb progress;  // the ring, the lit segments, the bar's fill
    Argb text;
    Argb track;  // the unlit segments and the bar's track
    Argb outline;
};

// Null highContrast: the user's colours and the style's own greys. Else the
// system's, which a user with low vision chose for everything; the user's
// stay stored for when high contrast ends. A system colour equal to the
// colour key would vanish, and is nudged as a picked colour is.
inline ChartColors ColorsToDraw(const WidgetPaintArgs& args, int chartType,
                                const SystemColors* highContrast) {
    if (!highContrast) {
        const bool capacity = chartType == ChartStyle::CapacityBar;
        return {args.progressColor, args.textColor,
                capacity ? kCapacityTrackColor : kSegmentUnlitColor, kCapacityOutlineColor};
    }
    const Argb text = DialogColorToArgb(highContrast->windowText);
    return {DialogColorToArgb(highContrast->highlight), text,
            DialogColorToArgb(highContrast->grayText), text};
}

// Whether a message can change the colours to draw: high contrast turned
// on or off, other system colours, another theme.
inline bool ChangesDrawnColors(UINT message, WPARAM wParam) {
    return message == WM_SYSCOLORCHANGE || message == WM_THEMECHANGED ||
           (message == WM_SETTINGCHANGE && wParam == SPI_SETHIGHCONTRAST);
}
