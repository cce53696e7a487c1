// The real program on the stand-in desktop shell. Wine does not draw a window
// inside another process's window, so this reads the window tree, not pixels.
#include "tests/support/harness.h"

#include <gtest/gtest.h>

using namespace vgtest;

namespace {

bool AllUnder(const Widgets& w, HWND parent) {
    return ParentOf(w.cpu) == parent && ParentOf(w.ram) == parent && ParentOf(w.swap) == parent;
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
    // Moved as a drag ends it; x and y on the screen.
    POINT at = {400, 500};
    MapWindowPoints(nullptr, ParentOf(app.windows.cpu), &at, 1);
    SetWindowPos(app.windows.cpu, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(app.windows.cpu, WM_EXITSIZEMOVE, 0, 0);
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
    for (int i = 0; i < 3; ++i) EXPECT_EQ(before[i], ScreenRect(widget(i))) << "widget " << i;
    EXPECT_TRUE(ElevenWellFormed(ReadKey()));
    EXPECT_EQ(0xFF123456u, DwordIn(ReadKey(), L"ramProgressColor"));
    app.PostClose();
    EXPECT_EQ(0, app.WaitExit());
}

}  // namespace
