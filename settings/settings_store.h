#pragma once
#include "core/monitor_area.h"
#include "core/state.h"

#include <windows.h>

#include <vector>

// Fills the three rectangles with the places the widgets are shown at on
// these monitors (the stored ones pulled onto a work area, defaults on a
// first run, never over each other where the program moved them), the
// chosen places and the appearance settings from the registry.
void LoadSettings(const std::vector<MonitorArea>& monitors, const RECT& primaryWork, RECT& cpuRect,
                  RECT& ramRect, RECT& swapRect);

// The window's place on the screen becomes the chosen place of its widget:
// after a drag or an align.
void ChoosePlace(WidgetKind kind, HWND window);

// Writes all eleven values: the settings and the three chosen places. No
// window is read, so a widget shown elsewhere keeps its chosen place.
void SaveSettings();

// The notification-area icon's switch: "NotificationIcon" = 0 while off,
// no value while on. Read by LoadSettings; written only by the switch.
void StoreTraySwitch(bool on);
