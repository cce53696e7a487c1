#include "desktop/monitors.h"

#include <shellscalingapi.h>

namespace {

using DpiOfMonitor = HRESULT(WINAPI*)(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*);

// shcore.dll is no KnownDLL: from System32 only, never by its bare name.
DpiOfMonitor LoadDpiOfMonitor() {
    const HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return shcore ? reinterpret_cast<DpiOfMonitor>(
                        reinterpret_cast<void (*)()>(GetProcAddress(shcore, "GetDpiForMonitor")))
                  : nullptr;
}

}  // namespace

unsigned MonitorDpi(HWND window) {
    static const DpiOfMonitor dpiOf = LoadDpiOfMonitor();  // once, not at every paint
    UINT x = 0, y = 0;
    if (!dpiOf || FAILED(dpiOf(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST),
                               MDT_EFFECTIVE_DPI, &x, &y)))
        return 0;
    return x;
}
