#pragma once
// Pure pieces of the settings store: turning what a registry query returned
// into a setting, and pulling a rectangle onto a work area. Nothing here
// touches the registry or the monitors, so tests can hand in any data and
// any arrangement of monitors.

#include "core/monitor_area.h"
#include "core/scale.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// --- decoding -------------------------------------------------------------

// One query of a registry value into a buffer of the setting's own size:
// the call's status, and the bytes it delivered when it succeeded.
struct StoredBytes {
    LONG status;       // ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ERROR_MORE_DATA, ...
    const void* data;  // valid for `size` bytes when status is ERROR_SUCCESS
    DWORD size;
};

// Copies the stored bytes over `dest` when the query succeeded and they fit;
// the registry type plays no part, shorter data replaces only its own bytes.
// Data that does not fit (or a failed query) leaves `dest` as it was, never
// half overwritten. Returns whether the query succeeded and the data fit.
inline bool TakeStoredBytes(const StoredBytes& stored, void* dest, std::size_t destSize) {
    if (stored.status != ERROR_SUCCESS || stored.size > destSize) return false;
    if (stored.size > 0) {
        if (!stored.data) return false;
        std::memcpy(dest, stored.data, stored.size);
    }
    return true;
}

// A colour: the stored word when it could be taken, else `fallback`.
inline std::uint32_t StoredColor(const StoredBytes& stored, std::uint32_t fallback) {
    std::uint32_t color = fallback;
    TakeStoredBytes(stored, &color, sizeof(color));
    return color;
}

// A switch that is on unless its value holds a 0.
inline bool StoredSwitch(const StoredBytes& stored) {
    std::uint32_t on = 1;
    TakeStoredBytes(stored, &on, sizeof(on));
    return on != 0;
}

// A widget rectangle, taken over `rect` byte for byte. Returns true when
// the registry held one, i.e. at least one byte of it was taken; an empty,
// missing, unreadable or oversized value leaves the default in place.
inline bool StoredRect(const StoredBytes& stored, RECT& rect) {
    static_assert(sizeof(RECT) == 16, "a stored rectangle is four 32-bit integers");
    return stored.size > 0 && TakeStoredBytes(stored, &rect, sizeof(rect));
}

// ScaleValue or chartTypeValue and its 0-based menu radio index. A value
// that cannot be read falls back to 1 (index 0); one outside 1..3 is kept
// as read, so that a save writes it back unchanged, and leaves the index as
// it was.
inline void ApplyStoredStep(const StoredBytes& stored, std::int32_t& value,
                            std::int32_t& radioIndex) {
    if (!TakeStoredBytes(stored, &value, sizeof(value))) {
        value = 1;
        radioIndex = 0;
        return;
    }
    if (value >= 1 && value <= 3) radioIndex = value - 1;
}

// --- placement ------------------------------------------------------------

// Corner offset of a rectangle that lies on no monitor any more.
constexpr int kLostWidgetInset = 50;

// Stored rectangles are hand-editable: all arithmetic runs in 64 bits, and
// results are pinned to the 32-bit range (PinToLong).
inline std::uint64_t Overlap(LONG a0, LONG a1, LONG b0, LONG b1) {
    const std::int64_t lo = std::max(a0, b0);
    const std::int64_t hi = std::min(a1, b1);
    return static_cast<std::uint64_t>(std::max<std::int64_t>(hi - lo, 0));
}

// The monitor with the largest intersection with `rect` (the first of equals),
// or null when it intersects none. An empty or inverted rectangle covers no
// area and so intersects no monitor.
inline const MonitorArea* MonitorWithLargestIntersection(const RECT& rect,
                                                         const std::vector<MonitorArea>& monitors) {
    const MonitorArea* best = nullptr;
    std::uint64_t bestArea = 0;
    for (const MonitorArea& m : monitors) {
        const std::uint64_t area = Overlap(rect.left, rect.right, m.monitor.left, m.monitor.right) *
                                   Overlap(rect.top, rect.bottom, m.monitor.top, m.monitor.bottom);
        if (area > bestArea) {
            bestArea = area;
            best = &m;
        }
    }
    return best;
}

// The four ordered clamps, each strict and each seeing the ones before, with
// width and height taken from the rectangle as it came in. A rectangle wider
// (taller) than the work area ends with its right (bottom) edge on the work
// area's edge; its left (top) edge is then kept on the work area as well, so
// that the corner where the widget is created stays on screen.
inline RECT ClampOntoWorkArea(const RECT& rect, const RECT& work) {
    const std::int64_t w = std::int64_t{rect.right} - rect.left;
    const std::int64_t h = std::int64_t{rect.bottom} - rect.top;
    std::int64_t left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
    if (left < work.left) {
        left = work.left;
        right = work.left + w;
    }
    if (top < work.top) {
        top = work.top;
        bottom = work.top + h;
    }
    if (right > work.right) {
        right = work.right;
        left = work.right - w;
    }
    if (bottom > work.bottom) {
        bottom = work.bottom;
        top = work.bottom - h;
    }
    left = std::max<std::int64_t>(left, work.left);
    top = std::max<std::int64_t>(top, work.top);
    return {PinToLong(left), PinToLong(top), PinToLong(right), PinToLong(bottom)};
}

// A rectangle on no monitor comes back just inside the primary work area's
// top-left corner, its size unchanged.
inline RECT PlaceInCorner(const RECT& rect, const RECT& primaryWork) {
    const std::int64_t w = std::int64_t{rect.right} - rect.left;
    const std::int64_t h = std::int64_t{rect.bottom} - rect.top;
    const std::int64_t left = std::int64_t{primaryWork.left} + kLostWidgetInset;
    const std::int64_t top = std::int64_t{primaryWork.top} + kLostWidgetInset;
    return {PinToLong(left), PinToLong(top), PinToLong(left + w), PinToLong(top + h)};
}

// A stored rectangle pulled onto the work area of the monitor it overlaps
// most; left alone when that monitor's work area is unknown; moved into the
// primary work area's corner when it overlaps no monitor.
inline RECT ClampRectToWorkAreas(const RECT& rect, const std::vector<MonitorArea>& monitors,
                                 const RECT& primaryWork) {
    const MonitorArea* monitor = MonitorWithLargestIntersection(rect, monitors);
    if (!monitor) return PlaceInCorner(rect, primaryWork);
    if (!monitor->workKnown) return rect;
    return ClampOntoWorkArea(rect, monitor->work);
}

// Where a widget goes back to after the monitors changed: its known place
// while that still overlaps a monitor, even in part (the user may have put it
// half off the screen); else pulled onto one like a loaded place.
inline RECT RestoredPlace(const RECT& known, const std::vector<MonitorArea>& monitors,
                          const RECT& primaryWork) {
    if (MonitorWithLargestIntersection(known, monitors)) return known;
    return ClampRectToWorkAreas(known, monitors, primaryWork);
}

// --- keeping widgets apart -------------------------------------------------

// Gap between widgets the program lays out itself.
constexpr int kApartGap = 10;

// A widget lies over another when it shares more than an eighth of its width
// and of its height with it: the first-run row lets the transparent margins
// of neighbours touch, and that is not "over".
inline bool OverEachOther(const RECT& r, const RECT& other) {
    const std::int64_t w = std::int64_t{r.right} - r.left, h = std::int64_t{r.bottom} - r.top;
    return static_cast<std::int64_t>(Overlap(r.left, r.right, other.left, other.right)) * 8 > w &&
           static_cast<std::int64_t>(Overlap(r.top, r.bottom, other.top, other.bottom)) * 8 > h;
}

// Widgets the program placed itself (`movedByUs`) never end over another
// one: such a widget that would goes to the first free spot of a grid that
// starts inside the primary work area's corner, row by row. Earlier widgets
// keep their spot; widgets the user placed are never moved, even over each
// other. A widget that fits no spot stays where it was put.
inline void KeepApart(RECT (&places)[3], const bool (&movedByUs)[3], const RECT& primaryWork) {
    for (int i = 0; i < 3; ++i) {
        auto clashes = [&](const RECT& r) {
            for (int j = 0; j < 3; ++j)
                if (j != i && (j < i || !movedByUs[j]) && OverEachOther(r, places[j])) return true;
            return false;
        };
        const std::int64_t w = std::int64_t{places[i].right} - places[i].left;
        const std::int64_t h = std::int64_t{places[i].bottom} - places[i].top;
        if (!movedByUs[i] || w <= 0 || h <= 0 || !clashes(places[i])) continue;  // no size: stays
        bool placed = false;
        for (std::int64_t y = std::int64_t{primaryWork.top} + kLostWidgetInset;
             !placed && y + h <= primaryWork.bottom; y += h + kApartGap) {
            for (std::int64_t x = std::int64_t{primaryWork.left} + kLostWidgetInset;
                 !placed && x + w <= primaryWork.right; x += w + kApartGap) {
                const RECT spot = {PinToLong(x), PinToLong(y), PinToLong(x + w), PinToLong(y + h)};
                if (!clashes(spot)) {
                    places[i] = spot;
                    placed = true;
                }
            }
        }
    }
}

// The display scale of the monitor a rectangle lies on most, or of the
// primary one when it lies on none.
inline unsigned DpiAt(const RECT& rect, const std::vector<MonitorArea>& monitors,
                      const RECT& primaryWork) {
    const MonitorArea* monitor = MonitorWithLargestIntersection(rect, monitors);
    if (!monitor) monitor = MonitorWithLargestIntersection(primaryWork, monitors);
    return monitor ? monitor->dpi : 0;
}

// Where the widgets are shown for the places the user chose: at start each
// chosen place is pulled onto a work area (`pullOntoWorkArea`), after a
// monitor change it is kept while it still overlaps a monitor. Either way a
// place on no monitor is shown on the primary work area, and the widgets
// moved so are kept apart by the size each has where it is shown (the
// stored size may be another display scale's, or written by hand). The
// chosen places themselves never change here.
inline void ShownPlaces(const RECT (&chosen)[3], bool pullOntoWorkArea,
                        const std::vector<MonitorArea>& monitors, const RECT& primaryWork,
                        int chartType, int scaleValue, RECT (&shown)[3]) {
    bool moved[3] = {};
    for (int i = 0; i < 3; ++i) {
        shown[i] = pullOntoWorkArea ? ClampRectToWorkAreas(chosen[i], monitors, primaryWork)
                                    : RestoredPlace(chosen[i], monitors, primaryWork);
        moved[i] = std::memcmp(&shown[i], &chosen[i], sizeof(RECT)) != 0;
        const WidgetSize size =
            StyleWindowSize(chartType, scaleValue, DpiAt(shown[i], monitors, primaryWork));
        shown[i].right = PinToLong(std::int64_t{shown[i].left} + size.width);
        shown[i].bottom = PinToLong(std::int64_t{shown[i].top} + size.height);
    }
    KeepApart(shown, moved, primaryWork);
}

// First run: a widget with no stored rectangle starts at its default top-left
// corner with the size it will have, moved onto the primary work area only as
// far as a small screen needs.
inline RECT DefaultPlacement(LONG left, LONG top, int width, int height, const RECT& primaryWork) {
    const RECT wanted = {left, top, PinToLong(std::int64_t{left} + width),
                         PinToLong(std::int64_t{top} + height)};
    return ClampOntoWorkArea(wanted, primaryWork);
}

// The same, on a machine with several monitors: a default place that lies
// on a monitor is pulled onto its work area by the rule for stored places;
// one beyond every monitor comes onto the primary work area only as far as
// needed, so that the three widgets stay apart.
inline RECT FirstRunPlacement(LONG left, LONG top, int width, int height,
                              const std::vector<MonitorArea>& monitors, const RECT& primaryWork) {
    const RECT wanted = {left, top, PinToLong(std::int64_t{left} + width),
                         PinToLong(std::int64_t{top} + height)};
    if (!MonitorWithLargestIntersection(wanted, monitors))
        return DefaultPlacement(left, top, width, height, primaryWork);
    return ClampRectToWorkAreas(wanted, monitors, primaryWork);
}

// The first-run row moves as a whole onto a work area, so that a screen too
// narrow for it (150 % on 1280 pixels) does not push two widgets onto one
// spot; each widget is then pulled onto a work area, and kept apart.
inline void FirstRunRow(const LONG (&lefts)[3], LONG top, int width, int height,
                        const std::vector<MonitorArea>& monitors, const RECT& primaryWork,
                        RECT (&places)[3]) {
    const std::int64_t rowWidth = std::int64_t{lefts[2]} - lefts[0] + width;
    const RECT row =
        FirstRunPlacement(lefts[0], top, static_cast<int>(rowWidth), height, monitors, primaryWork);
    const std::int64_t dx = std::int64_t{row.left} - lefts[0];
    const bool moved[3] = {true, true, true};
    for (int i = 0; i < 3; ++i) {
        const LONG left = PinToLong(lefts[i] + dx);
        places[i] =
            ClampRectToWorkAreas({left, row.top, PinToLong(std::int64_t{left} + width), row.bottom},
                                 monitors, primaryWork);
    }
    KeepApart(places, moved, primaryWork);
}
