#pragma once
// Pure parts of the context menu: its command identifiers and the
// alignment arithmetic.

#include <windows.h>

#include <algorithm>

namespace MenuId {
constexpr UINT Settings = 1003;
constexpr UINT Exit = 1004;
constexpr UINT AlignHorizontally = 1005;
constexpr UINT AlignVertically = 1006;
constexpr UINT GaugeColor = 1007;
constexpr UINT TextColor = 1008;
constexpr UINT NotificationIcon = 1009;  // the icon's switch
constexpr UINT ScaleFirst = 2000;        // Normal, Large, Extra Large
constexpr UINT ScaleLast = 2002;
constexpr UINT ChartFirst = 3000;  // Circular Gauge, Segmented Bar, Capacity Bar
constexpr UINT ChartLast = 3002;
}  // namespace MenuId

// Where the two widgets other than the clicked one go. Index 0, 1, 2 are the
// CPU, RAM and Swap widgets; each entry is a new top-left corner.
struct AlignPlan {
    int firstIndex;
    POINT first;
    int secondIndex;
    POINT second;
};

// Lines the three widgets up in a row (horizontal) or a column, anchored at
// the clicked one, keeping the span they covered with two equal gaps.
// Arithmetic runs in 64 bits, so absurd rectangles cannot overflow; results
// are pinned to the coordinate range.
inline AlignPlan PlanAlignment(const RECT (&rects)[3], int clicked, bool horizontal) {
    auto lo = [&](const RECT& r) -> long long { return horizontal ? r.left : r.top; };
    auto hi = [&](const RECT& r) -> long long { return horizontal ? r.right : r.bottom; };
    auto extent = [&](const RECT& r) { return hi(r) - lo(r); };
    auto pin = [](long long v) -> LONG {
        return static_cast<LONG>(v < -2147483647LL - 1 ? -2147483647LL - 1
                                                       : (v > 2147483647LL ? 2147483647LL : v));
    };

    long long smallest = lo(rects[0]), largest = hi(rects[0]);
    for (const RECT& r : rects) {
        smallest = std::min(smallest, lo(r));
        largest = std::max(largest, hi(r));
    }
    const long long span = largest - smallest;

    const RECT& p = rects[clicked];
    const int a = clicked == 0 ? 1 : 0;
    const int b = clicked == 2 ? 1 : 2;
    const long long gap = (span - extent(p) - extent(rects[a]) - extent(rects[b])) / 2;

    // On equal leading edges the later widget of the triple comes first.
    const int first = lo(rects[a]) < lo(rects[b]) ? a : b;
    const int second = first == a ? b : a;
    const long long wFirst = extent(rects[first]);

    long long firstAt = 0, secondAt = 0;
    if (clicked == 0) {  // the CPU widget becomes the leading end
        firstAt = hi(p) + gap;
        secondAt = firstAt + wFirst + gap;
    } else if (clicked == 2) {  // the Swap widget becomes the trailing end
        firstAt = lo(p) - 2 * gap - extent(rects[a]) - extent(rects[b]);
        secondAt = firstAt + wFirst + gap;
    } else {  // the RAM widget sits in the middle
        firstAt = lo(p) - gap - wFirst;
        secondAt = hi(p) + gap;
    }

    const LONG across = horizontal ? p.top : p.left;
    AlignPlan plan;
    plan.firstIndex = first;
    plan.secondIndex = second;
    plan.first = horizontal ? POINT{pin(firstAt), across} : POINT{across, pin(firstAt)};
    plan.second = horizontal ? POINT{pin(secondAt), across} : POINT{across, pin(secondAt)};
    return plan;
}
