// One sampling tick: counter collection and memory status; a tick whose
// figures did not change, which paints nothing, and the same tick with the
// CPU tip shown, which takes a snapshot of the processes and processors and
// draws the tip anew; one that repaints all three widgets and the
// notification-area icon; the icon alone.

#include "tools/benchmark/bench.h"

#include "core/state.h"
#include "metrics/sampling.h"
#include "widgets/refresh.h"
#include "widgets/tip.h"
#include "widgets/tray.h"

#include <string>

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
    // Under Wine the counter reads 0 and the memory loads hold still for
    // seconds: nearly every tick here finds its figures as they were.
    ForcedTick(true);
    int repainted = 0;
    const double quiet = MedianMs(runs, [&repainted] { repainted += ForcedTick(false); });
    rows.push_back(
        {"one tick, figures unchanged (" + std::to_string(repainted) + " paints)", quiet, runs});
    ShowTip(WidgetKind::Cpu, appState.cpuWindow, kBaseDpi);
    const double tipped = MedianMs(runs, [] { ForcedTick(false); });
    HideTip();
    rows.push_back({"the same tick with the CPU tip shown", tipped, runs});
    const double full = MedianMs(runs, [] { ForcedTick(true); });
    rows.push_back({"one tick that repaints all three (current style)", full, runs});
    const double icon = MedianMs(runs, [] {
        appState.tray.sentIcon = {};
        SyncTrayIcon();
    });
    rows.push_back({"the icon drawn and sent to the notification area", icon, runs});
}

const BenchRegistrar registrar(BenchTick);

}  // namespace

int ForcedTick(bool repaintAll) {
    appState.processes.takenAt = 0;  // as six seconds after the last: a shown tip's snapshot is due
    SendMessageW(appState.cpuWindow, WM_TIMER, SampleTimerId, 0);
    int asked = 0;
    for (HWND w : {appState.ramWindow, appState.swapWindow, appState.cpuWindow})
        if (GetUpdateRect(w, nullptr, FALSE)) ++asked;
    if (repaintAll) {
        appState.tray.sentIcon = {};  // the icon is drawn and sent again too
        RepaintWidgets();
    }
    for (HWND w : {appState.ramWindow, appState.swapWindow, appState.cpuWindow}) UpdateWindow(w);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, WM_USER, PM_REMOVE)) DispatchMessageW(&msg);
    return asked;
}
