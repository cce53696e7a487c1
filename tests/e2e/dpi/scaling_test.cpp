// The real VitalGauge.exe on a scaled desktop, started by run_at_dpi.sh with
// the desktop's DPI in VG_DPI: the widgets, their first-run places and the
// Capacity Bar's track grow with the display scale.
#include "tests/support/harness.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace vgtest;

TEST(Scaling, WidgetsGrowWithTheDisplayScale) {
    SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);  // screen pixels
    const UINT dpi = std::getenv("VG_DPI") ? std::atoi(std::getenv("VG_DPI")) : 0;
    ASSERT_TRUE(dpi == 120 || dpi == 144) << "run by run_at_dpi.sh";
    // First-run places at 120 dpi on 1920 × 1080; at 144 the row moves left
    // to fit 1280 × 1024.
    const RECT places[2][3] = {
        {{688, 125, 888, 325}, {875, 125, 1075, 325}, {1063, 125, 1263, 325}},
        {{590, 150, 830, 390}, {815, 150, 1055, 390}, {1040, 150, 1280, 390}}};
    const RECT(&want)[3] = places[dpi == 144];
    VitalGauge app;
    ASSERT_TRUE(app.Start());
    const HWND w[3] = {app.cpu, app.ram, app.swap};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(dpi, GetDpiForWindow(w[i])) << "widget " << i;
        EXPECT_EQ(want[i], ScreenRect(w[i])) << "widget " << i;
    }

    // "Chart Type", "Capacity Bar": twice as wide, and the CPU widget's track
    // (Wine reads no processor load, so nothing fills it) is a bar, read on
    // the screen, as a widget's own DC shows nothing to another process.
    ASSERT_TRUE(app.OpenMenu(app.cpu));
    Keys("Down Down Down Down Down Right Down Down Return");
    ASSERT_TRUE(WaitUntil([] { return DwordIn(ReadKey(), L"chartTypeValue") == 3; }));
    ASSERT_TRUE(app.WaitIdle());
    const RECT cpu = ScreenRect(app.cpu), was = want[0];
    EXPECT_EQ((RECT{was.left, was.top, was.left + 2 * (was.bottom - was.top), was.bottom}), cpu);
    HDC screen = GetDC(nullptr);
    int trackRows = 0;
    for (LONG y = cpu.top; y < cpu.bottom; ++y)
        trackRows += GetPixel(screen, cpu.right - 30, y) == RGB(0x2D, 0x2D, 0x30);
    ReleaseDC(nullptr, screen);
    EXPECT_LE(static_cast<int>(dpi * 7 / 96), trackRows) << "a bar, not a line";
}
