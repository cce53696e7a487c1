#pragma once

// Reads the host suite's install folder into hostInstallPath.
bool ReadHostInstallPath();

// Brings a running host window to the front, or launches the host.
bool OpenHostApplication();
