#include "render/painters.h"

#include "render/chart_draw.h"
#include "render/chart_layout.h"
#include "render/palette_logic.h"

#include <new>

namespace {

// Asked at every paint: the theme can change at any time, and the listener
// repaints the widgets when it does.
ChartColors CurrentColors(const WidgetPaintArgs& args, int chartType) {
    SystemColors system = {};
    return ColorsToDraw(args, chartType, ReadHighContrast(system) ? &system : nullptr);
}

// The frame every style paints in: size the window for the style, compose
// the chart in an off-screen bitmap and show it with one blit, so the
// widget never shows a half-drawn state. Nothing outlives the paint.
void PaintChart(HWND window, int chartType, const WidgetPaintArgs& args) {
    const float dpiFactor = DpiFactor(args.dpi);
    PAINTSTRUCT paint;
    HDC windowDc = BeginPaint(window, &paint);

    // At every paint, so the size follows the style, the scale and the
    // display scale whatever size the window was created or last left with.
    // A window that has the size already is not moved: a move costs more
    // than a paint, and the position-changing handler keeps the widget at
    // the bottom of the z-order whenever anything else moves it.
    const int scale = EffectiveScale(args.scaleValue);
    const WidgetSize size = StyleWindowSize(chartType, scale, args.dpi);
    RECT frame = {};
    GetWindowRect(window, &frame);
    if (frame.right - frame.left != size.width || frame.bottom - frame.top != size.height)
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
            DrawChart(graphics, chartType,
                      {width, height, dpiFactor, scale, CurrentColors(args, chartType), args.label,
                       args.value, args.measured});
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

bool ReadHighContrast(SystemColors& colors) {
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof(contrast);
    if (!SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) ||
        !(contrast.dwFlags & HCF_HIGHCONTRASTON))
        return false;
    colors = {GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_HIGHLIGHT),
              GetSysColor(COLOR_GRAYTEXT)};
    return true;
}

void PaintCircularGauge(HWND window, const WidgetPaintArgs& args) {
    PaintChart(window, ChartStyle::CircularGauge, args);
}

void PaintSegmentedBar(HWND window, const WidgetPaintArgs& args) {
    PaintChart(window, ChartStyle::SegmentedBar, args);
}

void PaintCapacityBar(HWND window, const WidgetPaintArgs& args) {
    PaintChart(window, ChartStyle::CapacityBar, args);
}

bool StartGraphics(ULONG_PTR& token) {
    // gdiplus.dll is delay-loaded: a call into it when it cannot be loaded
    // would end the program without a word.
    Gdiplus::GdiplusStartupInput input;
    if (LoadLibraryExW(L"gdiplus.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32) &&
        Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok)
        return true;
    MessageBoxW(nullptr,
                L"VitalGauge cannot draw its widgets: the system's graphics library "
                L"(gdiplus.dll) could not be loaded or started.",
                L"VitalGauge", MB_OK | MB_ICONERROR);
    return false;
}
