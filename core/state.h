#pragma once
// The one process-wide state record. Every item exists once, starts at a
// fixed value and lives until the process ends; nothing here is heap
// allocated but the process details, which live while a tip shows. Only the
// message-loop thread touches it.

#include "core/colors.h"
#include "core/figures.h"
#include "core/history.h"
#include "core/processes.h"
#include "core/scale.h"
#include "core/tray.h"
#include "core/visibility.h"

#include <windows.h>
#include <pdh.h>

#include <cstdint>

enum class WidgetKind { Cpu, Ram, Swap };
// In the order the widgets are created, and the icon draws their bars.
constexpr WidgetKind kWidgetKinds[3] = {WidgetKind::Cpu, WidgetKind::Ram, WidgetKind::Swap};

struct AppearanceSettings {
    std::int32_t ScaleValue = ScaleStep::Normal;
    std::int32_t chartTypeValue = ChartStyle::CircularGauge;
    Argb cpuProgressColor = 0xFF009688;
    Argb ramProgressColor = 0xFF009688;
    Argb swapProgressColor = 0xFF009688;
    Argb cpuTextColor = 0xFF212121;
    Argb ramTextColor = 0xFF212121;
    Argb swapTextColor = 0xFF212121;
    // Its RGB part must equal the windows' colour key, so that whatever a
    // painter leaves in it is transparent on the desktop.
    static constexpr Argb backgroundColor = 0xFF646464;
};

// kNoFigure until a figure is read.
struct MetricValues {
    double cpuPercent = kNoFigure;
    double ramPercent = kNoFigure;
    double swapPercent = kNoFigure;
    MemoryBytes memory = {};  // the figures in full, for the hover details
};

constexpr int kPathChars = 260;
// Wine's and Windows' tooltips keep up to 1024 characters of text.
constexpr int kTipChars = 1024;

struct SharedState {
    AppearanceSettings WidgetSettings;
    MetricValues LiveMetrics;
    FigureHistory history[3];  // by WidgetKind
    HWND cpuWindow = nullptr;
    HWND ramWindow = nullptr;
    HWND swapWindow = nullptr;
    std::int32_t scaleIndex = 0;  // radio index of "Widget Scale": ScaleValue - 1
    std::int32_t chartIndex = 0;  // radio index of "Chart Type": chartTypeValue - 1
    UINT closeMessageId = 0;
    UINT showMessageId = 0;  // "Vital_Gauge_Show", from a second start
    // Set by the close message. A drag or a menu runs its own message loop
    // that takes the quit message for itself; the main loop checks this
    // after every message, so the program still ends when that loop returns.
    bool closeRequested = false;
    // Set by "Exit" and by WM_CLOSE on the CPU widget. Only an asked-for
    // destruction of the CPU widget ends the program; any other means the
    // shell took the widgets with its windows, and they come back.
    bool exitRequested = false;
    // The place the user chose for each widget (CPU, RAM, Swap): what the
    // settings held at start, or where a drag or an align left it; the size
    // follows the window. The shown place may differ while the chosen one
    // lies on no monitor; only the chosen places are ever saved.
    RECT chosenPlaces[3] = {};
    bool placesKnown = false;
    int attachRetriesLeft = 0;  // of the short retries after a shell appeared
    HWND listenerWindow = nullptr;
    UINT shellCreatedMessageId = 0;  // "TaskbarCreated", sent by a starting shell
    // The shell process whose window holds the widgets. Under Wine its end
    // removes the widgets without a message; its handle tells instead.
    DWORD shellProcessId = 0;
    HANDLE shellProcess = nullptr;
    PDH_HQUERY cpuQuery = nullptr;
    PDH_HCOUNTER cpuCounter = nullptr;
    COLORREF customColors[16] = {};  // colour dialog order, 0x00BBGGRR
    wchar_t hostInstallPath[kPathChars] = {};
    // The counter only once it opened; the system times also before.
    CpuSource cpuSource = CpuSource::SystemTimes;
    SystemTimes cpuTimes;  // at the last processor read or priming
    Visibility visibility;
    unsigned processorCount = 0;  // logical processors, in every group
    // The hover details: the tooltip (made at the first hover), the widget
    // whose figures it shows (null while hidden), or the icon's flyout, the
    // point it was shown at, the widget whose pointer is followed, its font
    // and a line's height in it, its scale, its text, and the time its
    // charts end at. It shows one of them at a time.
    HWND tipWindow = nullptr;
    HWND tipWidget = nullptr;
    bool iconTipShown = false;
    WidgetKind tipKind = WidgetKind::Cpu;
    POINT tipAnchor = {};
    HWND hoverWidget = nullptr;
    HFONT tipFont = nullptr;
    int tipLineHeight = 0;
    unsigned tipDpi = kBaseDpi;
    wchar_t tipText[kTipChars] = {};
    ULONGLONG tipNow = 0;
    ProcessDetails processes;  // while a tip shows
    TrayState tray;            // the notification-area icon
};

extern SharedState appState;

static_assert((AppearanceSettings::backgroundColor & 0xFFFFFF) == 0x646464 && ColorKey == 0x646464,
              "the background colour and the colour key must stay equal");
