// The real program on the stand-in desktop shell. Wine does not draw a window
// inside another process's window, so this reads the window tree, not pixels.
#include "tests/support/harness.h"

#include <gtest/gtest.h>

using namespace vgtest;

namespace {

const wchar_t* const kPlaces[3] = {L"WindowPos", L"WindowPos2", L"WindowPos3"};

void ExpectAttachedUnder(const Widgets& w, HWND parent, const char* where) {
    for (HWND widget : {w.cpu, w.ram, w.swap}) {
        EXPECT_EQ(parent, ParentOf(widget)) << where;
        EXPECT_TRUE(IsWindowVisible(widget)) << where << ": every window above it shown";
        EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_VISIBLE), GetWindowLongW(widget, GWL_STYLE));
        EXPECT_EQ(WS_EX_LAYERED | WS_EX_TOOLWINDOW,
                  GetWindowLongW(widget, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TOOLWINDOW |
                                                         WS_EX_TRANSPARENT));
    }
}

bool AllUnder(const Widgets& w, HWND parent) {
    return ParentOf(w.cpu) == parent && ParentOf(w.ram) == parent && ParentOf(w.swap) == parent;
}

// As the system announces a change: to every top-level window, not to a widget.
void ChangeIcons(DWORD hidden) {
    SetDword(L"HideIcons", hidden, kExplorerAdvancedKey);
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ShellState"),
                        SMTO_NORMAL, 15000, nullptr);
}

// A move that ends as a drag ends; x and y on the screen.
void MoveTo(HWND widget, int x, int y) {
    POINT at = {x, y};
    MapWindowPoints(nullptr, ParentOf(widget), &at, 1);
    SetWindowPos(widget, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(widget, WM_EXITSIZEMOVE, 0, 0);
}

// Icons hidden at start, then shown and hidden again through broadcasts; a
// move on a desktop at (0,0) is stored as it stands; WM_CLOSE ends it all.
TEST(DesktopStory, FollowsBroadcastIconSettingAndClosesOnWmClose) {
    DeleteKey();
    SetDword(L"HideIcons", 1, kExplorerAdvancedKey);
    ShellFixture shell;
    ASSERT_TRUE(shell.Start());
    VitalGauge app;
    ASSERT_TRUE(app.Start());
    const HWND view = shell.Window(L"SHELLDLL_DefView"), list = shell.Window(L"SysListView32");
    EXPECT_FALSE(IsWindowVisible(list));
    ExpectAttachedUnder(app.windows, view, "icons hidden: straight into the view");
    EXPECT_EQ("", shell.Log()) << "no worker request while the icons are hidden";

    const struct {
        DWORD hidden;
        HWND parent;
        const char* where;
    } changes[] = {{0, list, "icons shown: under the icon list"},
                   {1, view, "icons hidden again: out of the hidden list"}};
    for (const auto& c : changes) {
        ChangeIcons(c.hidden);
        EXPECT_TRUE(WaitUntil([&] { return AllUnder(app.windows, c.parent); })) << c.where;
        ASSERT_TRUE(app.WaitIdle());
        ExpectAttachedUnder(app.windows, c.parent, c.where);
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

// Another program's top-level "WorkerW" that holds a view, above the shell.
void CreateDecoy() {
    for (const wchar_t* name : {L"WorkerW", L"SHELLDLL_DefView"}) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = name;
        RegisterClassW(&wc);
    }
    HWND holder = CreateWindowExW(0, L"WorkerW", L"", WS_POPUP, 0, 0, 99, 99, nullptr, nullptr,
                                  nullptr, nullptr);
    CreateWindowExW(0, L"SHELLDLL_DefView", L"", WS_CHILD, 0, 0, 9, 9, holder, nullptr, nullptr,
                    nullptr);
}

// The view lives in the shell's worker window, made by an earlier request or
// by ours; only the shell's own holder may take the widgets.
TEST(DesktopStory, FindsTheShellsViewInItsWorkerWindow) {
    const struct {
        DWORD hidden;
        const wchar_t* options;
        const wchar_t* parent;
    } cases[] = {{1, L"--in-worker", L"SHELLDLL_DefView"}, {0, L"--move-view", L"SysListView32"}};
    CreateDecoy();  // the shell's windows go to the bottom, under it
    for (const auto& c : cases) {
        DeleteKey();
        SetDword(L"HideIcons", c.hidden, kExplorerAdvancedKey);
        ShellFixture shell;
        ASSERT_TRUE(shell.Start(c.options));
        VitalGauge app;
        ASSERT_TRUE(app.Start());
        const HWND view = shell.Window(L"SHELLDLL_DefView");
        EXPECT_EQ(shell.Window(L"WorkerW"), ParentOf(view));
        ExpectAttachedUnder(app.windows, shell.Window(c.parent), "in the shell's worker window");
        app.PostClose();
        EXPECT_EQ(0, app.WaitExit());
    }
}

// A monitor left of the primary puts the desktop's corner at (-1280, 0), so
// the shell's coordinates are not the screen's. The shell then restarts
// under the running widgets.
TEST(DesktopStory, KeepsScreenPlacesOnAnOffsetDesktopAndThroughAShellRestart) {
    DeleteKey();
    SetDword(L"HideIcons", 0, kExplorerAdvancedKey);
    const RECT stored[3] = {{300, 200, 460, 360}, {500, 200, 660, 360}, {700, 200, 860, 360}};
    for (int i = 0; i < 3; ++i) SetRect(kPlaces[i], stored[i]);
    SetDword(L"ramProgressColor", 0xFF123456);
    ShellFixture shell;
    ASSERT_TRUE(shell.Start(L"--origin=-1280,0"));
    VitalGauge app;
    ASSERT_TRUE(app.Start());
    HWND* widgets[3] = {&app.windows.cpu, &app.windows.ram, &app.windows.swap};
    for (int i = 0; i < 3; ++i) {
        const RECT r = ScreenRect(*widgets[i]);
        EXPECT_EQ(stored[i].left, r.left) << "widget " << i;
        EXPECT_EQ(stored[i].top, r.top) << "widget " << i;
    }
    MoveTo(app.windows.cpu, 400, 500);
    RECT before[3];
    for (int i = 0; i < 3; ++i) {
        before[i] = ScreenRect(*widgets[i]);
        EXPECT_EQ(before[i], RectIn(ReadKey(), kPlaces[i])) << "saved as on the screen";
    }
    EXPECT_EQ(400, before[0].left);

    shell.process.Kill();
    ASSERT_TRUE(shell.Start(L"--origin=-1280,0"));
    const HWND list = shell.Window(L"SysListView32");
    const DWORD pid = app.process.Id();
    ASSERT_TRUE(WaitUntil([&] {
        app.windows.cpu = FindProcessWindow(pid, L"CPUVitalGaugeClass");
        app.windows.ram = FindProcessWindow(pid, L"RAMVitalGaugeClass");
        app.windows.swap = FindProcessWindow(pid, L"SwapVitalGaugeClass");
        return AllUnder(app.windows, list);
    })) << "the widgets come back with the new shell";
    ASSERT_TRUE(app.WaitIdle());
    ExpectAttachedUnder(app.windows, list, "with the new shell");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(before[i], ScreenRect(*widgets[i])) << "widget " << i;
    const RegSnapshot key = ReadKey();
    EXPECT_TRUE(ElevenWellFormed(key));
    EXPECT_EQ(0xFF123456u, DwordIn(key, L"ramProgressColor"));
    app.PostClose();
    EXPECT_EQ(0, app.WaitExit());
}

}  // namespace
