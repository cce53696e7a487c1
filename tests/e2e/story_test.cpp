// The real VitalGauge.exe walked through what users do: menus chosen with the
// keyboard (a posted right click, as Wine never delivers a real one on a
// caption), drags with a real pointer, and hand-edited settings.
#include "tests/support/harness.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <vector>

using namespace vgtest;

namespace {

const wchar_t* const kValues[11] = {L"WindowPos",        L"WindowPos2",        L"WindowPos3",
                                    L"ScaleValue",       L"chartTypeValue",    L"cpuProgressColor",
                                    L"ramProgressColor", L"swapProgressColor", L"cpuTextColor",
                                    L"ramTextColor",     L"swapTextColor"};

bool WaitStored(const wchar_t* name, DWORD value) {
    return WaitUntil([&] { return DwordIn(ReadKey(), name) == value; });
}

// The dot at 12 o'clock of the first widget's ring at its first-run place:
// drawn once its first figure is read, about a second after the start.
bool WaitForCpuDot() {
    return WaitUntil([] {
        HDC screen = GetDC(nullptr);
        const COLORREF dot = GetPixel(screen, 630, 112);
        ReleaseDC(nullptr, screen);
        return dot == RGB(0, 0x96, 0x88);
    });
}

TEST(Story, FirstRunDragMenusColourAndCloseDuringAMenu) {
    VG_WINE_ONLY("drags and types with xdotool on Wine's X display");
    DeleteKey();
    VitalGauge app;
    ASSERT_TRUE(app.Start(L"--help /? -scale 3"));  // arguments change nothing
    EXPECT_EQ(static_cast<DWORD>(IDLE_PRIORITY_CLASS), GetPriorityClass(app.process.Handle()));
    EXPECT_FALSE(IsWindowVisible(app.listener));
    const HWND widgets[3] = {app.cpu, app.ram, app.swap};
    for (int i = 0; i < 3; ++i)  // the default places
        EXPECT_EQ((RECT{550 + 150 * i, 100, 710 + 150 * i, 260}), ScreenRect(widgets[i]));
    EXPECT_TRUE(ReadKey().empty()) << "nothing is saved before a command";

    // A real left drag, started on the gauge's dot at 12 o'clock, saves at release.
    ASSERT_TRUE(WaitForCpuDot());
    Sh("xdotool mousemove 630 112 mousedown 1 sleep 0.2 mousemove 690 152 sleep 0.2 mousemove 750 "
       "202 sleep 0.2 mouseup 1");
    ASSERT_TRUE(WaitUntil([] { return RectIn(ReadKey(), L"WindowPos").left == 670; }));

    // A second start shows no widgets of its own and saves nothing: the
    // running copy brings a widget that was moved off the screen back.
    const RegSnapshot dragged = ReadKey();
    SetWindowPos(app.cpu, nullptr, 3000, 3000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ChildProcess second;
    ASSERT_TRUE(second.Start(BuildDir() + L"\\VitalGauge.exe"));
    EXPECT_EQ(0, second.WaitExit());
    EXPECT_TRUE(WaitUntil([&] { return ScreenRect(app.cpu).left == 670; }));
    EXPECT_EQ(dragged, ReadKey());

    ASSERT_TRUE(app.OpenMenu(app.ram));
    Keys("Down Down Down Down Down Down Right Down Return");  // "Widget Scale", "Large (150%)"
    ASSERT_TRUE(WaitStored(L"ScaleValue", 2));

    // "Change Gauge Color", then "Change Text Color", on RAM: red typed into the real dialog.
    for (auto [keys, value] : {std::pair{"Down Down Down Return", L"ramProgressColor"},
                               {"Down Down Down Down Return", L"ramTextColor"}}) {
        ASSERT_TRUE(app.OpenMenu(app.ram));
        Keys(keys);
        HWND dialog = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] { return (dialog = FindProcessWindow(app.process.Id(), L"#32770", true)); }));
        PointAt(dialog, 100, 100);
        Keys("ctrl+a 2 5 5 Tab ctrl+a 0 Tab ctrl+a 0 Return");
        ASSERT_TRUE(WaitStored(value, 0xFFFF0000)) << value;
    }
    const RegSnapshot saved = ReadKey();
    EXPECT_EQ(0xFF009688u, DwordIn(saved, L"cpuProgressColor"));

    // The close message while a menu is open: the program ends as saved.
    ASSERT_TRUE(app.OpenMenu(app.ram));
    SetWindowPos(app.swap, nullptr, 333, 444, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    app.PostClose();
    EXPECT_EQ(0, app.WaitExit());
    EXPECT_EQ(saved, ReadKey());
}

// Resting the pointer on the RAM widget's ring shows its figures in full, as
// the system reports them; moving away or a right-click hides them; the
// window in front stays.
TEST(Story, FiguresInFullOnHover) {
    VG_WINE_ONLY("rests the pointer with xdotool on Wine's X display");
    DeleteKey();
    VitalGauge app;
    ASSERT_TRUE(app.Start());
    const HWND front = GetForegroundWindow();
    PointAt(app.ram, 81, 12);  // the ring's start: a drawn pixel
    HWND tip = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        return (tip = FindProcessWindow(app.process.Id(), L"tooltips_class32", true)) != nullptr;
    }));
    wchar_t text[256] = {};
    SendMessageW(tip, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    double used = 0, total = 0, available = 0;
    int percent = 0;
    ASSERT_EQ(4, swscanf(text, L"Memory in use: %lf GB of %lf GB (%d %%)\r\nAvailable: %lf GB",
                         &used, &total, &percent, &available))
        << text;
    MEMORYSTATUSEX status = {sizeof status, 0, 0, 0, 0, 0, 0, 0, 0};
    GlobalMemoryStatusEx(&status);
    const double GiB = 1024.0 * 1024.0 * 1024.0;
    EXPECT_NEAR(status.ullTotalPhys / GiB, total, 0.05);
    EXPECT_NEAR(status.ullAvailPhys / GiB, available, 0.5) << "read a moment apart";
    EXPECT_NEAR(status.dwMemoryLoad, percent, 2);
    const RECT ram = ScreenRect(app.ram), shown = ScreenRect(tip);
    EXPECT_TRUE(std::abs(shown.left - ram.left - 81) <= 5 &&
                std::abs(shown.top - ram.top - 32) <= 2)
        << "20 pixels under the pointer, not at " << shown;
    EXPECT_EQ(front, GetForegroundWindow()) << "the tip takes nothing";
    PointAt(app.ram, 83, 400);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(tip); }));
    PointAt(app.ram, 79, 13);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(tip); })) << "back";
    ASSERT_TRUE(app.OpenMenu(app.ram));
    EXPECT_FALSE(IsWindowVisible(tip)) << "the menu hides it";
    app.PostClose();
    EXPECT_EQ(0, app.WaitExit());
}

// Since when, and who: a busy process and one that holds a gigabyte,
// started first, lead the tips of the figures they weigh on, read from
// outside; one processor is near full; the CPU tip's chart, below its
// text, has two ticks in the gauge colour.
TEST(Story, SinceWhenAndWho) {
    VG_WINE_ONLY("rests the pointer with xdotool; Wine lists its own processes");
    DeleteKey();
    ChildProcess spinner, holder;
    ASSERT_TRUE(spinner.Start(BuildDir() + L"\\vg-spinner.exe") &&
                holder.Start(BuildDir() + L"\\vg-holder.exe", L"hold"));
    // The processor figure from the system's times, which Wine keeps live.
    const wchar_t overrides[] = L"Software\\Wine\\AppDefaults\\VitalGauge.exe\\DllOverrides";
    SetValue(L"pdh", REG_SZ, L"", 2, overrides);
    VitalGauge app;
    const bool started = app.Start();
    RegDeleteTreeW(HKEY_CURRENT_USER, overrides);
    ASSERT_TRUE(started);
    HWND tip = nullptr;
    std::wstring text;
    // The leader: the first process line, right after the line that starts
    // with `above`.
    auto hover = [&](HWND widget, const wchar_t* above, const std::wstring& leader) {
        PointAt(widget, 80, 12);  // the ring's top: drawn at any load
        return WaitUntil(
            [&] {
                tip = FindProcessWindow(app.process.Id(), L"tooltips_class32", true);
                text = tip ? TextOf(tip) : L"";
                const size_t line = text.find(above);
                if (line == std::wstring::npos) return false;
                const size_t next = text.find(L"\r\n", line + 2);
                return next != std::wstring::npos &&
                       text.compare(next + 2, leader.size(), leader) == 0;
            },
            30000);
    };
    for (HWND widget : {app.ram, app.swap})
        EXPECT_TRUE(hover(widget, L"\r\nLast 1 min: low ", L"vg-holder.exe  1.")) << text;
    ASSERT_TRUE(hover(app.cpu, L"\r\nBusiest processor: ", L"vg-spinner.exe  ")) << text;
    int busiest = 0;
    EXPECT_EQ(1, swscanf(text.c_str() + text.find(L"Busiest"), L"Busiest processor: %d", &busiest));
    EXPECT_GE(busiest, 80) << text;
    // The chart: 60 pixels high, above the processors' bars (12), each with
    // 6 of padding; both in the gauge colour. The newest reading is at the
    // chart's right edge, ten minutes ago at its left, empty there but for
    // the line at 50 %; the busy processor's bar is full.
    RECT area = {}, chart = {};
    const COLORREF gauge = RGB(0, 0x96, 0x88);
    EXPECT_TRUE(WaitUntil(
        [&] {  // the tip grows with its text
            area = ClientScreenRect(tip);
            chart = {area.left + 6, area.bottom - 84, area.right - 6, area.bottom - 24};
            return ColumnsIn(chart, gauge) >= 4;
        },
        30000));
    EXPECT_EQ(1, ColumnsIn({chart.right - 3, chart.top, chart.right - 2, chart.bottom}, gauge));
    HDC screen = GetDC(nullptr);
    const COLORREF midline = GetPixel(screen, chart.left + 5, chart.top + 30),
                   track = GetPixel(screen, chart.left + 5, chart.top + 26);
    ReleaseDC(nullptr, screen);
    EXPECT_NE(track, midline);
    EXPECT_GE(ColumnsIn({chart.left, area.bottom - 18, chart.left + 26, area.bottom - 6}, gauge),
              10);
    app.PostClose();
    EXPECT_EQ(0, app.WaitExit());
}

// Without pdh.dll the processor figure comes from the system times, and
// is shown. Without gdiplus.dll nothing can be drawn: the user is told.
TEST(Story, StartsWithoutASystemDll) {
    VG_WINE_ONLY("takes the DLLs away through Wine's per-program DLL overrides");
    const wchar_t overrides[] = L"Software\\Wine\\AppDefaults\\VitalGauge.exe\\DllOverrides";
    for (auto [dll, draws] : {std::pair{L"pdh", true}, {L"gdiplus", false}}) {
        DeleteKey();
        SetValue(dll, REG_SZ, L"", 2, overrides);  // Wine loads no such DLL for the program
        VitalGauge app;
        HWND box = nullptr;
        const bool started =
            draws ? app.Start()
                  : app.process.Start(BuildDir() + L"\\VitalGauge.exe") && WaitUntil([&] {
                        return (box = FindProcessWindow(app.process.Id(), L"#32770", true));
                    });
        RegDeleteTreeW(HKEY_CURRENT_USER, overrides);  // read at start; later stories need both
        ASSERT_TRUE(started);
        if (draws) {
            EXPECT_TRUE(WaitForCpuDot());
            app.PostClose();
        } else {
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        EXPECT_EQ(draws ? 0 : 1, app.WaitExit());
    }
}

struct Hostile {
    DWORD type;
    std::string bytes;
};

std::string Of(std::initializer_list<int> words) {
    return std::string(reinterpret_cast<const char*>(words.begin()), 4 * words.size());
}

enum class Ending { CloseMessage, AltF4OnRam, CloseSwap };

// Whatever the settings hold, three widgets show with their corner on a work
// area, and the program ends whole with 0: through the close message without
// a save, through Alt+F4 on a clicked widget or a widget's WM_CLOSE with
// eleven well-formed values.
void HostileRound(const std::vector<Hostile>& values, Ending ending) {
    // Skips this round only: the others run, and the story is listed as skipped.
    if (ending == Ending::AltF4OnRam) VG_WINE_ONLY("its Alt+F4 round clicks with xdotool");
    DeleteKey();
    for (int i = 0; i < 11; ++i)
        if (values[i].type != REG_NONE)
            SetValue(kValues[i], values[i].type, values[i].bytes.data(),
                     static_cast<DWORD>(values[i].bytes.size()));
    const RegSnapshot before = ReadKey();
    VitalGauge app;
    ASSERT_TRUE(app.Start());
    for (HWND w : {app.cpu, app.ram, app.swap}) {
        const POINT corner = {ScreenRect(w).left, ScreenRect(w).top};
        MONITORINFO info = {sizeof info, {}, {}, 0};
        GetMonitorInfoW(MonitorFromPoint(corner, MONITOR_DEFAULTTONEAREST), &info);
        EXPECT_TRUE(IsWindowVisible(w) && PtInRect(&info.rcWork, corner)) << ScreenRect(w);
    }
    if (ending == Ending::CloseMessage) app.PostClose();
    if (ending == Ending::CloseSwap) PostMessageW(app.swap, WM_CLOSE, 0, 0);
    if (ending == Ending::AltF4OnRam) {
        PointAt(app.ram, 80, 12);  // the ring's top: a drawn pixel takes the click
        Sh("xdotool click 1");
        Keys("alt+F4");
    }
    EXPECT_EQ(0, app.WaitExit());
    EXPECT_TRUE(ending == Ending::CloseMessage ? before == ReadKey() : ElevenWellFormed(ReadKey()));
}

TEST(Story, HostileSettings) {
    const std::string text("\x41\x00\x42\x00\x00\x00", 6), big(65536, '\x7f');
    const std::vector<std::vector<Hostile>> rounds = {
        std::vector<Hostile>(11, {REG_SZ, text}),
        std::vector<Hostile>(11, {REG_BINARY, big}),
        {{REG_BINARY, Of({300, 300, 100, 100})},
         {REG_BINARY, Of({INT_MIN, INT_MIN, INT_MAX, INT_MAX})},
         {REG_BINARY, Of({90000, -90000, 90160, -89840})},
         {REG_DWORD, Of({0})},
         {REG_DWORD, Of({-1})},
         {REG_DWORD, Of({0})},
         {REG_QWORD, Of({1, 2})},
         {REG_NONE, ""},
         {REG_BINARY, "\x01"},
         {REG_BINARY, "\x10"},
         {REG_DWORD, Of({100000})}}};
    for (size_t r = 0; r < rounds.size(); ++r) HostileRound(rounds[r], static_cast<Ending>(r));
}

}  // namespace
