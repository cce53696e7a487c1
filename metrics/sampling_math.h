#pragma once
// Arithmetic of one sampling tick, free of system calls so tests drive it
// with any memory status and counter reading.

#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>

#include <cmath>

struct MemoryPercents {
    double ram = 0.0;
    double swap = 0.0;
};

// ramPercent and swapPercent of a tick. A failed status call leaves both 0;
// so does a commit limit of 0. Commit load is carried at single precision.
inline MemoryPercents MemoryPercentsFrom(bool statusOk, const MEMORYSTATUSEX& status) {
    MemoryPercents out;
    if (!statusOk) return out;
    out.ram = static_cast<double>(static_cast<float>(status.dwMemoryLoad));
    const ULONGLONG total = status.ullTotalPageFile;
    if (total == 0) return out;
    // More available than the limit would wrap the unsigned difference into
    // a gigantic load; nothing is in use then.
    const ULONGLONG used = status.ullAvailPageFile > total ? 0 : total - status.ullAvailPageFile;
    const double ratio = static_cast<double>(used) / static_cast<double>(total);
    out.swap = static_cast<double>(static_cast<float>(ratio * 100.0));
    return out;
}

// cpuPercent of a tick. A failed read or an invalid counter status yields 0
// rather than whatever the unset result record held.
inline double CpuPercentFrom(PDH_STATUS readStatus, const PDH_FMT_COUNTERVALUE& value) {
    if (readStatus != ERROR_SUCCESS) return 0.0;
    if (value.CStatus != PDH_CSTATUS_VALID_DATA && value.CStatus != PDH_CSTATUS_NEW_DATA)
        return 0.0;
    if (!std::isfinite(value.doubleValue)) return 0.0;
    return value.doubleValue;
}
