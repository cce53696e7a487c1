// The real program on the stand-in desktop shell. Wine does not draw a window
// inside another process's window, so this reads the window tree, not pixels.
#include "tests/support/harness.h"

#include <gtest/gtest.h>

using namespace vgtest;

namespace {

bool AllUnder(const Widgets& w, HWND parent) {
    return ParentOf(w.cpu) == parent && ParentOf(w.ram) == parent && ParentOf(w.swap) == parent;
}

void ExpectAttachedUnder(const Widgets& w, HWND parent, const char* where) {
    EXPECT_TRUE(AllUnder(w, parent)) << where;
    for (HWND widget : {w.cpu, w.ram, w.swap}) {
        EXPECT_TRUE(IsWindowVisible(widget)) << where << ": every window above it shown";
        EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_VISIBLE), GetWindowLongW(widget, GWL_STYLE));
        EXPECT_EQ(WS_EX_LAYERED | WS_EX_TOOLWINDOW,
                  GetWindowLongW(widget, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT));
    }
}

// A move that ends as a drag ends; x and y on the screen.
void MoveTo(HWND widget, int x, int y) {
    POINT at = {x, y};
    MapWindowPoints(nullptr, ParentOf(widget), &at, 1);
    SetWindowPos(widget, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(widget, WM_EXITSIZEMOVE, 0, 0);
}

// Icons hidden at start, then shown and hidden again as the system announces
// it (to top-level windows, not to a widget); WM_CLOSE saves and ends.
TEST(DesktopStory, FollowsTheIconSettingAndClosesOnWmClose) {
    DeleteKey();
    SetDword(L"HideIcons", 1, kExplorerAdvancedKey);
    ShellFixture shell;
    ASSERT_TRUE(shell.Start());
    VitalGauge app;
    ASSERT_TRUE(app.Start());
    const HWND view = shell.Window(L"SHELLDLL_DefView"), list = shell.Window(L"SysListView32");
    ExpectAttachedUnder(app.windows, view, "icons hidden: straight into the view");
    EXPECT_EQ("", shell.Log()) << "no worker request while the icons are hidden";
    for (auto [hidden, parent] : {std::pair{0, list}, {1, view}}) {
        SetDword(L"HideIcons", hidden, kExplorerAdvancedKey);
        SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ShellState"),
                            SMTO_NORMAL, 15000, nullptr);
        EXPECT_TRUE(WaitUntil([&, parent = parent] { return AllUnder(app.windows, parent); })) << hidden;
        ASSERT_TRUE(app.WaitIdle());
        ExpectAttachedUnder(app.windows, parent, hidden ? "hidden again: the view" : "shown: the icon list");
    }
    EXPECT_EQ(0u, shell.Log().find("052C 0 0\n"));

    MoveTo(app.windows.ram, 333, 222);
    const RECT ram = ScreenRect(app.windows.ram);
    EXPECT_EQ(ram, RectIn(ReadKey(), L"WindowPos2")) << "a desktop at (0,0) stores what it did";
    SetRect(L"WindowPos2", {1, 2, 3, 4});
    PostMessageW(app.windows.cpu, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, app.WaitExit());
    EXPECT_EQ(ram, RectIn(ReadKey(), L"WindowPos2")) << "WM_CLOSE saves";
}

// The view lives in the shell's worker window; another program's "WorkerW"
// holding a view, above the shell, must not take the widgets.
TEST(DesktopStory, FindsTheShellsViewInItsWorkerWindow) {
    for (const wchar_t* name : {L"WorkerW", L"SHELLDLL_DefView"}) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = name;
        RegisterClassW(&wc);
    }
    HWND decoy = CreateWindowW(L"WorkerW", L"", WS_POPUP, 0, 0, 99, 99, nullptr, nullptr, nullptr, nullptr);
    CreateWindowW(L"SHELLDLL_DefView", L"", WS_CHILD, 0, 0, 9, 9, decoy, nullptr, nullptr, nullptr);
    for (auto [hidden, options, parent] : {std::tuple{1, L"--in-worker", L"SHELLDLL_DefView"},
                                           {0, L"--move-view", L"SysListView32"}}) {
        DeleteKey();
        SetDword(L"HideIcons", hidden, kExplorerAdvancedKey);
        ShellFixture shell;
        ASSERT_TRUE(shell.Start(options));
        VitalGauge app;
        ASSERT_TRUE(app.Start());
        EXPECT_EQ(shell.Window(L"WorkerW"), ParentOf(shell.Window(L"SHELLDLL_DefView")));
        ExpectAttachedUnder(app.windows, shell.Window(parent), "in the shell's worker window");
        app.PostClose();
        EXPECT_EQ(0, app.WaitExit());
    }
}

// A monitor left of the primary puts the desktop's corner at (-1280, 0): the
// shell's coordinates are not the screen's. Then the shell restarts under
// the running widgets, and they come back where they were.
TEST(DesktopStory, KeepsScreenPlacesOnAnOffsetDesktopAndThroughAShellRestart) {
    DeleteKey();
    SetDword(L"HideIcons", 0, kExplorerAdvancedKey);
    const wchar_t* const names[3] = {L"WindowPos", L"WindowPos2", L"WindowPos3"};
    for (int i = 0; i < 3; ++i) SetRect(names[i], {300 + 200 * i, 200, 460 + 200 * i, 360});
    SetDword(L"ramProgressColor", 0xFF123456);
    ShellFixture shell;
    ASSERT_TRUE(shell.Start(L"--origin=-1280,0"));
    VitalGauge app;
    ASSERT_TRUE(app.Start());
    auto widget = [&](int i) { return i == 0 ? app.windows.cpu : i == 1 ? app.windows.ram : app.windows.swap; };
    MoveTo(app.windows.cpu, 400, 500);
    RECT before[3];
    for (int i = 0; i < 3; ++i) {
        before[i] = ScreenRect(widget(i));
        EXPECT_EQ(i ? 300 + 200 * i : 400, before[i].left) << "widget " << i;
        EXPECT_EQ(i ? 200 : 500, before[i].top) << "widget " << i;
        EXPECT_EQ(before[i], RectIn(ReadKey(), names[i])) << "saved as on the screen";
    }

    shell.process.Kill();
    ASSERT_TRUE(shell.Start(L"--origin=-1280,0"));
    const HWND list = shell.Window(L"SysListView32");
    ASSERT_TRUE(WaitUntil([&] { return app.FindWindows() && AllUnder(app.windows, list); }))
        << "the widgets come back with the new shell";
    ASSERT_TRUE(app.WaitIdle());
    ExpectAttachedUnder(app.windows, list, "with the new shell");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(before[i], ScreenRect(widget(i))) << "widget " << i;
    EXPECT_TRUE(ElevenWellFormed(ReadKey()));
    EXPECT_EQ(0xFF123456u, DwordIn(ReadKey(), L"ramProgressColor"));
    app.PostClose();
    EXPECT_EQ(0, app.WaitExit());
}

}  // namespace
