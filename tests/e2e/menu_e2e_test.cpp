// The right-click menu driven as a user would: the click is posted (a real
// right click on a caption never arrives under Wine), the items are chosen
// with the keyboard.

#include "tests/support/harness.h"

#include <gtest/gtest.h>

#include <string>

using namespace vgtest;

namespace {

HWND FindVisibleWindow(DWORD pid, const wchar_t* className) {
    for (HWND w : FindProcessWindows(pid, className))
        if (IsWindowVisible(w)) return w;
    return nullptr;
}

class MenuE2e : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteSettingsKey();
        WriteSettingsRect(L"WindowPos", {100, 100, 260, 260});
        WriteSettingsRect(L"WindowPos2", {400, 100, 560, 260});
        WriteSettingsRect(L"WindowPos3", {700, 100, 860, 260});
        ASSERT_TRUE(app.Start());
        ASSERT_TRUE(app.WaitForWidgets());
    }
    void TearDown() override {
        RunHostCommand("xdotool key Escape Escape");
        if (app.process.Running()) app.PostClose();
        app.WaitExit(10000);
    }

    // Opens the menu of a widget at a screen point inside it; keys reach the
    // window under the pointer, so the pointer rests on the menu's corner.
    bool OpenMenu(HWND widget, WPARAM hitTest = HTCAPTION) {
        const RECT r = ScreenRect(widget);
        const int x = r.left + 20, y = r.top + 20;
        RunHostCommand("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
        PostMessageW(widget, WM_NCRBUTTONUP, hitTest, MAKELPARAM(x, y));
        return WaitUntil([&] { return FindVisibleWindow(app.process.Id(), L"#32768") != nullptr; },
                         hitTest == HTCAPTION ? 5000 : 1500);
    }
    bool MenuClosed() {
        return WaitUntil([&] { return !FindVisibleWindow(app.process.Id(), L"#32768"); }, 5000);
    }
    static void RestPointerOn(HWND window) {
        const RECT r = ScreenRect(window);
        RunHostCommand("xdotool mousemove " + std::to_string((r.left + r.right) / 2) + " " +
                       std::to_string((r.top + r.bottom) / 2));
    }
    static void Keys(const std::string& keys) { RunHostCommand("xdotool key " + keys); }

    // Waits until the program has handled everything the command queued.
    bool Settled() { return MenuClosed() && app.WaitIdle(); }

    static std::uint32_t Dword(const wchar_t* name) {
        std::uint32_t v = 0xDEADBEEF;
        ReadSettingsDword(name, v);
        return v;
    }

    VitalGauge app;
};

// From the closed menu: Down n times lands on the nth item (separators skipped).
const char* const kToChartType = "Down Down Down Down Down Right";
const char* const kToWidgetScale = "Down Down Down Down Down Down Right";

TEST_F(MenuE2e, LargeScaleResizesAllThreeAndIsStored) {
    ASSERT_TRUE(OpenMenu(app.windows.ram));
    Keys(std::string(kToWidgetScale) + " Down Return");
    ASSERT_TRUE(Settled());
    EXPECT_EQ(2u, Dword(L"ScaleValue"));
    EXPECT_EQ(1u, Dword(L"chartTypeValue"));
    // The gauge paints itself at 160 x scale: 320 pixels, at the same place.
    const LONG lefts[3] = {100, 400, 700};
    const HWND widgets[3] = {app.windows.cpu, app.windows.ram, app.windows.swap};
    for (int i = 0; i < 3; ++i) {
        const RECT r = ScreenRect(widgets[i]);
        EXPECT_EQ(lefts[i], r.left);
        EXPECT_EQ(100, r.top);
        EXPECT_EQ(320, r.right - r.left);
        EXPECT_EQ(320, r.bottom - r.top);
    }
    // All eleven values are written by the command's saves.
    EXPECT_EQ(11u, ReadSettingsKey().size());
}

TEST_F(MenuE2e, SegmentedBarKeepsTheScale) {
    ASSERT_TRUE(OpenMenu(app.windows.swap));
    Keys(std::string(kToChartType) + " Down Return");
    ASSERT_TRUE(Settled());
    EXPECT_EQ(2u, Dword(L"chartTypeValue"));
    EXPECT_EQ(1u, Dword(L"ScaleValue"));
    for (HWND w : {app.windows.cpu, app.windows.ram, app.windows.swap}) {
        const RECT r = ScreenRect(w);
        EXPECT_EQ(160, r.right - r.left);
        EXPECT_EQ(160, r.bottom - r.top);
    }
}

TEST_F(MenuE2e, DismissedMenuSavesAndChangesNothing) {
    ASSERT_TRUE(OpenMenu(app.windows.cpu));
    Keys("Escape");
    ASSERT_TRUE(Settled());
    const RegSnapshot saved = ReadSettingsKey();
    EXPECT_EQ(11u, saved.size());
    EXPECT_EQ(1u, Dword(L"ScaleValue"));
    EXPECT_EQ(1u, Dword(L"chartTypeValue"));
    RECT r = {};
    ASSERT_TRUE(ReadSettingsRect(L"WindowPos2", r));
    EXPECT_EQ(400, r.left);
    EXPECT_EQ(100, r.top);
    EXPECT_TRUE(app.process.Running());
}

TEST_F(MenuE2e, ExitDestroysTheWidgetsAndSavesAllPositions) {
    // Move RAM and Swap so that the final save can only have read them live.
    SetWindowPos(app.windows.ram, nullptr, 420, 130, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(app.windows.swap, nullptr, 720, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(OpenMenu(app.windows.swap));
    Keys("Up Return");  // the last item
    DWORD code = 1234;
    ASSERT_TRUE(app.WaitExit(20000, &code));
    EXPECT_EQ(0u, code);
    RECT ram = {}, swap = {};
    ASSERT_TRUE(ReadSettingsRect(L"WindowPos2", ram));
    ASSERT_TRUE(ReadSettingsRect(L"WindowPos3", swap));
    EXPECT_EQ(420, ram.left);
    EXPECT_EQ(130, ram.top);
    EXPECT_EQ(720, swap.left);
    EXPECT_EQ(150, swap.top);
}

TEST_F(MenuE2e, OnlyTheCaptionHitTestOpensTheMenu) {
    EXPECT_FALSE(OpenMenu(app.windows.cpu, HTCLIENT));
    EXPECT_FALSE(OpenMenu(app.windows.ram, HTNOWHERE));
    EXPECT_TRUE(ReadSettingsKey().size() == 3) << "nothing but the seeded positions";
}

TEST_F(MenuE2e, AlignHorizontallyOnTheRamWidget) {
    SetWindowPos(app.windows.cpu, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(app.windows.ram, nullptr, 400, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(app.windows.swap, nullptr, 1000, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(OpenMenu(app.windows.ram));
    Keys("Down Return");
    ASSERT_TRUE(Settled());
    EXPECT_EQ(-50, ScreenRect(app.windows.cpu).left);
    EXPECT_EQ(200, ScreenRect(app.windows.cpu).top);
    EXPECT_EQ(850, ScreenRect(app.windows.swap).left);
    EXPECT_EQ(200, ScreenRect(app.windows.swap).top);
    RECT swap = {};
    ASSERT_TRUE(ReadSettingsRect(L"WindowPos3", swap));
    EXPECT_EQ(850, swap.left);
}

TEST_F(MenuE2e, AlignVerticallyOnTheCpuWidget) {
    SetWindowPos(app.windows.cpu, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(app.windows.ram, nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(app.windows.swap, nullptr, 500, 700, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(OpenMenu(app.windows.cpu));
    Keys("Down Down Return");
    ASSERT_TRUE(Settled());
    // Span 100..860 = 760, gap (760 - 480) / 2 = 140.
    EXPECT_EQ(100, ScreenRect(app.windows.ram).left);
    EXPECT_EQ(400, ScreenRect(app.windows.ram).top);
    EXPECT_EQ(100, ScreenRect(app.windows.swap).left);
    EXPECT_EQ(700, ScreenRect(app.windows.swap).top);
}

TEST_F(MenuE2e, GaugeColourFromTheDialogIsOpaqueAndStored) {
    WriteSettingsDword(L"ramProgressColor", 0x40123456);  // read only at start: restart
    app.PostClose();
    ASSERT_TRUE(app.WaitExit(10000));
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.WaitForWidgets());

    ASSERT_TRUE(OpenMenu(app.windows.ram));
    Keys("Down Down Down Return");
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindVisibleWindow(app.process.Id(), L"#32770")); },
                          5000));
    RestPointerOn(dialog);
    Keys("ctrl+a");
    RunHostCommand("xdotool type 255");
    Keys("Tab ctrl+a");
    RunHostCommand("xdotool type 0");
    Keys("Tab ctrl+a");
    RunHostCommand("xdotool type 0");
    Keys("Return");
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    ASSERT_TRUE(app.WaitIdle());
    EXPECT_EQ(0xFFFF0000u, Dword(L"ramProgressColor"));
    EXPECT_EQ(0xFF009688u, Dword(L"cpuProgressColor"));
}

TEST_F(MenuE2e, CancelledColourDialogKeepsTheColourButSaves) {
    ASSERT_TRUE(OpenMenu(app.windows.cpu));
    Keys("Down Down Down Down Return");  // "Change Text Color"
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindVisibleWindow(app.process.Id(), L"#32770")); },
                          5000));
    RestPointerOn(dialog);
    Keys("Escape");
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    ASSERT_TRUE(app.WaitIdle());
    EXPECT_EQ(11u, ReadSettingsKey().size());
    EXPECT_EQ(0xFF212121u, Dword(L"cpuTextColor"));
}

TEST_F(MenuE2e, SettingsBringsARunningHostToTheFront) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring log = std::wstring(temp) + L"vg-menu-host.log";
    DeleteFileW(log.c_str());
    ChildProcess host;
    ASSERT_TRUE(host.Start(BuildDir() + L"\\host_window.exe",
                           L"\"--title=Vendrake Corvanite Plus! Suite\" \"--log=" + log + L"\""));
    ASSERT_TRUE(WaitUntil([] { return FindWindowW(nullptr, L"Vendrake Corvanite Plus! Suite"); },
                          5000));

    ASSERT_TRUE(OpenMenu(app.windows.swap));
    Keys("Down Down Down Down Down Down Down Return");  // "Settings..."
    const auto logged = [&] {
        HANDLE f = CreateFileW(log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return std::string();
        char text[64] = {};
        DWORD got = 0;
        ReadFile(f, text, sizeof(text) - 1, &got, nullptr);
        CloseHandle(f);
        return std::string(text, got);
    };
    EXPECT_TRUE(WaitUntil([&] { return logged().find("1827 0 0") != std::string::npos; }, 5000))
        << logged();
    EXPECT_TRUE(app.process.Running());
    DeleteFileW(log.c_str());
}

}  // namespace
