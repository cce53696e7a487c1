#pragma once
#include <windows.h>

// Right-click menu of a widget; runs the chosen command before returning.
// point is the packed screen position of the click.
void ShowContextMenu(HWND window, WPARAM hitTestCode, LPARAM point);
