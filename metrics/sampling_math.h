#pragma once
// Arithmetic of one sampling tick, free of system calls so tests drive it
// with any memory status and counter reading.

#include "core/figures.h"

#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>

#include <cmath>

struct MemoryPercents {
    double ram = kNoFigure;
    double swap = kNoFigure;
};

// ramPercent and swapPercent of a tick. A failed status call gives neither;
// a commit limit of 0 gives no commit load. Commit load is carried at
// single precision.
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

// The counter's reading, or no figure when the read failed, the counter
// status is invalid or the value is not a number.
inline double CpuPercentFrom(PDH_STATUS readStatus, const PDH_FMT_COUNTERVALUE& value) {
    if (readStatus != ERROR_SUCCESS) return kNoFigure;
    if (value.CStatus != PDH_CSTATUS_VALID_DATA && value.CStatus != PDH_CSTATUS_NEW_DATA)
        return kNoFigure;
    if (!std::isfinite(value.doubleValue)) return kNoFigure;
    return value.doubleValue;
}

// Processor load between two readings: the share of the elapsed processor
// time that was not idle. No figure when the clock did not move, or when
// a reading went backwards or counts more idle than elapsed time; none
// either from a first reading of zeros, which a failed read leaves.
inline double CpuPercentFromTimes(const SystemTimes& before, const SystemTimes& now) {
    if (before.kernel == 0 || now.idle < before.idle || now.kernel < before.kernel ||
        now.user < before.user)
        return kNoFigure;
    const ULONGLONG idle = now.idle - before.idle;
    const ULONGLONG elapsed = (now.kernel - before.kernel) + (now.user - before.user);
    if (elapsed == 0 || idle > elapsed) return kNoFigure;
    return 100.0 * static_cast<double>(elapsed - idle) / static_cast<double>(elapsed);
}

struct CpuReading {
    double percent;
    CpuSource source;  // for the next tick
};

// The figure of a tick. A counter that fails to read once is not trusted
// again until the next start: from this tick on the system times give it.
inline CpuReading NextCpuReading(CpuSource source, PDH_STATUS readStatus,
                                 const PDH_FMT_COUNTERVALUE& value, double timesPercent) {
    if (source == CpuSource::Counter) {
        const double counted = CpuPercentFrom(readStatus, value);
        if (!std::isnan(counted)) return {counted, CpuSource::Counter};
    }
    return {timesPercent, CpuSource::SystemTimes};
}
