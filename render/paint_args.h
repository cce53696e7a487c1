#pragma once
// What a widget hands its painter: everything the paint draws, so the
// painter never looks at the widget's window or monitor for it.

#include "core/colors.h"
#include "core/scale.h"

struct WidgetPaintArgs {
    Argb progressColor;
    Argb textColor;
    const wchar_t* label;
    int value;                // 0 when not measured, so nothing is filled
    bool measured;            // false: the value shows as a dash
    unsigned dpi = kBaseDpi;  // the widget's: it sizes the window and all it draws
    int scaleValue = 1;       // ScaleValue as stored; one outside 1..3 draws as 1
};
