#pragma once
#include <windows.h>

// Reads the host suite's install folder into hostInstallPath.
bool ReadHostInstallPath();

// Brings a running host window to the front, or launches the host; says so
// in a box owned by `owner` when that fails.
bool OpenHostApplication(HWND owner);
