// Menu commands run on real widget windows created in this process.

#include "app/state.h"
#include "render/gdiplus_include.h"
#include "settings/context_menu.h"
#include "settings/menu_logic.h"
#include "tests/support/host_suite.h"
#include "widgets/widgets.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

class MenuCommands : public ::testing::Test {
protected:
    void SetUp() override {
        appState = SharedState{};
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
        ASSERT_TRUE(CreateWidgetWindows(GetModuleHandleW(nullptr)));
        KillTimer(appState.cpuWindow, SampleTimerId);
        Pump();
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token_); }
    static void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    static SIZE Size(HWND w) {
        RECT r;
        GetWindowRect(w, &r);
        return {r.right - r.left, r.bottom - r.top};
    }
    static POINT TopLeft(HWND w) {
        RECT r;
        GetWindowRect(w, &r);
        return {r.left, r.top};
    }
    ULONG_PTR token_ = 0;
};

TEST_F(MenuCommands, ScaleStepSizesEveryWidgetToTheScaleEdgeInPlace) {
    const POINT ram = TopLeft(appState.ramWindow);
    RunMenuCommand(appState.swapWindow, MenuId::ScaleFirst + 1);
    EXPECT_EQ(2, appState.WidgetSettings.ScaleValue);
    EXPECT_EQ(1, appState.scaleIndex);
    // Before the next paint every widget has the edge of the new scale.
    for (HWND w : {appState.cpuWindow, appState.ramWindow, appState.swapWindow}) {
        EXPECT_EQ(240, Size(w).cx);
        EXPECT_EQ(240, Size(w).cy);
        EXPECT_TRUE(GetUpdateRect(w, nullptr, FALSE));
    }
    EXPECT_EQ(ram.x, TopLeft(appState.ramWindow).x);
    EXPECT_EQ(ram.y, TopLeft(appState.ramWindow).y);

    RunMenuCommand(appState.cpuWindow, MenuId::ChartFirst + 2);
    EXPECT_EQ(3, appState.WidgetSettings.chartTypeValue);
    EXPECT_EQ(2, appState.chartIndex);
    EXPECT_EQ(2, appState.WidgetSettings.ScaleValue);
    EXPECT_EQ(240, Size(appState.cpuWindow).cx);
}

TEST_F(MenuCommands, DismissedMenuChangesNoSettingAndHandEditedScaleSurvives) {
    appState.WidgetSettings.ScaleValue = 100000;  // as a hand-edited registry may hold
    appState.WidgetSettings.chartTypeValue = 0;
    appState.scaleIndex = 2;
    RunMenuCommand(appState.ramWindow, 0);
    EXPECT_EQ(100000, appState.WidgetSettings.ScaleValue);
    EXPECT_EQ(0, appState.WidgetSettings.chartTypeValue);
    EXPECT_EQ(2, appState.scaleIndex);
    EXPECT_EQ(160, Size(appState.cpuWindow).cx);  // sized as scale 1, never 16 million
}

TEST_F(MenuCommands, AlignmentMovesNothingWhenARectangleCannotBeRead) {
    SetWindowPos(appState.cpuWindow, nullptr, 100, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(appState.ramWindow, nullptr, 400, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    DestroyWindow(gone);
    const HWND windows[3] = {appState.cpuWindow, appState.ramWindow, gone};
    AlignHorizontally(windows, appState.cpuWindow);
    EXPECT_EQ(400, TopLeft(appState.ramWindow).x);
    const HWND withNull[3] = {appState.cpuWindow, nullptr, appState.swapWindow};
    AlignVertically(withNull, appState.cpuWindow);
    AlignHorizontally(windows, nullptr);
    EXPECT_EQ(400, TopLeft(appState.ramWindow).x);
    EXPECT_EQ(60, TopLeft(appState.ramWindow).y);

    // A window that is not a widget anchors nothing.
    RunMenuCommand(GetDesktopWindow(), MenuId::AlignHorizontally);
    EXPECT_EQ(400, TopLeft(appState.ramWindow).x);
}

// Answers the next colour dialog of this process from another thread.
void AnswerColorDialog(bool addCustomAndConfirm) {
    std::thread([addCustomAndConfirm] {
        HWND dialog = nullptr;
        for (int i = 0; i < 200 && !dialog; ++i) {
            Sleep(25);
            dialog = FindWindowW(L"#32770", nullptr);
        }
        if (!dialog) return;
        if (addCustomAndConfirm) {
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(712, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, 712)));  // "Add to Custom Colors"
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        } else {
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }).detach();
}

TEST_F(MenuCommands, ColourPickerKeepsCustomColoursAndOnlyConfirmedColoursChange) {
    AnswerColorDialog(false);
    EXPECT_EQ(0x40123456u, PickColor(appState.ramWindow, 0x40123456));  // cancelled: unchanged

    AnswerColorDialog(true);
    EXPECT_EQ(0xFF123456u, PickColor(appState.ramWindow, 0x40123456));  // confirmed: opaque
    // The colour added in that dialog is in the shared custom row now, and
    // the next dialog gets the same row.
    EXPECT_EQ(ArgbToDialogColor(0x123456), appState.customColors[0]);

    appState.WidgetSettings.cpuTextColor = 0x80ABCDEF;
    AnswerColorDialog(false);
    RunMenuCommand(appState.cpuWindow, MenuId::TextColor);
    EXPECT_EQ(0x80ABCDEFu, appState.WidgetSettings.cpuTextColor);
    EXPECT_EQ(ArgbToDialogColor(0x123456), appState.customColors[0]);
}

TEST_F(MenuCommands, SettingsUsesTheCpuWidgetAsOwnerWhicheverWidgetWasClicked) {
    // No host window and no host program: the launch fails and the error
    // box is owned by the CPU widget although the RAM widget was clicked.
    lstrcpyW(appState.hostInstallPath, L"C:\\no\\such\\suite");
    std::vector<vgtest::SeenBox> seen;
    {
        vgtest::MessageBoxWatcher watcher;
        RunMenuCommand(appState.ramWindow, MenuId::Settings);
        seen = watcher.Seen();
    }
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(L"Error", seen[0].caption);
    EXPECT_EQ(appState.cpuWindow, seen[0].owner);
}

}  // namespace
