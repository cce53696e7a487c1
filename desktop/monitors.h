#pragma once
#include "core/monitor_area.h"

#include <windows.h>

#include <vector>

// The effective DPI of the monitor a window is on; 0 when it cannot tell.
unsigned MonitorDpi(HWND window);

// Every monitor with its work area and display scale.
std::vector<MonitorArea> CurrentMonitors();

// The monitor nearest to a point: its whole area, its work area and its
// scale; the primary work area for both when it cannot be read.
MonitorArea MonitorAreaAt(POINT point);

// The primary monitor's work area; its whole screen if that cannot be read.
RECT PrimaryWorkArea();
