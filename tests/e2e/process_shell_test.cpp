// The process as other programs see it: its windows, how it ends, its
// priority and its place in the z-order.

#include "tests/support/harness.h"

#include <gtest/gtest.h>

using namespace vgtest;

namespace {

class ProcessShell : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteSettingsKey();
        ASSERT_TRUE(app.Start());
        ASSERT_TRUE(app.WaitForWidgets()) << "widgets did not appear";
    }

    void ExpectEndsCleanlyWithoutSaving(const RegSnapshot& before) {
        DWORD code = 1234;
        ASSERT_TRUE(app.WaitExit(10000, &code)) << "process did not end";
        EXPECT_EQ(0u, code);
        EXPECT_EQ(before, ReadSettingsKey()) << "the close message must not save";
    }

    VitalGauge app;
};

TEST_F(ProcessShell, WidgetWindowsHaveTheirClassesTitlesAndStyles) {
    struct Expect {
        HWND window;
        const wchar_t* title;
    } widgets[] = {{app.windows.cpu, L"VitalGauge"},
                   {app.windows.ram, L"RAMVitalGauge"},
                   {app.windows.swap, L"SwapVitalGauge"}};
    for (const Expect& w : widgets) {
        wchar_t title[64] = {};
        GetWindowTextW(w.window, title, 64);
        EXPECT_STREQ(w.title, title);

        const LONG style = GetWindowLongW(w.window, GWL_STYLE);
        EXPECT_EQ(WS_POPUP | WS_VISIBLE, style & ~WS_CLIPSIBLINGS) << std::hex << style;
        const LONG ex = GetWindowLongW(w.window, GWL_EXSTYLE);
        EXPECT_TRUE(ex & WS_EX_LAYERED);
        EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);

        COLORREF key = 0;
        BYTE alpha = 0;
        DWORD flags = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(w.window, &key, &alpha, &flags));
        EXPECT_EQ(0x646464u, key);
        EXPECT_EQ(255, alpha);
        EXPECT_EQ(static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA), flags);
    }
    // Without a desktop shell to attach to, each new top-level window enters
    // above the ones before: creation order reads bottom to top.
    std::vector<HWND> order;
    for (HWND w = GetWindow(app.windows.cpu, GW_HWNDFIRST); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == app.windows.cpu || w == app.windows.ram || w == app.windows.swap)
            order.push_back(w);
    EXPECT_EQ((std::vector<HWND>{app.windows.swap, app.windows.ram, app.windows.cpu}), order);
}

TEST_F(ProcessShell, ListenerIsAHiddenTopLevelWindowFoundByName) {
    HWND found = FindWindowW(L"VitalGaugeMessageListener", L"VitalHiddenMsgListener");
    EXPECT_EQ(app.windows.listener, found);
    EXPECT_FALSE(IsWindowVisible(found));
    EXPECT_EQ(GetDesktopWindow(), GetAncestor(found, GA_PARENT));
    EXPECT_EQ(0, GetWindowLongW(found, GWL_STYLE) & ~(WS_CLIPSIBLINGS | WS_CAPTION));
}

TEST_F(ProcessShell, PostedCloseMessageEndsWithoutSaving) {
    const RegSnapshot before = ReadSettingsKey();
    app.PostClose(0x1234, -7);
    ExpectEndsCleanlyWithoutSaving(before);
}

TEST_F(ProcessShell, SentCloseMessageEndsWithoutSaving) {
    const RegSnapshot before = ReadSettingsKey();
    DWORD_PTR result = 99;
    EXPECT_TRUE(SendMessageTimeoutW(app.windows.listener, CloseMessageId(), ~WPARAM(0), 42,
                                    SMTO_NORMAL, 5000, &result));
    EXPECT_EQ(0u, result);
    ExpectEndsCleanlyWithoutSaving(before);
}

TEST_F(ProcessShell, BroadcastCloseMessageEndsWithoutSaving) {
    const RegSnapshot before = ReadSettingsKey();
    PostMessageW(HWND_BROADCAST, CloseMessageId(), 7, 7);
    ExpectEndsCleanlyWithoutSaving(before);
}

TEST_F(ProcessShell, DestroyingTheCpuWidgetEndsTheProcess) {
    PostMessageW(app.windows.cpu, WM_CLOSE, 0, 0);  // DefWindowProc destroys it
    DWORD code = 1234;
    ASSERT_TRUE(app.WaitExit(10000, &code));
    EXPECT_EQ(0u, code);
}

TEST_F(ProcessShell, ClosingTheRamWidgetDoesNotEndTheProcess) {
    PostMessageW(app.windows.ram, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(app.windows.ram); }, 8000));
    EXPECT_TRUE(app.process.Running());
    app.PostClose();
    DWORD code = 1234;
    ASSERT_TRUE(app.WaitExit(10000, &code));
    EXPECT_EQ(0u, code);
}

TEST_F(ProcessShell, RunsAtIdlePriority) {
    EXPECT_EQ(static_cast<DWORD>(IDLE_PRIORITY_CLASS), GetPriorityClass(app.process.Handle()));
}

TEST_F(ProcessShell, RaisedWidgetFallsBackToTheBottom) {
    for (HWND w : {app.windows.cpu, app.windows.ram, app.windows.swap}) {
        SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        EXPECT_EQ(nullptr, GetWindow(w, GW_HWNDNEXT)) << "a widget stayed above a sibling";
    }
}

TEST(ProcessShellArguments, CommandLineArgumentsChangeNothing) {
    DeleteSettingsKey();
    VitalGauge app;
    ASSERT_TRUE(app.Start(L"--help /? -scale 3 \"C:\\some file\""));
    ASSERT_TRUE(app.WaitForWidgets());
    EXPECT_EQ(160, ScreenRect(app.windows.cpu).right - ScreenRect(app.windows.cpu).left);
    app.PostClose();
    DWORD code = 1234;
    ASSERT_TRUE(app.WaitExit(10000, &code));
    EXPECT_EQ(0u, code);
}

}  // namespace

namespace {

TEST(ProcessShellDrag, LeftDragMovesTheWidgetAndSavesAtTheEnd) {
    DeleteSettingsKey();
    WriteSettingsRect(L"WindowPos", {100, 100, 260, 260});
    VitalGauge app;
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.WaitForWidgets());
    const RECT before = ScreenRect(app.windows.cpu);
    ASSERT_EQ(100, before.left);

    // The gauge's dot at 12 o'clock is drawn whatever the value, and a drag
    // must start on a drawn pixel (colour-keyed ones let the click through).
    const int x = before.left + (before.right - before.left) / 2, y = before.top + 12;
    RunHostCommand("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) +
                   " mousedown 1 sleep 0.2 mousemove " + std::to_string(x + 60) + " " +
                   std::to_string(y + 40) + " sleep 0.2 mousemove " + std::to_string(x + 120) +
                   " " + std::to_string(y + 90) + " sleep 0.2 mouseup 1");
    ASSERT_TRUE(app.WaitIdle());
    const RECT after = ScreenRect(app.windows.cpu);
    EXPECT_EQ(before.left + 120, after.left);
    EXPECT_EQ(before.top + 90, after.top);
    // Every paint sends a widget to the bottom as well, so only the other
    // widgets and hidden windows may lie below it, never another program's.
    for (HWND w = GetWindow(app.windows.cpu, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        EXPECT_TRUE(!IsWindowVisible(w) || pid == app.process.Id())
            << "another program's window lies below the dragged widget";
    }

    // The end of the move saved all settings and all three positions.
    RECT saved = {};
    ASSERT_TRUE(ReadSettingsRect(L"WindowPos", saved));
    EXPECT_EQ(after.left, saved.left);
    EXPECT_EQ(after.top, saved.top);
    EXPECT_EQ(11u, ReadSettingsKey().size());
    app.PostClose();
    app.WaitExit(10000);
}

}  // namespace
