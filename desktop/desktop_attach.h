#pragma once
#include <windows.h>

// Re-parents a widget under the desktop icons and sends it to the bottom,
// without activating it.
void AttachToDesktop(HWND widget);

// Whether the shell's desktop window ("Progman") exists.
bool DesktopShellRunning();

// Moves (and, without SWP_NOSIZE, sizes) a widget to a place given in screen
// coordinates, also when it lives in the shell's windows.
void PlaceOnScreen(HWND widget, LONG screenX, LONG screenY, int width, int height, UINT flags);

// Where a widget that is not attached goes in the z-order: the bottom, but
// never under the shell's full-screen desktop windows, which would hide it
// (the widget itself when it is there already).
HWND TopLevelInsertAfter();

// The shell window an attached widget lives in, whose client coordinates
// its position is given in; null while the widget is top-level.
HWND AttachedParent(HWND widget);
