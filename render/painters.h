#pragma once
// The three chart styles. Each does the whole WM_PAINT: BeginPaint, the
// window size of its style, an off-screen bitmap, one blit, EndPaint; all
// it draws comes in args.

#include "core/colors.h"
#include "render/paint_args.h"

#include <windows.h>

void PaintCircularGauge(HWND window, const WidgetPaintArgs& args);
void PaintSegmentedBar(HWND window, const WidgetPaintArgs& args);
void PaintCapacityBar(HWND window, const WidgetPaintArgs& args);

// Starts GDI+ from System32's gdiplus.dll. Without it nothing can be drawn:
// the user is told so, and false comes back.
bool StartGraphics(ULONG_PTR& token);

// Whether a high-contrast theme is on; if so, its colours.
bool ReadHighContrast(SystemColors& colors);
