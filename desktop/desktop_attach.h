#pragma once
#include <windows.h>

// Re-parents a widget under the desktop icons and sends it to the bottom.
void AttachToDesktop(HWND widget);
