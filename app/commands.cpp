#include "app/commands.h"

#include "core/state.h"
#include "desktop/desktop_attach.h"
#include "host/host_launcher.h"
#include "settings/context_menu.h"
#include "settings/menu_logic.h"
#include "settings/settings_store.h"
#include "widgets/refresh.h"
#include "widgets/tray.h"
#include "widgets/widgets.h"

#include <initializer_list>

namespace {

// The colour field that a colour command changes on the clicked widget.
Argb* ColorFieldFor(HWND clicked, bool gauge) {
    AppearanceSettings& s = appState.WidgetSettings;
    if (clicked == appState.cpuWindow) return gauge ? &s.cpuProgressColor : &s.cpuTextColor;
    if (clicked == appState.ramWindow) return gauge ? &s.ramProgressColor : &s.ramTextColor;
    if (clicked == appState.swapWindow) return gauge ? &s.swapProgressColor : &s.swapTextColor;
    return nullptr;
}

void ChangeColor(HWND clicked, bool gauge) {
    Argb* field = ColorFieldFor(clicked, gauge);
    if (!field) return;
    *field = PickColor(clicked, *field);
    SaveSettings();  // also after a cancel: the save is the command's, not the colour's
    InvalidateRect(clicked, nullptr, TRUE);
    SyncTrayIcon();  // a bar has the widget's gauge colour
}

void SwitchTrayIcon() {
    appState.tray.wanted = !appState.tray.wanted;
    StoreTraySwitch(appState.tray.wanted);
    if (appState.tray.wanted)
        AddTrayIcon();
    else
        RemoveTrayIcon();
}

// Lines the three widgets up in a row or a column anchored at the clicked
// one; the line as seen becomes their chosen places.
void Align(HWND clicked, bool horizontal) {
    const HWND windows[3] = {appState.cpuWindow, appState.ramWindow, appState.swapWindow};
    RECT rects[3];
    int clickedIndex = -1;
    for (int i = 0; i < 3; ++i) {
        if (!GetWindowRect(windows[i], &rects[i])) return;  // none, or gone
        if (windows[i] == clicked) clickedIndex = i;
    }
    if (clickedIndex < 0) return;  // only one of the three can anchor the line

    const AlignPlan plan = PlanAlignment(rects, clickedIndex, horizontal);
    const UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    PlaceOnScreen(windows[plan.firstIndex], plan.first.x, plan.first.y, 0, 0, flags);
    PlaceOnScreen(windows[plan.secondIndex], plan.second.x, plan.second.y, 0, 0, flags);
    for (int i = 0; i < 3; ++i) ChoosePlace(kWidgetKinds[i], windows[i]);
    SaveSettings();
}

void ApplyScaleAndChartType(UINT command) {
    if (command >= MenuId::ScaleFirst && command <= MenuId::ScaleLast) {
        appState.scaleIndex = static_cast<int>(command - MenuId::ScaleFirst);
        appState.WidgetSettings.ScaleValue = appState.scaleIndex + 1;
    }
    for (HWND w : {appState.cpuWindow, appState.ramWindow, appState.swapWindow}) {
        RECT r;
        if (!w || !GetWindowRect(w, &r)) continue;
        const int edge = CreationEdge(appState.WidgetSettings.ScaleValue, WidgetDpi(w));
        PlaceOnScreen(w, r.left, r.top, edge, edge, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    if (command >= MenuId::ChartFirst && command <= MenuId::ChartLast) {
        appState.chartIndex = static_cast<int>(command - MenuId::ChartFirst);
        appState.WidgetSettings.chartTypeValue = appState.chartIndex + 1;
    }
    SaveSettings();
    RepaintWidgets();
}

}  // namespace

void RunMenuCommand(HWND clicked, UINT command) {
    switch (command) {
    case MenuId::GaugeColor:
        ChangeColor(clicked, true);
        break;
    case MenuId::TextColor:
        ChangeColor(clicked, false);
        break;
    case MenuId::AlignHorizontally:
        Align(clicked, true);
        break;
    case MenuId::AlignVertically:
        Align(clicked, false);
        break;
    case MenuId::Settings:
        OpenHostApplication(appState.cpuWindow);
        break;
    case MenuId::NotificationIcon:
        SwitchTrayIcon();
        break;
    case MenuId::Exit:
        EndProgram();
        break;
    default:
        ApplyScaleAndChartType(command);
        break;  // also a dismissed menu (0)
    }
}
