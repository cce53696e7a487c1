#pragma once
#include <windows.h>

// The effective DPI of the monitor a window is on; 0 when it cannot tell.
unsigned MonitorDpi(HWND window);
