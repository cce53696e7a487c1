#pragma once
// Rows of the bench table. Each bench_*.cpp registers a function that
// measures and appends its rows.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

struct BenchRow {
    std::string name;
    double median_ms;
    int runs;
};

using BenchFn = void (*)(std::vector<BenchRow>& rows);

struct BenchRegistrar {
    explicit BenchRegistrar(BenchFn fn);
};

// Median wall time of body() over runs calls, in milliseconds.
template <typename Body>
double MedianMs(int runs, Body body) {
    std::vector<double> samples;
    samples.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        body();
        const auto t1 = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::nth_element(samples.begin(), samples.begin() + runs / 2, samples.end());
    return samples[runs / 2];
}

// Creates the three real widgets in this process (GDI+ started), once.
bool BenchWidgets();

// One tick as the program runs it: the CPU widget's timer message, the
// paints it asks for, and whatever the system queued meanwhile; with
// `repaintAll` all three widgets and the icon are drawn, as when every
// figure changed.
// Returns how many widgets the tick itself asked to repaint.
int ForcedTick(bool repaintAll);
