#pragma once
// The three chart styles. Each does the whole WM_PAINT: BeginPaint, the
// window size of its style, an off-screen bitmap, one blit, EndPaint. The
// painter owns the label it is given.

#include <windows.h>

#include <cstdint>
#include <string>

void PaintCircularGauge(HWND window, std::uint32_t progressColor, std::uint32_t textColor,
                        std::wstring label, int value);
void PaintSegmentedBar(HWND window, std::uint32_t progressColor, std::uint32_t textColor,
                       std::wstring label, int value);
void PaintCapacityBar(HWND window, std::uint32_t progressColor, std::uint32_t textColor,
                      std::wstring label, int value);
