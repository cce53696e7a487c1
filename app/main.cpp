#include "app/listener.h"
#include "app/state.h"
#include "host/host_launcher.h"
#include "metrics/sampling.h"
#include "render/gdiplus_include.h"
#include "widgets/widgets.h"

#include <pdh.h>

namespace {

void EnableEfficiencyMode() {
    // Execution-speed throttling lets the system run the ticks on efficient
    // cores at low clock; idle priority keeps them out of everyone's way.
    PROCESS_POWER_THROTTLING_STATE throttling = {};
    throttling.Version = PROCESS_POWER_THROTTLING_CURRENT_VERSION;
    throttling.ControlMask = PROCESS_POWER_THROTTLING_EXECUTION_SPEED;
    throttling.StateMask = PROCESS_POWER_THROTTLING_EXECUTION_SPEED;
    SetProcessInformation(GetCurrentProcess(), ProcessPowerThrottling, &throttling,
                          sizeof(throttling));
    SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
}

int RunMessageLoop() {
    MSG msg = {};  // a loop that fails at once still ends with code 0
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    appState.closeMessageId = RegisterWindowMessageW(kCloseMessageName);
    CreateListenerWindow(instance);

    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);

    ReadHostInstallPath();

    int exitCode = 0;
    if (CreateWidgetWindows(instance)) {
        EnableEfficiencyMode();
        OpenCpuCounter();
        exitCode = RunMessageLoop();
    }

    if (appState.cpuQuery) PdhCloseQuery(appState.cpuQuery);
    Gdiplus::GdiplusShutdown(gdiplusToken);
    return exitCode;
}
