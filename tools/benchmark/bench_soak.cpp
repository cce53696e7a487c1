// The long soak (VG_SOAK_TICKS forced ticks, a third in each style, each
// painting all three widgets, with the CPU tip held up all along, which
// takes its snapshots and draws its chart at every tick): process memory
// before and after, so a leak of a few bytes per paint shows.

#include "tools/benchmark/bench.h"

#include "app/commands.h"
#include "core/state.h"
#include "settings/menu_logic.h"
#include "widgets/tip.h"

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

SIZE_T PagefileUsage() {
    PROCESS_MEMORY_COUNTERS counters = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

void BenchSoak(std::vector<BenchRow>&) {
    const char* requested = std::getenv("VG_SOAK_TICKS");
    if (!requested || !BenchWidgets()) return;
    const int perStyle = std::atoi(requested) / 3;
    ShowTip(WidgetKind::Cpu, appState.cpuWindow, kBaseDpi);
    for (int style = 0; style < 3; ++style) {
        RunMenuCommand(appState.cpuWindow, MenuId::ChartFirst + style);
        for (int i = 0; i < 50; ++i) ForcedTick(true);  // the style's caches fill first
        const SIZE_T before = PagefileUsage();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < perStyle; ++i) ForcedTick(true);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        const SIZE_T after = PagefileUsage();
        std::printf(
            "[soak] style %d, CPU tip shown: %d ticks, %.2f ms per tick, PagefileUsage "
            "%lld -> %lld KiB\n",
            style + 1, perStyle, ms / perStyle, static_cast<long long>(before / 1024),
            static_cast<long long>(after / 1024));
    }
    HideTip();
}

const BenchRegistrar registrar(BenchSoak);

}  // namespace
