#pragma once
#include <windows.h>

// Loads the settings, creates the CPU, RAM and Swap widgets in that order,
// attaches each to the desktop and starts the sampling timer. False as soon
// as one window cannot be created. Runs again when widgets that the shell
// took come back; the classes are registered by then, which is harmless.
bool CreateWidgetWindows(HINSTANCE instance);

// Shows each widget at its chosen place, or on the screen while that lies on
// no monitor; saves nothing, so the chosen places outlive a monitor's absence.
void ShowChosenPlaces();

// Ends the whole program, as "Exit" does: saves, destroys the three widgets
// and ends the message loop with 0. Every way of asking to end comes here.
void EndProgram();

// The DPI a widget is sized and drawn by: its monitor's while attached.
unsigned WidgetDpi(HWND window);

LRESULT CALLBACK CpuWidgetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK RamWidgetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SwapWidgetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
