// Cost of painting: one paint of each style at each scale, and one whole
// tick (sampling and the three paints it asks for) in each style.

#include "tools/benchmark/bench.h"

#include "core/state.h"
#include "metrics/sampling.h"
#include "widgets/refresh.h"

#include <string>

namespace {

const char* const kStyleNames[] = {"", "Circular Gauge", "Segmented Bar", "Capacity Bar"};

void PaintNow(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
}

void BenchRender(std::vector<BenchRow>& rows) {
    if (!BenchWidgets()) return;
    if (!appState.cpuQuery) OpenCpuCounter();
    KillTimer(appState.cpuWindow, SampleTimerId);  // no ticks of its own while measuring
    // Apart and on the screen at every size measured, so no widget's paint
    // exposes another and no pixels fall off the screen.
    SetWindowPos(appState.cpuWindow, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(appState.ramWindow, nullptr, 0, 500, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(appState.swapWindow, nullptr, 660, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    AppearanceSettings& settings = appState.WidgetSettings;
    const AppearanceSettings saved = settings;
    appState.LiveMetrics.ramPercent = 57.0;

    const int runs = 300;
    for (int style = 1; style <= 3; ++style) {
        for (int scale = 1; scale <= 3; ++scale) {
            settings.chartTypeValue = style;
            settings.ScaleValue = scale;
            PaintNow(appState.ramWindow);  // takes the size of the style first
            const double ms = MedianMs(runs, [] { PaintNow(appState.ramWindow); });
            rows.push_back({std::string("one paint: ") + kStyleNames[style] + ", scale " +
                                std::to_string(scale),
                            ms, runs});
        }
    }
    for (int style = 1; style <= 3; ++style) {
        settings.chartTypeValue = style;
        settings.ScaleValue = 1;
        for (HWND w : {appState.ramWindow, appState.swapWindow, appState.cpuWindow}) PaintNow(w);
        const double ms = MedianMs(runs, [] { ForcedTick(true); });
        rows.push_back(
            {std::string("one tick: sampling + three paints, ") + kStyleNames[style], ms, runs});
    }
    settings = saved;
}

const BenchRegistrar registrar(BenchRender);

}  // namespace
