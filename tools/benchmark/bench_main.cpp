#include "tools/benchmark/bench.h"

#include "core/state.h"
#include "render/gdiplus_include.h"
#include "widgets/widgets.h"

#include <cstdio>

namespace {
std::vector<BenchFn>& Registry() {
    static std::vector<BenchFn> fns;
    return fns;
}
}  // namespace

BenchRegistrar::BenchRegistrar(BenchFn fn) { Registry().push_back(fn); }

bool BenchWidgets() {
    static bool created = false;
    if (!created) {
        static ULONG_PTR token = 0;
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token, &input, nullptr);
        created = CreateWidgetWindows(GetModuleHandleW(nullptr));
    }
    return created;
}

int main() {
    std::vector<BenchRow> rows;
    for (BenchFn fn : Registry()) fn(rows);
    std::printf("| %-52s | %12s | %6s |\n", "measure", "median (ms)", "runs");
    std::printf("|%s|%s|%s|\n", std::string(54, '-').c_str(), std::string(14, '-').c_str(),
                std::string(8, '-').c_str());
    for (const BenchRow& r : rows)
        std::printf("| %-52s | %12.3f | %6d |\n", r.name.c_str(), r.median_ms, r.runs);
    return 0;
}
