#pragma once
// The drawing of the three chart styles, apart from the window: it draws on
// any GDI+ graphics of a given size and DPI factor, so the paint frame and
// tests (into a memory bitmap) share the very same code.

#include "core/state.h"
#include "render/gdiplus_include.h"
#include "render/palette_logic.h"

struct ChartInput {
    int width;  // client size in pixels
    int height;
    float dpiFactor;
    int scale;  // effective scale step, 1..3
    ChartColors colors;
    const wchar_t* label;
    int value;
    bool measured;  // false: a dash, and nothing filled
};

// A graphics object on dc in the state the style draws in, cleared to the
// background colour. Null when GDI+ cannot make one; the caller deletes it
// (GdipDeleteGraphics).
Gdiplus::GpGraphics* BeginChartGraphics(HDC dc, int chartType);

// Draws the style; every GDI+ object it makes is gone when it returns. A
// chart type outside 1..3 draws nothing. May throw std::bad_alloc while it
// builds the value text, after releasing what it made.
void DrawChart(Gdiplus::GpGraphics* graphics, int chartType, const ChartInput& in);
