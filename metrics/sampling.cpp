#include "metrics/sampling.h"

#include "core/state.h"
#include "metrics/sampling_math.h"

#include <pdh.h>

#include <initializer_list>

namespace {

// pdh.dll is delay-loaded: a call into a DLL that cannot be loaded, or that
// lacks a function, would end the program. It is looked up in System32
// first, with every function the program calls.
bool PdhUsable() {
    const HMODULE pdh = LoadLibraryExW(L"pdh.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!pdh) return false;
    for (const char* name : {"PdhOpenQueryW", "PdhAddEnglishCounterW", "PdhCollectQueryData",
                             "PdhGetFormattedCounterValue", "PdhCloseQuery"})
        if (!GetProcAddress(pdh, name)) return false;
    return true;  // kept loaded: the delay-load stubs bind to this module
}

// Every figure read is kept for the hover details' history, with its time.
void Keep(WidgetKind kind, double percent) {
    RecordReading(appState.history[static_cast<int>(kind)], GetTickCount64(), percent);
}

}  // namespace

void ReadMemoryFigures() {
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    const bool read = GlobalMemoryStatusEx(&status) != FALSE;
    const MemoryPercents memory = MemoryPercentsFrom(read, status);
    appState.LiveMetrics.ramPercent = memory.ram;
    appState.LiveMetrics.swapPercent = memory.swap;
    appState.LiveMetrics.memory = {};
    if (read)
        appState.LiveMetrics.memory = {status.ullTotalPhys, status.ullAvailPhys,
                                       status.ullTotalPageFile, status.ullAvailPageFile};
    Keep(WidgetKind::Ram, memory.ram);
    Keep(WidgetKind::Swap, memory.swap);
}

void PrimeCpuFigure() {
    appState.cpuTimes = ReadSystemTimes();
    if (appState.cpuSource == CpuSource::Counter) PdhCollectQueryData(appState.cpuQuery);
    appState.LiveMetrics.cpuPercent = kNoFigure;  // until the first read, not what it was before
}

void ReadCpuFigure() {
    const SystemTimes now = ReadSystemTimes();
    const double fromTimes = CpuPercentFromTimes(appState.cpuTimes, now);
    appState.cpuTimes = now;
    PDH_STATUS read = PDH_NO_DATA;
    PDH_FMT_COUNTERVALUE value = {};
    value.CStatus = PDH_CSTATUS_INVALID_DATA;  // a value never read is no figure
    if (appState.cpuSource == CpuSource::Counter) {
        read = PdhCollectQueryData(appState.cpuQuery);
        if (read == ERROR_SUCCESS)
            read =
                PdhGetFormattedCounterValue(appState.cpuCounter, PDH_FMT_DOUBLE, nullptr, &value);
    }
    const CpuReading reading = NextCpuReading(appState.cpuSource, read, value, fromTimes);
    appState.cpuSource = reading.source;
    appState.LiveMetrics.cpuPercent = reading.percent;
    Keep(WidgetKind::Cpu, reading.percent);
}

void OpenCpuCounter() {
    appState.processorCount = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
    appState.cpuSource = CpuSource::SystemTimes;
    if (!PdhUsable()) return;
    PDH_STATUS status = PdhOpenQueryW(nullptr, 0, &appState.cpuQuery);
    if (status == ERROR_SUCCESS)
        status = PdhAddEnglishCounterW(appState.cpuQuery, L"\\Processor(_Total)\\% Processor Time",
                                       0, &appState.cpuCounter);
    if (status == ERROR_SUCCESS) status = PdhCollectQueryData(appState.cpuQuery);
    if (status == ERROR_SUCCESS)
        appState.cpuSource = CpuSource::Counter;
    else
        CloseCpuCounter();
}

void CloseCpuCounter() {
    if (appState.cpuQuery) PdhCloseQuery(appState.cpuQuery);
    appState.cpuQuery = nullptr;
    appState.cpuCounter = nullptr;
}

SystemTimes ReadSystemTimes() {
    FILETIME idle = {}, kernel = {}, user = {};
    if (!GetSystemTimes(&idle, &kernel, &user)) return {};
    auto ticks = [](const FILETIME& t) {
        return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return {ticks(idle), ticks(kernel), ticks(user)};
}
