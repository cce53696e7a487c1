#pragma once
// The figures the widgets show, as the sampling leaves them.

#include <windows.h>

#include <climits>
#include <cmath>

// A figure that could not be read. It is shown as a dash: a 0 would look
// like an idle machine or an empty memory.
constexpr double kNoFigure = NAN;

// The shown value: the percentage truncated toward zero. NaN and values past
// the int range cannot be converted safely, so they are pinned.
inline int TruncatePercent(double percent) {
    if (std::isnan(percent)) return 0;
    if (percent >= 2147483647.0) return INT_MAX;
    if (percent <= -2147483648.0) return INT_MIN;
    return static_cast<int>(percent);
}

// GetSystemTimes in 100-ns units, summed over all processors; kernel time
// includes idle time.
struct SystemTimes {
    ULONGLONG idle = 0;
    ULONGLONG kernel = 0;
    ULONGLONG user = 0;
};

// The memory status behind the RAM and Swap figures, in bytes, from the
// same reading; all zero when it could not be read.
struct MemoryBytes {
    ULONGLONG physicalTotal = 0;
    ULONGLONG physicalAvailable = 0;
    ULONGLONG commitLimit = 0;  // physical memory plus page files
    ULONGLONG commitAvailable = 0;
};

// Where the processor figure comes from: the "% Processor Time" counter,
// or the system's own times when the counter cannot be used.
enum class CpuSource { Counter, SystemTimes };
