#include "render/tray_icon.h"

#include "render/tray_icon_logic.h"

#include <cstring>
#include <vector>

HICON CreateTrayIcon(const TrayIconLook& look) {
    const std::vector<std::uint32_t> pixels = TrayIconPixels(look);
    BITMAPV5HEADER header = {};
    header.bV5Size = sizeof(header);
    header.bV5Width = look.size;
    header.bV5Height = -look.size;  // top-down, as the pixels are
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP color = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header),
                                           DIB_RGB_COLORS, &bits, nullptr, 0);
    // The alpha channel decides what shows; an all-zero mask lets it. Rows
    // of a monochrome bitmap are whole 16-bit words.
    const std::vector<BYTE> clear(static_cast<std::size_t>((look.size + 15) / 16) * 2 * look.size);
    const HBITMAP mask = CreateBitmap(look.size, look.size, 1, 1, clear.data());
    HICON icon = nullptr;
    if (color && mask && bits) {
        std::memcpy(bits, pixels.data(), pixels.size() * sizeof(pixels[0]));
        ICONINFO info = {TRUE, 0, 0, mask, color};
        icon = CreateIconIndirect(&info);  // copies both bitmaps
    }
    if (color) DeleteObject(color);
    if (mask) DeleteObject(mask);
    return icon;
}
