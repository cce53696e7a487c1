#pragma once
// The processes behind each figure, from the system's snapshot of all of
// them: its records read safely, each process weighed, grouped by image
// name and ranked. Free of system calls but the name comparison, so tests
// drive it with any snapshot.

#include "core/processes.h"
#include "core/state.h"
#include "metrics/sampling_math.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

// One record of SystemProcessInformation as the system lays it out, up to
// the fields read here; its threads and the names follow in the buffer.
struct SystemProcessRecord {
    ULONG nextEntryOffset;
    ULONG threads;
    LONGLONG workingSetPrivate;
    ULONG hardFaults;
    ULONG threadsHighWatermark;
    ULONGLONG cycleTime;
    LONGLONG createTime;
    LONGLONG userTime;
    LONGLONG kernelTime;
    USHORT nameLength;  // bytes
    USHORT nameMaximumLength;
    const wchar_t* nameBuffer;
    LONG basePriority;
    ULONG_PTR processId;
    ULONG_PTR parentProcessId;
    ULONG handles;
    ULONG sessionId;
    ULONG_PTR processKey;
    SIZE_T peakVirtualSize;
    SIZE_T virtualSize;
    ULONG pageFaults;
    SIZE_T peakWorkingSetSize;
    SIZE_T workingSetSize;
    SIZE_T quotaPeakPagedPool;
    SIZE_T quotaPagedPool;
    SIZE_T quotaPeakNonPagedPool;
    SIZE_T quotaNonPagedPool;
    SIZE_T pagefileUsage;  // the committed private bytes
};
static_assert(offsetof(SystemProcessRecord, processId) == (sizeof(void*) == 8 ? 0x50 : 0x44) &&
                  offsetof(SystemProcessRecord, pagefileUsage) ==
                      (sizeof(void*) == 8 ? 0xB8 : 0x7C),
              "the system's record layout");

struct ProcessSample {
    ULONG_PTR id;
    LONGLONG created;
    ULONGLONG cpu;  // user and kernel time, 100-ns units
    ULONGLONG workingSet;
    ULONGLONG commit;
    std::wstring_view name;  // in the snapshot's buffer
};

// The records of a snapshot of `size` bytes. A record that does not lie
// wholly in the buffer ends the walk; a name that does not is no name.
inline void ParseProcesses(const BYTE* data, std::size_t size, std::vector<ProcessSample>& out) {
    out.clear();
    const auto begin = reinterpret_cast<std::uintptr_t>(data), end = begin + size;
    for (std::size_t at = 0;
         size >= sizeof(SystemProcessRecord) && at <= size - sizeof(SystemProcessRecord);) {
        SystemProcessRecord r;
        std::memcpy(&r, data + at, sizeof(r));
        const auto name = reinterpret_cast<std::uintptr_t>(r.nameBuffer);
        const std::size_t chars = r.nameLength / sizeof(wchar_t);
        const bool inside = name >= begin && name <= end &&
                            chars <= (end - name) / sizeof(wchar_t) && name % alignof(wchar_t) == 0;
        out.push_back({r.processId, r.createTime,
                       static_cast<ULONGLONG>(r.userTime) + static_cast<ULONGLONG>(r.kernelTime),
                       r.workingSetSize, r.pagefileUsage,
                       inside ? std::wstring_view(r.nameBuffer, chars) : std::wstring_view()});
        if (r.nextEntryOffset == 0) break;
        at += r.nextEntryOffset;
    }
}

// What the next snapshot's processor times are told from, by id.
inline std::vector<ProcessTime> ProcessTimesOf(const std::vector<ProcessSample>& samples) {
    std::vector<ProcessTime> times;
    times.reserve(samples.size());
    for (const ProcessSample& p : samples) times.push_back({p.id, p.created, p.cpu});
    std::sort(times.begin(), times.end(),
              [](const ProcessTime& a, const ProcessTime& b) { return a.id < b.id; });
    return times;
}

// What a process weighs on a widget's figure: for CPU its processor time
// since the snapshot before, all of it for a process that came since (also
// under a reused id: another creation time), none for a time that went
// back; for RAM its working set; for Swap its committed private bytes.
inline ULONGLONG ProcessWeight(WidgetKind kind, const ProcessSample& p,
                               const std::vector<ProcessTime>& before) {
    if (kind == WidgetKind::Ram) return p.workingSet;
    if (kind == WidgetKind::Swap) return p.commit;
    const auto it = std::lower_bound(before.begin(), before.end(), p.id,
                                     [](const ProcessTime& t, ULONG_PTR id) { return t.id < id; });
    if (it == before.end() || it->id != p.id || it->created != p.created) return p.cpu;
    return p.cpu > it->cpu ? p.cpu - it->cpu : 0;
}

// File names are compared as the file system does: ordinal, case ignored.
// No name (one the snapshot could not give) comes first, and equals none
// but another.
inline int CompareNames(std::wstring_view a, std::wstring_view b) {
    if (a.empty() || b.empty()) return static_cast<int>(b.empty()) - static_cast<int>(a.empty());
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) -
           CSTR_EQUAL;
}

// The `most` heaviest image names on a widget's figure, with how many
// processes share each; ties by name. The System Idle Process (id 0) is
// no process of anybody's.
inline std::vector<ProcessGroup> HeaviestProcesses(WidgetKind kind,
                                                   const std::vector<ProcessSample>& now,
                                                   const std::vector<ProcessTime>& before,
                                                   std::size_t most) {
    struct Weighed {
        std::wstring_view name;
        ULONGLONG amount;
    };
    std::vector<Weighed> all;
    all.reserve(now.size());
    for (const ProcessSample& p : now)
        if (p.id != 0) all.push_back({p.name, ProcessWeight(kind, p, before)});
    std::sort(all.begin(), all.end(),
              [](const Weighed& a, const Weighed& b) { return CompareNames(a.name, b.name) < 0; });
    std::vector<ProcessGroup> groups;
    for (std::size_t i = 0; i < all.size();) {
        ProcessGroup g = {std::wstring(all[i].name), 1, all[i].amount};
        for (++i; i < all.size() && CompareNames(all[i].name, g.name) == 0; ++i) {
            ++g.count;
            g.amount += all[i].amount;
        }
        groups.push_back(std::move(g));
    }
    const auto heavier = [](const ProcessGroup& a, const ProcessGroup& b) {
        return a.amount != b.amount ? a.amount > b.amount : CompareNames(a.name, b.name) < 0;
    };
    const std::size_t kept = std::min(most, groups.size());
    std::partial_sort(groups.begin(), groups.begin() + kept, groups.end(), heavier);
    groups.resize(kept);
    return groups;
}

// A snapshot less than half a second after the one before would tell
// nothing of processor time: a tick that comes so soon after a tip's first
// or second snapshot keeps the last one.
constexpr ULONGLONG kSnapshotGapMs = 500;
inline bool SnapshotDue(const ProcessDetails& d, ULONGLONG now) {
    return d.snapshots == 0 || now - d.takenAt >= kSnapshotGapMs;
}

// All processors' time between two readings of the system times: what a
// process's processor time is a share of. None for a clock that went back.
inline ULONGLONG ProcessorTimeBetween(const SystemTimes& before, const SystemTimes& now) {
    if (before.kernel == 0 || now.kernel < before.kernel || now.user < before.user) return 0;
    return (now.kernel - before.kernel) + (now.user - before.user);
}

// Each logical processor's load between two readings of them all; none when
// the processors are not the same ones.
inline std::vector<double> ProcessorLoads(const std::vector<SystemTimes>& before,
                                          const std::vector<SystemTimes>& now) {
    std::vector<double> loads;
    if (before.size() != now.size()) return loads;
    for (std::size_t i = 0; i < now.size(); ++i)
        loads.push_back(CpuPercentFromTimes(before[i], now[i]));
    return loads;
}
