#include "settings/context_menu.h"

#include "core/state.h"
#include "settings/menu_logic.h"

#include <commdlg.h>

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

void AppendStyleAndScale(HMENU menu) {
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildChartTypeMenu()), L"Chart Type");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildWidgetScaleMenu()),
                L"Widget Scale");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
}

// Both menus end so: the icon's switch sits in the widgets' menu too, so a
// user who turned the icon off can turn it on again.
void AppendSettingsToExit(HMENU menu) {
    AppendMenuW(menu, MF_STRING, MenuId::Settings, L"Settings...");
    AppendMenuW(menu, MF_STRING | (appState.tray.wanted ? MF_CHECKED : MF_UNCHECKED),
                MenuId::NotificationIcon, L"Show icon in the notification area");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, MenuId::Exit, L"Exit");
}

UINT Track(HMENU menu, HWND owner, POINT at, UINT flags) {
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | flags, at.x, at.y, 0, owner, nullptr));
    DestroyMenu(menu);  // takes the submenus with it
    return command;
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
    AppendStyleAndScale(menu);
    AppendSettingsToExit(menu);
    return menu;
}

HMENU BuildTrayMenu() {
    HMENU menu = CreatePopupMenu();
    AppendStyleAndScale(menu);
    AppendSettingsToExit(menu);
    return menu;
}

UINT TrackContextMenu(HWND window, POINT at) {
    HMENU menu = BuildContextMenu();
    SetForegroundWindow(window);
    return Track(menu, window, at, 0);
}

UINT TrackTrayMenu(HWND owner, POINT at) {
    HMENU menu = BuildTrayMenu();
    // Without the foreground the menu would stay open after a click
    // elsewhere; the message after it lets the menu finish closing.
    SetForegroundWindow(owner);
    const UINT align = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    const UINT command = Track(menu, owner, at, TPM_RIGHTBUTTON | align);
    PostMessageW(owner, WM_NULL, 0, 0);
    return command;
}

Argb PickColor(HWND owner, Argb argb) {
    CHOOSECOLORW cc = {};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = owner;
    cc.rgbResult = ArgbToDialogColor(argb);
    cc.lpCustColors = appState.customColors;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&cc)) return argb;
    return DialogColorToArgb(cc.rgbResult);  // never the colour key
}
