#pragma once
// Reading the figures into the state's LiveMetrics. Nothing here knows a
// window or a timer: the widgets decide when to read, and what to redraw.

#include "core/figures.h"

// Opens the processor counter from System32's pdh.dll and collects once, so
// the first read has a rate to report. When the DLL, the query, the counter
// or that collection fails, the figure comes from the system times instead.
// Counts the logical processors too.
void OpenCpuCounter();
void CloseCpuCounter();

// Memory and commit load, now.
void ReadMemoryFigures();

// Starts the processor figure's interval: the next read reports the load
// since now, and until then there is no figure.
void PrimeCpuFigure();

// The processor load since the last read or priming.
void ReadCpuFigure();

// The system times now; all zero when they cannot be read.
SystemTimes ReadSystemTimes();
