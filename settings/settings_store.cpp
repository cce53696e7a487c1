#include "settings/settings_store.h"

#include "core/state.h"
#include "settings/settings_logic.h"

#include <cstdint>
#include <iterator>
#include <vector>

namespace {

const wchar_t kSettingsKey[] = L"Software\\VitalGauge";
// Written only while the icon is switched off: a user who never touched it
// keeps the eleven values earlier versions know.
const wchar_t kTrayValue[] = L"NotificationIcon";

struct DefaultRect {
    const wchar_t* valueName;
    LONG left;
    LONG top;
};

// CPU, RAM, Swap. Right and bottom of the defaults are 250 for all three:
// only the top-left corner ever placed a widget.
const DefaultRect kRects[3] = {
    {L"WindowPos", 550, 100},
    {L"WindowPos2", 700, 100},
    {L"WindowPos3", 850, 100},
};
constexpr LONG kDefaultRight = 250;
constexpr LONG kDefaultBottom = 250;

struct ColorValue {
    const wchar_t* valueName;
    Argb AppearanceSettings::*field;
    Argb fallback;
};

const ColorValue kColors[6] = {
    {L"cpuProgressColor", &AppearanceSettings::cpuProgressColor, 0xFF009688},
    {L"ramProgressColor", &AppearanceSettings::ramProgressColor, 0xFF009688},
    {L"swapProgressColor", &AppearanceSettings::swapProgressColor, 0xFF009688},
    {L"cpuTextColor", &AppearanceSettings::cpuTextColor, 0xFF212121},
    {L"ramTextColor", &AppearanceSettings::ramTextColor, 0xFF212121},
    {L"swapTextColor", &AppearanceSettings::swapTextColor, 0xFF212121},
};

// Queries a value into a scratch buffer of the setting's size and hands the
// outcome to `use`. The scratch buffer keeps an oversized value, which the
// platform may have copied in part, away from the setting itself.
template <std::size_t N, typename Use>
void QueryValue(HKEY key, const wchar_t* name, Use use) {
    BYTE scratch[N] = {};
    DWORD size = N;
    const LONG status = RegQueryValueExW(key, name, nullptr, nullptr, scratch, &size);
    use(StoredBytes{status, scratch, status == ERROR_SUCCESS ? size : 0});
}

void WriteDword(HKEY key, const wchar_t* name, std::uint32_t value) {
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

}  // namespace

void LoadSettings(const std::vector<MonitorArea>& monitors, const RECT& work, RECT& cpuRect,
                  RECT& ramRect, RECT& swapRect) {
    RECT* rects[3] = {&cpuRect, &ramRect, &swapRect};
    bool stored[3] = {false, false, false};
    for (size_t i = 0; i < std::size(kRects); ++i)
        *rects[i] = {kRects[i].left, kRects[i].top, kDefaultRight, kDefaultBottom};

    AppearanceSettings& settings = appState.WidgetSettings;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        for (size_t i = 0; i < std::size(kRects); ++i)
            QueryValue<sizeof(RECT)>(key, kRects[i].valueName, [&](const StoredBytes& s) {
                stored[i] = StoredRect(s, *rects[i]);
            });
        QueryValue<sizeof(std::int32_t)>(key, L"ScaleValue", [&](const StoredBytes& s) {
            ApplyStoredStep(s, settings.ScaleValue, appState.scaleIndex);
        });
        QueryValue<sizeof(std::int32_t)>(key, L"chartTypeValue", [&](const StoredBytes& s) {
            ApplyStoredStep(s, settings.chartTypeValue, appState.chartIndex);
        });
        for (const ColorValue& c : kColors)
            QueryValue<sizeof(Argb)>(key, c.valueName, [&](const StoredBytes& s) {
                settings.*c.field = StoredColor(s, c.fallback);
            });
        QueryValue<sizeof(DWORD)>(
            key, kTrayValue, [](const StoredBytes& s) { appState.tray.wanted = StoredSwitch(s); });
        RegCloseKey(key);
    }

    // A stored rectangle is the place the user chose: it is shown pulled
    // onto a monitor, and kept as chosen. A default one has no size yet; give
    // it the widget's own, so that the three widgets start side by side and
    // not stacked in a corner. Default places and sizes grow with the display
    // scale alike, so the widgets stay as far apart as at 96 dpi.
    const unsigned dpi = GetDpiForSystem();
    const int edge = CreationEdge(settings.ScaleValue, 96);
    const int width = settings.chartTypeValue == ChartStyle::CapacityBar ? 2 * edge : edge;
    RECT firstRun[3] = {};
    const LONG lefts[3] = {DpiScaled(kRects[0].left, dpi), DpiScaled(kRects[1].left, dpi),
                           DpiScaled(kRects[2].left, dpi)};
    FirstRunRow(lefts, DpiScaled(kRects[0].top, dpi), DpiScaled(width, dpi), DpiScaled(edge, dpi),
                monitors, work, firstRun);
    for (int i = 0; i < 3; ++i) appState.chosenPlaces[i] = stored[i] ? *rects[i] : firstRun[i];
    RECT shown[3] = {};
    ShownPlaces(appState.chosenPlaces, true, monitors, work, settings.chartTypeValue,
                settings.ScaleValue, shown);
    for (int i = 0; i < 3; ++i) {
        *rects[i] = shown[i];
        if (!stored[i]) appState.chosenPlaces[i] = shown[i];  // nothing chosen yet: ours
    }
    appState.placesKnown = true;
}

void ChoosePlace(WidgetKind kind, HWND window) {
    RECT place = {};
    if (GetWindowRect(window, &place)) appState.chosenPlaces[static_cast<int>(kind)] = place;
}

void SaveSettings() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    const AppearanceSettings& settings = appState.WidgetSettings;
    // Stored as held, also outside 1..3.
    WriteDword(key, L"ScaleValue", static_cast<std::uint32_t>(settings.ScaleValue));
    WriteDword(key, L"chartTypeValue", static_cast<std::uint32_t>(settings.chartTypeValue));
    for (size_t i = 0; i < std::size(kRects) && appState.placesKnown; ++i)
        RegSetValueExW(key, kRects[i].valueName, 0, REG_BINARY,
                       reinterpret_cast<const BYTE*>(&appState.chosenPlaces[i]), sizeof(RECT));
    for (const ColorValue& c : kColors) WriteDword(key, c.valueName, settings.*c.field);
    RegCloseKey(key);
}

void StoreTraySwitch(bool on) {
    if (on) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, kTrayValue);
        return;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    WriteDword(key, kTrayValue, 0);
    RegCloseKey(key);
}
