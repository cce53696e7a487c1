#pragma once
#include <windows.h>

// Fills the three rectangles (defaults first, then the stored ones, pulled
// onto a work area) and the appearance settings from the registry.
void LoadSettings(RECT& cpuRect, RECT& ramRect, RECT& swapRect);

// Writes all eleven values: settings and the three window positions.
void SaveSettings();

// Pulls a rectangle back onto the work area of the monitor it lies on.
void ClampToWorkArea(RECT& rect);
