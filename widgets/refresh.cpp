#include "widgets/refresh.h"

#include "core/state.h"
#include "metrics/sampling.h"
#include "widgets/tip.h"
#include "widgets/tray.h"
#include "widgets/widget_logic.h"

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
    // Nothing was read since the last reading, if any: no line joins them.
    for (FigureHistory& history : appState.history) EndRun(history);
    ReadMemoryFigures();
    PrimeCpuFigure();
    RepaintWidgets();  // the memory figures at once, the processor's a dash until read
    SetTimer(cpu, FirstCpuReadTimerId, FirstCpuReadDelayMs, nullptr);
    // Setting the timer again restarts its period.
    SetCoalescableTimer(cpu, SampleTimerId, SamplePeriodMs, nullptr, SampleToleranceMs);
}

void StopSampling() {
    HideTip();  // nothing is shown at rest
    if (!appState.cpuWindow) return;
    KillTimer(appState.cpuWindow, FirstCpuReadTimerId);
    KillTimer(appState.cpuWindow, SampleTimerId);
}

void OnSamplingTimer(HWND cpuWidget, UINT_PTR timerId) {
    const MetricValues before = appState.LiveMetrics;
    if (timerId == SampleTimerId) {
        ReadMemoryFigures();
        ReadCpuFigure();
    } else if (timerId == FirstCpuReadTimerId) {
        KillTimer(cpuWidget, FirstCpuReadTimerId);
        ReadCpuFigure();
    } else {
        return;
    }
    RepaintChanged(before, appState.LiveMetrics);
    SyncTrayIcon();
    RefreshTip();
}

void RepaintChanged(const MetricValues& before, const MetricValues& now) {
    if (ShownDiffers(before.cpuPercent, now.cpuPercent)) Repaint(appState.cpuWindow);
    if (ShownDiffers(before.ramPercent, now.ramPercent)) Repaint(appState.ramWindow);
    if (ShownDiffers(before.swapPercent, now.swapPercent)) Repaint(appState.swapWindow);
}

void RepaintWidgets() {
    for (HWND w : {appState.cpuWindow, appState.ramWindow, appState.swapWindow}) Repaint(w);
    SyncTrayIcon();  // the icon shows the same figures in the same colours
}
