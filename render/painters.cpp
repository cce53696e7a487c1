#include "render/painters.h"

#include "app/state.h"
#include "render/chart_draw.h"
#include "render/chart_layout.h"
#include "widgets/widget_logic.h"

#include <new>

namespace {

// The frame every style paints in: size the window for the style, compose
// the chart in an off-screen bitmap and show it with one blit, so the
// widget never shows a half-drawn state. Nothing outlives the paint.
void PaintChart(HWND window, int chartType, Argb progressColor, Argb textColor,
                const std::wstring& label, int value) {
    const unsigned dpi = GetDpiForWindow(window);
    const float dpiFactor = DpiFactor(dpi);
    PAINTSTRUCT paint;
    HDC windowDc = BeginPaint(window, &paint);

    // At every paint, so the size follows the style, the scale and the
    // display scale whatever size the window was created or last left with.
    // The position-changing handler still sends the widget to the bottom of
    // the z-order.
    const int scale = EffectiveScale(appState.WidgetSettings.ScaleValue);
    const WidgetSize size = StyleWindowSize(chartType, scale, dpi);
    SetWindowPos(window, nullptr, 0, 0, size.width, size.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    RECT client = {};
    GetClientRect(window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;

    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP buffer = CreateCompatibleBitmap(windowDc, width, height);
    HGDIOBJ previousBitmap = SelectObject(memoryDc, buffer);

    // Without a graphics object there is nothing worth showing: a blit of
    // the uncleared bitmap would put a black box on the desktop.
    Gdiplus::GpGraphics* graphics = BeginChartGraphics(memoryDc, chartType);
    bool complete = graphics != nullptr;
    if (graphics) {
        try {
            DrawChart(
                graphics, chartType,
                {width, height, dpiFactor, scale, progressColor, textColor, label.c_str(), value});
        } catch (const std::bad_alloc&) {
            // Out of memory for the value text: the window keeps what it
            // showed, and the paint still ends and releases everything.
            complete = false;
        }
    }
    if (complete) BitBlt(windowDc, 0, 0, width, height, memoryDc, 0, 0, SRCCOPY);

    if (graphics) Gdiplus::DllExports::GdipDeleteGraphics(graphics);
    SelectObject(memoryDc, previousBitmap);  // the bitmap must not be selected when deleted
    DeleteDC(memoryDc);
    DeleteObject(buffer);
    EndPaint(window, &paint);
}

}  // namespace

void PaintCircularGauge(HWND window, std::uint32_t progressColor, std::uint32_t textColor,
                        std::wstring label, int value) {
    PaintChart(window, ChartStyle::CircularGauge, progressColor, textColor, label, value);
}

void PaintSegmentedBar(HWND window, std::uint32_t progressColor, std::uint32_t textColor,
                       std::wstring label, int value) {
    PaintChart(window, ChartStyle::SegmentedBar, progressColor, textColor, label, value);
}

void PaintCapacityBar(HWND window, std::uint32_t progressColor, std::uint32_t textColor,
                      std::wstring label, int value) {
    PaintChart(window, ChartStyle::CapacityBar, progressColor, textColor, label, value);
}
