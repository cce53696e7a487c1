// The widgets of the real program as they reach the screen: the gauge over
// a plain desktop, the key colour showing the desktop through, and the size
// each paint gives a widget.

#include "tests/support/harness.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace vgtest;

namespace {

constexpr std::uint32_t kDesktop = 0x2050A0;  // 0xRRGGBB, painted on the X root window
constexpr std::uint32_t kProgress = 0x009688;  // default progress colour
constexpr std::uint32_t kText = 0x212121;      // default text colour

// True once a host command has run to its end, whatever its exit code
// (display exits non-zero without a window manager, after painting).
bool RunHostCommandAndWait(const std::string& command, DWORD timeoutMs = 15000) {
    return RunHostCommand(command, timeoutMs) != -1;
}

// A rectangle of the X screen as 0xRRGGBB, row by row, as a user sees it:
// layered windows composed over the root window.
struct Screen {
    RECT area = {};
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const {  // screen coordinates
        const int w = area.right - area.left;
        return pixels[static_cast<size_t>(y - area.top) * w + (x - area.left)];
    }
    int Count(std::uint32_t rgb, int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += At(x, y) == rgb ? 1 : 0;
        return n;
    }
};

Screen Capture(const RECT& area) {
    Screen s;
    s.area = area;
    const int w = area.right - area.left, h = area.bottom - area.top;
    const std::string file = "/tmp/vg-render-" + std::to_string(GetCurrentProcessId()) + ".rgb";
    if (!RunHostCommandAndWait("import -window root -crop " + std::to_string(w) + "x" +
                               std::to_string(h) + "+" + std::to_string(area.left) + "+" +
                               std::to_string(area.top) + " -depth 8 rgb:" + file))
        return s;
    std::string path = "Z:" + file;
    for (char& c : path) c = c == '/' ? '\\' : c;
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    in.close();
    DeleteFileA(path.c_str());
    if (bytes.size() != static_cast<size_t>(w) * h * 3) return s;
    s.pixels.resize(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < s.pixels.size(); ++i)
        s.pixels[i] = (bytes[3 * i] << 16) | (bytes[3 * i + 1] << 8) | bytes[3 * i + 2];
    return s;
}

class RenderedWidgets : public ::testing::Test {
protected:
    void SetUp() override {
        // A plain desktop: the root window painted in one colour.
        const std::string size = std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
                                 std::to_string(GetSystemMetrics(SM_CYSCREEN));
        ASSERT_TRUE(RunHostCommandAndWait("display -window root -size " + size + " xc:'#2050a0'"));
        DeleteSettingsKey();
        ASSERT_TRUE(app.Start());
        ASSERT_TRUE(app.WaitForWidgets()) << "widgets did not appear";
    }
    void TearDown() override {
        app.PostClose();
        app.WaitExit(10000);
    }
    VitalGauge app;
};

TEST_F(RenderedWidgets, GaugesShowOverTheDesktopThroughTheKeyColour) {
    // Before the first tick every value is 0: a dot at 12 o'clock, the
    // label and 0%, and the desktop everywhere else.
    struct Widget {
        HWND window;
        const char* name;
    } widgets[] = {{app.windows.cpu, "CPU"}, {app.windows.ram, "RAM"}, {app.windows.swap, "Swap"}};
    for (const Widget& w : widgets) {
        SCOPED_TRACE(w.name);
        const RECT r = ScreenRect(w.window);
        ASSERT_EQ(160, r.right - r.left);
        ASSERT_EQ(160, r.bottom - r.top);
        // Leave out the ten columns where the default places overlap.
        const RECT own{r.left + 12, r.top, r.right - 12, r.bottom};
        const Screen s = Capture(own);
        ASSERT_FALSE(s.pixels.empty()) << "no screenshot";
        const int cx = r.left + 80, cy = r.top + 80;
        EXPECT_EQ(kProgress, s.At(cx, r.top + 12)) << "no dot at 12 o'clock";
        EXPECT_EQ(kDesktop, s.At(cx, r.top + 2));
        EXPECT_EQ(kDesktop, s.At(cx + 68, cy)) << "ring drawn past the value";
        EXPECT_EQ(kDesktop, s.At(cx, cy + 68));
        EXPECT_EQ(kDesktop, s.At(r.left + 14, r.bottom - 2));
        // Label above the centre, value text on it, in the text colour.
        EXPECT_GT(s.Count(kText, cx - 40, cy - 34, cx + 40, cy - 16), 10);
        EXPECT_GT(s.Count(kText, cx - 40, cy - 14, cx + 40, cy + 16), 40);
        // Nothing but desktop, stroke and text: no key-colour grey is left.
        EXPECT_EQ(0, s.Count(0x646464, own.left, own.top, own.right, own.bottom));
    }
}

TEST_F(RenderedWidgets, PaintGivesBackTheStyleSizeWithoutMovingOrRaising) {
    const HWND ram = app.windows.ram;
    const RECT before = ScreenRect(ram);
    // Someone else resizes the widget and brings it up; its next paint
    // sizes it for its style again.
    SetWindowPos(ram, HWND_TOP, 0, 0, 250, 250, SWP_NOMOVE | SWP_NOACTIVATE);
    InvalidateRect(ram, nullptr, FALSE);
    ASSERT_TRUE(app.WaitIdle());
    const RECT after = ScreenRect(ram);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    EXPECT_EQ(160, after.right - after.left);
    EXPECT_EQ(160, after.bottom - after.top);
    EXPECT_EQ(nullptr, GetWindow(ram, GW_HWNDNEXT)) << "the widget rose above a sibling";
    EXPECT_NE(ram, GetForegroundWindow());
    // Where the larger window was, the desktop shows again.
    const Screen s = Capture({after.left, after.top, after.left + 250, after.top + 250});
    ASSERT_FALSE(s.pixels.empty()) << "no screenshot";
    EXPECT_EQ(kDesktop, s.At(after.left + 200, after.top + 200));
    EXPECT_EQ(kProgress, s.At(after.left + 80, after.top + 12));
}

}  // namespace
