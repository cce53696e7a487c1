// The painters on the real widget windows, created in this process by
// CreateWidgetWindows, with the style and scale set directly in the shared
// state: the size each paint gives a widget, how often it paints, what
// reaches the window, and what a paint leaves behind.

#include "render/chart_layout.h"
#include "tests/unit/render_support.h"
#include "widgets/widgets.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <map>

using namespace rendertest;

namespace {

std::map<HWND, WNDPROC> originalProcs;
std::map<HWND, int> paintCounts;

LRESULT CALLBACK CountPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) ++paintCounts[window];
    return CallWindowProcW(originalProcs[window], window, message, wParam, lParam);
}

// Runs every pending message, paints included, as the message loop would.
void Pump() {
    MSG msg;
    for (int i = 0; i < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Repaint(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
    Pump();
}

// What the window shows, read back through its own device context.
Canvas ReadWindow(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    Canvas canvas;
    canvas.width = client.right;
    canvas.height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = canvas.width;
    info.bmiHeader.biHeight = -canvas.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, canvas.width, canvas.height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    const std::uint32_t* p = static_cast<const std::uint32_t*>(bits);
    canvas.pixels.assign(p, p + static_cast<size_t>(canvas.width) * canvas.height);
    for (std::uint32_t& px : canvas.pixels) px &= 0xFFFFFF;
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(window, windowDc);
    return canvas;
}

SIZE WindowSize(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

POINT WindowOrigin(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return {r.left, r.top};
}

SIZE_T PagefileUsage() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

class RenderWindows : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        EnsureGdiplus();
        if (appState.cpuWindow) return;
        created_ = CreateWidgetWindows(GetModuleHandleW(nullptr));
        if (!created_) return;
        // Ticks would repaint behind the tests' backs.
        KillTimer(appState.cpuWindow, SampleTimerId);
        // Apart and on the screen up to 640 by 320, where the window DC has
        // every pixel; beyond the screen's edge there is nothing to read.
        SetWindowPos(appState.cpuWindow, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(appState.ramWindow, nullptr, 0, 340, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(appState.swapWindow, nullptr, 640, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        for (HWND w : Widgets())
            originalProcs[w] = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountPaints)));
    }

    void SetUp() override {
        ASSERT_TRUE(created_);
        appState.WidgetSettings = AppearanceSettings();
        appState.LiveMetrics = {12.6, 57.0, 43.75};
        for (HWND w : Widgets()) InvalidateRect(w, nullptr, FALSE);
        Pump();
        paintCounts.clear();
    }

    void TearDown() override { appState.WidgetSettings = AppearanceSettings(); }

    static std::vector<HWND> Widgets() {
        return {appState.cpuWindow, appState.ramWindow, appState.swapWindow};
    }

    void Show(int style, int scale) {
        appState.WidgetSettings.chartTypeValue = style;
        appState.WidgetSettings.ScaleValue = scale;
        for (HWND w : Widgets()) InvalidateRect(w, nullptr, FALSE);
        Pump();
    }

    static bool created_;
};

bool RenderWindows::created_ = false;

TEST_F(RenderWindows, EveryPaintSizesTheWidgetForItsStyleAndScale) {
    const POINT origins[] = {WindowOrigin(appState.cpuWindow), WindowOrigin(appState.ramWindow),
                             WindowOrigin(appState.swapWindow)};
    const HWND active = GetActiveWindow();
    for (int style : {1, 2, 3}) {
        for (int scale : {1, 2, 3, 2, 1}) {
            SCOPED_TRACE(testing::Message() << "style " << style << ", scale " << scale);
            appState.WidgetSettings.chartTypeValue = style;
            appState.WidgetSettings.ScaleValue = scale;
            const WidgetSize expected = StyleWindowSize(style, scale);
            EXPECT_EQ(style == 3 ? 320 * scale : 160 * scale, expected.width);
            int i = 0;
            for (HWND w : Widgets()) {
                Repaint(w);
                EXPECT_EQ(expected.width, WindowSize(w).cx);
                EXPECT_EQ(expected.height, WindowSize(w).cy);
                EXPECT_EQ(origins[i].x, WindowOrigin(w).x);  // resized, never moved
                EXPECT_EQ(origins[i].y, WindowOrigin(w).y);
                EXPECT_EQ(nullptr, GetWindow(w, GW_HWNDNEXT)) << "not at the bottom";
                EXPECT_EQ(active, GetActiveWindow());  // a paint never activates
                EXPECT_TRUE(IsWindowVisible(w));
                ++i;
            }
        }
    }
}

TEST_F(RenderWindows, HandEditedScaleIsDrawnAtScaleOneAndKept) {
    for (int bad : {0, -5, 4, 100000}) {
        SCOPED_TRACE(bad);
        Show(ChartStyle::CapacityBar, bad);
        EXPECT_EQ(320, WindowSize(appState.ramWindow).cx);
        EXPECT_EQ(160, WindowSize(appState.ramWindow).cy);
        EXPECT_EQ(bad, appState.WidgetSettings.ScaleValue);
        // Drawn as at scale 1: the bar's outline on row 34.
        EXPECT_EQ(Rgb(kCapacityOutlineColor), ReadWindow(appState.ramWindow).At(150, 34));
        Show(ChartStyle::CircularGauge, bad);
        EXPECT_EQ(160, WindowSize(appState.cpuWindow).cx);
        EXPECT_EQ(160, WindowSize(appState.cpuWindow).cy);
    }
}

TEST_F(RenderWindows, WindowShowsExactlyTheChartAndKeyColourElsewhere) {
    // The window gets what the drawing code makes of the same input, pixel
    // for pixel: background key colour included.
    appState.LiveMetrics.ramPercent = 42.9;
    for (int style : {1, 2, 3}) {
        for (int scale : {1, 2}) {
            SCOPED_TRACE(testing::Message() << "style " << style << ", scale " << scale);
            Show(style, scale);
            const WidgetPaintArgs args =
                PaintArgsFor(WidgetKind::Ram, appState.WidgetSettings, appState.LiveMetrics);
            const WidgetSize size = StyleWindowSize(style, scale);
            const Canvas expected =
                Render(style, {size.width, size.height, 1.0f, scale, args.progressColor,
                               args.textColor, L"RAM", 42});
            const Canvas shown = ReadWindow(appState.ramWindow);
            ASSERT_EQ(expected.width, shown.width);
            ASSERT_EQ(expected.height, shown.height);
            int differing = 0;
            for (size_t i = 0; i < shown.pixels.size(); ++i)
                differing += shown.pixels[i] != expected.pixels[i] ? 1 : 0;
            EXPECT_EQ(0, differing);
            EXPECT_GT(shown.Count([](int, int, std::uint32_t px) { return px == kBackground; }),
                      shown.width * shown.height / 2);
        }
    }
}

TEST_F(RenderWindows, CapacityBarDrawsEveryWidgetsTextInTheSwapTextColour) {
    AppearanceSettings& s = appState.WidgetSettings;
    s.cpuTextColor = 0xFFE01010;
    s.ramTextColor = 0xFF10E010;
    s.swapTextColor = 0xFF1010E0;
    auto textPixels = [](HWND w, Argb color) {
        return ReadWindow(w).CountColor(Rgb(color), 0, 0, 320, 34);
    };
    Show(ChartStyle::CapacityBar, 1);
    for (HWND w : Widgets()) {
        EXPECT_GT(textPixels(w, s.swapTextColor), 30);
        EXPECT_EQ(0, textPixels(w, s.cpuTextColor));
        EXPECT_EQ(0, textPixels(w, s.ramTextColor));
    }
    // The other styles keep each widget's own text colour.
    Show(ChartStyle::SegmentedBar, 1);
    EXPECT_GT(ReadWindow(appState.cpuWindow).CountColor(Rgb(s.cpuTextColor), 0, 0, 160, 160), 30);
    EXPECT_GT(ReadWindow(appState.ramWindow).CountColor(Rgb(s.ramTextColor), 0, 0, 160, 160), 30);
    EXPECT_EQ(0, ReadWindow(appState.cpuWindow).CountColor(Rgb(s.swapTextColor), 0, 0, 160, 160));
}

TEST_F(RenderWindows, SizeChangeRepaintsWhatThePaintCouldNotReach) {
    Show(ChartStyle::CircularGauge, 1);
    paintCounts.clear();
    Show(ChartStyle::CircularGauge, 1);  // no size change: one paint each
    EXPECT_EQ(1, paintCounts[appState.cpuWindow]);
    EXPECT_EQ(1, paintCounts[appState.ramWindow]);
    EXPECT_EQ(1, paintCounts[appState.swapWindow]);

    // Growing: a paint's window DC reaches only what was invalid when it
    // began. The CPU widget's WM_SIZE and the part the others gain bring a
    // second paint at once, not at the next tick.
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        Show(ChartStyle::CircularGauge, 1);
        paintCounts.clear();
        Show(ChartStyle::CapacityBar, scale);
        EXPECT_EQ(2, paintCounts[appState.cpuWindow]);
        EXPECT_EQ(2, paintCounts[appState.ramWindow]);
        EXPECT_EQ(2, paintCounts[appState.swapWindow]);
        for (HWND w : Widgets()) {
            const Canvas shown = ReadWindow(w);
            EXPECT_EQ(kBackground, shown.At(shown.width - 1, shown.height - 1));
            EXPECT_EQ(Rgb(kCapacityOutlineColor), shown.At(shown.width - 20, scale == 1 ? 34 : 56));
        }
    }

    // Shrinking uncovers nothing: only the CPU widget paints again.
    paintCounts.clear();
    Show(ChartStyle::CircularGauge, 1);
    EXPECT_EQ(2, paintCounts[appState.cpuWindow]);
    EXPECT_EQ(1, paintCounts[appState.ramWindow]);
    EXPECT_EQ(1, paintCounts[appState.swapWindow]);
}

TEST_F(RenderWindows, UnknownStyleLeavesTheWidgetAsItWas) {
    Show(ChartStyle::SegmentedBar, 2);
    const Canvas before = ReadWindow(appState.swapWindow);
    paintCounts.clear();
    Show(7, 1);
    EXPECT_EQ(1, paintCounts[appState.swapWindow]);  // the paint still ends
    EXPECT_EQ(320, WindowSize(appState.swapWindow).cx);
    EXPECT_EQ(before.pixels, ReadWindow(appState.swapWindow).pixels);
}

TEST_F(RenderWindows, ThousandsOfPaintsLeaveMemoryWhereItWas) {
    // A leaked bitmap would cost 100 KB to 1.8 MB a paint; one leaked font a
    // paint adds about 500 KB over the run here, one leaked brush about
    // 50 KB, and a clean run 4 KB at most. 2000 paints of each style must
    // stay within 32 KB of where they started.
    constexpr int kPaints = 2000;
    constexpr SIZE_T kBound = 32 * 1024;
    for (int style : {1, 2, 3}) {
        SCOPED_TRACE(style);
        const int scale = style;  // small, medium and large bitmaps
        Show(style, scale);
        auto paint = [](int i) {
            appState.LiveMetrics.ramPercent = i % 101;  // every value text, in turn
            Repaint(appState.ramWindow);
        };
        for (int i = 0; i < 303; ++i) paint(i);  // fills the glyph caches once
        const SIZE_T before = PagefileUsage();
        for (int i = 0; i < kPaints; ++i) paint(i);
        const SIZE_T after = PagefileUsage();
        EXPECT_LT(after, before + kBound) << "grew by " << (after - before) << " bytes";
    }
}

}  // namespace
