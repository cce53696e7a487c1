#pragma once
#include "metrics/sampling_math.h"

#include <windows.h>

// One-off timer on the CPU widget: the processor figure is first read this
// long after the counter and the system times were primed, not at the
// first six-second tick.
constexpr UINT_PTR FirstCpuReadTimerId = 3010;
constexpr UINT FirstCpuReadDelayMs = 1000;
// How late Windows may run a sampling tick, to batch it with other wake-ups.
constexpr ULONG SampleToleranceMs = 1000;

// Opens the processor counter from System32's pdh.dll and collects once, so
// the first read has a rate to report. When the DLL, the query, the counter
// or that collection fails, the figure comes from the system times instead.
void OpenCpuCounter();

// Samples memory and commit load at once, primes the processor figure and
// reads it a second later, and starts the six-second period afresh. Does
// nothing while the widgets are at rest, nobody seeing them.
void StartSampling();

// Stops every sampling timer, until StartSampling.
void StopSampling();

// One tick of the CPU widget's timer: refreshes LiveMetrics and asks the
// three widgets to repaint.
void SampleMetrics(HWND cpuWidget);

// The CPU widget's timers: the sampling tick and the first processor read.
void OnSamplingTimer(HWND cpuWidget, UINT_PTR timerId);

// The system times now; all zero when they cannot be read.
SystemTimes ReadSystemTimes();
