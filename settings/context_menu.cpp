#include "settings/context_menu.h"

#include "app/state.h"
#include "desktop/desktop_attach.h"
#include "host/host_launcher.h"
#include "render/painters.h"
#include "settings/menu_logic.h"
#include "settings/settings_store.h"
#include "widgets/widget_logic.h"
#include "widgets/widgets.h"

#include <commdlg.h>
#include <windowsx.h>

#include <initializer_list>

namespace {

HMENU BuildChartTypeMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, MenuId::ChartFirst + 0, L"Circular Gauge");
    AppendMenuW(menu, MF_STRING, MenuId::ChartFirst + 1, L"Segmented Bar");
    AppendMenuW(menu, MF_STRING, MenuId::ChartFirst + 2, L"Capacity Bar");
    CheckMenuRadioItem(menu, MenuId::ChartFirst, MenuId::ChartLast,
                       MenuId::ChartFirst + appState.chartIndex, MF_BYCOMMAND);
    return menu;
}

HMENU BuildWidgetScaleMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, MenuId::ScaleFirst + 0, L"Normal (100%)");
    AppendMenuW(menu, MF_STRING, MenuId::ScaleFirst + 1, L"Large (150%)");
    AppendMenuW(menu, MF_STRING, MenuId::ScaleFirst + 2, L"Extra Large (200%)");
    CheckMenuRadioItem(menu, MenuId::ScaleFirst, MenuId::ScaleLast,
                       MenuId::ScaleFirst + appState.scaleIndex, MF_BYCOMMAND);
    return menu;
}

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
}

bool IsWidget(HWND window) {
    return window && (window == appState.cpuWindow || window == appState.ramWindow ||
                      window == appState.swapWindow);
}

void Align(HWND clicked, bool horizontal) {
    if (!IsWidget(clicked)) return;
    const HWND windows[3] = {appState.cpuWindow, appState.ramWindow, appState.swapWindow};
    if (horizontal)
        AlignHorizontally(windows, clicked);
    else
        AlignVertically(windows, clicked);
}

void AlignWidgets(const HWND (&windows)[3], HWND clicked, bool horizontal) {
    if (!clicked) return;
    RECT rects[3];
    int clickedIndex = -1;
    for (int i = 0; i < 3; ++i) {
        if (!windows[i] || !GetWindowRect(windows[i], &rects[i])) return;
        if (windows[i] == clicked) clickedIndex = i;
    }
    if (clickedIndex < 0) return;  // only one of the three can anchor the line
    RECT anchor;
    if (!GetWindowRect(clicked, &anchor)) return;
    rects[clickedIndex] = anchor;

    const AlignPlan plan = PlanAlignment(rects, clickedIndex, horizontal);
    const UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    PlaceOnScreen(windows[plan.firstIndex], plan.first.x, plan.first.y, 0, 0, flags);
    PlaceOnScreen(windows[plan.secondIndex], plan.second.x, plan.second.y, 0, 0, flags);
    for (int i = 0; i < 3; ++i) ChoosePlace(i, windows[i]);  // the row as seen, also the anchor
    SaveSettings();
}

void ApplyScaleAndChartType(UINT command) {
    if (command >= MenuId::ScaleFirst && command <= MenuId::ScaleLast) {
        appState.scaleIndex = static_cast<int>(command - MenuId::ScaleFirst);
        appState.WidgetSettings.ScaleValue = appState.scaleIndex + 1;
    }
    SaveSettings();

    for (HWND w : {appState.cpuWindow, appState.ramWindow, appState.swapWindow}) {
        RECT r;
        if (!w || !GetWindowRect(w, &r)) continue;
        const int edge = CreationEdge(appState.WidgetSettings.ScaleValue, WidgetDpi(w));
        PlaceOnScreen(w, r.left, r.top, edge, edge, SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(w, nullptr, TRUE);
    }

    if (command >= MenuId::ChartFirst && command <= MenuId::ChartLast) {
        appState.chartIndex = static_cast<int>(command - MenuId::ChartFirst);
        appState.WidgetSettings.chartTypeValue = appState.chartIndex + 1;
    }
    SaveSettings();
    RepaintWidgets();
}

}  // namespace

HMENU BuildContextMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, MenuId::AlignHorizontally, L"Align Horizontally");
    AppendMenuW(menu, MF_STRING, MenuId::AlignVertically, L"Align Vertically");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, MenuId::GaugeColor, L"Change Gauge Color");
    AppendMenuW(menu, MF_STRING, MenuId::TextColor, L"Change Text Color");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildChartTypeMenu()), L"Chart Type");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildWidgetScaleMenu()),
                L"Widget Scale");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, MenuId::Settings, L"Settings...");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, MenuId::Exit, L"Exit");
    return menu;
}

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
        OpenHostApplication();
        break;
    case MenuId::Exit:
        EndProgram();
        break;
    default:
        ApplyScaleAndChartType(command);
        break;  // also a dismissed menu (0)
    }
}

void ShowContextMenu(HWND window, WPARAM hitTestCode, LPARAM point) {
    if (hitTestCode != HTCAPTION) return;
    HMENU menu = BuildContextMenu();
    SetForegroundWindow(window);
    const UINT command =
        static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, GET_X_LPARAM(point),
                                         GET_Y_LPARAM(point), 0, window, nullptr));
    DestroyMenu(menu);  // takes the two submenus with it
    // The close message ends an open menu; the program then ends as the last
    // save left it, instead of running the dismissed menu's saves.
    if (appState.closeRequested) return;
    RunMenuCommand(window, command);
}

std::uint32_t PickColor(HWND owner, std::uint32_t argb) {
    CHOOSECOLORW cc = {};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = owner;
    cc.rgbResult = ArgbToDialogColor(argb);
    cc.lpCustColors = appState.customColors;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&cc)) return argb;
    return DialogColorToArgb(cc.rgbResult);  // never the colour key
}

void AlignHorizontally(const HWND (&windows)[3], HWND clicked) {
    AlignWidgets(windows, clicked, true);
}

void AlignVertically(const HWND (&windows)[3], HWND clicked) {
    AlignWidgets(windows, clicked, false);
}
