#include "metrics/processes.h"

#include "core/state.h"
#include "metrics/process_math.h"
#include "metrics/sampling.h"

#include <new>

namespace {

using QuerySystem = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
using QuerySystemEx = LONG(WINAPI*)(ULONG, void*, ULONG, void*, ULONG, ULONG*);
constexpr ULONG kProcessInformation = 5;
constexpr ULONG kProcessorPerformance = 8;
constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);

// SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION.
struct ProcessorPerformance {
    LONGLONG idle;
    LONGLONG kernel;  // idle included
    LONGLONG user;
    LONGLONG dpc;
    LONGLONG interrupt;
    ULONG interrupts;
};

// ntdll.dll is in every process from its start: found there, never loaded.
template <typename Function>
Function NtFunction(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

// The snapshot into the buffer, grown to what the system asks for; false
// when it cannot be read. `size` is what the system wrote.
bool ReadSnapshot(std::vector<BYTE>& buffer, ULONG& size) {
    static const auto query = NtFunction<QuerySystem>("NtQuerySystemInformation");
    for (int tries = 0; query && tries < 4; ++tries) {
        const LONG status =
            query(kProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &size);
        if (status >= 0) return size <= buffer.size();
        if (status != kLengthMismatch) return false;
        // Processes and threads may start before the next try: room for them.
        buffer.resize(std::max<std::size_t>(size, buffer.size()) + 64 * 1024);
    }
    return false;
}

// Every logical processor's times, group by group. Wine answers only the
// call without a group, which gives the calling thread's: its only one.
bool ReadProcessorTimes(std::vector<SystemTimes>& out) {
    static const auto query = NtFunction<QuerySystem>("NtQuerySystemInformation");
    static const auto queryEx = NtFunction<QuerySystemEx>("NtQuerySystemInformationEx");
    const WORD groups = GetActiveProcessorGroupCount();
    for (WORD group = 0; group < groups; ++group) {
        std::vector<ProcessorPerformance> read(GetActiveProcessorCount(group));
        const auto bytes = static_cast<ULONG>(read.size() * sizeof(ProcessorPerformance));
        ULONG got = 0;
        LONG status = queryEx ? queryEx(kProcessorPerformance, &group, sizeof(group), read.data(),
                                        bytes, &got)
                              : -1;
        if (status < 0 && groups == 1 && query)
            status = query(kProcessorPerformance, read.data(), bytes, &got);
        if (status < 0) return false;
        read.resize(std::min<std::size_t>(read.size(), got / sizeof(ProcessorPerformance)));
        for (const ProcessorPerformance& p : read)
            out.push_back({static_cast<ULONGLONG>(p.idle), static_cast<ULONGLONG>(p.kernel),
                           static_cast<ULONGLONG>(p.user)});
    }
    return !out.empty();
}

}  // namespace

void ReadProcessDetails() {
    ProcessDetails& d = appState.processes;
    const ULONGLONG now = GetTickCount64();
    if (!SnapshotDue(d, now)) return;
    d.takenAt = now;
    try {
        std::vector<SystemTimes> processors;
        if (!ReadProcessorTimes(processors)) processors.clear();
        d.processorLoads = ProcessorLoads(d.lastProcessorTimes, processors);
        d.lastProcessorTimes = processors;

        const SystemTimes times = ReadSystemTimes();
        ULONG size = 0;
        std::vector<ProcessSample> samples;
        d.listed = ReadSnapshot(d.buffer, size);
        if (d.listed) ParseProcesses(d.buffer.data(), size, samples);
        // A processor time is a difference between two good snapshots.
        if (!d.listed) d.snapshots = 0;
        d.elapsed = d.snapshots ? ProcessorTimeBetween(d.lastSystemTimes, times) : 0;
        for (WidgetKind kind : kWidgetKinds)
            d.heaviest[static_cast<int>(kind)] = HeaviestProcesses(kind, samples, d.lastTimes, 3);
        d.lastTimes = ProcessTimesOf(samples);
        d.lastSystemTimes = times;
        d.snapshots = d.listed ? d.snapshots + 1 : 0;
    } catch (const std::bad_alloc&) {
        ForgetProcessDetails();  // out of memory: nothing shown rather than half
    }
}

void ForgetProcessDetails() { appState.processes = ProcessDetails(); }
