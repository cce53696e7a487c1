#pragma once
#include <windows.h>

constexpr UINT_PTR SampleTimerId = 3001;
constexpr UINT SamplePeriodMs = 6000;

// Loads the settings, creates the CPU, RAM and Swap widgets in that order,
// attaches each to the desktop and starts the sampling timer. False as soon
// as one window cannot be created. Runs again when widgets that the shell
// took come back; the classes are registered by then, which is harmless.
bool CreateWidgetWindows(HINSTANCE instance);

// Puts each widget back at its known place, pulled onto a monitor if it lies
// on none any more, and saves when one moved.
void RestoreKnownPlaces();

LRESULT CALLBACK CpuWidgetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK RamWidgetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SwapWidgetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
