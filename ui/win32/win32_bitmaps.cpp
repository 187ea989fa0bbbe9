// Making top-down 32-bit bitmaps and reading back what is painted on them.
#include "ui/win32/win32_bitmaps.h"

#include "ui/win32/win32_handles.h"

namespace tess::ui::win32 {

BITMAPINFO TopDownFormat(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

std::optional<std::vector<uint32_t>> PaintedPixels(int width, int height,
                                                   const std::function<bool(HDC)>& draw) {
    if (width <= 0 || height <= 0) return std::nullopt;
    const BITMAPINFO format = TopDownFormat(width, height);
    void* bits = nullptr;
    WindowDc screen(nullptr);
    UniqueBitmap bitmap(CreateDIBSection(screen.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
    if (!bitmap || !dc || !bits) return std::nullopt;
    {
        SelectedObject selected(dc.get(), bitmap.get());
        if (!draw(dc.get())) return std::nullopt;
    }
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    std::vector<uint32_t> pixels(p, p + static_cast<size_t>(width) * height);
    for (uint32_t& px : pixels) px &= 0xFFFFFF;
    return pixels;
}

} // namespace tess::ui::win32
