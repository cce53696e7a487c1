// The real program on the stand-in desktop shell, which restarts under it.
// Wine removes the widgets with the shell's windows without a message, so
// this is the path the program takes when the shell's process ends.
#include "tests/support/harness.h"

#include <gtest/gtest.h>

using namespace vgtest;

TEST(DesktopStory, TheShellRestartsUnderTheWidgets) {
    DeleteKey();
    SetDword(L"HideIcons", 0, kExplorerAdvancedKey);
    const RECT place = {500, 200, 660, 360};
    SetRect(L"WindowPos2", place);
    ShellFixture shell;
    ASSERT_TRUE(shell.Start(L"--origin=-1280,0"));
    VitalGauge app;
    ASSERT_TRUE(app.Start());
    EXPECT_EQ(shell.Window(L"SysListView32"), ParentOf(app.ram)) << "attached";
    EXPECT_EQ(1u, ReadKey().size()) << "nothing saved while the shell lives";

    shell.process.Kill();
    ASSERT_TRUE(shell.Start(L"--origin=-1280,0"));
    ASSERT_TRUE(WaitUntil([&] {
        return app.FindWindows() && ParentOf(app.ram) == shell.Window(L"SysListView32");
    })) << "the widgets come back with the new shell";
    ASSERT_TRUE(app.WaitIdle());
    EXPECT_EQ(place, ScreenRect(app.ram));
    EXPECT_EQ(place, RectIn(ReadKey(), L"WindowPos2")) << "stored as it was";
    EXPECT_EQ(0xFF212121u, DwordIn(ReadKey(), L"swapTextColor"))
        << "saved when the shell took them";
    app.PostClose();
    EXPECT_EQ(0, app.WaitExit());
}
