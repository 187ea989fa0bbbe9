// Making top-down 32-bit bitmaps and reading back what is painted on them; an icon's coverage is
// told from what it lets through of a black and of a white background.
#include "ui/win32/win32_bitmaps.h"

#include <algorithm>

#include "platform/win32/handles.h"

namespace tess::ui::win32 {

using platform::win32::SelectedObject;
using platform::win32::UniqueBitmap;
using platform::win32::UniqueMemoryDc;
using platform::win32::WindowDc;

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

std::optional<std::vector<uint32_t>> PaintedOneBitPixels(int width, int height,
                                                         const std::function<bool(HDC)>& draw) {
    if (width <= 0 || height <= 0) return std::nullopt;
    WindowDc screen(nullptr);
    UniqueBitmap bitmap(CreateBitmap(width, height, 1, 1, nullptr));
    UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
    if (!bitmap || !dc) return std::nullopt;
    {
        SelectedObject selected(dc.get(), bitmap.get());
        if (!draw(dc.get())) return std::nullopt;
    }
    // Read out of the device context, its one bit widened to black or white.
    BITMAPINFO format = TopDownFormat(width, height);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    if (GetDIBits(dc.get(), bitmap.get(), 0, height, pixels.data(), &format, DIB_RGB_COLORS) != height)
        return std::nullopt;
    for (uint32_t& px : pixels) px &= 0xFFFFFF;
    return pixels;
}

std::optional<Picture> IconPicture(HICON icon, int size) {
    const auto drawnOn = [&](int background) {
        return PaintedPixels(size, size, [&](HDC dc) {
            RECT all{0, 0, size, size};
            FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(background)));
            return DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL) != FALSE;
        });
    };
    const auto onBlack = drawnOn(BLACK_BRUSH);
    const auto onWhite = drawnOn(WHITE_BRUSH);
    if (!onBlack || !onWhite) return std::nullopt;
    std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4);
    for (size_t i = 0; i < onBlack->size(); ++i) {
        const uint32_t black = (*onBlack)[i], white = (*onWhite)[i];
        // Over black a pixel shows its colour times its coverage; over white the background
        // adds (1 - coverage), so the green channels give the coverage.
        const int coverage = 255 - (static_cast<int>(white >> 8 & 0xFF) - static_cast<int>(black >> 8 & 0xFF));
        uint8_t* out = &rgba[i * 4];
        for (int channel = 0; channel < 3; ++channel) {
            const int shown = static_cast<int>(black >> (16 - 8 * channel) & 0xFF);
            out[channel] = static_cast<uint8_t>(coverage > 0 ? std::min(255, shown * 255 / coverage) : 0);
        }
        out[3] = static_cast<uint8_t>(std::clamp(coverage, 0, 255));
    }
    auto picture = Picture::FromRgba(size, size, rgba.data());
    if (!picture) return std::nullopt;
    return std::move(picture).value();
}

} // namespace tess::ui::win32
