#pragma once
// The notification-area icon as arithmetic: where its three bars stand, how
// far each is filled, their colours and the icon's pixels, so tests check
// every size and theme without a shell.

#include "core/colors.h"
#include "core/tray.h"

#include <cstdint>
#include <vector>

// Three bars of one width with two gaps of an eighth of the side, centred:
// 4, 2, 4, 2, 4 pixels at 16; 6 and 3 at 24; 8 and 4 at 32.
struct TrayBars {
    int left[3];
    int width;
};

inline TrayBars TrayBarPlaces(int size) {
    const int gap = size / 8;
    const int width = (size - 2 * gap) / 3;
    const int first = (size - 3 * width - 2 * gap) / 2;
    return {{first, first + width + gap, first + 2 * (width + gap)}, width};
}

// Rows of a bar `size` high filled for a whole percentage: in proportion,
// to the nearest row, and at least one for any load above 0, which would
// otherwise look like none at 16 pixels.
inline int FilledRows(int percent, int size) {
    if (percent <= 0) return 0;
    if (percent >= 100) return size;
    const int rows = (percent * size + 50) / 100;
    return rows < 1 ? 1 : rows;
}

// The empty part of a bar stands out on the taskbar: a dark veil on a light
// one, a light one on a dark one; in high contrast the theme's grey text.
inline Argb TrayTrackColor(const TaskbarLook& taskbar) {
    if (taskbar.highContrast) return DialogColorToArgb(taskbar.system.grayText);
    return taskbar.light ? 0x73000000 : 0x8CFFFFFF;
}

// A bar's filled part: its widget's gauge colour, or the theme's highlight
// in high contrast, as the widgets draw then.
inline Argb TrayFillColor(Argb gauge, const TaskbarLook& taskbar) {
    return taskbar.highContrast ? DialogColorToArgb(taskbar.system.highlight) : gauge;
}

// Top-down rows of 0xAARRGGBB pixels (a 32-bit DIB's order), transparent
// where no bar is.
inline std::vector<std::uint32_t> TrayIconPixels(const TrayIconLook& look) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(look.size) * look.size, 0);
    const TrayBars bars = TrayBarPlaces(look.size);
    for (int b = 0; b < 3; ++b)
        for (int y = 0; y < look.size; ++y)
            for (int x = bars.left[b]; x < bars.left[b] + bars.width; ++x)
                pixels[y * look.size + x] =
                    y < look.size - look.filled[b] ? look.track : look.fill[b];
    return pixels;
}
