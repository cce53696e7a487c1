// The real program on the stand-in desktop shell. Wine does not draw a window
// inside another process's window, so this reads the window tree, not pixels.
#include "tests/support/harness.h"

#include <gtest/gtest.h>

using namespace vgtest;

namespace {

void ExpectAttachedUnder(const Widgets& w, HWND parent, const char* where) {
    for (HWND widget : {w.cpu, w.ram, w.swap}) {
        EXPECT_EQ(parent, ParentOf(widget)) << where;
        EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_VISIBLE), GetWindowLongW(widget, GWL_STYLE));
        EXPECT_EQ(WS_EX_LAYERED | WS_EX_TOOLWINDOW,
                  GetWindowLongW(widget, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TOOLWINDOW |
                                                         WS_EX_TRANSPARENT));
    }
}

void ChangeIcons(const Widgets& w, DWORD hidden) {
    SetDword(L"HideIcons", hidden, kExplorerAdvancedKey);
    for (HWND widget : {w.cpu, w.ram, w.swap}) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(widget, WM_SETTINGCHANGE, 0, 0, SMTO_NORMAL, 15000, &ignored);
    }
}

// Icons hidden at start, shown later, then the shell dies under the widgets.
TEST(DesktopStory, FollowsTheIconSettingAndEndsWithTheShell) {
    DeleteKey();
    SetDword(L"HideIcons", 1, kExplorerAdvancedKey);
    ShellFixture shell;
    ASSERT_TRUE(shell.Start());
    VitalGauge app;
    ASSERT_TRUE(app.Start());
    const HWND view = shell.Window(L"SHELLDLL_DefView"), list = shell.Window(L"SysListView32");
    EXPECT_EQ(shell.Window(L"Progman"), ParentOf(view));
    ExpectAttachedUnder(app.windows, view, "icons hidden: straight into the view");
    EXPECT_EQ("", shell.Log()) << "no worker request while the icons are hidden";

    ChangeIcons(app.windows, 0);
    ExpectAttachedUnder(app.windows, list, "icons shown: under the icon list");
    EXPECT_EQ(0u, shell.Log().find("052C 0 0\n"));

    // The widgets go with the shell's windows: the program saves what it can
    // still read and ends.
    SetRect(L"WindowPos2", {1, 2, 3, 4});
    shell.process.Kill();
    EXPECT_EQ(0, app.WaitExit());
    const RegSnapshot key = ReadKey();
    EXPECT_EQ(0xFF212121u, DwordIn(key, L"swapTextColor"));
    EXPECT_EQ((RECT{1, 2, 3, 4}), RectIn(key, L"WindowPos2"));
}

// A shell that moves its view into a worker window on request.
TEST(DesktopStory, FindsTheViewInTheWorkerWindow) {
    DeleteKey();
    SetDword(L"HideIcons", 0, kExplorerAdvancedKey);
    ShellFixture shell;
    ASSERT_TRUE(shell.Start(L"--move-view"));
    VitalGauge app;
    ASSERT_TRUE(app.Start());
    const HWND list = shell.Window(L"SysListView32"), view = ParentOf(list);
    wchar_t holder[32] = {};
    GetClassNameW(ParentOf(view), holder, 32);
    EXPECT_STREQ(L"WorkerW", holder);
    ExpectAttachedUnder(app.windows, list, "under the moved icon list");
    app.PostClose();
    EXPECT_EQ(0, app.WaitExit());
}

}  // namespace
