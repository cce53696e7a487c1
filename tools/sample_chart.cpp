// vg-sample STYLE FILE.bmp: draws the three widgets of one chart style at
// the sample loads CPU 12 %, RAM 57 %, Swap 43 % with the program's own
// drawing code, side by side, into a 24-bit BMP (for the README).
#include "core/state.h"
#include "render/chart_draw.h"
#include "render/chart_layout.h"

#include <cstdio>
#include <cwchar>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
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

    const int stride = (total * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
    fh.bfSize = fh.bfOffBits + stride * h;
    FILE* f = nullptr;
    if (_wfopen_s(&f, argv[2], L"wb") != 0 || !f) return 1;
    fwrite(&fh, sizeof(fh), 1, f);
    fwrite(&bi.bmiHeader, sizeof(bi.bmiHeader), 1, f);
    fwrite(bits, stride, h, f);
    fclose(f);

    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
