#pragma once
#include <windows.h>

// Runs one command of a widget's menu (0 for a dismissed menu, which saves
// and sizes the widgets like a scale or style command) on the clicked
// widget; of the icon's menu with no widget clicked.
void RunMenuCommand(HWND clicked, UINT command);
