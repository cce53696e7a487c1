#pragma once
// The menus of a widget and of the notification-area icon. Each shows
// itself and tells which command was chosen; the program runs the command.

#include "core/colors.h"

#include <windows.h>

// Shows a widget's menu at a screen point, with its radio marks from
// chartIndex and scaleIndex, and returns the chosen command: 0 when it was
// dismissed.
UINT TrackContextMenu(HWND window, POINT at);

// The notification-area icon's menu, at the shell's anchor point for it,
// owned by the listener window: the style and scale, Settings..., the
// icon's switch and Exit. Returns the chosen command, 0 when dismissed.
UINT TrackTrayMenu(HWND owner, POINT at);

// The menu trees with their marks. The caller destroys them.
HMENU BuildContextMenu();
HMENU BuildTrayMenu();

// The system colour dialog, started at argb; returns the chosen colour
// (always opaque) or argb unchanged when cancelled.
Argb PickColor(HWND owner, Argb argb);
