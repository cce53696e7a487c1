#pragma once
// Shared by the render tests: GDI+ for the test process, a chart drawn into
// a memory bitmap through the painters' own drawing code, and pixel
// classification.

#include "app/state.h"
#include "render/chart_draw.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rendertest {

constexpr std::uint32_t kBackground = AppearanceSettings::backgroundColor & 0xFFFFFF;

inline std::uint32_t Rgb(Argb argb) { return argb & 0xFFFFFF; }

// GDI+ stays up until the test process ends, as it does in the program.
inline void EnsureGdiplus() {
    static ULONG_PTR token = 0;
    if (token) return;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
}

// Pixels as 0xRRGGBB, row by row from the top.
struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

    int Count(const std::function<bool(int, int, std::uint32_t)>& pred) const {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (pred(x, y, At(x, y))) ++n;
        return n;
    }
    int CountColor(std::uint32_t rgb, int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = std::max(0, y0); y < std::min(height, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(width, x1); ++x)
                if (At(x, y) == rgb) ++n;
        return n;
    }
};

// Draws a chart exactly as a paint does: through a memory DC and a bitmap
// compatible with the display (GDI+ takes another path for DIB sections),
// at the given size and DPI factor.
inline Canvas Render(int chartType, const ChartInput& in) {
    EnsureGdiplus();
    Canvas canvas;
    canvas.width = in.width;
    canvas.height = in.height;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, in.width, in.height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    Gdiplus::GpGraphics* graphics = BeginChartGraphics(dc, chartType);
    if (graphics) {
        DrawChart(graphics, chartType, in);
        Gdiplus::DllExports::GdipDeleteGraphics(graphics);
    }
    SelectObject(dc, previous);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = in.width;
    info.bmiHeader.biHeight = -in.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    canvas.pixels.resize(static_cast<size_t>(in.width) * in.height);
    GetDIBits(dc, bitmap, 0, in.height, canvas.pixels.data(), &info, DIB_RGB_COLORS);
    for (std::uint32_t& px : canvas.pixels) px &= 0xFFFFFF;
    DeleteDC(dc);
    DeleteObject(bitmap);
    return canvas;
}

// Distinct, saturated colours, so no anti-aliased blend is mistaken for them.
constexpr Argb kProgress = 0xFF00C040;
constexpr Argb kText = 0xFFF02080;

inline ChartInput Input(int width, int height, float f, int scale, int value,
                        const wchar_t* label = L"CPU") {
    return {width, height, f, scale, kProgress, kText, label, value};
}

}  // namespace rendertest
