// The real program on a desktop with the stand-in shell: where its widgets
// end up in the shell's window tree, with which styles, how they follow the
// shell after setting, display and theme changes, and what an unanswering
// shell costs. Wine does not draw a window inside another process's window,
// so everything here is read from the window tree, not from the screen.

#include "tests/support/desktop_shell.h"
#include "tests/support/harness.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace vgtest;

namespace {

long long MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now() - start)
        .count();
}

class DesktopShell : public ::testing::Test {
protected:
    void SetUp() override { DeleteSettingsKey(); }

    std::vector<HWND> Widgets() const {
        return {app.windows.cpu, app.windows.ram, app.windows.swap};
    }

    void ExpectParents(HWND parent, const char* where) {
        for (HWND w : Widgets()) EXPECT_EQ(parent, ParentOf(w)) << where;
    }

    HideIconsSetting hideIcons;  // restored after the test
    ShellFixture shell;          // declared first, so the program ends first
    VitalGauge app;
};

TEST_F(DesktopShell, WidgetsStartInsideTheIconListWithTheirStyles) {
    ASSERT_TRUE(hideIcons.RemoveKey());
    ASSERT_TRUE(shell.Start());
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.WaitForWidgets());

    const HWND list = shell.Window(L"SysListView32");
    const HWND view = shell.Window(L"SHELLDLL_DefView");
    const HWND progman = shell.Window(L"Progman");
    ExpectParents(list, "icon list");
    EXPECT_EQ(view, ParentOf(list));
    EXPECT_EQ(progman, ParentOf(view));
    EXPECT_EQ(GetDesktopWindow(), ParentOf(progman));

    for (HWND w : Widgets()) {
        EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_VISIBLE), GetWindowLongW(w, GWL_STYLE));
        const LONG ex = GetWindowLongW(w, GWL_EXSTYLE);
        EXPECT_FALSE(ex & WS_EX_TRANSPARENT) << "clicks must reach the widget";
        EXPECT_TRUE(ex & WS_EX_LAYERED);
        EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
        // WS_EX_TOPMOST is not checked: the widget turns the attachment's
        // HWND_TOPMOST request into HWND_BOTTOM, and a window sent to the
        // bottom loses the topmost mark.
        COLORREF key = 0;
        BYTE alpha = 0;
        DWORD flags = 0;
        EXPECT_TRUE(GetLayeredWindowAttributes(w, &key, &alpha, &flags));
        EXPECT_EQ(0x646464u, key) << "layered after the attachment";
    }
    // One request per widget, nothing else, both parameters 0.
    EXPECT_EQ((std::vector<std::string>(3, "052C 0 0")), shell.Requests());

    app.PostClose();
    DWORD code = 1234;
    ASSERT_TRUE(app.WaitExit(10000, &code));
    EXPECT_EQ(0u, code);
}

// Each change message makes every widget look for its place again: started
// with the icons hidden (straight into the view, the shell not asked), the
// widgets move into the icon list once the icons show and the message comes.
class Reattachment : public DesktopShell, public ::testing::WithParamInterface<UINT> {};

TEST_P(Reattachment, WidgetsFollowTheIconsSetting) {
    hideIcons.SetDword(1);
    ASSERT_TRUE(shell.Start());
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.WaitForWidgets());
    ExpectParents(shell.Window(L"SHELLDLL_DefView"), "icons hidden");
    EXPECT_TRUE(shell.Requests().empty());

    hideIcons.SetDword(0);
    for (HWND w : Widgets()) {
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutW(w, GetParam(), 0, 0, SMTO_NORMAL, 10000, &result));
    }
    ExpectParents(shell.Window(L"SysListView32"), "icons shown");
    EXPECT_EQ((std::vector<std::string>(3, "052C 0 0")), shell.Requests());
    for (HWND w : Widgets())
        EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_VISIBLE), GetWindowLongW(w, GWL_STYLE));
}

INSTANTIATE_TEST_SUITE_P(ChangeMessages, Reattachment,
                         ::testing::Values(WM_SETTINGCHANGE, WM_DISPLAYCHANGE,
                                           WM_THEMECHANGED),
                         [](const ::testing::TestParamInfo<UINT>& info) {
                             return info.param == WM_SETTINGCHANGE   ? std::string("SettingChange")
                                    : info.param == WM_DISPLAYCHANGE ? std::string("DisplayChange")
                                                                     : std::string("ThemeChanged");
                         });

TEST_F(DesktopShell, WithoutAShellWidgetsStayTopLevelUntilTheirNextChangeMessage) {
    ASSERT_TRUE(hideIcons.RemoveKey());
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.WaitForWidgets());
    ExpectParents(GetDesktopWindow(), "no shell yet");

    // A shell that comes up later is joined by each widget at its next
    // change message. (Only one widget gets it here: under Wine without a
    // window manager, hiding a top-level window, as re-parenting does,
    // costs two seconds.)
    ASSERT_TRUE(shell.Start());
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutW(app.windows.cpu, WM_SETTINGCHANGE, 0, 0, SMTO_NORMAL, 10000,
                                    &result));
    EXPECT_EQ(shell.Window(L"SysListView32"), ParentOf(app.windows.cpu));
    EXPECT_EQ(GetDesktopWindow(), ParentOf(app.windows.ram));
    EXPECT_EQ(GetDesktopWindow(), ParentOf(app.windows.swap));
    EXPECT_EQ(1u, shell.Requests().size());
}

TEST_F(DesktopShell, UnansweringShellDelaysEachAttachmentByAboutOneSecond) {
    ASSERT_TRUE(hideIcons.RemoveKey());
    ASSERT_TRUE(shell.Start(L"--hang"));
    const HWND list = shell.Window(L"SysListView32");
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(app.Start());
    // The widgets exist before their attachments end, and the program keeps
    // answering sent messages while it waits: wait for the last parent.
    ASSERT_TRUE(WaitUntil(
        [&] {
            HWND swap = FindProcessWindow(app.process.Id(), L"SwapVitalGaugeClass");
            return swap && ParentOf(swap) == list;
        },
        20000))
        << "an unanswered request must not hold forever";
    const long long startupMs = MsSince(start);
    EXPECT_GE(startupMs, 3000) << "three attachments, each waiting for the shell";
    EXPECT_LT(startupMs, 12000);
    ASSERT_TRUE(app.WaitForWidgets());
    ExpectParents(list, "attached after the time-outs");
    EXPECT_EQ(3u, shell.Requests().size());

    const auto change = std::chrono::steady_clock::now();
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutW(app.windows.ram, WM_THEMECHANGED, 0, 0, SMTO_NORMAL, 10000,
                                    &result));
    const long long changeMs = MsSince(change);
    EXPECT_GE(changeMs, 900);
    EXPECT_LT(changeMs, 2500);
    EXPECT_EQ(4u, shell.Requests().size());
}

}  // namespace
