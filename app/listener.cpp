#include "app/listener.h"

#include "app/commands.h"
#include "app/rest.h"
#include "core/messages.h"
#include "core/state.h"
#include "desktop/desktop_attach.h"
#include "render/palette_logic.h"
#include "settings/context_menu.h"
#include "settings/settings_store.h"
#include "widgets/refresh.h"
#include "widgets/tip.h"
#include "widgets/tray.h"
#include "widgets/tray_logic.h"
#include "widgets/widgets.h"

#include <windowsx.h>

#include <initializer_list>

namespace {

// The shell may move its windows, and the widgets with them, after the
// message that led here: the places are put right once it has settled.
void ReattachWidgets() {
    for (HWND w : {appState.cpuWindow, appState.ramWindow, appState.swapWindow})
        if (w) AttachToDesktop(w);
    FollowShell();
    SetTimer(appState.listenerWindow, PlaceRestoreTimerId, PlaceRestoreDelayMs, nullptr);
}

bool WidgetsAttached() {
    for (HWND w : {appState.cpuWindow, appState.ramWindow, appState.swapWindow})
        if (!w || !AttachedParent(w)) return false;
    return true;
}

void OnAttachRetry() {
    if (appState.cpuWindow) ReattachWidgets();
    if (!appState.cpuWindow || WidgetsAttached() || --appState.attachRetriesLeft <= 0)
        KillTimer(appState.listenerWindow, AttachRetryTimerId);
}

// As at start-up: from the saved settings, attached to whatever shell is
// there, or ordinary bottom-most windows without one.
void RecreateWidgets() {
    KillTimer(appState.listenerWindow, ShellWaitTimerId);
    if (!CreateWidgetWindows(GetModuleHandleW(nullptr))) PostQuitMessage(0);
    FollowShell();
}

// Widgets whose windows went without a word: under Wine, a shell that ended
// before it was watched takes them so.
bool WidgetsVanished() { return appState.cpuWindow && !IsWindow(appState.cpuWindow); }

// A second start asked for the widgets: wherever they are, they come into
// view at once, without waiting for a shell or for the monitors to settle.
void OnShowRequested() {
    if (WidgetsVanished()) OnWidgetsLost();
    if (!appState.cpuWindow) {
        RecreateWidgets();
    } else {
        ReattachWidgets();
        KillTimer(appState.listenerWindow, PlaceRestoreTimerId);
        ShowChosenPlaces();
    }
    RetryAttachmentWhileDetached();
}

bool WatchedShellEnded() {
    return appState.shellProcess && WaitForSingleObject(appState.shellProcess, 0) == WAIT_OBJECT_0;
}

void OnShellCreated() {
    // Under Wine the old shell's end and the new shell's message may come
    // in either order; the end counts first.
    if (WatchedShellEnded() || WidgetsVanished()) OnWidgetsLost();
    if (appState.cpuWindow)
        ReattachWidgets();  // still there: join the new shell's windows
    else
        RecreateWidgets();
    RetryAttachmentWhileDetached();
    HideIconTip();  // its icon was the old notification area's
    AddTrayIcon();  // a new notification area knows nothing of ours
}

// The icon's flyout while the pointer rests on it, and its menu, at the
// point the shell anchors them: the icon's, or the pointer's for a click.
// The menu's command runs with no widget clicked; the close message ends
// an open menu, and the program then ends as saved.
void OnTrayEvent(WPARAM anchor, LPARAM event) {
    const POINT at = {GET_X_LPARAM(anchor), GET_Y_LPARAM(anchor)};
    switch (TrayEventAction(event)) {
    case TrayAction::OpenFlyout:
        ShowIconTip(at);
        break;
    case TrayAction::CloseFlyout:
        HideIconTip();
        break;
    case TrayAction::Menu: {
        HideTip();  // the menu takes its place
        const UINT command = TrackTrayMenu(appState.listenerWindow, at);
        if (command != 0 && !appState.closeRequested) RunMenuCommand(nullptr, command);
        break;
    }
    default:
        break;
    }
}

void OnShellWaitOver() {
    KillTimer(appState.listenerWindow, ShellWaitTimerId);
    if (!appState.cpuWindow) RecreateWidgets();
    RetryAttachmentWhileDetached();
}

DWORD ShellProcessOf(HWND widget) {
    const HWND parent = widget && IsWindow(widget) ? AttachedParent(widget) : nullptr;
    if (!parent) return 0;
    DWORD processId = 0;
    GetWindowThreadProcessId(parent, &processId);
    return processId == GetCurrentProcessId() ? 0 : processId;
}

}  // namespace

LRESULT CALLBACK ListenerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (appState.closeMessageId != 0 && message == appState.closeMessageId) {
        // No save: the last drag or command already saved.
        appState.closeRequested = true;
        EndMenu();  // an open context menu would otherwise wait for the user
        PostQuitMessage(0);
        return 0;
    }
    if (appState.shellCreatedMessageId != 0 && message == appState.shellCreatedMessageId) {
        OnShellCreated();
        return 0;
    }
    if (appState.showMessageId != 0 && message == appState.showMessageId) {
        OnShowRequested();
        return 0;
    }
    if (ChangesTaskbarLook(message)) OnTaskbarLookChanged();
    // Other colours to draw in, or another scale on a widget's monitor.
    if (ChangesDrawnColors(message, wParam) || message == WM_DISPLAYCHANGE) RepaintWidgets();
    switch (message) {
    case kTrayMessage:
        OnTrayEvent(wParam, lParam);
        return 0;
    case kMenuCommandMessage:
        RunMenuCommand(reinterpret_cast<HWND>(lParam), static_cast<UINT>(wParam));
        return 0;
    case kWidgetsLostMessage:
        OnWidgetsLost();
        return 0;
    case WM_NOTIFY:  // the tooltip's, whose owner this is
        return OnTipNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_CLOSE:  // taskkill, the Restart Manager: the whole program ends, never the listener
        EndProgram();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam) EndProgram();  // the process may be ended as soon as this returns
        return 0;
    case WM_SETTINGCHANGE:
    case WM_DISPLAYCHANGE:
    case WM_THEMECHANGED:
        // Sent to top-level windows only: attached widgets never see them.
        ReattachWidgets();
        break;
    case WM_TIMER:
        if (wParam == ShellWaitTimerId) {
            OnShellWaitOver();
        } else if (wParam == AttachRetryTimerId) {
            OnAttachRetry();
        } else if (wParam == PlaceRestoreTimerId) {
            KillTimer(window, PlaceRestoreTimerId);
            ShowChosenPlaces();
        } else {
            break;
        }
        return 0;
    case WM_WTSSESSION_CHANGE:
        OnSessionChange(wParam);
        return 0;
    case WM_POWERBROADCAST:
        OnPowerBroadcast(wParam, lParam);
        return TRUE;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateListenerWindow(HINSTANCE instance) {
    appState.closeMessageId = RegisterWindowMessageW(kCloseMessageName);
    appState.shellCreatedMessageId = RegisterWindowMessageW(kShellCreatedMessageName);
    appState.showMessageId = RegisterWindowMessageW(kShowMessageName);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ListenerWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kListenerClassName;
    RegisterClassExW(&wc);
    appState.listenerWindow = CreateWindowExW(0, kListenerClassName, kListenerTitle, 0, 0, 0, 0, 0,
                                              nullptr, nullptr, instance, nullptr);
    // An elevated program would otherwise not hear the shell's messages (its
    // announcement, the icon's events), nor the close message of an
    // installer or vg-close, nor a second start, that is not elevated.
    for (UINT message : {appState.shellCreatedMessageId, appState.closeMessageId,
                         appState.showMessageId, kTrayMessage})
        ChangeWindowMessageFilterEx(appState.listenerWindow, message, MSGFLT_ALLOW, nullptr);
    ListenForRest(appState.listenerWindow);
    return appState.listenerWindow;
}

void OnWidgetsLost() {
    StopWatchingShell();
    appState.shellProcessId = 0;      // whichever shell comes next is watched
    if (!appState.cpuWindow) return;  // already seen through the CPU widget's destruction
    // The windows are going with their parent, which may already have left
    // the screen's coordinates: save the chosen places, never read them.
    SaveSettings();
    KillTimer(appState.cpuWindow, SampleTimerId);
    HideTip();  // it showed a widget that is gone
    appState.cpuWindow = appState.ramWindow = appState.swapWindow = nullptr;
    SetTimer(appState.listenerWindow, ShellWaitTimerId, ShellWaitMs, nullptr);
}

// Called wherever the widgets are attached anew, which can move them to
// another shell: follow it. A parent that is no longer found (the shell is
// ending and its windows went first) changes nothing: the handle of that
// shell tells when it is gone.
void FollowShell() {
    const DWORD processId = ShellProcessOf(appState.cpuWindow);
    if (processId == 0 || processId == appState.shellProcessId) return;
    StopWatchingShell();
    appState.shellProcessId = processId;
    appState.shellProcess = OpenProcess(SYNCHRONIZE, FALSE, processId);
}

void RetryAttachmentWhileDetached() {
    appState.attachRetriesLeft = AttachRetries;
    if (appState.cpuWindow && !WidgetsAttached())
        SetTimer(appState.listenerWindow, AttachRetryTimerId, AttachRetryMs, nullptr);
    else
        KillTimer(appState.listenerWindow, AttachRetryTimerId);
}

void StopWatchingShell() {
    if (appState.shellProcess) CloseHandle(appState.shellProcess);
    appState.shellProcess = nullptr;
}
