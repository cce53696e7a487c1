// The real program on the stand-in desktop shell, whose view comes late at
// the first start and again after it restarts under the program. Wine
// removes the widgets with the shell's windows without a message, so this
// is the path the program takes when the shell's process ends. A polite end
// (taskkill) ends it all.
#include "tests/support/harness.h"

#include <gtest/gtest.h>

using namespace vgtest;

TEST(DesktopStory, TheShellRestartsUnderTheWidgets) {
    VG_WINE_ONLY("the stand-in shell cannot stand in beside a running Explorer");
    DeleteKey();
    SetDword(L"HideIcons", 0, kExplorerAdvancedKey);
    const RECT place = {500, 200, 660, 360};
    SetRect(L"WindowPos2", place);
    ShellFixture shell;
    ASSERT_TRUE(shell.Start(L"--origin=-1280,0 --view-after=1500"));
    VitalGauge app;
    ASSERT_TRUE(app.Start());
    EXPECT_TRUE(ParentOf(app.ram) != GetDesktopWindow() || Above(app.ram, shell.Window(L"Progman")))
        << "until the view comes, above the shell's desktop window";
    EXPECT_TRUE(WaitUntil([&] { return ParentOf(app.ram) == shell.Window(L"SysListView32"); }))
        << "attached once the view is there";

    ASSERT_TRUE(app.WaitIdle());  // done attaching
    DeleteKey();
    shell.process.Kill();
    EXPECT_TRUE(WaitUntil([] { return ElevenWellFormed(ReadKey()); }))
        << "saved as the shell's process ends, before any new shell";
    ASSERT_TRUE(shell.Start(L"--origin=-1280,0 --view-after=1500"));
    ASSERT_TRUE(WaitUntil([&] {
        return app.FindWindows() && ParentOf(app.ram) == shell.Window(L"SysListView32");
    })) << "the widgets come back with the new shell";
    ASSERT_TRUE(app.WaitIdle());
    EXPECT_EQ(place, ScreenRect(app.ram));
    DeleteKey();
    ChildProcess taskkill;  // without /F: WM_CLOSE to the top-level windows, the listener's
    ASSERT_TRUE(taskkill.Start(L"taskkill.exe", L"/PID " + std::to_wstring(app.process.Id())));
    EXPECT_EQ(0, app.WaitExit());
    EXPECT_EQ(place, RectIn(ReadKey(), L"WindowPos2"));
    EXPECT_TRUE(ElevenWellFormed(ReadKey())) << "saved as by Exit";
}
