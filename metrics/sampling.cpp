#include "metrics/sampling.h"

#include "app/state.h"
#include "metrics/sampling_math.h"

#include <pdh.h>

void OpenCpuCounter() {
    PdhOpenQueryW(nullptr, 0, &appState.cpuQuery);
    PdhAddEnglishCounterW(appState.cpuQuery, L"\\Processor(_Total)\\% Processor Time", 0,
                          &appState.cpuCounter);
    PdhCollectQueryData(appState.cpuQuery);
}

void SampleMetrics(HWND cpuWidget) {
    MetricValues& live = appState.LiveMetrics;
    live.ramPercent = 0.0;
    live.swapPercent = 0.0;

    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    const MemoryPercents memory =
        MemoryPercentsFrom(GlobalMemoryStatusEx(&status) != FALSE, status);
    live.ramPercent = memory.ram;
    live.swapPercent = memory.swap;
    // A null window would invalidate every window on the desktop.
    if (appState.ramWindow) InvalidateRect(appState.ramWindow, nullptr, TRUE);
    if (appState.swapWindow) InvalidateRect(appState.swapWindow, nullptr, TRUE);

    PdhCollectQueryData(appState.cpuQuery);
    PDH_FMT_COUNTERVALUE value = {};
    const PDH_STATUS read =
        PdhGetFormattedCounterValue(appState.cpuCounter, PDH_FMT_DOUBLE, nullptr, &value);
    live.cpuPercent = CpuPercentFrom(read, value);
    if (cpuWidget) InvalidateRect(cpuWidget, nullptr, TRUE);
}
