#pragma once
// The notification-area icon's tip and what a sync sends, as pure functions
// of the figures, so tests walk them through tables without a shell.

#include "core/state.h"
#include "render/tray_icon_logic.h"
#include "widgets/tip_logic.h"
#include "widgets/widget_logic.h"

#include <windows.h>
#include <shellapi.h>

#include <cmath>
#include <string>

// One line per widget, under its label, with the percentage it shows and,
// for memory and commit, the sizes behind it as the hover tip gives them:
// "RAM 57 % · 9.1 of 15.9 GB". A figure not read is a dash. Whatever the
// figures, it stays within the 127 characters the shell keeps.
inline std::wstring TrayTipText(const MetricValues& m) {
    std::wstring text;
    for (WidgetKind kind : kWidgetKinds) {
        const double figure = WidgetFigure(kind, m);
        if (!text.empty()) text += L"\n";
        text += std::wstring(WidgetLabel(kind)) + L" " + TipPercentText(figure);
        if (kind == WidgetKind::Cpu || std::isnan(figure)) continue;
        const UsedOfTotal sizes = MemoryInUse(kind, m.memory);
        text += L" \u00B7 " + GigabytesNumber(sizes.used) + L" of " + GigabytesText(sizes.total);
    }
    return text;
}

// The icon of the figures: each bar filled as its widget shows its figure,
// in that widget's gauge colour, at the taskbar's size and theme.
inline TrayIconLook TrayLookFor(const AppearanceSettings& s, const MetricValues& m,
                                const TaskbarLook& taskbar) {
    TrayIconLook look;
    look.size = taskbar.iconSize;
    look.track = TrayTrackColor(taskbar);
    for (int i = 0; i < 3; ++i) {
        const WidgetPaintArgs shown = PaintArgsFor(kWidgetKinds[i], s, m);
        look.filled[i] = FilledRows(shown.value, look.size);
        look.fill[i] = TrayFillColor(shown.progressColor, taskbar);
    }
    return look;
}

// What a sync sends: NIM_ADD with everything when an add is due, NIM_MODIFY
// with the parts (NIF_ICON, NIF_TIP) that differ from what the shell holds,
// and nothing (parts 0) while switched off, at rest, or not yet asked for
// by a shell.
struct TraySync {
    DWORD message;
    UINT parts;
};

inline TraySync NextTraySync(const TrayState& t, bool atRest, const TrayIconLook& icon,
                             const std::wstring& tip) {
    if (!t.wanted || atRest) return {NIM_MODIFY, 0};
    if (!t.added) return {NIM_ADD, t.addDue ? NIF_MESSAGE | NIF_ICON | NIF_TIP : 0u};
    UINT parts = 0;
    if (icon != t.sentIcon) parts |= NIF_ICON;
    if (tip != t.sentTip) parts |= NIF_TIP;
    return {NIM_MODIFY, parts};
}

// The version-4 events of our icon that open its menu: a right-click,
// Shift+F10 or the menu key (WM_CONTEXTMENU); a left click, Enter or Space
// (NIN_SELECT, NIN_KEYSELECT).
inline bool OpensTrayMenu(LPARAM event) {
    const UINT code = LOWORD(event);
    return HIWORD(event) == kTrayIconId &&
           (code == WM_CONTEXTMENU || code == NIN_SELECT || code == NIN_KEYSELECT);
}

// Messages after which the taskbar may look otherwise: its scale, its light
// or dark theme ("ImmersiveColorSet"), high contrast, the system colours.
inline bool ChangesTaskbarLook(UINT message) {
    return message == WM_SETTINGCHANGE || message == WM_DISPLAYCHANGE || message == WM_DPICHANGED ||
           message == WM_THEMECHANGED || message == WM_SYSCOLORCHANGE;
}
