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

// One line per widget, as FigureLine words it. Whatever the figures, it
// stays within the 127 characters the shell keeps.
inline std::wstring TrayTipText(const MetricValues& m) {
    std::wstring text;
    for (WidgetKind kind : kWidgetKinds) text += (text.empty() ? L"" : L"\n") + FigureLine(kind, m);
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

// What a version-4 event of our icon asks for: its menu at a right-click,
// Shift+F10 or the menu key (WM_CONTEXTMENU), a left click, Enter or Space
// (NIN_SELECT, NIN_KEYSELECT); its flyout while the pointer rests on it
// (NIN_POPUPOPEN, NIN_POPUPCLOSE), which the shell sends in place of a
// standard tip.
enum class TrayAction { Nothing, Menu, OpenFlyout, CloseFlyout };

inline TrayAction TrayEventAction(LPARAM event) {
    if (HIWORD(event) != kTrayIconId) return TrayAction::Nothing;
    switch (LOWORD(event)) {
    case WM_CONTEXTMENU:
    case NIN_SELECT:
    case NIN_KEYSELECT:
        return TrayAction::Menu;
    case NIN_POPUPOPEN:
        return TrayAction::OpenFlyout;
    case NIN_POPUPCLOSE:
        return TrayAction::CloseFlyout;
    default:
        return TrayAction::Nothing;
    }
}

// Messages after which the taskbar may look otherwise: its scale, its light
// or dark theme ("ImmersiveColorSet"), high contrast, the system colours.
inline bool ChangesTaskbarLook(UINT message) {
    return message == WM_SETTINGCHANGE || message == WM_DISPLAYCHANGE || message == WM_DPICHANGED ||
           message == WM_THEMECHANGED || message == WM_SYSCOLORCHANGE;
}
