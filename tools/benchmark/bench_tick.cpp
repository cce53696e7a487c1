// One sampling tick: counter collection, memory status and the three
// repaints it asks for.

#include "tools/benchmark/bench.h"

#include "core/state.h"
#include "metrics/sampling.h"
#include "widgets/refresh.h"

namespace {

void BenchTick(std::vector<BenchRow>& rows) {
    if (!BenchWidgets()) return;
    OpenCpuCounter();
    const int runs = 400;
    const double sampleOnly = MedianMs(runs, [] {
        ReadMemoryFigures();
        ReadCpuFigure();
    });
    rows.push_back({"sampling only (counter + memory status)", sampleOnly, runs});
    const double tick = MedianMs(runs, ForcedTick);
    rows.push_back({"one tick: sampling + three paints (current style)", tick, runs});
}

const BenchRegistrar registrar(BenchTick);

}  // namespace

void ForcedTick() {
    SendMessageW(appState.cpuWindow, WM_TIMER, SampleTimerId, 0);
    for (HWND w : {appState.ramWindow, appState.swapWindow, appState.cpuWindow}) UpdateWindow(w);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, WM_USER, PM_REMOVE)) DispatchMessageW(&msg);
}
