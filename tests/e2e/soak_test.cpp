// Long running and desktop faults on the real program: memory across many
// ticks, storms of change messages, a shell that goes away, the close
// message in the middle of a drag or a menu, and two instances at once.
// The tick count of the soak can be raised from outside (VG_SOAK_TICKS);
// tools/bench runs it with the full count.

#include "tests/e2e/settings_support.h"
#include "tests/support/desktop_shell.h"

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace settingstest;

namespace {

constexpr SIZE_T kFlatBytes = 256 * 1024;

SIZE_T PagefileBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!K32GetProcessMemoryInfo(process, &counters, sizeof(counters))) return 0;
    return counters.PagefileUsage;
}

int SoakTicks() {
    char text[16] = {};
    const DWORD length = GetEnvironmentVariableA("VG_SOAK_TICKS", text, sizeof(text));
    const int n = length > 0 && length < sizeof(text) ? std::atoi(text) : 0;
    return n > 0 ? n : 3000;
}

// One forced tick with its paints: the tick invalidates the three widgets,
// and each round trip below ends in a later pass of the program's loop, so
// after four of them the three paints have run.
bool ForcedTick(HWND cpu) {
    if (!PostMessageW(cpu, WM_TIMER, 3001, 0)) return false;
    for (int i = 0; i < 4; ++i) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(cpu, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result)) return false;
    }
    return true;
}

double KiB(long long bytes) { return static_cast<double>(bytes) / 1024.0; }

long long Growth(SIZE_T before, SIZE_T after) {
    return static_cast<long long>(after) - static_cast<long long>(before);
}

void PlaceApart() {
    WriteSettingsRect(L"WindowPos", {100, 100, 260, 260});
    WriteSettingsRect(L"WindowPos2", {100, 400, 260, 560});
    WriteSettingsRect(L"WindowPos3", {500, 100, 820, 260});
}

class Soak : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteSettingsKey();
        PlaceApart();
    }
    void TearDown() override {
        if (app.process.Running()) app.PostClose();
        app.WaitExit(10000);
    }
    void StartApp() {
        ASSERT_TRUE(app.Start());
        ASSERT_TRUE(app.WaitForWidgets()) << "widgets did not appear";
    }

    VitalGauge app;
};

// Every chart style in turn: a leak in any painter would show in its run.
TEST_F(Soak, ForcedTicksWithTheirPaintsLeaveMemoryFlat) {
    const int perStyle = (SoakTicks() + 2) / 3;
    for (std::uint32_t style = 1; style <= 3; ++style) {
        SCOPED_TRACE("chart style " + std::to_string(style));
        WriteSettingsDword(L"chartTypeValue", style);
        StartApp();
        if (HasFatalFailure()) return;
        // Warm up: the first ticks open caches inside the system libraries.
        for (int i = 0; i < 300; ++i) ASSERT_TRUE(ForcedTick(app.windows.cpu));
        ASSERT_TRUE(app.WaitIdle());
        const SIZE_T before = PagefileBytes(app.process.Handle());
        ASSERT_NE(0u, before);
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < perStyle; ++i) ASSERT_TRUE(ForcedTick(app.windows.cpu)) << "tick " << i;
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        ASSERT_TRUE(app.WaitIdle());
        const SIZE_T after = PagefileBytes(app.process.Handle());
        std::printf("[soak] style %u: %d ticks, %.3f ms per tick with paints, "
                    "pagefile %.1f -> %.1f KiB (%+.1f KiB)\n",
                    style, perStyle, ms / perStyle, KiB(static_cast<long long>(before)),
                    KiB(static_cast<long long>(after)), KiB(Growth(before, after)));
        EXPECT_LT(Growth(before, after), static_cast<long long>(kFlatBytes));
        for (HWND w : WidgetWindows(app)) EXPECT_TRUE(IsWindowVisible(w));
        EndWithCloseMessage(app);
        if (HasFatalFailure()) return;
    }
}

class DesktopSoak : public Soak {
protected:
    HideIconsSetting hideIcons;  // restored after the test
    ShellFixture shell;          // declared before the program's record: ends last
};

TEST_F(DesktopSoak, ChangeStormsLeaveEveryWidgetAttachedVisibleInPlaceAndMemoryFlat) {
    ASSERT_TRUE(hideIcons.RemoveKey());
    ASSERT_TRUE(shell.Start());
    StartApp();
    const HWND list = shell.Window(L"SysListView32");
    const std::vector<HWND> widgets = WidgetWindows(app);
    RECT places[3];
    for (int w = 0; w < 3; ++w) {
        ASSERT_EQ(list, ParentOf(widgets[w]));
        places[w] = ScreenRect(widgets[w]);
    }

    const UINT storm[] = {WM_SETTINGCHANGE, WM_DISPLAYCHANGE, WM_THEMECHANGED};
    const int rounds = 200;
    SIZE_T before = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < rounds; ++round) {
        for (UINT message : storm) {
            for (HWND w : widgets) {
                DWORD_PTR result = 0;
                ASSERT_TRUE(SendMessageTimeoutW(w, message, 0, 0, SMTO_NORMAL, 10000, &result))
                    << "round " << round;
            }
        }
        if (round == 9) {  // after a warm-up
            ASSERT_TRUE(app.WaitIdle());
            before = PagefileBytes(app.process.Handle());
        }
    }
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count();
    ASSERT_TRUE(app.WaitIdle());
    const SIZE_T after = PagefileBytes(app.process.Handle());
    std::printf("[storm] %d rounds x 3 messages x 3 widgets in %.0f ms, pagefile %+.1f KiB\n",
                rounds, ms, KiB(Growth(before, after)));
    EXPECT_LT(Growth(before, after), static_cast<long long>(kFlatBytes));
    EXPECT_EQ(static_cast<size_t>(3 + rounds * 9), shell.Requests().size())
        << "one request per widget at start, then one per widget and message";
    for (int w = 0; w < 3; ++w) {
        EXPECT_EQ(list, ParentOf(widgets[w])) << "widget " << w;
        EXPECT_TRUE(IsWindowVisible(widgets[w])) << "widget " << w;
        EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_VISIBLE), GetWindowLongW(widgets[w], GWL_STYLE));
        EXPECT_TRUE(SameRect(places[w], ScreenRect(widgets[w])))
            << "widget " << w << " moved to " << Show(ScreenRect(widgets[w]));
    }
    EndWithCloseMessage(app);
}

}  // namespace
