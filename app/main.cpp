#include "app/listener.h"
#include "core/state.h"
#include "host/host_launcher.h"
#include "metrics/sampling.h"
#include "render/gdiplus_include.h"
#include "render/painters.h"
#include "widgets/tray.h"
#include "widgets/widgets.h"

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

// The widgets live in the desktop shell's windows. When the shell ends,
// Windows runs the CPU widget's WM_DESTROY, but Wine removes the widgets
// without a message; the loop therefore also waits on the shell's process
// handle, which costs no wake-up until the shell really ends. Whatever
// attaches the widgets anew follows the shell they joined.
int RunMessageLoop() {
    FollowShell();
    MSG msg = {};
    for (;;) {
        HANDLE shell = appState.shellProcess;
        const DWORD handles = shell ? 1 : 0;
        const DWORD woke = MsgWaitForMultipleObjectsEx(handles, &shell, INFINITE, QS_ALLINPUT,
                                                       MWMO_INPUTAVAILABLE);
        if (woke == WAIT_FAILED) {
            if (!handles) return 0;  // a loop that cannot wait ends with code 0
            StopWatchingShell();     // a bad handle must not turn into a busy loop
        } else if (handles && woke == WAIT_OBJECT_0) {
            OnWidgetsLost();  // they went with the shell's windows; the next shell brings them back
        }
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                StopWatchingShell();
                return static_cast<int>(msg.wParam);
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            if (appState.closeRequested) {  // also when a drag or menu took the quit
                StopWatchingShell();
                return 0;
            }
        }
    }
}

// One copy per sign-in session: the "Local" namespace is the session's own,
// so every signed-in user (fast user switching, Remote Desktop) keeps a copy
// of their own. The running copy owns the mutex until its process ends.
constexpr wchar_t kSingleCopyMutexName[] = L"Local\\VitalGauge.SingleCopy";
constexpr DWORD kListenerWaitMs = 10000;
constexpr DWORD kListenerPollMs = 100;

// A second start shows nothing of its own: the running copy brings its
// widgets into view. That copy may still be starting, so its listener is
// waited for; or it may be ending, and then this start takes its place.
// True when the running copy has been asked.
bool HandOverToRunningCopy(HANDLE singleCopy) {
    const UINT showMessage = RegisterWindowMessageW(kShowMessageName);
    for (DWORD waited = 0; waited < kListenerWaitMs; waited += kListenerPollMs) {
        if (HWND listener = FindWindowW(kListenerClassName, kListenerTitle)) {
            PostMessageW(listener, showMessage, 0, 0);
            return true;
        }
        if (!singleCopy) {  // not ours to wait on: the running copy is elevated
            Sleep(kListenerPollMs);
            continue;
        }
        const DWORD owned = WaitForSingleObject(singleCopy, kListenerPollMs);
        if (owned == WAIT_OBJECT_0 || owned == WAIT_ABANDONED) return false;
    }
    return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Before pdh.dll or gdiplus.dll is loaded (both are delay-loaded): system
    // DLLs come from System32 only, never from the folder the program was
    // started from, such as Downloads.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    // A copy started elevated keeps a normal start from opening its mutex.
    const HANDLE singleCopy = CreateMutexW(nullptr, TRUE, kSingleCopyMutexName);
    const DWORD created = GetLastError();
    const bool another =
        singleCopy ? created == ERROR_ALREADY_EXISTS : created == ERROR_ACCESS_DENIED;
    if (another && HandOverToRunningCopy(singleCopy)) {
        if (singleCopy) CloseHandle(singleCopy);
        return 0;
    }

    ULONG_PTR gdiplusToken = 0;
    if (!StartGraphics(gdiplusToken)) return 1;  // the user has been told
    // After GDI+: nothing may ask for widgets that could not be drawn.
    CreateListenerWindow(instance);

    ReadHostInstallPath();

    int exitCode = 0;
    // Before the widgets, which read the first figures at once: opening the
    // counter can take a while, and its first collection starts the interval.
    OpenCpuCounter();
    if (CreateWidgetWindows(instance)) {
        RetryAttachmentWhileDetached();  // a slow sign-in: the desktop's view may come later
        AddTrayIcon();
        EnableEfficiencyMode();
        exitCode = RunMessageLoop();
    }
    RemoveTrayIcon();  // whichever way the loop ended: no ghost in the notification area
    // A second start from now on waits for this process to end, instead of
    // handing over to a listener that no longer reads its messages.
    DestroyWindow(appState.listenerWindow);

    CloseCpuCounter();
    Gdiplus::GdiplusShutdown(gdiplusToken);
    return exitCode;
}
