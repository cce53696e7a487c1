#pragma once
#include <windows.h>

#include <cstdint>

// Right-click menu of a widget; runs the chosen command before returning.
// Acts only on the caption hit-test code. point is the packed screen
// position of the click.
void ShowContextMenu(HWND window, WPARAM hitTestCode, LPARAM point);

// The menu tree with its radio marks from chartIndex and scaleIndex. The
// caller destroys it.
HMENU BuildContextMenu();

// Runs one menu result (0 for a dismissed menu) on the clicked widget.
void RunMenuCommand(HWND clicked, UINT command);

// The system colour dialog, started at argb; returns the chosen colour
// (always opaque) or argb unchanged when cancelled.
std::uint32_t PickColor(HWND owner, std::uint32_t argb);

// Line the three widgets up in a row or a column, anchored at clicked.
void AlignHorizontally(const HWND (&windows)[3], HWND clicked);
void AlignVertically(const HWND (&windows)[3], HWND clicked);
