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
inline std::wstring TipText(WidgetKind kind, const MetricValues& m, CpuSource source,
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
