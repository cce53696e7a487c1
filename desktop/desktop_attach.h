#pragma once
#include <windows.h>

// Re-parents a widget under the desktop icons and sends it to the bottom.
void AttachToDesktop(HWND widget);

// The shell window an attached widget lives in, whose client coordinates
// its position is given in; null while the widget is top-level.
HWND AttachedParent(HWND widget);
