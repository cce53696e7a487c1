// vg-sample STYLE FILE.bmp: draws the three widgets of one chart style at
// the sample loads CPU 12 %, RAM 57 %, Swap 43 % with the program's own
// drawing code, side by side, into a 24-bit BMP (for the README).
// vg-sample tray FILE.bmp: the notification-area icon at those loads, at
// 16, 24 and 32 pixels, four times enlarged, on a dark and a light taskbar.
#include "core/state.h"
#include "render/chart_draw.h"
#include "render/chart_layout.h"
#include "widgets/tray_logic.h"

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

// A bottom-up 24-bit BMP, rows padded to four bytes.
int WriteBmp(const wchar_t* path, int width, int height, const void* bits) {
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(info);
    fh.bfSize = fh.bfOffBits + stride * height;
    FILE* f = nullptr;
    if (_wfopen_s(&f, path, L"wb") != 0 || !f) return 1;
    fwrite(&fh, sizeof(fh), 1, f);
    fwrite(&info, sizeof(info), 1, f);
    fwrite(bits, stride, height, f);
    fclose(f);
    return 0;
}

int DrawTrayIcons(const wchar_t* path) {
    constexpr int kZoom = 4, kPad = 16, kSizes[3] = {16, 24, 32};
    constexpr std::uint32_t kTaskbars[2] = {0x202020, 0xF3F3F3};  // dark, light
    const int width = kPad + (16 + 24 + 32) * kZoom + 3 * kPad,
              height = 2 * (32 * kZoom + 2 * kPad);
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> bits(static_cast<size_t>(stride) * height);
    const MetricValues sample = {12, 57, 43, {}};
    for (int band = 0; band < 2; ++band) {
        TaskbarLook taskbar;
        taskbar.light = band == 1;
        const int top = band * (32 * kZoom + 2 * kPad);
        for (int y = top; y < top + 32 * kZoom + 2 * kPad; ++y)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    bits[(height - 1 - y) * stride + x * 3 + c] =
                        (kTaskbars[band] >> (8 * c)) & 0xFF;
        int left = kPad;
        for (int size : kSizes) {
            taskbar.iconSize = size;
            const std::vector<std::uint32_t> pixels =
                TrayIconPixels(TrayLookFor(AppearanceSettings{}, sample, taskbar));
            const int iconTop = top + kPad + (32 - size) * kZoom / 2;
            for (int y = 0; y < size * kZoom; ++y)
                for (int x = 0; x < size * kZoom; ++x) {
                    const std::uint32_t p = pixels[(y / kZoom) * size + x / kZoom];
                    const unsigned alpha = p >> 24;
                    unsigned char* out =
                        &bits[(height - 1 - iconTop - y) * stride + (left + x) * 3];
                    for (int c = 0; c < 3; ++c)  // straight alpha over the taskbar
                        out[c] = static_cast<unsigned char>(
                            (((p >> (8 * c)) & 0xFF) * alpha + out[c] * (255 - alpha)) / 255);
                }
            left += size * kZoom + kPad;
        }
    }
    return WriteBmp(path, width, height, bits.data());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    if (std::wcscmp(argv[1], L"tray") == 0) return DrawTrayIcons(argv[2]);
    const int style = _wtoi(argv[1]);
    if (style < 1 || style > 3) return 2;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);

    const int w = style == ChartStyle::CapacityBar ? 320 : 160, h = 160, gap = 20;
    const int total = 3 * w + 2 * gap;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = total;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);

    const struct {
        const wchar_t* label;
        int value;
    } widgets[3] = {{L"CPU", 12}, {L"RAM", 57}, {L"Swap", 43}};
    for (int i = 0; i < 3; ++i) {
        HDC part = CreateCompatibleDC(screen);
        HBITMAP partBitmap = CreateCompatibleBitmap(screen, w, h);
        HGDIOBJ partOld = SelectObject(part, partBitmap);
        Gdiplus::GpGraphics* g = BeginChartGraphics(part, style);
        const WidgetPaintArgs args = {0xFF009688, 0xFF212121, widgets[i].label, widgets[i].value,
                                      true};
        const ChartInput in{w,          h,          1.0f, 1, ColorsToDraw(args, style, nullptr),
                            args.label, args.value, true};
        DrawChart(g, style, in);
        Gdiplus::DllExports::GdipDeleteGraphics(g);
        BitBlt(dc, i * (w + gap), 0, w, h, part, 0, 0, SRCCOPY);
        SelectObject(part, partOld);
        DeleteDC(part);
        DeleteObject(partBitmap);
        if (i < 2) {  // the gap between widgets is desktop too
            RECT between = {i * (w + gap) + w, 0, (i + 1) * (w + gap), h};
            HBRUSH key = CreateSolidBrush(ColorKey);
            FillRect(dc, &between, key);
            DeleteObject(key);
        }
    }
    GdiFlush();

    const int status = WriteBmp(argv[2], total, h, bits);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    Gdiplus::GdiplusShutdown(token);
    return status;
}
