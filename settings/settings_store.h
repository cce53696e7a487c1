#pragma once
#include <windows.h>

// Fills the three rectangles (defaults first, then the stored ones, pulled
// onto a work area) and the appearance settings from the registry.
void LoadSettings(RECT& cpuRect, RECT& ramRect, RECT& swapRect);

// Writes all eleven values: settings and the three window positions, read
// from the windows that exist and kept as the known places.
void SaveSettings();

// Writes the settings and the known places without reading any window.
void SaveKnownPlaces();

// The known place of a widget after the monitors changed: see RestoredPlace.
RECT PlaceToRestore(const RECT& known);

// Pulls a rectangle back onto the work area of the monitor it lies on.
void ClampToWorkArea(RECT& rect);
