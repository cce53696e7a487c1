// What the desktop can do to a running program: take its shell away, end it
// in the middle of a drag or a menu, or start it twice. Each time the
// process ends with exit code 0 and the key stays whole.

#include "tests/e2e/settings_support.h"
#include "tests/support/desktop_shell.h"

using namespace settingstest;

namespace {

const RECT kPlaces[3] = {{100, 100, 260, 260}, {100, 400, 260, 560}, {500, 100, 660, 260}};
constexpr std::uint32_t kChart = 2;
constexpr std::uint32_t kCpuGauge = 0xFF3050A0;

void WriteKnownSettings() {
    DeleteSettingsKey();
    for (int w = 0; w < 3; ++w) WriteSettingsRect(RectNames()[w], kPlaces[w]);
    WriteSettingsDword(L"chartTypeValue", kChart);
    WriteSettingsDword(L"cpuProgressColor", kCpuGauge);
}

class Faults : public ::testing::Test {
protected:
    void SetUp() override { WriteKnownSettings(); }
    void TearDown() override {
        RunHostCommand("xdotool mouseup 1 key Escape");
        if (app.process.Running()) app.PostClose();
        app.WaitExit(10000);
    }
    void StartApp(VitalGauge& which) {
        ASSERT_TRUE(which.Start());
        ASSERT_TRUE(which.WaitForWidgets()) << "widgets did not appear";
    }
    // A save the test made on purpose: the end of a move of the CPU widget.
    RegSnapshot SaveNow() {
        DWORD_PTR result = 1;
        EXPECT_TRUE(SendMessageTimeoutW(app.windows.cpu, WM_EXITSIZEMOVE, 0, 0, SMTO_NORMAL, 5000,
                                        &result));
        const RegSnapshot key = ReadSettingsKey();
        ExpectElevenWellFormedValues(key);
        return key;
    }
    void ExpectEndsWithCodeZero(VitalGauge& which, DWORD timeoutMs) {
        DWORD code = 1234;
        ASSERT_TRUE(which.WaitExit(timeoutMs, &code)) << "process did not end";
        EXPECT_EQ(0u, code);
    }

    HideIconsSetting hideIcons;  // restored after the test
    ShellFixture shell;          // declared before the program's record: ends last
    VitalGauge app;
};

// The shell's windows are the widgets' parents, so when the shell goes its
// windows take the widgets with them. That ends the program as "Exit" does:
// it saves what it still can and ends with code 0; a widget already gone
// keeps its last saved place, and the next start shows all three again.
class ShellEnding : public Faults {
protected:
    void EndShellAndCheck(bool crash);
};

TEST_F(ShellEnding, ShellCrashTakesTheWidgetsAndTheNextStartBringsThemBack) {
    EndShellAndCheck(true);
}

TEST_F(ShellEnding, ShellQuittingTakesTheWidgetsAndTheNextStartBringsThemBack) {
    EndShellAndCheck(false);
}

void ShellEnding::EndShellAndCheck(bool crash) {
    ASSERT_TRUE(hideIcons.RemoveKey());
    ASSERT_TRUE(shell.Start());
    StartApp(app);
    if (HasFatalFailure()) return;
    const HWND list = shell.Window(L"SysListView32");
    for (HWND w : WidgetWindows(app)) ASSERT_EQ(list, ParentOf(w));
    const RegSnapshot saved = SaveNow();

    if (crash) {
        shell.process.Kill();  // as when the shell crashes or is killed to restart it
    } else {
        PostMessageW(shell.Window(L"Progman"), WM_CLOSE, 0, 0);  // it ends its own loop
        ASSERT_TRUE(shell.process.WaitExit(10000));
    }
    ExpectEndsWithCodeZero(app, 20000);
    if (HasFatalFailure()) return;

    const RegSnapshot key = ReadSettingsKey();
    ExpectElevenWellFormedValues(key);
    for (const std::wstring& name : DwordNames())
        EXPECT_EQ(saved.at(name), key.at(name)) << Narrow(name);
    for (int w = 0; w < 3; ++w) {
        const RECT r = RectIn(key, RectNames()[w]);
        EXPECT_TRUE(SameRect(kPlaces[w], r)) << "widget " << w << " saved as " << Show(r);
    }

    // Without a shell, the next start shows the widgets where they were.
    VitalGauge next;
    StartApp(next);
    if (HasFatalFailure()) return;
    const std::vector<HWND> widgets = WidgetWindows(next);
    for (int w = 0; w < 3; ++w) {
        const RECT shown = ScreenRect(widgets[w]);
        EXPECT_TRUE(IsWindowVisible(widgets[w]));
        EXPECT_TRUE(InsideSomeWorkArea({shown.left, shown.top})) << Show(shown);
        EXPECT_EQ(kPlaces[w].left, shown.left) << "widget " << w;
        EXPECT_EQ(kPlaces[w].top, shown.top) << "widget " << w;
    }
    EndWithCloseMessage(next);
}

// The close message reaches the listener while the system's move loop runs
// on the program's only thread.
TEST_F(Faults, CloseMessageDuringADragEndsTheProcessAndKeepsTheLastSave) {
    StartApp(app);
    if (HasFatalFailure()) return;
    const RegSnapshot saved = SaveNow();
    const RECT r = ScreenRect(app.windows.cpu);
    const POINT dot = {(r.left + r.right) / 2, r.top + 12};  // the gauge's dot at 12 o'clock
    SetCursorPos(dot.x, dot.y);
    ASSERT_EQ(0, RunHostCommand("xdotool mousemove " + std::to_string(dot.x) + " " +
                                std::to_string(dot.y) + " mousedown 1"));
    PostMessageW(app.windows.cpu, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, MAKELPARAM(dot.x, dot.y));
    ASSERT_EQ(0, RunHostCommand("sleep 0.3; xdotool mousemove " + std::to_string(dot.x + 120) +
                                " " + std::to_string(dot.y + 150) + " sleep 0.3"));
    ASSERT_TRUE(WaitUntil([&] { return ScreenRect(app.windows.cpu).left == r.left + 120; }, 3000))
        << "the drag did not start: " << Show(ScreenRect(app.windows.cpu));

    app.PostClose();
    ExpectEndsWithCodeZero(app, 10000);
    RunHostCommand("xdotool mouseup 1");
    EXPECT_EQ(saved, ReadSettingsKey()) << "the close message must not save";
}

TEST_F(Faults, CloseMessageDuringAnOpenMenuEndsTheProcessAndKeepsTheLastSave) {
    StartApp(app);
    if (HasFatalFailure()) return;
    const RegSnapshot saved = SaveNow();
    // Moved by someone else after that save: any later save would show it.
    SetWindowPos(app.windows.swap, nullptr, 333, 444, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const RECT r = ScreenRect(app.windows.ram);
    const int x = r.left + 20, y = r.top + 20;
    RunHostCommand("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
    PostMessageW(app.windows.ram, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(x, y));
    ASSERT_TRUE(WaitUntil(
        [&] {
            HWND menu = FindProcessWindow(app.process.Id(), L"#32768");
            return menu && IsWindowVisible(menu);
        },
        5000))
        << "the menu did not open";

    app.PostClose();
    ExpectEndsWithCodeZero(app, 10000);
    EXPECT_EQ(saved, ReadSettingsKey()) << "the close message must not save";
}

// Nothing stops a second start: both run, each saves in full on its way out,
// and whichever writes last leaves a whole set.
TEST_F(Faults, TwoInstancesStartedAtOnceLeaveAWholeKey) {
    VitalGauge second;
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(WaitUntil(
        [&] {
            return FindProcessWindow(app.process.Id(), L"SwapVitalGaugeClass") &&
                   FindProcessWindow(second.process.Id(), L"SwapVitalGaugeClass");
        },
        15000));
    ASSERT_TRUE(app.WaitForWidgets());
    ASSERT_TRUE(second.WaitForWidgets());
    // Both end through their CPU widgets at the same moment, saving at once.
    PostMessageW(app.windows.cpu, WM_CLOSE, 0, 0);
    PostMessageW(second.windows.cpu, WM_CLOSE, 0, 0);
    ExpectEndsWithCodeZero(app, 10000);
    ExpectEndsWithCodeZero(second, 10000);

    const RegSnapshot key = ReadSettingsKey();
    ExpectElevenWellFormedValues(key);
    EXPECT_EQ(kChart, DwordIn(key, L"chartTypeValue"));
    EXPECT_EQ(kCpuGauge, DwordIn(key, L"cpuProgressColor"));
    for (int w = 0; w < 3; ++w)
        EXPECT_TRUE(SameRect(kPlaces[w], RectIn(key, RectNames()[w])))
            << "widget " << w << " saved as " << Show(RectIn(key, RectNames()[w]));
}

}  // namespace
