// Bitmap encoding: the two headers and the pixel rows, turned from the surface's top-down RGB
// into the file's bottom-up BGR.
#include "bitmap_writer.h"

namespace tess {

namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr int32_t kPixelsPerMetre96Dpi = 3780;  // 96 / 0.0254, rounded

void Put16(std::vector<uint8_t>& out, size_t at, uint16_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

} // namespace

std::vector<uint8_t> EncodeBitmap(const Surface& surface) {
    const uint32_t width = static_cast<uint32_t>(surface.widthPx());
    const uint32_t height = static_cast<uint32_t>(surface.heightPx());
    const uint32_t rowBytes = (width * 3 + 3) & ~3u;
    const uint32_t offset = kFileHeaderBytes + kInfoHeaderBytes;
    const uint32_t imageBytes = rowBytes * height;
    std::vector<uint8_t> out(offset + imageBytes, 0);

    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, offset + imageBytes);
    Put32(out, 10, offset);
    Put32(out, 14, kInfoHeaderBytes);
    Put32(out, 18, width);
    Put32(out, 22, height);  // positive: rows stored bottom-up
    Put16(out, 26, 1);       // planes
    Put16(out, 28, 24);      // bits per pixel
    Put32(out, 30, 0);       // BI_RGB
    Put32(out, 34, imageBytes);
    Put32(out, 38, kPixelsPerMetre96Dpi);
    Put32(out, 42, kPixelsPerMetre96Dpi);

    const std::vector<uint8_t>& rgb = surface.pixels();
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* src = rgb.data() + static_cast<size_t>(height - 1 - y) * width * 3;
        uint8_t* dst = out.data() + offset + static_cast<size_t>(y) * rowBytes;
        for (uint32_t x = 0; x < width; ++x) {
            dst[x * 3] = src[x * 3 + 2];
            dst[x * 3 + 1] = src[x * 3 + 1];
            dst[x * 3 + 2] = src[x * 3];
        }
    }
    return out;
}

} // namespace tess
