#pragma once
// When the widgets read their figures and redraw. The CPU widget carries
// the timers; the benchmark and the tests send it WM_TIMER themselves.

#include "core/state.h"

#include <windows.h>

constexpr UINT_PTR SampleTimerId = 3001;
constexpr UINT SamplePeriodMs = 6000;
// How late Windows may run a sampling tick, to batch it with other wake-ups.
constexpr ULONG SampleToleranceMs = 1000;
// One-off: the processor figure is first read this long after the counter
// and the system times were primed, not at the first six-second tick.
constexpr UINT_PTR FirstCpuReadTimerId = 3010;
constexpr UINT FirstCpuReadDelayMs = 1000;

// Reads memory and commit load at once, primes the processor figure, which
// is read a second later, repaints, and starts the six-second period
// afresh. Does nothing while the widgets are at rest, nobody seeing them.
void StartSampling();

// Stops every sampling timer, until StartSampling.
void StopSampling();

// The CPU widget's timers: a tick reads all three figures, the first read
// the processor's; a widget repaints only when what it shows changed, the
// icon changes only what differs, and a shown tip takes the new figures.
void OnSamplingTimer(HWND cpuWidget, UINT_PTR timerId);

// A paint is most of what a tick costs, and RAM and Swap keep their whole
// percentage for minutes: only a widget that would look different with the
// new figures is drawn again.
void RepaintChanged(const MetricValues& before, const MetricValues& now);

// Paints the widgets that exist anew (new figures, other colours, style or
// scale), and brings the notification-area icon up to date.
void RepaintWidgets();
