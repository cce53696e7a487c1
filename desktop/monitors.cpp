#include "desktop/monitors.h"

#include <shellscalingapi.h>

#include <vector>

namespace {

using DpiOfMonitor = HRESULT(WINAPI*)(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*);

// shcore.dll is no KnownDLL: from System32 only, never by its bare name.
DpiOfMonitor LoadDpiOfMonitor() {
    const HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return shcore ? reinterpret_cast<DpiOfMonitor>(
                        reinterpret_cast<void (*)()>(GetProcAddress(shcore, "GetDpiForMonitor")))
                  : nullptr;
}

unsigned DpiOf(HMONITOR monitor) {
    static const DpiOfMonitor dpiOf = LoadDpiOfMonitor();  // once, not at every paint
    UINT x = 0, y = 0;
    if (!dpiOf || FAILED(dpiOf(monitor, MDT_EFFECTIVE_DPI, &x, &y))) return 0;
    return x;
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT bounds, LPARAM param) {
    MonitorArea area = {*bounds, {}, false, DpiOf(monitor)};
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info)) {
        area.work = info.rcWork;
        area.workKnown = true;
    }
    try {
        reinterpret_cast<std::vector<MonitorArea>*>(param)->push_back(area);
    } catch (...) {
        return FALSE;  // no exception may cross the system's callback
    }
    return TRUE;
}

}  // namespace

unsigned MonitorDpi(HWND window) {
    return DpiOf(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

std::vector<MonitorArea> CurrentMonitors() {
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

MonitorArea MonitorAreaAt(POINT point) {
    const HMONITOR monitor = MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info)) {
        const RECT primary = PrimaryWorkArea();
        return {primary, primary, false, DpiOf(monitor)};
    }
    return {info.rcMonitor, info.rcWork, true, DpiOf(monitor)};
}

RECT PrimaryWorkArea() {
    RECT work = {};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) || IsRectEmpty(&work))
        work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return work;
}
