#include "widgets/widgets.h"

#include "core/messages.h"
#include "core/state.h"
#include "desktop/desktop_attach.h"
#include "desktop/monitors.h"
#include "render/painters.h"
#include "settings/context_menu.h"
#include "settings/settings_logic.h"
#include "settings/settings_store.h"
#include "widgets/refresh.h"
#include "widgets/tip.h"
#include "widgets/tray.h"
#include "widgets/widget_logic.h"

#include <windowsx.h>

#include <cstdint>
#include <initializer_list>

namespace {

struct WidgetDescription {
    WidgetKind kind;
    const wchar_t* className;
    const wchar_t* title;
    WNDPROC proc;
    HWND* handle;
};

const WidgetDescription kWidgets[] = {
    {WidgetKind::Cpu, L"CPUVitalGaugeClass", L"VitalGauge", CpuWidgetProc, &appState.cpuWindow},
    {WidgetKind::Ram, L"RAMVitalGaugeClass", L"RAMVitalGauge", RamWidgetProc, &appState.ramWindow},
    {WidgetKind::Swap, L"SwapVitalGaugeClass", L"SwapVitalGauge", SwapWidgetProc,
     &appState.swapWindow},
};

void RegisterWidgetClass(HINSTANCE instance, const WidgetDescription& widget) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = widget.proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // No background brush: the painter covers every pixel, so nothing is
    // erased first, which would flicker.
    wc.lpszClassName = widget.className;
    RegisterClassW(&wc);
}

// --- message handlers shared by the three procedures ---------------------

void OnWindowPosChanging(WINDOWPOS* pos) {
    // Whatever asked for the change, the widget goes back to the bottom; a
    // widget the shell has not taken in yet stays above its desktop windows.
    pos->flags &= ~SWP_NOZORDER;
    pos->hwndInsertAfter = AttachedParent(pos->hwnd) ? HWND_BOTTOM : TopLevelInsertAfter();
    if (pos->hwndInsertAfter == pos->hwnd) pos->flags |= SWP_NOZORDER;
}

// The chosen place keeps the window's size, which the painters set.
void FollowSize(int index, int width, int height) {
    RECT& chosen = appState.chosenPlaces[index];  // as stored: its corner may be anywhere
    chosen.right = PinToLong(std::int64_t{chosen.left} + width);
    chosen.bottom = PinToLong(std::int64_t{chosen.top} + height);
}

void OnWindowPosChanged(WidgetKind kind, const WINDOWPOS* pos) {
    if (!(pos->flags & SWP_NOSIZE)) FollowSize(static_cast<int>(kind), pos->cx, pos->cy);
}

// The display scale changed under a top-level widget (only those are told;
// attached ones hear of it with their parent). Windows suggests a place, in
// screen coordinates, that keeps the widget where it was on its monitor, or
// under the pointer while it is dragged to another one: take that corner
// with the size the paint will give, so the widget neither jumps nor resizes
// twice, and redraw all of it at the new scale.
void OnDpiChanged(HWND window, unsigned dpi, const RECT& suggested) {
    const AppearanceSettings& s = appState.WidgetSettings;
    const WidgetSize size = StyleWindowSize(s.chartTypeValue, s.ScaleValue, dpi);
    SetWindowPos(window, nullptr, suggested.left, suggested.top, size.width, size.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window, nullptr, TRUE);
}

// True when a painter ran; it has begun and ended the paint itself.
bool OnPaint(WidgetKind kind, HWND window) {
    if (AtRest(appState.visibility)) return false;  // nobody sees it; coming back repaints all
    WidgetPaintArgs args = PaintArgsFor(kind, appState.WidgetSettings, appState.LiveMetrics);
    args.dpi = WidgetDpi(window);
    switch (appState.WidgetSettings.chartTypeValue) {
    case ChartStyle::CircularGauge:
        PaintCircularGauge(window, args);
        return true;
    case ChartStyle::SegmentedBar:
        PaintSegmentedBar(window, args);
        return true;
    case ChartStyle::CapacityBar:
        PaintCapacityBar(window, args);
        return true;
    default:
        return false;  // unknown style: draw nothing, the default procedure ends the paint
    }
}

void OnCpuDestroy(HWND window) {
    if (!appState.exitRequested) {
        // Nobody here asked for it: the shell's windows took the widgets.
        SendMessageW(appState.listenerWindow, kWidgetsLostMessage, 0, 0);
        return;
    }
    SaveSettings();  // RAM and Swap still exist, so all three positions are kept
    KillTimer(window, SampleTimerId);
    PostQuitMessage(0);
}

void OnDestroy(WidgetKind kind, HWND window) {
    if (appState.tipWidget == window) HideTip();
    if (kind == WidgetKind::Cpu) OnCpuDestroy(window);
}

void OnTimer(WidgetKind kind, HWND window, UINT_PTR timerId) {
    if (timerId == TipLeaveTimerId)
        OnTipLeaveTimer(window);
    else if (kind == WidgetKind::Cpu)  // the sampling timers are the CPU widget's
        OnSamplingTimer(window, timerId);
}

// The menu tells the chosen command and the listener runs it. The close
// message ends an open menu: the program then ends as the last save left
// it, instead of running the dismissed menu's saves.
void OnContextMenu(HWND window, WPARAM hitTestCode, LPARAM point) {
    if (hitTestCode != HTCAPTION) return;
    HideTip();
    const UINT command = TrackContextMenu(window, {GET_X_LPARAM(point), GET_Y_LPARAM(point)});
    if (appState.closeRequested) return;
    SendMessageW(appState.listenerWindow, kMenuCommandMessage, command,
                 reinterpret_cast<LPARAM>(window));
}

// A drop on another monitor takes its scale at once; the place is chosen
// and saved, unless the close message cut the drag short: the program then
// ends as the last save left it.
void OnExitSizeMove(WidgetKind kind, HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    if (appState.closeRequested) return;
    ChoosePlace(kind, window);
    SaveSettings();
}

// Alt+F4 on an attached widget would otherwise go to the shell's desktop
// window. Bit 29: Alt is down (a plain F4 comes here too without the focus).
bool IsAltF4(WPARAM key, LPARAM flags) { return key == VK_F4 && (flags & (1 << 29)); }

// The messages the three widgets handle alike. Returns true, with `result`
// set, only where the default procedure must not follow: the hit test, a
// paint (a painter's resize invalidates what it could not reach, which the
// default would validate again, leaving it unpainted until the next tick),
// and an end asked for (the default would close this widget alone). For
// the rest the default follows, which does nothing more for them.
bool HandleCommonMessage(WidgetKind kind, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                         LRESULT& result) {
    switch (message) {
    case WM_WINDOWPOSCHANGING:
        OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
        break;
    case WM_WINDOWPOSCHANGED:  // the default then sends WM_SIZE and WM_MOVE
        OnWindowPosChanged(kind, reinterpret_cast<const WINDOWPOS*>(lParam));
        break;
    case WM_NCHITTEST:
        result = HTCAPTION;  // the whole widget drags, and right clicks reach the menu
        return true;
    case WM_PAINT:
        return OnPaint(kind, window);  // an unknown style draws nothing: the default ends the paint
    case WM_DPICHANGED:
        OnDpiChanged(window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        break;
    case WM_DPICHANGED_AFTERPARENT:
        // An attached widget learns of the new scale with the shell's window;
        // its paint sizes it by the new scale.
        InvalidateRect(window, nullptr, TRUE);
        break;
    case WM_EXITSIZEMOVE:
        OnExitSizeMove(kind, window);
        break;
    case WM_SYSKEYDOWN:
        if (!IsAltF4(wParam, lParam)) break;
        EndProgram();
        return true;
    case WM_CLOSE:  // Alt+F4 on a top-level widget, or any program asking
        EndProgram();
        return true;
    case WM_ENDSESSION:
        if (wParam) EndProgram();
        break;
    case WM_SETTINGCHANGE:
    case WM_DISPLAYCHANGE:
    case WM_THEMECHANGED:
        AttachToDesktop(window);
        break;
    case WM_NCRBUTTONUP:
        OnContextMenu(window, wParam, lParam);
        break;
    case WM_NCMOUSEMOVE:
        OnTipPointerMove(window);
        break;
    case WM_NCMOUSEHOVER:
        ShowTip(kind, window, WidgetDpi(window));
        break;
    case WM_NCMOUSELEAVE:
        OnTipPointerLeave(window);
        break;
    case WM_NCLBUTTONDOWN:  // a drag starts
    case WM_NCRBUTTONDOWN:  // the menu comes
        HideTip();
        break;
    case WM_TIMER:
        OnTimer(kind, window, wParam);
        break;
    case WM_DESTROY:
        OnDestroy(kind, window);
        break;
    default:
        break;
    }
    return false;
}

}  // namespace

LRESULT CALLBACK CpuWidgetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) appState.cpuWindow = window;  // before CreateWindowExW returns
    // A paint that resized the widget paints once more at the new size.
    if (message == WM_SIZE) InvalidateRect(window, nullptr, TRUE);
    LRESULT result = 0;
    if (HandleCommonMessage(WidgetKind::Cpu, window, message, wParam, lParam, result))
        return result;
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK RamWidgetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleCommonMessage(WidgetKind::Ram, window, message, wParam, lParam, result))
        return result;
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK SwapWidgetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleCommonMessage(WidgetKind::Swap, window, message, wParam, lParam, result))
        return result;
    return DefWindowProcW(window, message, wParam, lParam);
}

bool CreateWidgetWindows(HINSTANCE instance) {
    RECT rects[3] = {};
    LoadSettings(CurrentMonitors(), PrimaryWorkArea(), rects[0], rects[1], rects[2]);
    // The system's scale, as the first-run places have; a widget on another
    // monitor takes that one's at its first paint.
    const int edge = CreationEdge(appState.WidgetSettings.ScaleValue, GetDpiForSystem());

    for (int i = 0; i < 3; ++i) {
        const WidgetDescription& widget = kWidgets[i];
        RegisterWidgetClass(instance, widget);
        // With a shell, created hidden and shown without activation: a widget
        // never takes the keyboard from the window the user is typing in.
        // Without one it is a plain window, shown as such.
        const DWORD shown = DesktopShellRunning() ? 0 : WS_VISIBLE;
        HWND window =
            CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, widget.className,
                            widget.title, WS_POPUP | shown, rects[i].left, rects[i].top, edge, edge,
                            nullptr, nullptr, instance, nullptr);
        *widget.handle = window;
        if (!window) return false;
        FollowSize(i, edge, edge);
        if (!shown) ShowWindow(window, SW_SHOWNOACTIVATE);
        AttachToDesktop(window);
        SetLayeredWindowAttributes(window, ColorKey, 255, LWA_COLORKEY | LWA_ALPHA);
    }
    StartSampling();  // before the first paint, which shows the memory figures at once
    return true;
}

void ShowChosenPlaces() {
    const AppearanceSettings& s = appState.WidgetSettings;
    RECT shown[3] = {};
    ShownPlaces(appState.chosenPlaces, false, CurrentMonitors(), PrimaryWorkArea(),
                s.chartTypeValue, s.ScaleValue, shown);
    for (int i = 0; i < 3; ++i) {
        const HWND window = *kWidgets[i].handle;
        RECT now = {};
        if (!GetWindowRect(window, &now)) continue;  // none, or gone
        if (shown[i].left == now.left && shown[i].top == now.top) continue;
        PlaceOnScreen(window, shown[i].left, shown[i].top, 0, 0,
                      SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(window, nullptr, TRUE);  // its paint takes the new monitor's scale
    }
}

unsigned WidgetDpi(HWND window) {
    const bool attached = AttachedParent(window) != nullptr;
    return ChooseWidgetDpi(attached, attached ? MonitorDpi(window) : 0, GetDpiForWindow(window));
}

void EndProgram() {
    EndMenu();  // an open context menu would otherwise wait for the user
    // Now: at the end of the session the process may be ended as soon as
    // the message that led here returns.
    RemoveTrayIcon();
    if (!appState.cpuWindow || !IsWindow(appState.cpuWindow)) {
        // The shell took the widgets; what they hold was saved when it changed.
        PostQuitMessage(0);
    } else {
        appState.exitRequested = true;
        // The CPU widget goes first: its destruction saves while the other
        // two still exist, then ends the message loop.
        for (HWND w : {appState.cpuWindow, appState.ramWindow, appState.swapWindow})
            if (w) DestroyWindow(w);
    }
    // A drag or a menu runs its own loop, which takes the quit message.
    appState.closeRequested = true;
}
