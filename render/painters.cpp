#include "render/painters.h"

#include "app/state.h"

// Placeholder frame until the chart styles are drawn: clears the client area
// to the colour key through one off-screen bitmap.
namespace {
void PaintBackgroundOnly(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT rc;
    GetClientRect(window, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(ColorKey);
    FillRect(memory, &rc, brush);
    DeleteObject(brush);
    BitBlt(dc, 0, 0, w, h, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    EndPaint(window, &ps);
}
}  // namespace

void PaintCircularGauge(HWND window, std::uint32_t, std::uint32_t, std::wstring, int) {
    PaintBackgroundOnly(window);
}
void PaintSegmentedBar(HWND window, std::uint32_t, std::uint32_t, std::wstring, int) {
    PaintBackgroundOnly(window);
}
void PaintCapacityBar(HWND window, std::uint32_t, std::uint32_t, std::wstring, int) {
    PaintBackgroundOnly(window);
}
