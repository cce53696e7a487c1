#include "widgets/tip.h"

#include "desktop/monitors.h"
#include "metrics/processes.h"
#include "render/chart_layout.h"
#include "render/tip_chart.h"
#include "widgets/tip_logic.h"

#include <commctrl.h>

#include <cwchar>
#include <string_view>

namespace {

// Wide enough for the longest line at 96 dpi; the longer ones wrap.
constexpr int kTipMaxWidth = 320;
// How far below the pointer the tip starts, clear of the arrow.
constexpr int kBelowPointer = 20;
// How far the icon's flyout keeps from the icon and the taskbar.
constexpr int kFlyoutGap = 8;

// comctl32.dll is no KnownDLL: from System32 only, never by its bare name
// (the manifest's common controls 6 still win). Without it, no tips.
bool TipClassReady() {
    static const bool ready = [] {
        const HMODULE comctl =
            LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
        const auto init = comctl ? reinterpret_cast<Init>(reinterpret_cast<void (*)()>(
                                       GetProcAddress(comctl, "InitCommonControlsEx")))
                                 : nullptr;
        const INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_BAR_CLASSES};
        return init && init(&classes);
    }();
    return ready;
}

// The one tool of the tip; its text is the state's buffer, which outlives
// every message that reads it.
TTTOOLINFOW Tool() {
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by common controls 5 and 6 alike
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = appState.listenerWindow;
    tool.uId = 1;
    tool.lpszText = appState.tipText;
    return tool;
}

// A top-level window of ours, owned by the listener: never a child of the
// shell's desktop window, whose process would get our notifications.
HWND TipWindow() {
    if (appState.tipWindow || !TipClassReady()) return appState.tipWindow;
    appState.tipWindow = CreateWindowExW(
        WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, appState.listenerWindow, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (appState.tipWindow) {
        TTTOOLINFOW tool = Tool();
        SendMessageW(appState.tipWindow, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return appState.tipWindow;
}

bool TipShown() { return appState.tipWidget || appState.iconTipShown; }

// The status font at the display scale, a line's height in it, and a width
// to match.
void ScaleTip(HWND tip, unsigned dpi) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
        const HFONT font = CreateFontIndirectW(&metrics.lfStatusFont);
        SendMessageW(tip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (appState.tipFont) DeleteObject(appState.tipFont);  // no longer the tip's
        appState.tipFont = font;
    }
    TEXTMETRICW text = {};
    const HDC dc = GetDC(tip);
    const HGDIOBJ before = SelectObject(dc, appState.tipFont);
    appState.tipLineHeight = GetTextMetricsW(dc, &text) ? text.tmHeight : DpiScaled(16, dpi);
    SelectObject(dc, before);
    ReleaseDC(tip, dc);
    SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, DpiScaled(kTipMaxWidth, dpi));
}

// Also after new text: a shown tracking tip redraws only when placed. A
// widget's tip goes under the pointer, the icon's flyout off the taskbar.
void PlaceTip(HWND tip, unsigned dpi) {
    TTTOOLINFOW tool = Tool();
    const LRESULT bubble = SendMessageW(tip, TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&tool));
    const SIZE size = {LOWORD(bubble), HIWORD(bubble)};
    const MonitorArea area = MonitorAreaAt(appState.tipAnchor);
    const POINT at = appState.iconTipShown ? FlyoutPlace(appState.tipAnchor, size, area.monitor,
                                                         area.work, DpiScaled(kFlyoutGap, dpi))
                                           : TipPlace(appState.tipAnchor, size, area.work,
                                                      DpiScaled(kBelowPointer, dpi));
    SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
}

// The text into the state's buffer, its charts ending now; false when the
// text is what the tip shows.
bool ComposeText() {
    appState.tipNow = GetTickCount64();
    const std::wstring text = appState.iconTipShown
                                  ? IconTipText(appState, appState.tipNow)
                                  : TipText(appState.tipKind, appState, appState.tipNow);
    if (text == appState.tipText) return false;
    std::wcsncpy(appState.tipText, text.c_str(), kTipChars - 1);
    return true;
}

// The flyout has a chart per widget; a widget's tip one, and the
// processors' bars in the CPU tip only.
TipRoom Room() {
    if (appState.iconTipShown) return FlyoutRoomFor(appState.tipDpi, appState.tipLineHeight);
    const bool bars = appState.tipKind == WidgetKind::Cpu;
    return TipRoomFor(bars ? static_cast<int>(appState.processorCount) : 0, appState.tipDpi);
}

Argb GaugeColor(WidgetKind kind) {
    return PaintArgsFor(kind, appState.WidgetSettings, appState.LiveMetrics).progressColor;
}

// Room below the text for the pictures, and as wide as the chart at least:
// a shorter text gets a right margin that makes up the difference.
void MakeRoom(HWND tip) {
    const TipRoom room = Room();
    RECT margin = {0, 0, 0, room.height};
    SendMessageW(tip, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
    TTTOOLINFOW tool = Tool();
    const int width =
        LOWORD(SendMessageW(tip, TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&tool)));
    if (width >= room.width) return;
    margin.right = room.width - width;
    SendMessageW(tip, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
}

// The charts in the room at the bottom of the tip: the flyout's under their
// labels, in the tip's own font and text colour; under the CPU tip's chart
// the bars.
void DrawPictures(HDC dc, HWND tip) {
    RECT client = {};
    GetClientRect(tip, &client);
    const TipRoom room = Room();
    const float left = static_cast<float>(client.left + room.pad);
    const float width = static_cast<float>(client.right - client.left - 2 * room.pad);
    const float top = static_cast<float>(client.bottom - room.height + room.pad);
    for (int i = 0; i < room.charts; ++i) {
        const WidgetKind kind = appState.iconTipShown ? kWidgetKinds[i] : appState.tipKind;
        const ChartBox box = ChartInRoom(room, left, top, width, i);
        if (room.labelHeight) {
            const std::wstring_view label = WidgetLabel(kind);
            const HGDIOBJ before = SelectObject(dc, appState.tipFont);
            SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
            SetBkMode(dc, TRANSPARENT);
            TextOutW(dc, static_cast<int>(box.left), static_cast<int>(top), label.data(),
                     static_cast<int>(label.size()));
            SelectObject(dc, before);
        }
        DrawHistoryChart(dc, box, appState.history[static_cast<int>(kind)], appState.tipNow,
                         GaugeColor(kind), appState.tipDpi);
    }
    if (!room.barsGap) return;  // a room without bars: not the CPU tip, or none to show
    const BarGrid bars =
        ProcessorBars(static_cast<int>(appState.processorCount), width, DpiFactor(appState.tipDpi));
    DrawProcessorBars(dc, left, top + static_cast<float>(room.chartHeight + room.barsGap), bars,
                      appState.processes.processorLoads, GaugeColor(WidgetKind::Cpu));
}

// What the shown tip says and draws, after a reading: new text, its room
// and its place, and the chart drawn again, which moves on every reading.
void UpdateShownTip() {
    HWND tip = appState.tipWindow;
    if (ComposeText()) {
        TTTOOLINFOW tool = Tool();
        SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
        MakeRoom(tip);
        PlaceTip(tip, appState.tipDpi);
    }
    InvalidateRect(tip, nullptr, FALSE);
}

// The CPU tip's second snapshot, a second after the first: processor time
// is a difference between two. Later ones come with the ticks.
void CALLBACK OnSecondSnapshot(HWND tip, UINT, UINT_PTR timerId, DWORD) {
    KillTimer(tip, timerId);
    if (!TipShown()) return;
    ReadProcessDetails();
    UpdateShownTip();
}

// What both tips do to show: the first snapshot (for CPU figures a second
// one follows), the text at the scale, its room, its place.
void Show(HWND tip, bool cpuShown) {
    ReadProcessDetails();
    if (cpuShown) SetTimer(tip, TipSecondSnapshotTimerId, TipSecondSnapshotMs, OnSecondSnapshot);
    ComposeText();
    ScaleTip(tip, appState.tipDpi);
    TTTOOLINFOW tool = Tool();
    SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    MakeRoom(tip);
    PlaceTip(tip, appState.tipDpi);
    SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

void OnTipPointerMove(HWND widget) {
    if (appState.tipWidget == widget) KillTimer(widget, TipLeaveTimerId);
    if (appState.hoverWidget == widget) return;
    TRACKMOUSEEVENT track = {sizeof(track), TME_HOVER | TME_LEAVE | TME_NONCLIENT, widget,
                             HOVER_DEFAULT};
    if (TrackMouseEvent(&track)) appState.hoverWidget = widget;
}

void ShowTip(WidgetKind kind, HWND widget, unsigned dpi) {
    if (appState.tipWidget == widget || AtRest(appState.visibility)) return;
    HideTip();
    const HWND tip = TipWindow();
    if (!tip) return;
    appState.tipWidget = widget;
    appState.tipKind = kind;
    appState.tipDpi = dpi;
    GetCursorPos(&appState.tipAnchor);
    Show(tip, kind == WidgetKind::Cpu);
}

void ShowIconTip(POINT anchor) {
    // Nothing is read while the shell has taken the widgets: none of it would follow.
    if (appState.iconTipShown || AtRest(appState.visibility) || !appState.cpuWindow) return;
    HideTip();
    const HWND tip = TipWindow();
    if (!tip) return;
    appState.iconTipShown = true;
    appState.tipAnchor = anchor;
    const unsigned dpi = MonitorAreaAt(anchor).dpi;
    appState.tipDpi = dpi ? dpi : GetDpiForSystem();
    Show(tip, true);
}

void HideIconTip() {
    if (appState.iconTipShown) HideTip();
}

void OnTipPointerLeave(HWND widget) {
    if (appState.hoverWidget == widget) appState.hoverWidget = nullptr;
    if (appState.tipWidget != widget) return;
    OnTipLeaveTimer(widget);
    if (appState.tipWidget == widget) SetTimer(widget, TipLeaveTimerId, TipLeaveCheckMs, nullptr);
}

void OnTipLeaveTimer(HWND widget) {
    POINT pointer = {};
    RECT area = {};
    if (!GetCursorPos(&pointer) || !GetWindowRect(widget, &area) || !PtInRect(&area, pointer))
        HideTip();
}

void HideTip() {
    appState.hoverWidget = nullptr;  // a menu or a drag ends the system's following too
    if (!TipShown()) return;
    if (appState.tipWidget) KillTimer(appState.tipWidget, TipLeaveTimerId);
    appState.tipWidget = nullptr;
    appState.iconTipShown = false;
    KillTimer(appState.tipWindow, TipSecondSnapshotTimerId);
    TTTOOLINFOW tool = Tool();
    SendMessageW(appState.tipWindow, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    ForgetProcessDetails();  // nothing is read while no tip shows
}

void RefreshTip() {
    if (!TipShown()) return;
    ReadProcessDetails();
    UpdateShownTip();
}

LRESULT OnTipNotify(const NMHDR* header) {
    if (!appState.tipWindow || header->hwndFrom != appState.tipWindow ||
        header->code != static_cast<UINT>(NM_CUSTOMDRAW))
        return 0;
    const auto* draw = reinterpret_cast<const NMTTCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYPOSTPAINT;
    if (draw->nmcd.dwDrawStage == CDDS_POSTPAINT && TipShown())
        DrawPictures(draw->nmcd.hdc, appState.tipWindow);
    return CDRF_DODEFAULT;
}
