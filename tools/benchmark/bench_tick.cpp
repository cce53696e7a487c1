// One sampling tick: counter collection, memory status and the three
// repaints it asks for.

#include "tools/benchmark/bench.h"

#include "app/state.h"
#include "metrics/sampling.h"

namespace {

void PumpPaints() {
    for (HWND w : {appState.ramWindow, appState.swapWindow, appState.cpuWindow}) UpdateWindow(w);
}

void BenchTick(std::vector<BenchRow>& rows) {
    if (!BenchWidgets()) return;
    OpenCpuCounter();
    const int runs = 400;
    const double sampleOnly = MedianMs(runs, [] { SampleMetrics(appState.cpuWindow); });
    rows.push_back({"sampling only (counter + memory status)", sampleOnly, runs});
    const double tick = MedianMs(runs, [] {
        SampleMetrics(appState.cpuWindow);
        PumpPaints();
    });
    rows.push_back({"one tick: sampling + three paints (current style)", tick, runs});
}

const BenchRegistrar registrar(BenchTick);

}  // namespace
