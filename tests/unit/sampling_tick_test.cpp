// The sampling tick as the CPU widget runs it, on real widget windows
// created in this process.

#include "app/state.h"
#include "metrics/sampling.h"
#include "render/gdiplus_include.h"
#include "widgets/widgets.h"

#include <gtest/gtest.h>

namespace {

class SamplingTick : public ::testing::Test {
protected:
    void SetUp() override {
        appState = SharedState{};
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
        ASSERT_TRUE(CreateWidgetWindows(GetModuleHandleW(nullptr)));
        Pump();
    }
    void TearDown() override {
        // The windows stay: each test runs in its own process, and Wine
        // takes seconds to unmap a window on a display without a manager.
        KillTimer(appState.cpuWindow, SampleTimerId);
        Gdiplus::GdiplusShutdown(token_);
    }
    static void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    static bool NeedsPaint(HWND w) { return GetUpdateRect(w, nullptr, FALSE) != FALSE; }
    static void ValidateAll() {
        for (HWND w : {appState.cpuWindow, appState.ramWindow, appState.swapWindow})
            ValidateRect(w, nullptr);
    }

    ULONG_PTR token_ = 0;
};

TEST_F(SamplingTick, OnlyTheSamplingTimerOfTheCpuWidgetSamples) {
    const MetricValues marker{-1.0, -2.0, -3.0};
    appState.LiveMetrics = marker;
    ValidateAll();

    SendMessageW(appState.cpuWindow, WM_TIMER, 42, 0);
    SendMessageW(appState.ramWindow, WM_TIMER, SampleTimerId, 0);
    SendMessageW(appState.swapWindow, WM_TIMER, SampleTimerId, 0);
    EXPECT_EQ(-1.0, appState.LiveMetrics.cpuPercent);
    EXPECT_EQ(-2.0, appState.LiveMetrics.ramPercent);
    EXPECT_EQ(-3.0, appState.LiveMetrics.swapPercent);
    EXPECT_FALSE(NeedsPaint(appState.cpuWindow));

    SendMessageW(appState.cpuWindow, WM_TIMER, SampleTimerId, 0);
    EXPECT_GT(appState.LiveMetrics.ramPercent, 0.0);
    EXPECT_LE(appState.LiveMetrics.ramPercent, 100.0);
    EXPECT_GE(appState.LiveMetrics.swapPercent, 0.0);
    EXPECT_LE(appState.LiveMetrics.swapPercent, 100.0);
    // All three widgets repaint with this tick's values.
    EXPECT_TRUE(NeedsPaint(appState.cpuWindow));
    EXPECT_TRUE(NeedsPaint(appState.ramWindow));
    EXPECT_TRUE(NeedsPaint(appState.swapWindow));
}

TEST_F(SamplingTick, UnreadableProcessorCounterGivesZero) {
    // No query was opened: every counter call fails, and the CPU value must
    // be a defined 0, not what the result record happened to hold.
    appState.LiveMetrics.cpuPercent = 55.0;
    SampleMetrics(appState.cpuWindow);
    EXPECT_EQ(0.0, appState.LiveMetrics.cpuPercent);
    EXPECT_GT(appState.LiveMetrics.ramPercent, 0.0);
}

TEST_F(SamplingTick, OpenCounterYieldsAValueOnTheFirstTick) {
    OpenCpuCounter();
    ASSERT_NE(nullptr, appState.cpuQuery);
    ASSERT_NE(nullptr, appState.cpuCounter);
    appState.LiveMetrics.cpuPercent = -1.0;
    SampleMetrics(appState.cpuWindow);
    EXPECT_GE(appState.LiveMetrics.cpuPercent, 0.0);
    EXPECT_LE(appState.LiveMetrics.cpuPercent, 100.0);
    PdhCloseQuery(appState.cpuQuery);
}

TEST_F(SamplingTick, TimerRefreshesTheValuesEverySixSeconds) {
    // Before the first tick every value is 0; the timer's first tick, six
    // seconds after creation, fills them.
    EXPECT_EQ(0.0, appState.LiveMetrics.ramPercent);
    const DWORD start = GetTickCount();
    MSG msg;
    while (appState.LiveMetrics.ramPercent == 0.0 && GetTickCount() - start < 9000) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        else MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GT(appState.LiveMetrics.ramPercent, 0.0);
    EXPECT_GE(elapsed, 5500u);
    EXPECT_LE(elapsed, 7500u);
}

}  // namespace
