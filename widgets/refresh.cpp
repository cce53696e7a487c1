#include "widgets/refresh.h"

#include "core/state.h"
#include "metrics/sampling.h"

#include <initializer_list>

namespace {

void Repaint(HWND window) {
    // A null window would invalidate every window on the desktop.
    if (window) InvalidateRect(window, nullptr, TRUE);
}

}  // namespace

void StartSampling() {
    const HWND cpu = appState.cpuWindow;
    if (!cpu || AtRest(appState.visibility)) return;
    ReadMemoryFigures();
    PrimeCpuFigure();
    RepaintWidgets();  // the memory figures at once, the processor's a dash until read
    SetTimer(cpu, FirstCpuReadTimerId, FirstCpuReadDelayMs, nullptr);
    // Setting the timer again restarts its period.
    SetCoalescableTimer(cpu, SampleTimerId, SamplePeriodMs, nullptr, SampleToleranceMs);
}

void StopSampling() {
    if (!appState.cpuWindow) return;
    KillTimer(appState.cpuWindow, FirstCpuReadTimerId);
    KillTimer(appState.cpuWindow, SampleTimerId);
}

void OnSamplingTimer(HWND cpuWidget, UINT_PTR timerId) {
    if (timerId == SampleTimerId) {
        ReadMemoryFigures();
        ReadCpuFigure();
        RepaintWidgets();
    } else if (timerId == FirstCpuReadTimerId) {
        KillTimer(cpuWidget, FirstCpuReadTimerId);
        ReadCpuFigure();
        Repaint(cpuWidget);
    }
}

void RepaintWidgets() {
    for (HWND w : {appState.cpuWindow, appState.ramWindow, appState.swapWindow}) Repaint(w);
}
