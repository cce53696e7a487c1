#pragma once
// A widget's right-click menu. It shows itself and tells which command was
// chosen; the program runs the command.

#include "core/colors.h"

#include <windows.h>

// Shows the menu at a screen point, with its radio marks from chartIndex and
// scaleIndex, and returns the chosen command: 0 when it was dismissed.
UINT TrackContextMenu(HWND window, POINT at);

// The menu tree with its radio marks. The caller destroys it.
HMENU BuildContextMenu();

// The system colour dialog, started at argb; returns the chosen colour
// (always opaque) or argb unchanged when cancelled.
Argb PickColor(HWND owner, Argb argb);
