#pragma once
// Colours as the program keeps them, 0xAARRGGBB as GDI+ takes them, and the
// colour dialog's and the system's 0x00BBGGRR.

#include <windows.h>

#include <cstdint>

using Argb = std::uint32_t;

// The widgets' transparent colour: what stays in it shows the desktop.
constexpr COLORREF ColorKey = RGB(100, 100, 100);

// What GetSysColor answers for the colours a high-contrast theme sets.
struct SystemColors {
    COLORREF windowText;
    COLORREF highlight;
    COLORREF grayText;
};

// 0xAARRGGBB to the colour dialog's 0x00BBGGRR; the alpha byte is dropped.
inline COLORREF ArgbToDialogColor(Argb argb) {
    const std::uint32_t red = (argb >> 16) & 0xFF, green = (argb >> 8) & 0xFF, blue = argb & 0xFF;
    return red + green * 0x100 + blue * 0x10000;
}

// A colour chosen in the dialog is always opaque. The colour key itself
// would make that part of the widget invisible and click-through; the
// nearest other colour, one step more blue, looks the same and shows.
inline Argb DialogColorToArgb(COLORREF color) {
    if ((color & 0xFFFFFF) == ColorKey) color = RGB(100, 100, 101);
    const std::uint32_t red = color & 0xFF, green = (color >> 8) & 0xFF,
                        blue = (color >> 16) & 0xFF;
    return 0xFF000000u + red * 0x10000 + green * 0x100 + blue;
}
