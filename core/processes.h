#pragma once
// The processes behind each figure and each processor's load, as the hover
// details show them. Read only while a tip shows, and freed when it hides.

#include "core/figures.h"

#include <windows.h>

#include <string>
#include <vector>

// The processes of one image name, and what they weigh together: processor
// time in 100-ns units since the snapshot before, or bytes.
struct ProcessGroup {
    std::wstring name;
    int count = 0;
    ULONGLONG amount = 0;
};

// A process's processor time at a snapshot, for the next one's difference.
// The creation time tells a process from a later one with its reused id.
struct ProcessTime {
    ULONG_PTR id = 0;
    LONGLONG created = 0;
    ULONGLONG cpu = 0;
};

struct ProcessDetails {
    int snapshots = 0;      // good ones in a row since the tip appeared or one failed
    bool listed = false;    // the last snapshot could be read
    ULONGLONG takenAt = 0;  // GetTickCount64 of the last
    ULONGLONG elapsed = 0;  // all processors' time between the last two, 100-ns units
    std::vector<ProcessGroup> heaviest[3];  // by WidgetKind, heaviest first
    std::vector<double> processorLoads;     // per logical processor; empty until two reads
    // What the next snapshot is compared with, and the system's answer.
    std::vector<ProcessTime> lastTimes;  // by id
    SystemTimes lastSystemTimes;
    std::vector<SystemTimes> lastProcessorTimes;
    std::vector<BYTE> buffer;
};
