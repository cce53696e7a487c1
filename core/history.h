#pragma once
// Each widget's readings of the last ten minutes, in a fixed ring, so that a
// tick allocates nothing. Readings fall into runs: a start, a rest or a
// figure that could not be read ends one, and nothing is drawn between runs.

#include "core/figures.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

constexpr ULONGLONG kHistorySpanMs = 10 * 60 * 1000;
constexpr ULONGLONG kMinuteMs = 60 * 1000;
// 100 ticks and the first reads after a start; room for a few rests more.
constexpr int kHistoryCapacity = 128;

struct Reading {
    ULONGLONG at = 0;  // GetTickCount64 of the read
    double percent = 0;
    bool startsRun = false;  // nothing joins it to the reading before
};

struct FigureHistory {
    Reading ring[kHistoryCapacity];
    int first = 0;  // the oldest kept
    int count = 0;
    bool runEnded = true;  // the next reading starts a run
    bool started = false;  // a figure was ever read, at `since`
    ULONGLONG since = 0;
};

// The i-th kept reading, oldest first.
inline const Reading& KeptReading(const FigureHistory& h, int i) {
    return h.ring[(h.first + i) % kHistoryCapacity];
}

// A reading that could not be read keeps no place: it ends the run.
inline void RecordReading(FigureHistory& h, ULONGLONG at, double percent) {
    if (std::isnan(percent)) {
        h.runEnded = true;
        return;
    }
    if (!h.started) h.since = at;
    h.started = true;
    if (h.count == kHistoryCapacity)
        h.first = (h.first + 1) % kHistoryCapacity;  // the oldest goes
    else
        ++h.count;
    h.ring[(h.first + h.count - 1) % kHistoryCapacity] = {at, percent, h.runEnded};
    h.runEnded = false;
}

// Sampling stops or starts anew: what is read next is not joined to before.
inline void EndRun(FigureHistory& h) { h.runEnded = true; }

// Whether a reading lies in the ten minutes up to now.
inline bool InSpan(const Reading& r, ULONGLONG now) {
    return r.at <= now && now - r.at <= kHistorySpanMs;
}

struct HistorySummary {
    int minutes;  // ten, or the minutes since the first reading, rounded up
    bool any;     // a reading in the span; else low, average and high are 0
    int low;      // whole percentages, truncated as the widgets show them
    int average;
    int high;
};

inline HistorySummary SummarizeHistory(const FigureHistory& h, ULONGLONG now) {
    const ULONGLONG covered = h.started && now > h.since ? now - h.since : 0;
    const ULONGLONG minutes = std::min<ULONGLONG>((covered + kMinuteMs - 1) / kMinuteMs, 10);
    HistorySummary s = {std::max(1, static_cast<int>(minutes)), false, 0, 0, 0};
    double low = 0, high = 0, sum = 0;
    int n = 0;
    for (int i = 0; i < h.count; ++i) {
        const Reading& r = KeptReading(h, i);
        if (!InSpan(r, now)) continue;
        low = n ? std::min(low, r.percent) : r.percent;
        high = n ? std::max(high, r.percent) : r.percent;
        sum += r.percent;
        ++n;
    }
    if (n)
        s = {s.minutes, true, TruncatePercent(low), TruncatePercent(sum / n),
             TruncatePercent(high)};
    return s;
}
