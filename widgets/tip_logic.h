#pragma once
// The hover details as pure functions of the figures, so tests check every
// text and place without a tooltip.

#include "core/state.h"
#include "widgets/widget_logic.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

constexpr wchar_t kTipDash[] = L"\u2013";

// Bytes as Windows writes them: in units of 1024³, one decimal; with "GB".
inline std::wstring GigabytesNumber(ULONGLONG bytes) {
    wchar_t text[32] = {};
    std::swprintf(text, 32, L"%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0 * 1024.0));
    return text;
}
inline std::wstring GigabytesText(ULONGLONG bytes) { return GigabytesNumber(bytes) + L" GB"; }

// The widget's own whole percentage, "57 %", or a dash as it shows one.
inline std::wstring TipPercentText(double percent) {
    return std::isnan(percent) ? kTipDash : std::to_wstring(TruncatePercent(percent)) + L" %";
}

// What is in use of a total, never less than nothing.
inline ULONGLONG InUse(ULONGLONG total, ULONGLONG available) {
    return available > total ? 0 : total - available;
}

// The sizes behind the RAM widget's figure (physical memory) or the Swap
// widget's (the commit charge against its limit).
struct UsedOfTotal {
    ULONGLONG used;
    ULONGLONG total;
};
inline UsedOfTotal MemoryInUse(WidgetKind kind, const MemoryBytes& b) {
    if (kind == WidgetKind::Ram)
        return {InUse(b.physicalTotal, b.physicalAvailable), b.physicalTotal};
    return {InUse(b.commitLimit, b.commitAvailable), b.commitLimit};
}

// The figures in full of one widget, from the reading its percentage came
// from: a figure not read shows as a dash, as on the widget.
inline std::wstring FiguresText(WidgetKind kind, const MetricValues& m, CpuSource source,
                                unsigned processors) {
    switch (kind) {
    case WidgetKind::Ram: {
        if (std::isnan(m.ramPercent))
            return std::wstring(L"Memory in use: ") + kTipDash + L"\r\nAvailable: " + kTipDash;
        const UsedOfTotal sizes = MemoryInUse(kind, m.memory);
        return L"Memory in use: " + GigabytesText(sizes.used) + L" of " +
               GigabytesText(sizes.total) + L" (" + TipPercentText(m.ramPercent) +
               L")\r\nAvailable: " + GigabytesText(m.memory.physicalAvailable);
    }
    case WidgetKind::Swap: {
        const UsedOfTotal sizes = MemoryInUse(kind, m.memory);
        const std::wstring committed = std::isnan(m.swapPercent)
                                           ? kTipDash
                                           : GigabytesText(sizes.used) + L" of " +
                                                 GigabytesText(sizes.total) + L" (" +
                                                 TipPercentText(m.swapPercent) + L")";
        return L"Committed: " + committed + L"\r\nThe limit is physical memory plus page files.";
    }
    case WidgetKind::Cpu:
    default: {
        std::wstring text = L"Processor time: " + TipPercentText(m.cpuPercent) +
                            L"\r\nLogical processors: " +
                            (processors ? std::to_wstring(processors) : kTipDash);
        if (source == CpuSource::SystemTimes)
            text += L"\r\nFrom the system's times: the processor counter cannot be used.";
        return text;
    }
    }
}

// What the chart shows, for a screen reader: "Last 10 min: low 3 %,
// average 12 %, high 64 %"; "Last 2 min: …" early on; a dash with none.
inline std::wstring HistoryLine(const HistorySummary& s) {
    const std::wstring span = L"Last " + std::to_wstring(s.minutes) + L" min: ";
    if (!s.any) return span + kTipDash;
    return span + L"low " + std::to_wstring(s.low) + L" %, average " + std::to_wstring(s.average) +
           L" %, high " + std::to_wstring(s.high) + L" %";
}

// The busiest logical processor's load since the reading before, truncated
// as the CPU widget's; a dash before two readings.
inline std::wstring BusiestProcessorLine(const std::vector<double>& loads) {
    double busiest = kNoFigure;
    for (double load : loads)
        if (!std::isnan(load)) busiest = std::isnan(busiest) ? load : std::max(busiest, load);
    return L"Busiest processor: " + TipPercentText(busiest);
}

// A process's size: "2.3 GB" from 1 GB, whole MB below; one that rounds to
// 1024 MB is written in GB, as it is one.
constexpr ULONGLONG kMiB = 1024 * 1024;
inline ULONGLONG RoundedMegabytes(ULONGLONG bytes) {
    return bytes / kMiB + (bytes % kMiB >= kMiB / 2 ? 1 : 0);
}
inline std::wstring SizeText(ULONGLONG bytes) {
    const ULONGLONG megabytes = RoundedMegabytes(bytes);
    return megabytes < 1024 ? std::to_wstring(megabytes) + L" MB" : GigabytesText(bytes);
}

// An image name in at most 32 characters: a longer one is cut to end in
// "…", never between the two halves of a character.
constexpr std::size_t kNameChars = 32;
inline std::wstring ShortName(const std::wstring& name) {
    if (name.size() <= kNameChars) return name;
    std::size_t kept = kNameChars - 1;
    if (IS_HIGH_SURROGATE(name[kept - 1])) --kept;
    return name.substr(0, kept) + L"\u2026";
}

// Whether the CPU tip has two snapshots to tell processor time from.
inline bool CpuMeasured(const ProcessDetails& d) {
    return d.listed && d.snapshots >= 2 && d.elapsed > 0;
}

// A group's weight as shown, and whether it rounds to anything: its share
// of all processors' time since the snapshot before, rounded ("23 %"), or
// its size.
inline std::wstring ProcessFigure(WidgetKind kind, const ProcessGroup& g, ULONGLONG elapsed,
                                  bool& aboveZero) {
    if (kind != WidgetKind::Cpu) {
        aboveZero = RoundedMegabytes(g.amount) > 0;
        return SizeText(g.amount);
    }
    const double share = 100.0 * static_cast<double>(g.amount) / static_cast<double>(elapsed);
    const long rounded = std::lround(std::min(share, 100.0));
    aboveZero = rounded > 0;
    return std::to_wstring(rounded) + L" %";
}

// "chrome.exe ×14  23 %": the name, how many processes share it (none
// said for one), and what they weigh together.
inline std::wstring ProcessLine(WidgetKind kind, const ProcessGroup& g, ULONGLONG elapsed,
                                bool& aboveZero) {
    std::wstring line = ShortName(g.name);
    if (g.count > 1) line += L" \u00D7" + std::to_wstring(g.count);
    return line + L"  " + ProcessFigure(kind, g, elapsed, aboveZero);
}

// The lines of the `most` heaviest processes behind a widget's figure, or
// what stands instead: "Measuring…" until the CPU tip has two snapshots,
// "No process above 0 %", a dash when the system's list could not be read.
inline std::wstring ProcessLines(WidgetKind kind, const ProcessDetails& d, std::size_t most) {
    if (kind == WidgetKind::Cpu && d.listed && !CpuMeasured(d)) return L"Measuring\u2026";
    if (!d.listed) return std::wstring(L"Processes: ") + kTipDash;
    std::wstring lines;
    const std::vector<ProcessGroup>& heaviest = d.heaviest[static_cast<int>(kind)];
    for (std::size_t i = 0; i < std::min(most, heaviest.size()); ++i) {
        bool aboveZero = false;
        const std::wstring line = ProcessLine(kind, heaviest[i], d.elapsed, aboveZero);
        if (!aboveZero) break;  // ranked: the rest weigh no more
        lines += (lines.empty() ? L"" : L"\r\n") + line;
    }
    return lines.empty() ? L"No process above 0 %" : lines;
}

// A widget's figure in one line, under its label, with the percentage it
// shows and, for memory and commit, the sizes behind it as the hover tip
// gives them: "RAM 57 % · 9.1 of 15.9 GB". A figure not read is a dash.
inline std::wstring FigureLine(WidgetKind kind, const MetricValues& m) {
    const double figure = WidgetFigure(kind, m);
    std::wstring line = std::wstring(WidgetLabel(kind)) + L" " + TipPercentText(figure);
    if (kind == WidgetKind::Cpu || std::isnan(figure)) return line;
    const UsedOfTotal sizes = MemoryInUse(kind, m.memory);
    return line + L" \u00B7 " + GigabytesNumber(sizes.used) + L" of " + GigabytesText(sizes.total);
}

// The icon's flyout: for CPU, RAM and Swap in that order, the figure's
// line, what its chart shows, for CPU the busiest processor, and the one
// heaviest process.
inline std::wstring IconTipText(const SharedState& s, ULONGLONG now) {
    std::wstring text;
    for (WidgetKind kind : kWidgetKinds) {
        if (!text.empty()) text += L"\r\n";
        text += FigureLine(kind, s.LiveMetrics) + L"\r\n" +
                HistoryLine(SummarizeHistory(s.history[static_cast<int>(kind)], now));
        if (kind == WidgetKind::Cpu)
            text += L"\r\n" + BusiestProcessorLine(s.processes.processorLoads);
        text += L"\r\n" + ProcessLines(kind, s.processes, 1);
    }
    return text;
}

// A widget's whole tip: its figures, what its chart shows, for CPU the
// busiest processor, and the three heaviest processes behind the figure.
inline std::wstring TipText(WidgetKind kind, const SharedState& s, ULONGLONG now) {
    const int k = static_cast<int>(kind);
    std::wstring text = FiguresText(kind, s.LiveMetrics, s.cpuSource, s.processorCount) + L"\r\n" +
                        HistoryLine(SummarizeHistory(s.history[k], now));
    if (kind == WidgetKind::Cpu) text += L"\r\n" + BusiestProcessorLine(s.processes.processorLoads);
    return text + L"\r\n" + ProcessLines(kind, s.processes, 3);
}

// Where the icon's flyout goes: beside the anchor on the side away from the
// taskbar (above a bottom one, below a top one, beside a side one), `gap`
// pixels off, inside the work area of the anchor's monitor. The taskbar's
// edge is where the work area leaves the most of the monitor; with none
// (a taskbar that hides itself) the monitor's edge nearest the anchor.
inline POINT FlyoutPlace(POINT anchor, SIZE size, const RECT& monitor, const RECT& work, int gap) {
    const LONG margins[4] = {work.left - monitor.left, work.top - monitor.top,
                             monitor.right - work.right, monitor.bottom - work.bottom};
    const LONG nearness[4] = {anchor.x - monitor.left, anchor.y - monitor.top,
                              monitor.right - anchor.x, monitor.bottom - anchor.y};
    const bool docked = margins[0] || margins[1] || margins[2] || margins[3];
    int edge = 0;  // left, top, right, bottom
    for (int i = 1; i < 4; ++i)
        if (docked ? margins[i] > margins[edge] : nearness[i] < nearness[edge]) edge = i;
    std::int64_t x = std::int64_t{anchor.x} - size.cx / 2, y = std::int64_t{anchor.y} - size.cy / 2;
    if (edge == 0) x = std::int64_t{std::max(anchor.x, work.left)} + gap;
    if (edge == 1) y = std::int64_t{std::max(anchor.y, work.top)} + gap;
    if (edge == 2) x = std::int64_t{std::min(anchor.x, work.right)} - gap - size.cx;
    if (edge == 3) y = std::int64_t{std::min(anchor.y, work.bottom)} - gap - size.cy;
    x = std::max<std::int64_t>(std::min<std::int64_t>(x, std::int64_t{work.right} - size.cx),
                               work.left);
    y = std::max<std::int64_t>(std::min<std::int64_t>(y, std::int64_t{work.bottom} - size.cy),
                               work.top);
    return {PinToLong(x), PinToLong(y)};
}

// Where a tip of this size goes for a pointer: `below` pixels under it,
// clear of its arrow, or above it when there is no room below; inside the
// work area of the pointer's monitor either way, so a widget at a screen
// edge still shows the whole tip.
inline POINT TipPlace(POINT pointer, SIZE tip, const RECT& work, int below) {
    std::int64_t x = pointer.x;
    std::int64_t y = std::int64_t{pointer.y} + below;
    if (y + tip.cy > work.bottom) y = std::int64_t{pointer.y} - tip.cy;
    x = std::max<std::int64_t>(std::min<std::int64_t>(x, std::int64_t{work.right} - tip.cx),
                               work.left);
    y = std::max<std::int64_t>(std::min<std::int64_t>(y, std::int64_t{work.bottom} - tip.cy),
                               work.top);
    return {PinToLong(x), PinToLong(y)};
}
