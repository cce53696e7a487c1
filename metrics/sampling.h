#pragma once
#include <windows.h>

// Opens the processor counter and collects once, so the first tick already
// has a rate to report.
void OpenCpuCounter();

// One tick of the CPU widget's timer: refreshes LiveMetrics and asks the
// three widgets to repaint.
void SampleMetrics(HWND cpuWidget);
