// The real widget windows, created in this process by the program's own code,
// driven through their messages and menu commands.
#include "app/commands.h"
#include "app/listener.h"
#include "app/rest.h"
#include "core/state.h"
#include "desktop/monitors.h"
#include "host/host_launcher.h"
#include "metrics/sampling.h"
#include "metrics/sampling_math.h"
#include "render/gdiplus_include.h"
#include "settings/context_menu.h"
#include "settings/menu_logic.h"
#include "settings/settings_store.h"
#include "tests/support/harness.h"
#include "widgets/refresh.h"
#include "widgets/tip.h"
#include "widgets/widgets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <tuple>

using namespace vgtest;

namespace {

HWND Widget(int i) {
    return i == 0 ? appState.cpuWindow : i == 1 ? appState.ramWindow : appState.swapWindow;
}

void StartWidgets() {
    static ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    DeleteKey();
    for (const wchar_t* name : {L"WindowPos", L"WindowPos2", L"WindowPos3"})
        SetRect(name, {9000, 9000, 9160, 9160});  // on no monitor any more
    SetDword(L"cpuProgressColor", 0xFFFF0000);
    SetDword(L"swapTextColor", 0xFF0000FF);
    ASSERT_TRUE(CreateWidgetWindows(GetModuleHandleW(nullptr)));
}

// What the system queued, as the program's loop would.
void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

void PaintAll() {
    for (int i = 0; i < 3; ++i) {
        InvalidateRect(Widget(i), nullptr, TRUE);
        UpdateWindow(Widget(i));
        UpdateWindow(Widget(i));  // what a growing window gained
    }
    Pump();
}

COLORREF PixelOf(HWND w, int x, int y) {
    HDC dc = GetDC(w);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(w, dc);
    return c;
}

// Whether some pixel of a window's rectangle has this colour: anti-aliased
// text has exactly its colour only inside its strokes.
bool AnyPixel(HWND w, const RECT& r, COLORREF color) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (PixelOf(w, x, y) == color) return true;
    return false;
}

// Until the system times move, a processor read has no figure to give.
bool ClockMoves() {
    return WaitUntil(
        [] { return !std::isnan(CpuPercentFromTimes(appState.cpuTimes, ReadSystemTimes())); });
}

bool Checked(HMENU menu, int submenu, int item) {
    return (GetMenuState(GetSubMenu(menu, submenu), item, MF_BYPOSITION) & MF_CHECKED) != 0;
}

TEST(Widgets, CreatedPaintedAndCommanded) {
    StartWidgets();
    // The first paint shows the memory figures; the processor's comes a
    // second later, and until then its ring has not even the dot of a 0 %.
    for (int i = 0; i < 3; ++i) UpdateWindow(Widget(i));  // no message taken yet, no timer
    EXPECT_EQ(RGB(100, 100, 100), PixelOf(appState.cpuWindow, 80, 12));
    EXPECT_EQ(RGB(0, 0x96, 0x88), PixelOf(appState.ramWindow, 80, 12));
    EXPECT_TRUE(WaitUntil([] { return Pump(), !std::isnan(appState.LiveMetrics.cpuPercent); }));
    EXPECT_FALSE(KillTimer(appState.cpuWindow, FirstCpuReadTimerId)) << "read once";
    const POINT corners[3] = {{50, 50}, {220, 50}, {390, 50}};  // shown apart
    for (int i = 0; i < 3; ++i) {
        HWND w = Widget(i);
        EXPECT_EQ(WS_POPUP | WS_VISIBLE, GetWindowLongW(w, GWL_STYLE) & ~WS_CLIPSIBLINGS);
        EXPECT_EQ(WS_EX_LAYERED | WS_EX_TOOLWINDOW,
                  GetWindowLongW(w, GWL_EXSTYLE) & ~WS_EX_TOPMOST);
        std::tuple<COLORREF, BYTE, DWORD> layered = {};
        GetLayeredWindowAttributes(w, &std::get<0>(layered), &std::get<1>(layered),
                                   &std::get<2>(layered));
        EXPECT_EQ(std::make_tuple(RGB(100, 100, 100), BYTE{255}, DWORD{LWA_COLORKEY | LWA_ALPHA}),
                  layered);
        SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        EXPECT_EQ(nullptr, GetWindow(w, GW_HWNDNEXT)) << "a raised widget goes back to the bottom";
    }

    // Each command on some widget: the stored steps, every window's size after
    // its paint, the radio marks, a pixel of the CPU widget in its red progress
    // colour (px, py), and the CPU widget's text inside `text` in the style's
    // text colour.
    appState.LiveMetrics = {25, 45, 50};
    const COLORREF blue = RGB(0, 0, 255), dark = RGB(0x21, 0x21, 0x21);
    const struct {
        int clicked;
        UINT command;
        DWORD scale, chart;
        int width, height, px, py;
        RECT text;
        COLORREF textColor;
    } steps[] = {
        {1, MenuId::ScaleFirst + 1, 2, 1, 320, 320, 160 + 97, 160 - 97, {120, 136, 200, 148}, dark},
        {2, MenuId::ChartFirst + 2, 2, 3, 640, 320, 40, 60, {15, 12, 140, 45}, blue},
        {0, MenuId::ScaleFirst + 2, 3, 3, 960, 480, 60, 84, {15, 12, 200, 60}, blue},
        {1, MenuId::ChartFirst + 1, 3, 2, 480, 480, 240, 350, {200, 20, 280, 90}, dark},
        {2, MenuId::ScaleFirst, 1, 2, 160, 160, 80, 119, {55, 130, 105, 155}, dark},
        {0, 0, 1, 2, 160, 160, 80, 119, {55, 130, 105, 155}, dark},
        {0, MenuId::ChartFirst, 1, 1, 160, 160, 80 + 48, 80 - 48, {65, 45, 95, 65}, dark}};
    for (const auto& s : steps) {
        RunMenuCommand(Widget(s.clicked), s.command);
        PaintAll();
        const RegSnapshot key = ReadKey();
        EXPECT_TRUE(ElevenWellFormed(key));
        EXPECT_EQ(s.scale, DwordIn(key, L"ScaleValue")) << s.command;
        EXPECT_EQ(s.chart, DwordIn(key, L"chartTypeValue")) << s.command;
        for (int i = 0; i < 3; ++i) {
            const LONG left = corners[i].x, top = corners[i].y;
            EXPECT_EQ((RECT{left, top, left + s.width, top + s.height}), ScreenRect(Widget(i)))
                << s.command;
        }
        EXPECT_EQ(RGB(255, 0, 0), PixelOf(appState.cpuWindow, s.px, s.py)) << s.command;
        EXPECT_EQ(RGB(100, 100, 100), PixelOf(appState.cpuWindow, 1, s.height - 2)) << "colour key";
        EXPECT_TRUE(AnyPixel(appState.cpuWindow, s.text, s.textColor)) << s.command;
        HMENU menu = BuildContextMenu();  // "Chart Type" is submenu 6, "Widget Scale" 7
        for (DWORD i = 0; i < 3; ++i) {
            EXPECT_EQ(i + 1 == s.chart, Checked(menu, 6, i)) << s.command;
            EXPECT_EQ(i + 1 == s.scale, Checked(menu, 7, i)) << s.command;
        }
        DestroyMenu(menu);
    }
    // As after a monitor change: still on no monitor, so back where shown.
    SetWindowPos(appState.ramWindow, nullptr, corners[1].x, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowChosenPlaces();
    EXPECT_EQ(corners[1].x, ScreenRect(appState.ramWindow).left);
    EXPECT_EQ(corners[1].y, ScreenRect(appState.ramWindow).top);
    EXPECT_EQ(9000, RectIn(ReadKey(), L"WindowPos2").left) << "the chosen place is kept";
    RunMenuCommand(appState.cpuWindow, MenuId::ChartFirst + 2);
    PaintAll();
    EXPECT_EQ(RGB(0x50, 0x50, 0x50), PixelOf(appState.cpuWindow, 15, 38)) << "the bar's outline";
    // The Segmented Bar lit RAM's bottom 4 of 10 segments at 45 %: the middle
    // of each segment, then the gaps between them.
    RunMenuCommand(appState.cpuWindow, MenuId::ChartFirst + 1);
    PaintAll();
    for (int i = 0; i < 10; ++i) {  // the top row too: edges on whole pixels
        const COLORREF segment = i >= 6 ? RGB(0, 0x96, 0x88) : RGB(0x2D, 0x2D, 0x2D);
        EXPECT_EQ(segment, PixelOf(appState.ramWindow, 80, 38 + 9 * i)) << i;
        EXPECT_EQ(segment, PixelOf(appState.ramWindow, 80, 35 + 9 * i)) << i;
    }
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(RGB(100, 100, 100), PixelOf(appState.ramWindow, 80, 42 + 9 * i)) << i;
    EXPECT_EQ(RGB(100, 100, 100), PixelOf(appState.ramWindow, 3, 17)) << "the label is centred";
    EXPECT_EQ(RGB(100, 100, 100), PixelOf(appState.ramWindow, 20, 128)) << "ten segments, no more";

    // Align: the worked example of a row anchored at RAM.
    const POINT at[3] = {{100, 100}, {400, 200}, {1000, 300}};
    for (int i = 0; i < 3; ++i)
        SetWindowPos(Widget(i), nullptr, at[i].x, at[i].y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RunMenuCommand(appState.ramWindow, MenuId::AlignHorizontally);
    EXPECT_EQ((RECT{-50, 200, 110, 360}), ScreenRect(appState.cpuWindow));
    EXPECT_EQ((RECT{850, 200, 1010, 360}), RectIn(ReadKey(), L"WindowPos3"));
    RunMenuCommand(appState.cpuWindow, MenuId::AlignVertically);  // equal tops: RAM under Swap
    EXPECT_EQ((RECT{-50, 200, 110, 360}), RectIn(ReadKey(), L"WindowPos2"));

    // A new DPI: the suggested corner, and at once the size of the new scale;
    // a widget in the shell's window is repainted, which sizes it.
    RECT suggested = {300, 200, 0, 0};
    SendMessageW(appState.swapWindow, WM_DPICHANGED, MAKEWPARAM(144, 144), LPARAM(&suggested));
    EXPECT_EQ((RECT{300, 200, 540, 440}), ScreenRect(appState.swapWindow));
    for (UINT message : {WM_DPICHANGED, WM_DPICHANGED_AFTERPARENT}) {
        ValidateRect(appState.swapWindow, nullptr);
        SendMessageW(appState.swapWindow, message, MAKEWPARAM(96, 96), LPARAM(&suggested));
        EXPECT_TRUE(GetUpdateRect(appState.swapWindow, nullptr, FALSE)) << message;
    }

    // Only the CPU widget's timers sample: its tick all three figures, its
    // first read the processor's, here from the system times.
    for (auto [widget, timer, memory, cpu] : {std::tuple{0, 3002, false, false},
                                              {1, 3001, false, false},
                                              {0, 3010, false, true},
                                              {0, 3001, true, true}}) {
        ASSERT_TRUE(ClockMoves());
        appState.LiveMetrics = {-1, -1, -1};
        for (int i = 0; i < 3; ++i) ValidateRect(Widget(i), nullptr);
        SendMessageW(Widget(widget), WM_TIMER, timer, 0);
        const MetricValues& m = appState.LiveMetrics;
        EXPECT_EQ(memory, m.ramPercent > 0 && m.swapPercent > 0) << timer;
        EXPECT_EQ(cpu, m.cpuPercent >= 0 && m.cpuPercent <= 100) << timer;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(i ? memory : cpu, GetUpdateRect(Widget(i), nullptr, FALSE) != 0) << timer;
    }
    // A new figure repaints only the widgets that would look different.
    for (auto [before, now, repainted] :
         {std::tuple{MetricValues{12.9, 57, 43.75}, MetricValues{12.1, 57.9, 43}, 0},
          {{12, 57, 43}, {13, 56.99, 44}, 0b111},
          {{NAN, NAN, 9}, {0, 0, 9}, 0b110},
          {{0, 5, 9}, {NAN, 5, NAN}, 0b101},
          {{NAN, -0.5, 9}, {NAN, 0.7, 10}, 0b001}}) {
        for (int i = 0; i < 3; ++i) ValidateRect(Widget(i), nullptr);
        RepaintChanged(before, now);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ((repainted >> (2 - i)) & 1, GetUpdateRect(Widget(i), nullptr, FALSE)) << i;
    }
    // Other system colours (high contrast too) repaint all three at once.
    for (int i = 0; i < 3; ++i) ValidateRect(Widget(i), nullptr);
    ListenerWindowProc(nullptr, WM_SYSCOLORCHANGE, 0, 0);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(GetUpdateRect(Widget(i), nullptr, FALSE)) << i;
    // Locked: no tick and no paint (the top segment keeps its 100 %).
    // Unlocked, and resumed: sampled and painted at once, a fresh period.
    appState.LiveMetrics.cpuPercent = 100;  // in the Segmented Bar still
    PaintAll();
    const COLORREF unlit = RGB(0x2D, 0x2D, 0x2D);
    struct {
        POWERBROADCAST_SETTING s;
        BYTE more[3];
    } off = {{kDisplayStatusSetting, 4, {0}}, {}}, on = {{kDisplayStatusSetting, 4, {1}}, {}};
    for (auto [message, code, setting, ticking, top] :
         {std::tuple{WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, LPARAM{}, false, RGB(255, 0, 0)},
          {WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0, true, unlit},
          {WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, LPARAM(&off), false, unlit},
          {WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, LPARAM(&on), true, unlit},
          {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, true, unlit}}) {
        appState.LiveMetrics = {0, -1, -1};
        ListenerWindowProc(nullptr, message, code, setting);
        PaintAll();
        EXPECT_EQ(top, PixelOf(appState.cpuWindow, 80, 38)) << code;
        EXPECT_EQ(ticking, appState.LiveMetrics.ramPercent > 0) << code;
        EXPECT_EQ(ticking, KillTimer(appState.cpuWindow, SampleTimerId) != FALSE) << code;
    }
    // The end of a drag saves, unless the close message cut it short.
    for (bool closing : {true, false}) {
        DeleteKey();
        appState.closeRequested = closing;
        SendMessageW(appState.swapWindow, WM_EXITSIZEMOVE, 0, 0);
        EXPECT_EQ(closing ? 0u : 11u, ReadKey().size());
    }

    // With pdh.dll there, the counter gives the processor figure, and keeps it.
    OpenCpuCounter();
    SendMessageW(appState.cpuWindow, WM_TIMER, SampleTimerId, 0);
    EXPECT_EQ(CpuSource::Counter, appState.cpuSource);

    // From RAM's tip onto Swap where Swap covers RAM, then both away from the
    // pointer (RAM left under it would show its tip again once the pointer
    // rests): RAM's wait for the pointer to leave ends with its tip, Swap's
    // hides Swap's. The widgets come to the pointer, which Wine may not move.
    POINT p = {};
    GetCursorPos(&p);
    for (HWND w : {appState.ramWindow, appState.swapWindow}) {
        SetWindowPos(w, nullptr, p.x - 10, p.y - 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SendMessageW(w, WM_NCMOUSEHOVER, HTCAPTION, 0);
        SendMessageW(w, WM_NCMOUSELEAVE, 0, 0);  // still over its rectangle: the tip stays
    }
    EXPECT_FALSE(KillTimer(appState.ramWindow, TipLeaveTimerId)) << "RAM's wait ended";
    for (HWND w : {appState.ramWindow, appState.swapWindow})
        SetWindowPos(w, nullptr, p.x + 50, p.y + 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(WaitUntil([] { return Pump(), !appState.tipWidget; })) << "Swap's wait saw it go";
    // The CPU tip's and the flyout's second snapshot comes once (no tick
    // meanwhile); hidden, nothing is kept.
    for (UINT_PTR timer : {SampleTimerId, FirstCpuReadTimerId})
        KillTimer(appState.cpuWindow, timer);
    for (bool flyout : {false, true}) {
        flyout ? ShowIconTip({500, 500}) : ShowTip(WidgetKind::Cpu, appState.cpuWindow, 96);
        EXPECT_TRUE(WaitUntil([] { return Pump(), appState.processes.snapshots == 2; }));
        EXPECT_FALSE(KillTimer(appState.tipWindow, TipSecondSnapshotTimerId));
        HideTip();
        EXPECT_TRUE(appState.processes.lastTimes.empty() && appState.processes.buffer.empty());
    }
    // Exit: the CPU widget goes first and saves the chosen places, never
    // where something else moved a widget (the drag above chose Swap's).
    SetWindowPos(appState.swapWindow, nullptr, 333, 444, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RunMenuCommand(appState.swapWindow, MenuId::Exit);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(IsWindow(Widget(i)));
    EXPECT_EQ(300, RectIn(ReadKey(), L"WindowPos3").left);
    MSG msg = {};
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 0);

    // A hand-shortened place is read over the default: only its left is new.
    SetValue(L"WindowPos", REG_BINARY, "\x1e\0\0\0", 4);
    RECT read[3] = {};
    LoadSettings(CurrentMonitors(), PrimaryWorkArea(), read[0], read[1], read[2]);
    EXPECT_EQ((RECT{30, 100, 190, 260}), read[0]);
}

// "Settings...": a running host is brought back as it was, else the host is
// launched, else the user is told.
TEST(Widgets, HostIsActivatedLaunchedOrExplained) {
    HMENU menu = BuildContextMenu();  // before any settings are read, as at a first run
    EXPECT_TRUE(Checked(menu, 6, 0) && Checked(menu, 7, 0)) << "the first style and scale";
    DestroyMenu(menu);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        temp + std::wstring(L"vg-host-") + std::to_wstring(GetTickCount64());
    const std::wstring record = folder + L"\\ran.txt";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((BuildDir() + L"\\host_fixture.exe").c_str(),
                          (folder + L"\\Corvanite.exe").c_str(), FALSE));
    SetValue(L"Path", REG_SZ, folder.c_str(), static_cast<DWORD>((folder.size() + 1) * 2),
             L"Software\\Vendrake Corvanite Plus!");
    ASSERT_TRUE(ReadHostInstallPath());
    SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
    ASSERT_TRUE(OpenHostApplication(nullptr));
    EXPECT_EQ(static_cast<DWORD>(IDLE_PRIORITY_CLASS), GetPriorityClass(GetCurrentProcess()))
        << "the widgets stay idle";
    ASSERT_TRUE(WaitUntil([&] { return !ReadFileText(record).empty(); }));
    const std::string ran = ReadFileText(record), dir(folder.begin(), folder.end());
    EXPECT_NE(std::string::npos, ran.find("Corvanite.exe\" DesktopWidget|" + dir + "|32")) << ran;
    DeleteFileW(record.c_str());

    // A host window of any process counts, this one's too.
    for (auto [show, zoomed] : {std::pair{SW_MINIMIZE, false}, {SW_MAXIMIZE, true}}) {
        HWND window = CreateWindowW(L"STATIC", L"Vendrake Corvanite Plus! Suite",
                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                    nullptr, nullptr, nullptr);
        ShowWindow(window, show);
        OpenHostApplication(nullptr);
        MSG msg = {};
        EXPECT_TRUE(PeekMessageW(&msg, window, 1827, 1827, PM_REMOVE) && msg.wParam == 0 &&
                    msg.lParam == 0);
        EXPECT_FALSE(IsIconic(window));
        EXPECT_EQ(zoomed, IsZoomed(window) != FALSE) << "a maximised host stays maximised";
        EXPECT_TRUE(ReadFileText(record).empty()) << "a running host is not launched again";
        DestroyWindow(window);
    }

    // A host that cannot be started: one box, ours.
    lstrcpyW(appState.hostInstallPath, (folder + L"\\gone").c_str());
    wchar_t caption[16] = {}, text[128] = {};
    std::thread watcher([&] {
        HWND w = nullptr;
        WaitUntil([&] {
            return (w = FindProcessWindow(GetCurrentProcessId(), L"#32770", true)) != nullptr;
        });
        GetWindowTextW(w, caption, 16);
        GetDlgItemTextW(w, 0xFFFF, text, 128);
        PostMessageW(w, WM_COMMAND, IDOK, 0);
    });
    OpenHostApplication(nullptr);
    watcher.join();
    EXPECT_EQ(L"Error: Cannot open Corvanite for Windows 11 main app.",
              std::wstring(caption) + L": " + text);
}

bool AllUnder(HWND parent) {
    for (int i = 0; i < 3; ++i)
        if (ParentOf(Widget(i)) != parent || !IsWindowVisible(Widget(i))) return false;
    return true;
}

// On the stand-in shell, its view already in a worker window and its corner
// left of the screen's: the widgets
// follow the icon setting as the system announces it, the shell takes them
// away (as Windows does it: a WM_DESTROY nobody here asked for), and they come
// back with the next shell or alone after the wait, or once a slow shell has
// its view; they follow a monitor change and never take the keyboard from the
// window the user types in; "Exit" still ends.
TEST(Widgets, OnTheShellsDesktop) {
    VG_WINE_ONLY("the stand-in shell cannot stand in beside a running Explorer");
    SetDword(L"HideIcons", 1, kExplorerAdvancedKey);
    ShellFixture shell;
    ASSERT_TRUE(shell.Start(L"--in-worker --origin=-1280,0"));  // a monitor left of the primary
    const HWND listener = CreateListenerWindow(GetModuleHandleW(nullptr));
    HWND editor = nullptr;  // the user types there, in another program's thread
    std::thread typing([&editor] {
        HWND w = CreateWindowW(L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300, 200, 100,
                               nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(w);
        editor = w;
        for (MSG m; GetMessageW(&m, nullptr, 0, 0) > 0;) DispatchMessageW(&m);
    });
    ASSERT_TRUE(WaitUntil([&] { return editor != nullptr; }));
    StartWidgets();
    EXPECT_EQ(editor, GetForegroundWindow()) << "at the start";
    const HWND view = shell.Window(L"SHELLDLL_DefView");
    EXPECT_TRUE(AllUnder(view)) << "icons hidden: straight into the view";
    EXPECT_EQ("", shell.Log()) << "no worker request while the icons are hidden";
    for (auto [hidden, parent] : {std::pair{0, shell.Window(L"SysListView32")}, {1, view}}) {
        SetDword(L"HideIcons", hidden, kExplorerAdvancedKey);
        SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, 0, SMTO_NORMAL, 15000, nullptr);
        EXPECT_TRUE(AllUnder(parent)) << hidden;
        EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_VISIBLE),
                  GetWindowLongW(appState.ramWindow, GWL_STYLE));
        EXPECT_EQ(editor, GetForegroundWindow()) << "at a setting change";
    }
    EXPECT_EQ("052C 0 0\n052C 0 0\n052C 0 0\n", shell.Log()) << "one request per widget";
    const RECT place = ScreenRect(appState.cpuWindow);
    SendMessageW(appState.cpuWindow, WM_EXITSIZEMOVE, 0, 0);  // the end of a drag chooses it
    EXPECT_EQ((RECT{50, 50, 210, 210}), place) << "attached where it was";
    EXPECT_EQ(place, RectIn(ReadKey(), L"WindowPos")) << "stored as on the screen";
    RunMenuCommand(appState.cpuWindow, MenuId::ScaleFirst);  // moves in the parent's coordinates
    EXPECT_EQ(place, ScreenRect(appState.cpuWindow));

    // The shell announces itself again while it lives: the same widgets stay.
    const HWND cpu = appState.cpuWindow;
    FollowShell();
    SendMessageW(listener, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_EQ(cpu, appState.cpuWindow);

    // The monitor left of the primary goes, with the Swap widget dragged onto
    // it: the shell's desktop moves to (0, 0) and takes the widgets along.
    POINT left = {-600, 100};
    MapWindowPoints(nullptr, ParentOf(appState.swapWindow), &left, 1);
    SetWindowPos(appState.swapWindow, nullptr, left.x, left.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageW(appState.swapWindow, WM_EXITSIZEMOVE, 0, 0);
    SendMessageW(shell.Window(L"Progman"), WM_APP, MAKEWPARAM(1280, 1024), MAKELPARAM(0, 0));
    EXPECT_TRUE(WaitUntil([&] {
        Pump();
        return ScreenRect(appState.cpuWindow) == place;
    }));
    EXPECT_EQ((RECT{390, 50, 550, 210}), ScreenRect(appState.swapWindow)) << "apart, on screen";
    EXPECT_EQ((RECT{-600, 100, -440, 260}), RectIn(ReadKey(), L"WindowPos3")) << "still chosen";
    // The desktop moves back and the shell restarts before the widgets follow.
    const RegSnapshot stored = ReadKey();
    SendMessageW(shell.Window(L"Progman"), WM_APP, MAKEWPARAM(2560, 1024), MAKELPARAM(-1280, 0));

    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    MSG msg;
    for (auto [message, wParam, shellGone] :
         {std::tuple{taskbarCreated, WPARAM{0}, false}, {WM_TIMER, ShellWaitTimerId, true}}) {
        for (HWND w : {appState.cpuWindow, appState.ramWindow, appState.swapWindow})
            DestroyWindow(w);
        EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) || appState.cpuWindow)
            << "no quit, no stale handle";
        if (shellGone) {  // an end asked for now ends the loop with 0, and that is all
            EndProgram();
            EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) &&
                        msg.wParam == 0);
            appState.closeRequested = false;
        }
        EXPECT_TRUE(KillTimer(listener, ShellWaitTimerId)) << "the wait for a new shell runs";
        EXPECT_TRUE(stored == ReadKey()) << "the places stay as stored";
        if (shellGone) shell.process.Kill();
        SendMessageW(listener, message, wParam, 0);
        ASSERT_NE(nullptr, appState.cpuWindow);
        EXPECT_TRUE(AllUnder(shellGone ? GetDesktopWindow() : view));
        EXPECT_EQ(place, ScreenRect(appState.cpuWindow));
        EXPECT_TRUE(shellGone || editor == GetForegroundWindow()) << "at a shell restart";
    }
    // Without a shell, attaching is tried every half second for 30 seconds.
    for (int i = 1; i < 60; ++i) SendMessageW(listener, WM_TIMER, AttachRetryTimerId, 0);
    EXPECT_TRUE(KillTimer(listener, AttachRetryTimerId)) << "still trying at 29.5 s";
    SetTimer(listener, AttachRetryTimerId, AttachRetryMs, nullptr);
    SendMessageW(listener, WM_TIMER, AttachRetryTimerId, 0);
    EXPECT_FALSE(KillTimer(listener, AttachRetryTimerId)) << "no more after 30 s";
    SendMessageW(appState.ramWindow, WM_SYSKEYDOWN, VK_MENU, 0);
    EXPECT_TRUE(IsWindow(appState.ramWindow)) << "Alt alone ends nothing";
    SendMessageW(listener, WM_ENDSESSION, TRUE, 0);  // the end of the session ends it all
    EXPECT_FALSE(IsWindow(appState.ramWindow));
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    PostMessageW(editor, WM_QUIT, 0, 0);
    typing.join();
}

}  // namespace
