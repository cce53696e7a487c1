#include "app/listener.h"
#include "app/state.h"
#include "host/host_launcher.h"
#include "metrics/sampling.h"
#include "render/gdiplus_include.h"
#include "settings/settings_store.h"
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

// The desktop shell that holds the widgets. When it ends, its windows take
// the widgets with them; Windows then runs the CPU widget's WM_DESTROY, but
// Wine removes them without a message, which would leave a process with no
// windows waiting forever. Waiting on the shell's process handle costs no
// wake-up until the shell really ends.
struct ShellWatch {
    DWORD processId = 0;
    HANDLE process = nullptr;
};

DWORD ShellProcessOf(HWND widget) {
    if (!IsWindow(widget)) return 0;
    const HWND parent = GetAncestor(widget, GA_PARENT);
    if (!parent || parent == GetDesktopWindow()) return 0;
    DWORD processId = 0;
    GetWindowThreadProcessId(parent, &processId);
    return processId == GetCurrentProcessId() ? 0 : processId;
}

void StopWatching(ShellWatch& watch) {
    if (watch.process) CloseHandle(watch.process);
    watch.process = nullptr;
}

// A re-attachment can move the widgets to another shell: follow it. A
// parent that is no longer found (the shell is ending and its windows went
// first) changes nothing: the handle of that shell tells when it is gone.
void FollowShell(ShellWatch& watch) {
    const DWORD processId = ShellProcessOf(appState.cpuWindow);
    if (processId == 0 || processId == watch.processId) return;
    StopWatching(watch);
    watch.processId = processId;
    watch.process = OpenProcess(SYNCHRONIZE, FALSE, processId);
}

// The widgets were children of the shell's windows, so they are gone too
// (IsWindow cannot tell: under Wine this process still holds their records).
void OnShellEnded() {
    // End as the CPU widget's WM_DESTROY would: the save keeps what it can
    // no longer read from the windows as the last save left it.
    SaveSettings();
    PostQuitMessage(0);
}

int RunMessageLoop() {
    ShellWatch watch;
    FollowShell(watch);
    MSG msg = {};
    for (;;) {
        const DWORD handles = watch.process ? 1 : 0;
        const DWORD woke = MsgWaitForMultipleObjectsEx(handles, &watch.process, INFINITE,
                                                       QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_FAILED) {
            if (!handles) return 0;  // a loop that cannot wait ends with code 0
            StopWatching(watch);     // a bad handle must not turn into a busy loop
        } else if (handles && woke == WAIT_OBJECT_0) {
            StopWatching(watch);  // processId stays: the same shell is not watched again
            OnShellEnded();
        }
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                StopWatching(watch);
                return static_cast<int>(msg.wParam);
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            if (appState.closeRequested) {  // also when a drag or menu took the quit
                StopWatching(watch);
                return 0;
            }
        }
        FollowShell(watch);
    }
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
